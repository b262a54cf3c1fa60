#include "dialogs/editors/spectrum_dialog.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/match_dialog.h"
#include "dialogs/write_box.h"
#include "model/case_files/atomic_file.h"
#include "motion/spectrum_report.h"
#include "text/fixed_text.h"
#include "ui/templates/response_spectrum.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::ResponseSpectrum;
using motion::SpectrumCurve;

// What each design spectrum's parameters look like, filled in when it is chosen.
constexpr const char* parameter_examples[] = {"", "type=1,ground=B,ag=0.25g,importance=1", "sds=1.0,sd1=0.6,tl=8", ""};
constexpr const char* design_kinds[] = {"", "ec8", "asce7", "csv"};

std::string field(const ui::Dialog& d, C control) {
  return std::string(text::trim(d.text(control)));
}

std::optional<double> typed_number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string number_text(double value, int digits = 4) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return buffer;
}

class SpectrumDialog {
 public:
  SpectrumDialog(Context& context, ui::Dialog& dialog, const SpectrumSource& source)
      : context_(context), dialog_(dialog) {
    record_.time_step = source.time_step;
    metres_per_unit_ = source.metres_per_unit;
    for (const auto& c : source.components) {
      std::vector<double> m_s2;
      m_s2.reserve(c.size());
      for (double v : c) m_s2.push_back(v * source.metres_per_unit);
      record_.components.push_back(std::move(m_s2));
    }
    name_ = source.name;
    names_ = source.names;
    for (std::size_t c = names_.size(); c < record_.components.size(); ++c) names_.push_back(std::to_string(c + 1));
    // The case's Z is vertical: never one of the pair that RotD100 and the factor combine.
    for (const auto& n : names_) record_.orientations.push_back({n, motion::axis_of_name(n)});
    applies_to_ = source.applies_to;
    usable_period_ = source.usable_period;
    matchable_ = source.matchable;
    options_.psa_unit = motion::Unit::g;
    // Only RotD100 of the pair is the rule's: the other combinations are not shown.
    options_.request.rotd_percentiles = {100.0};
  }

  void set_up() {
    dialog_.set_text(C::damping, "5");
    dialog_.select(C::design, 1);
    dialog_.select(C::rule, 1);
    dialog_.set_enabled(C::browse, false);
    dialog_.set_text(C::tolerance, "10");
    dialog_.set_enabled(C::tolerance, matchable_);
    dialog_.set_enabled(C::match, matchable_);
    compute_spectra();
    refresh();
  }

  void on_control(C control) {
    switch (control) {
      case C::damping: compute_spectra(); break;
      case C::design: {
        const int kind = dialog_.selection(C::design);
        dialog_.set_text(C::parameters, kind >= 1 ? parameter_examples[kind - 1] : "");
        dialog_.set_enabled(C::browse, kind == 4);
        if (kind > 1 && field(dialog_, C::from).empty() && field(dialog_, C::to).empty()) {
          dialog_.set_text(C::from, "0.2");
          dialog_.set_text(C::to, "2");
        }
        break;
      }
      case C::browse: browse(); break;
      case C::picture: export_picture(); return;
      case C::table_export: export_table(); return;
      case C::apply: apply(); return;
      case C::match: match(); return;
      default: break;
    }
    refresh();
  }

  std::optional<double> result;
  std::vector<std::vector<double>> matched;

 private:
  void compute_spectra();
  // The factor, chart and table anew from the fields, on the spectra computed.
  void refresh();
  std::string take_target_and_factor();
  void show_chart(const SpectrumCurve* scaled);
  void show_factor(const std::string& reason);
  void show_table(const SpectrumCurve* scaled);
  void browse();
  void export_picture();
  void export_table();
  void apply();
  void match();
  std::string words(std::string_view english, std::string_view romanian) const {
    return context_.words(english, romanian);
  }
  // A curve's name as the window shows it: the case's direction, or RotD100; empty for one not shown.
  std::string curve_name(const std::string& component) const;
  static ui::OpenFileRequest file_request(const char* title, const char* filter_label, const char* pattern,
                                          const char* extension);
  bool choose_file(const char* title, const char* filter_label, const char* pattern, const char* extension,
                   std::string& path);
  // A save box that asks before replacing and refuses the analysis' files.
  bool choose_file_to_write(const char* title, const char* filter_label, const char* pattern, const char* extension,
                            std::string& path);

