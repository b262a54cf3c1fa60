// The Suite window's design code: the structure's periods, the period range the code sets in
// place of the one typed, and the verdicts of its clauses under the spectra.
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "dialogs/cases/suite_logic.h"
#include "suite/compliance.h"
#include "suite/compliance_report.h"

namespace dialogs::cases::detail {

namespace {

// The codes as the drop-down offers them, after "None".
constexpr suite::Code codes[] = {suite::Code::ec8, suite::Code::asce7_16, suite::Code::asce7_22};

bool is_asce(suite::Code code) { return code != suite::Code::ec8; }

std::string short_number(double value) { return number_text(value, 4); }

// The range the code sets, in words with its rule.
std::string range_words(suite::Code code, std::pair<double, double> range, bool romanian) {
  const std::string span = short_number(range.first) + "-" + short_number(range.second) + " s";
  if (!is_asce(code))
    return (romanian ? "Domeniul de perioade " : "Period range ") + span + ": 0.2 T1 - 2 T1 (" +
           std::string(suite::code_title(code)) + ")";
  return (romanian ? "Domeniul de perioade " + span + ": min(0.2 Tmin, T90) - 2 Tmax ("
                   : "Period range " + span + ": the smaller of 0.2 Tmin and T90, to 2 Tmax (") +
         std::string(suite::code_title(code)) + ")";
}

// A clause's value with its unit, and where a spectrum clause has its lowest share.
std::string value_words(const suite::Clause& c, bool romanian) {
  std::string text = short_number(c.value) + (c.unit.empty() || c.unit == "%" ? c.unit : " " + c.unit);
  if (c.at) text += (romanian ? " la " : " at ") + short_number(*c.at) + " s";
  return text;
}

// One row a clause; a failing one marked at its start, so that it stands out in the list.
std::string verdict_row(const suite::Clause& c, bool romanian) {
  return std::string(c.verdict == suite::Verdict::fails ? ">> " : "") + c.clause +
         (c.direction.empty() ? "" : " " + c.direction) + " | " + suite::verdict_words(c.verdict, romanian) + " | " +
         value_words(c, romanian) + " | " + (romanian ? c.asks_ro : c.asks);
}

}  // namespace

std::optional<suite::Code> SuiteDialog::chosen_code() const {
  const int k = dialog_.selection(C::code);
  if (k < 2 || k > static_cast<int>(std::size(codes)) + 1) return std::nullopt;
  return codes[k - 2];
}

// With a code the range and the rule are the code's: their fields show its range and take
// nothing typed; the structure's periods and T90 (ASCE only) are what it needs.
void SuiteDialog::code_changed() {
  const std::optional<suite::Code> code = chosen_code();
  dialog_.set_enabled(C::structure_periods, code.has_value());
  dialog_.set_enabled(C::t90, code && is_asce(*code));
  for (C control : {C::from, C::to, C::rule}) dialog_.set_enabled(control, !code);
  std::string range_text;
  if (code) {
    suite::CodeCheck check{*code, {}, std::nullopt};
    double t90 = 0;
    const bool periods = suite::parse_structure_periods(field(dialog_, C::structure_periods), check.structure_periods).empty();
    if (is_asce(*code) && suite::parse_t90(field(dialog_, C::t90), t90).empty()) check.t90 = t90;
    if (periods) {
      const std::pair<double, double> range = suite::code_range(check);
      dialog_.set_text(C::from, number_text(range.first));
      dialog_.set_text(C::to, number_text(range.second));
      range_text = range_words(*code, range, ro());
    } else {
      range_text = ro() ? "Domeniul de perioade urmeaza codul: scrieti perioadele structurii, T1 sau T1,T2."
                        : "The period range follows the code: type the structure's periods, T1 or T1,T2.";
    }
  }
  dialog_.set_text(C::range, range_text);
}

// What a study file says of the code.
void SuiteDialog::show_code(const suite::Settings& s) {
  dialog_.select(C::code, 1);
  for (std::size_t k = 0; k < std::size(codes); ++k)
    if (s.code == codes[k]) dialog_.select(C::code, static_cast<int>(k) + 2);
  std::string periods;
  for (double t : s.structure_periods) periods += (periods.empty() ? "" : ",") + exact_text(t);
  dialog_.set_text(C::structure_periods, periods);
  dialog_.set_text(C::t90, s.t90 ? exact_text(*s.t90) : std::string());
  code_changed();
}

bool SuiteDialog::code_settings(suite::Settings& s) {
  const std::optional<suite::Code> code = chosen_code();
  if (!code) return true;
  if (!suite::parse_structure_periods(field(dialog_, C::structure_periods), s.structure_periods).empty()) {
    message("Structure periods: T1 or T1,T2, the fundamental periods in seconds above 0, such as 0.8,0.6.",
            "Perioadele structurii: T1 sau T1,T2, perioadele fundamentale in secunde peste 0, de exemplu 0.8,0.6.",
            ui::Icon::error);
    return false;
  }
  const std::string t90 = field(dialog_, C::t90);
  if (is_asce(*code) && !t90.empty()) {
    double value = 0;
    if (!suite::parse_t90(t90, value).empty()) {
      message("T90: a period in seconds above 0, such as 0.12.", "T90: o perioada in secunde peste 0, de exemplu 0.12.",
              ui::Icon::error);
      return false;
    }
    s.t90 = value;
  }
  if (*code == suite::Code::asce7_22 && !s.target_text.starts_with("csv:")) {
    message("ASCE 7-22 compares the suite with its multi-period spectrum: choose \"Table (CSV file)\" as the design spectrum.",
            "ASCE 7-22 compara setul cu spectrul sau multi-perioada: alegeti \"Table (CSV file)\" ca spectru de proiectare.",
            ui::Icon::error);
    return false;
  }
  s.code = code;
  return true;
}

// A row a clause once the spectra are shown; the heading gives the result first.
void SuiteDialog::show_verdicts() {
  const suite::Compliance* result = shown_ && shown_->compliance() ? &*shown_->compliance() : nullptr;
  std::string heading;
  if (result)
    heading = std::string(suite::code_title(result->code)) + ": " + suite::compliance_summary(*result, ro()) +
              (ro() ? "  (clauza | verdict | valoare | ce cere)" : "  (clause | verdict | value | what it asks)");
  else if (chosen_code())
    heading = ro() ? "Verdictele codului: apasati \"Show spectra\"" : "The code's verdicts: press \"Show spectra\"";
  else
    heading = ro() ? "Niciun cod ales: fara verdicte" : "No code chosen: no verdicts";
  dialog_.set_text(C::verdicts_heading, heading);
  dialog_.set_alert(ui::id(C::verdicts_heading), result && !result->holds());
  const int n = result ? static_cast<int>(result->clauses.size()) : 0;
  dialog_.set_item_count(C::verdicts, n);
  for (int i = 0; i < n; ++i) dialog_.set_text(C::verdicts, verdict_row(result->clauses[i], ro()), i + 1);
}

}  // namespace dialogs::cases::detail
