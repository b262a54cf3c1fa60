#include "dialogs/cases/suite_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/cases/suite_logic.h"
#include "dialogs/dialog_initializer.h"
#include "dialogs/unsaved_entries.h"
#include "suite/options.h"
#include "suite/suite.h"
#include "text/fixed_text.h"
#include "ui/templates/suite_window.h"

namespace dialogs::cases {

namespace {

namespace fs = std::filesystem;
using C = ui::templates::SuiteWindow;

constexpr const char* title = "Suite Message";
// The design spectra the window offers, as `brantel spectrum --target` names them, and the
// parameters each starts with.
constexpr const char* target_kinds[] = {"ec8", "asce7", "csv"};
constexpr const char* target_defaults[] = {"type=1,ground=B,ag=0.25g", "sds=1.0,sd1=0.6,tl=8", ""};
constexpr suite::Rule rules[] = {suite::Rule::fit, suite::Rule::min90, suite::Rule::suite90, suite::Rule::match};

std::string number_text(double value, int digits = 6) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return buffer;
}

// A record's problem named by its file's name alone: the row is narrow, the folder known.
std::string without_folder(const std::string& problem, const suite::Record& record) {
  for (const std::string& file : record.files)
    if (problem.starts_with(file)) return fs::path(file).filename().string() + problem.substr(file.size());
  return problem;
}

// A row of the factors table.
std::string factor_row(const suite::RecordResult& r, const suite::Record& record) {
  if (!r.error.empty()) return r.stem + " | not usable: " + without_folder(r.error, record);
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  std::string row = r.stem + " | " + number_text(r.factor, 9) + " | " + std::to_string(r.points) + " x " +
                    number_text(r.time_step) + " s | " + number_text(r.pga * r.factor / g, 4) + " g";
  for (const std::string& warning : r.warnings) row += " | warning: " + without_folder(warning, record);
  return row;
}

// PSA: the scaled records, their mean and the target, the range shaded, as the picture that
// goes beside the loading files draws them, in its unit.
ui::ChartContent spectra_chart(const suite::Suite* shown) {
  ui::ChartContent chart;
  chart.x_title = "Period (s)";
  chart.y_title = "PSA (g)";
  chart.log_x = true;
  if (!shown) return chart;
  const ui::SpectraPicture p = shown->picture(false);
  chart.y_title = p.y_title;
  auto series = [&](const std::string& name, const std::vector<double>& values) {
    chart.series.push_back(ui::PlotSeries{name, p.periods, values});
  };
  for (const auto& curve : p.records) series(curve.name, curve.values);
  if (p.mean) series("mean", p.mean->values);
  if (!p.target.empty()) {
    ui::PlotSeries s{"target", {}, {}};
    for (std::size_t k = 0; k < p.periods.size(); ++k)
      if (p.target[k]) s.x.push_back(p.periods[k]), s.y.push_back(*p.target[k]);
    chart.series.push_back(std::move(s));
  }
  if (p.range) {
    chart.has_band = true;
    chart.band_from = p.range->first;
    chart.band_to = p.range->second;
  }
  return chart;
}

constexpr C callback_controls[] = {C::add,  C::options, C::remove, C::target, C::parameters, C::code,
                                   C::structure_periods, C::t90, C::from, C::to, C::rule, C::show,
                                   C::browse, C::write, C::save, C::open};

}  // namespace