  Context& context_;
  ui::Dialog& dialog_;
  motion::Record record_;
  std::string name_;
  std::optional<double> usable_period_;  // periods beyond it are shaded
  std::vector<std::string> names_;  // of the components, in the case's directions
  std::string applies_to_;
  bool matchable_ = false;
  double metres_per_unit_ = 1.0;
  motion::SpectrumOptions options_;
  motion::SpectrumReport report_;
  std::string problem_;  // why there is no factor
  std::optional<double> factor_;
};

void SpectrumDialog::compute_spectra() {
  const std::optional<double> percent = typed_number(field(dialog_, C::damping));
  if (!percent || *percent < 0 || *percent >= 100) {
    problem_ = "Damping: a number from 0 to below 100 (%).";
    report_ = {};
    return;
  }
  options_.request.dampings = {*percent / 100};
  options_.target.reset();
  options_.scale_range.reset();
  report_ = motion::compute_report(record_, options_);
  problem_.clear();
}

void SpectrumDialog::refresh() {
  const std::string reason = take_target_and_factor();
  const SpectrumCurve* scaled = nullptr;
  if (factor_)
    for (const auto& curve : report_.curves)
      if (curve.component == report_.factor_curve) scaled = &curve;
  show_chart(scaled);
  show_factor(reason);
  show_table(scaled);
}

// The design spectrum, range and rule as the fields give them, and the factor they make; the
// reason there is no factor, if any. The spectra stay as computed.
std::string SpectrumDialog::take_target_and_factor() {
  factor_.reset();
  std::string reason = problem_;
  options_.target.reset();
  options_.scale_range.reset();
  const int kind = dialog_.selection(C::design);
  if (reason.empty() && kind > 1) {
    std::string error;
    options_.target = motion::parse_design_spectrum(std::string(design_kinds[kind - 1]) + ":" +
                                                    field(dialog_, C::parameters), error);
    if (!options_.target) reason = "Design spectrum: " + error + ".";
  }
  const std::optional<double> from = typed_number(field(dialog_, C::from)), to = typed_number(field(dialog_, C::to));
  if (reason.empty() && options_.target) {
    if (!from || !to || !(*from > 0) || !(*to > *from))
      reason = "Periods: two positive numbers of seconds, the second the larger.";
    else
      options_.scale_range = std::make_pair(*from, *to);
  }
  options_.scale_rule = dialog_.selection(C::rule) == 2 ? motion::ScaleRule::min90 : motion::ScaleRule::fit;
  if (!report_.curves.empty()) {
    // Only the target and the factor depend on these fields: the spectra are not computed again.
    motion::add_target_and_factor(report_, options_);
    if (report_.factor && !report_.factor->problem.empty())
      reason = "No factor: " + report_.factor->problem + ".";
    else if (report_.factor)
      factor_ = shown_factor(report_.factor->factor, options_.scale_rule == motion::ScaleRule::min90);
  }
  return reason;
}

// The chart: PSA in g of each direction and of their RotD100, the one scaled, the design spectrum.
void SpectrumDialog::show_chart(const SpectrumCurve* scaled) {
  ui::ChartContent chart;
  chart.x_title = "Period (s)";
  chart.y_title = "PSA (g)";
  chart.log_x = true;
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  for (const auto& curve : report_.curves) {
    if (curve_name(curve.component).empty()) continue;
    ui::PlotSeries s{curve_name(curve.component), report_.periods, {}};
    for (double psa : curve.psa) s.y.push_back(psa / g);
    chart.series.push_back(std::move(s));
  }
  if (scaled) {
    ui::PlotSeries s{curve_name(scaled->component) + " x " + motion::report_number(*factor_),
                     report_.periods, {}};
    for (double psa : scaled->psa) s.y.push_back(psa * *factor_ / g);
    chart.series.push_back(std::move(s));
  }
  if (!report_.target.empty()) {
    ui::PlotSeries s{"target: " + options_.target->description(), {}, {}};
    for (std::size_t k = 0; k < report_.periods.size(); ++k)
      if (report_.target[0][k]) s.x.push_back(report_.periods[k]), s.y.push_back(*report_.target[0][k] / g);
    chart.series.push_back(std::move(s));
  }
  if (options_.scale_range) {
    chart.has_band = true;
    chart.band_from = options_.scale_range->first;
    chart.band_to = options_.scale_range->second;
  }
  chart.shade_from = usable_period_;
  dialog_.set_chart(ui::id(C::chart), chart);
}

// The factor, in full, what it was found on and what Apply factor does with it; else the reason
// there is none.
void SpectrumDialog::show_factor(const std::string& reason) {
  if (factor_) {
    std::string on = curve_name(report_.factor_curve);
    if (report_.factor_curve == "rotd100" && names_.size() >= 2)
      on += words(" of ", " din ") + names_[0] + words(" and ", " si ") + names_[1];
    std::string text = motion::report_number(*factor_) + "\n" + std::string(motion::scale_rule_name(options_.scale_rule)) +
                       words(" of ", " pe ") + on + words(" at ", " la ") +
                       number_text(100 * report_.factor_damping) + words("% damping over ", "% amortizare pe ") +
                       number_text(options_.scale_range->first) + "-" + number_text(options_.scale_range->second) +
                       " s (" + std::to_string(report_.factor->periods_used) + words(" periods)", " perioade)");
    if (const std::string note = unusual_factor_note(context_, *factor_); !note.empty()) text += "\n" + note;
    if (!applies_to_.empty()) text += words("\nApply factor multiplies ", "\nApply factor inmulteste ") + applies_to_ + ".";
    dialog_.set_text(C::factor, text);
  } else {
    dialog_.set_text(C::factor, reason.empty() ? "Choose a design spectrum." : reason);
  }
  dialog_.set_enabled(C::apply, factor_.has_value());
}

// The table: one row a period, PSA in g of each curve, of the one scaled and of the target.
void SpectrumDialog::show_table(const SpectrumCurve* scaled) {
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  std::string header = "Period (s) | PSA (g):";
  for (const auto& curve : report_.curves)
    if (!curve_name(curve.component).empty()) header += " | " + curve_name(curve.component);
  if (scaled) header += words(" | scaled", " | scalat");
  if (!report_.target.empty()) header += " | target";
  dialog_.set_text(C::table_header, header);
  dialog_.set_item_count(C::table, static_cast<int>(report_.periods.size()));
  for (std::size_t k = 0; k < report_.periods.size(); ++k) {
    std::string row = number_text(report_.periods[k]);
    for (const auto& curve : report_.curves)
      if (!curve_name(curve.component).empty()) row += " | " + number_text(curve.psa[k] / g);
    if (scaled) row += " | " + number_text(scaled->psa[k] * *factor_ / g);
    if (!report_.target.empty()) row += " | " + (report_.target[0][k] ? number_text(*report_.target[0][k] / g) : "-");
    dialog_.set_text(C::table, row, static_cast<int>(k) + 1);
  }
}

std::string SpectrumDialog::curve_name(const std::string& component) const {
  if (component == "rotd100") return "RotD100";
  char* end = nullptr;
  const long k = std::strtol(component.c_str(), &end, 10);
  if (end != component.c_str() && *end == '\0' && k >= 1 && k <= static_cast<long>(names_.size())) return names_[k - 1];
  return {};
}

ui::OpenFileRequest SpectrumDialog::file_request(const char* title, const char* filter_label, const char* pattern,
                                                 const char* extension) {
  ui::OpenFileRequest request;
  request.filters = {{filter_label, pattern}, {"All files (*)", "*"}};
  request.title = title;
  request.default_extension = extension;
  std::error_code error;
  request.initial_folder = std::filesystem::current_path(error).string();
  return request;
}

bool SpectrumDialog::choose_file(const char* title, const char* filter_label, const char* pattern,
                                 const char* extension, std::string& path) {
  const ui::OpenFileRequest request = file_request(title, filter_label, pattern, extension);
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  const bool confirmed = context_.toolkit.open_file_box(request, path);
  // The box makes the chosen file's folder current; the case files stay where they are.
  if (!error) std::filesystem::current_path(here, error);
  return confirmed;
}

bool SpectrumDialog::choose_file_to_write(const char* title, const char* filter_label, const char* pattern,
                                          const char* extension, std::string& path) {
  const ui::OpenFileRequest request = file_request(title, filter_label, pattern, extension);
  return dialogs::choose_file_to_write(context_, request, {}, path, "Spectrum Message");
}

void SpectrumDialog::browse() {
  std::string path;
  if (!choose_file("Design Spectrum Table", "Tables (*.csv, *.txt)", "*.csv;*.txt", "csv", path)) return;
  dialog_.set_text(C::parameters, path);
}