namespace detail {

std::string number_text(double value, int digits) { return cases::number_text(value, digits); }

std::string exact_text(double value) {
  for (int digits = 1; digits < 17; ++digits)
    if (const std::string text = number_text(value, digits); std::strtod(text.c_str(), nullptr) == value) return text;
  return number_text(value, 17);
}

std::string field(const ui::Dialog& d, C control) { return std::string(text::trim(d.text(control))); }

std::optional<double> typed_number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

const char* SuiteDialog::message_title() { return title; }

void SuiteDialog::set_up() {
  dialog_.select(C::target, 1);
  dialog_.set_text(C::parameters, target_defaults[0]);
  dialog_.set_text(C::from, "0.2");
  dialog_.set_text(C::to, "2");
  dialog_.select(C::rule, 1);
  dialog_.select(C::code, 1);
  std::error_code error;
  dialog_.set_text(C::folder, (fs::current_path(error) / "suite").string());
  dialog_.set_text(C::status, (ro() ? "Fiecare inregistrare da un fisier FOLDER/<inregistrare>.inc: analiza cu accelerograma cazului "
                                    : "Each record gives a file FOLDER/<record>.inc: the analysis with the accelerogram of case ") +
                                   std::to_string(case_number_) + (ro() ? " inlocuita." : " replaced."));
  show_records();
  code_changed();
  show_chart_and_factors();
}

void SuiteDialog::on_control(C control) {
  switch (control) {
    case C::add: return add_records();
    case C::options: return change_options();
    case C::remove: return remove_record();
    case C::target: return choose_target();
    case C::code:
    case C::structure_periods:
    case C::t90:
      code_changed();
      return settings_changed();
    case C::parameters:
    case C::from:
    case C::to:
    case C::rule: return settings_changed();
    case C::show: return show_spectra();
    case C::browse: return browse_folder();
    case C::write: return write_files();
    case C::save: return save_settings();
    case C::open: return open_settings();
    default: return;
  }
}

void SuiteDialog::choose_target() {
  const int kind = dialog_.selection(C::target);
  if (kind >= 1 && kind <= static_cast<int>(std::size(target_defaults)))
    dialog_.set_text(C::parameters, target_defaults[kind - 1]);
  settings_changed();
}

// The spectra shown belong to the settings they were computed with.
void SuiteDialog::settings_changed() {
  unsaved_ = true;
  shown_.reset();
  show_chart_and_factors();
}

model::Analysis SuiteDialog::analysis_as_created() {
  return context_.cases.analysis();
}

std::optional<suite::Settings> SuiteDialog::settings(std::string& target_text) {
  suite::Settings s;
  if (records_.empty()) {
    message("Add the records first.", "Adaugati intai inregistrarile.", ui::Icon::information);
    return std::nullopt;
  }
  const int kind = std::clamp(dialog_.selection(C::target), 1, static_cast<int>(std::size(target_kinds)));
  target_text = std::string(target_kinds[kind - 1]) + ":" + field(dialog_, C::parameters);
  s.target_text = target_text;
  if (const std::string why = suite::parse_target(target_text, s.target); !why.empty()) {
    message("Design spectrum: " + why + ".", "Spectrul de proiectare: " + why + ".", ui::Icon::error);
    return std::nullopt;
  }
  if (!code_settings(s) || !range_settings(s)) return std::nullopt;
  s.analysis = std::make_shared<const model::Analysis>(analysis_as_created());
  s.romanian = ro();
  const std::string loading_file(context_.cases.loading_file().trimmed());
  s.template_path = loading_file.empty() ? "the analysis" : loading_file;
  if (!loading_file.empty()) s.protected_files.push_back(loading_file);
  const std::string geometry(context_.cases.general().geometry_file.trimmed());
  if (!geometry.empty()) s.geometry = geometry;
  s.case_number = case_number_;
  s.records = records_;
  // The files name themselves in their end records as Create names a file: by its full path.
  std::error_code error;
  s.out_dir = field(dialog_, C::folder);
  if (!s.out_dir.empty()) s.out_dir = fs::absolute(s.out_dir, error).lexically_normal().string();
  while (s.out_dir.size() > 1 && s.out_dir.back() == '/') s.out_dir.pop_back();
  s.jobs = 1;
  return s;
}

// A code sets the range and the factors itself; matching the records stays the user's choice,
// kept from a study file or chosen before the code, so that it is never dropped unseen.
bool SuiteDialog::range_settings(suite::Settings& s) {
  const suite::Rule chosen = rules[std::clamp(dialog_.selection(C::rule), 1, static_cast<int>(std::size(rules))) - 1];
  if (s.code) {
    if (chosen == suite::Rule::match) s.rule = chosen;
    return true;
  }
  const auto from = typed_number(field(dialog_, C::from)), to = typed_number(field(dialog_, C::to));
  if (!from || !to || !(*from > 0) || !(*to > *from)) {
    message("Periods: two positive numbers of seconds, the second the larger.",
            "Perioade: doua numere pozitive de secunde, al doilea mai mare.", ui::Icon::error);
    return false;
  }
  s.scale_range = std::pair{*from, *to};
  s.rule = chosen;
  return true;
}

void SuiteDialog::show_rule(suite::Rule rule) {
  for (std::size_t k = 0; k < std::size(rules); ++k)
    if (rule == rules[k]) dialog_.select(C::rule, static_cast<int>(k) + 1);
}

// The design spectrum, the range and the rule, the code and the folder of a study file.
void SuiteDialog::show_study(const suite::Settings& s) {
  const std::size_t colon = s.target_text.find(':');
  const std::string kind = s.target_text.substr(0, colon == std::string::npos ? 0 : colon);
  for (std::size_t k = 0; k < std::size(target_kinds); ++k)
    if (kind == target_kinds[k]) {
      dialog_.select(C::target, static_cast<int>(k) + 1);
      dialog_.set_text(C::parameters, s.target_text.substr(colon + 1));
    }
  if (s.scale_range) {
    dialog_.set_text(C::from, exact_text(s.scale_range->first));
    dialog_.set_text(C::to, exact_text(s.scale_range->second));
  }
  show_rule(s.rule);
  show_code(s);
  dialog_.set_text(C::folder, s.out_dir);
}

std::unique_ptr<suite::Suite> SuiteDialog::open_suite(const suite::Settings& s) {
  std::ostringstream err;
  std::unique_ptr<suite::Suite> suite = suite::Suite::open(s, err);
  if (!suite) {
    std::string why = err.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    message(why, why, ui::Icon::error);
  }
  return suite;
}

bool SuiteDialog::analyse(suite::Suite& suite, const std::string& progress_title) {
  const int n = static_cast<int>(suite.size());
  const int done = context_.toolkit.run_steps({progress_title, ro() ? "Spectrele inregistrarilor..." : "The spectra of the records...", n},
                                              [&suite, n](int k) {
                                                suite.analyse(static_cast<std::size_t>(k));
                                                return "Record " + std::to_string(k + 1) + " of " + std::to_string(n) +
                                                       ": " + suite.result(static_cast<std::size_t>(k)).stem;
                                              });
  if (done < n) return false;
  std::string why;
  if (!suite.find_factors(why)) {
    message("No loading file can be made: " + why + ".", "Nu se poate face niciun fisier de incarcare: " + why + ".",
            ui::Icon::error);
    return false;
  }
  return true;
}

void SuiteDialog::show_spectra() {
  std::string target_text;
  const std::optional<suite::Settings> s = settings(target_text);
  if (!s) return;
  std::unique_ptr<suite::Suite> suite = open_suite(*s);
  if (!suite) return;
  if (!analyse(*suite, "Spectra")) return;
  shown_ = std::move(suite);
  show_chart_and_factors();
}

// The chart, a row a record, and the verdicts of the code.
void SuiteDialog::show_chart_and_factors() {
  std::vector<std::string> rows;
  if (shown_)
    for (std::size_t i = 0; i < shown_->size(); ++i) rows.push_back(factor_row(shown_->result(i), shown_->settings().records[i]));
  dialog_.set_chart(ui::id(C::chart), spectra_chart(shown_.get()));
  dialog_.set_text(C::factors_heading, shown_ ? "Record | factor | points x time step | scaled PGA"
                                              : "Record | factor: press \"Show spectra\"");
  dialog_.set_item_count(C::factors, static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) dialog_.set_text(C::factors, rows[i], static_cast<int>(i) + 1);
  show_verdicts();
}

void SuiteDialog::browse_folder() {
  std::string chosen;
  if (context_.toolkit.choose_folder("Folder of the Loading Files", field(dialog_, C::folder), chosen))
    dialog_.set_text(C::folder, chosen);
}

}  // namespace detail

void run_suite_dialog(Context& context, int case_number) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  detail::SuiteDialog logic(context, *dialog, case_number);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  ask_before_discarding(context, *dialog, [&logic] { return logic.holds_unsaved(); });
  logic.set_up();
  dialog->run_modal();
}

}  // namespace dialogs::cases