void SpectrumDialog::export_picture() {
  std::string path;
  if (!choose_file_to_write("Export the Spectra as a Picture", "Pictures (*.png)", "*.png", "png", path)) return;
  if (!dialog_.save_chart_picture(ui::id(C::chart), path))
    context_.message("The picture was not written: " + path, "Imaginea nu a fost scrisa: " + path, "Spectrum Message",
                     ui::Icon::error);
}

void SpectrumDialog::export_table() {
  std::string path;
  if (!choose_file_to_write("Export the Spectra as a Table", "Tables (*.csv)", "*.csv", "csv", path)) return;
  std::ostringstream text;
  motion::SpectrumOptions options = options_;
  if (!report_.factor) options.scale_range.reset();
  motion::write_report_csv({name_}, record_, options, report_, text);
  // Whole or not at all: a table cut short would pass for the spectra.
  std::string why;
  if (!model::case_files::replace_file(path, text.str(), why))
    context_.message("The table was not written: " + path + " (" + why + ")",
                     "Tabelul nu a fost scris: " + path + " (" + why + ")", "Spectrum Message", ui::Icon::error);
}

void SpectrumDialog::apply() {
  if (!factor_) return;
  result = factor_;
  dialog_.close(1);
}

// The match of the window's target over its period range, at its damping. Refused as `brantel
// match` refuses: without a target, beyond the record's usable periods, at a tolerance of 0 or less.
void SpectrumDialog::match() {
  std::string why;
  const std::optional<double> tolerance = typed_number(field(dialog_, C::tolerance));
  if (!problem_.empty())
    why = problem_;
  else if (dialog_.selection(C::design) <= 1)
    why = words("No target: choose a design spectrum to match.", "Nicio tinta: alegeti un spectru de proiectare.");
  else if (!options_.target || !options_.scale_range)
    why = dialog_.text(C::factor, 260);
  else if (!tolerance)
    why = words("Match tolerance: a number of percent above 0.", "Toleranta potrivirii: un numar de procente peste 0.");
  if (!why.empty()) {
    context_.toolkit.message_box(why, "Spectrum Message", ui::Icon::error, ui::Buttons::ok);
    return;
  }
  MatchInput input{&record_, names_, *options_.target, {}, report_.periods};
  input.request.from = options_.scale_range->first;
  input.request.to = options_.scale_range->second;
  input.request.damping = options_.request.dampings.front();
  input.request.tolerance = *tolerance / 100;
  const auto after = run_match_window(context_, input);
  if (!after) return;
  for (const auto& component : *after) {
    matched.emplace_back();
    for (const double a : component) matched.back().push_back(a / metres_per_unit_);
  }
  dialog_.close(1);
}

constexpr C callback_controls[] = {C::damping, C::design, C::parameters, C::browse,       C::from,  C::to,
                                   C::rule,    C::picture, C::table_export, C::apply, C::match};

}  // namespace

std::string unusual_factor_note(const Context& context, double factor) {
  if (factor >= 0.25 && factor <= 4) return {};
  return context.words("Outside 0.25 to 4: a record scaled that much seldom stands for a real motion.",
                       "In afara intervalului 0.25 - 4: o inregistrare scalata atat rar reprezinta o miscare reala.");
}

double shown_factor(double factor, bool round_up) {
  if (!(factor > 0) || !std::isfinite(factor)) return factor;
  const double unit = std::pow(10.0, std::floor(std::log10(factor)) - 8);
  const double steps = factor / unit;
  // A factor already at nine digits stays as it is, whatever the last bit of the division.
  const double whole = std::abs(steps - std::round(steps)) < 1e-5 ? std::round(steps)
                       : round_up                                  ? std::ceil(steps)
                                                                   : std::round(steps);
  // Printed and read back, the factor is the decimal shown, not a neighbour of it.
  return std::strtod(motion::report_number(whole * unit).c_str(), nullptr);
}

SpectrumChoice run_spectrum_window(Context& context, const SpectrumSource& source) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  SpectrumDialog logic(context, *dialog, source);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  logic.set_up();
  dialog->run_modal();
  return {logic.result, std::move(logic.matched)};
}

std::optional<double> run_spectrum_dialog(Context& context, const SpectrumSource& source) {
  return run_spectrum_window(context, source).factor;
}

}  // namespace dialogs::editors
