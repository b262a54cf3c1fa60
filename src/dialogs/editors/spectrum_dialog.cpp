#include "dialogs/editors/spectrum_dialog.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/dialog_initializer.h"
#include "dialogs/write_box.h"
#include "model/case_files/atomic_file.h"
#include "motion/spectrum_report.h"
#include "text/fixed_text.h"
#include "ui/templates/response_spectrum.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::ResponseSpectrum;

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
    for (const auto& c : source.components) {
      std::vector<double> m_s2;
      m_s2.reserve(c.size());
      for (double v : c) m_s2.push_back(v * source.metres_per_unit);
      record_.components.push_back(std::move(m_s2));
    }
    name_ = source.name;
    options_.psa_unit = motion::Unit::g;
    options_.request.rotd_percentiles.clear();
  }

  void set_up() {
    dialog_.set_text(C::damping, "5");
    dialog_.select(C::design, 1);
    dialog_.select(C::rule, 1);
    dialog_.set_enabled(C::browse, false);
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
      default: break;
    }
    refresh();
  }

  std::optional<double> result;

 private:
  void compute_spectra();
  void refresh();
  void browse();
  void export_picture();
  void export_table();
  void apply();
  bool choose_file(const char* title, const char* filter_label, const char* pattern, const char* extension,
                   std::string& path);
  // A save box that asks before replacing and refuses the analysis' files.
  bool choose_file_to_write(const char* title, const char* filter_label, const char* pattern, const char* extension,
                            std::string& path);

  Context& context_;
  ui::Dialog& dialog_;
  motion::Record record_;
  std::string name_;
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
  factor_.reset();
  std::string reason = problem_;
  // The spectra stay; the design spectrum, range and factor follow the fields.
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
    std::vector<motion::SpectrumCurve> curves = std::move(report_.curves);
    report_ = {};
    report_.periods = options_.request.periods;
    report_.curves = std::move(curves);
    if (options_.target) {
      const double g = motion::unit_in_m_s2(motion::Unit::g);
      std::vector<std::optional<double>> t;
      for (double period : report_.periods) {
        const auto psa = options_.target->psa_g(period, options_.request.dampings.front());
        t.push_back(psa ? std::optional<double>(*psa * g) : std::nullopt);
      }
      report_.target.push_back(std::move(t));
    }
    if (options_.target && options_.scale_range) {
      const std::size_t curve = record_.components.size() >= 2 ? record_.components.size() : 0;  // geomean or 1
      report_.factor_curve = report_.curves[curve].component;
      report_.factor_damping = options_.request.dampings.front();
      report_.factor = motion::scale_factor(report_.periods, report_.curves[curve].psa, report_.target.front(),
                                            options_.scale_range->first, options_.scale_range->second,
                                            options_.scale_rule);
      if (!report_.factor->problem.empty())
        reason = "No factor: " + report_.factor->problem + ".";
      else
        factor_ = shown_factor(report_.factor->factor, options_.scale_rule == motion::ScaleRule::min90);
    }
  }
  // The chart: PSA in g of each component (and their geometric mean), the design spectrum.
  ui::ChartContent chart;
  chart.x_title = "Period (s)";
  chart.y_title = "PSA (g)";
  chart.log_x = true;
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  for (const auto& curve : report_.curves) {
    ui::PlotSeries s{curve.component == "geomean" ? "geometric mean" : "component " + curve.component,
                     report_.periods, {}};
    for (double psa : curve.psa) s.y.push_back(psa / g);
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
  dialog_.set_chart(ui::id(C::chart), chart);
  // The factor.
  if (factor_) {
    dialog_.set_text(C::factor, number_text(*factor_) + "\n" + std::string(motion::scale_rule_name(options_.scale_rule)) +
                                     " of " + (report_.factor_curve == "geomean" ? "the geometric mean" : "component " + report_.factor_curve) +
                                     " at " + number_text(100 * report_.factor_damping) + "% damping over " + number_text(options_.scale_range->first) + "-" +
                                     number_text(options_.scale_range->second) + " s (" +
                                     std::to_string(report_.factor->periods_used) + " periods)");
  } else {
    dialog_.set_text(C::factor, reason.empty() ? "Choose a design spectrum." : reason);
  }
  dialog_.set_enabled(C::apply, factor_.has_value());
  // The table: one row a period, PSA in g of each curve and of the target.
  std::string header = "Period (s) | PSA (g):";
  for (const auto& curve : report_.curves) header += curve.component == "geomean" ? " | mean" : " | " + curve.component;
  if (!report_.target.empty()) header += " | target";
  dialog_.set_text(C::table_header, header);
  dialog_.set_item_count(C::table, static_cast<int>(report_.periods.size()));
  for (std::size_t k = 0; k < report_.periods.size(); ++k) {
    std::string row = number_text(report_.periods[k]);
    for (const auto& curve : report_.curves) row += " | " + number_text(curve.psa[k] / g);
    if (!report_.target.empty()) row += " | " + (report_.target[0][k] ? number_text(*report_.target[0][k] / g) : "-");
    dialog_.set_text(C::table, row, static_cast<int>(k) + 1);
  }
}

bool SpectrumDialog::choose_file(const char* title, const char* filter_label, const char* pattern,
                                 const char* extension, std::string& path) {
  ui::OpenFileRequest request;
  request.filters = {{filter_label, pattern}, {"All files (*)", "*"}};
  request.title = title;
  request.default_extension = extension;
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  request.initial_folder = here.string();
  const bool confirmed = context_.toolkit.open_file_box(request, path);
  // The box makes the chosen file's folder current; the case files stay where they are.
  if (!error) std::filesystem::current_path(here, error);
  return confirmed;
}

bool SpectrumDialog::choose_file_to_write(const char* title, const char* filter_label, const char* pattern,
                                          const char* extension, std::string& path) {
  ui::OpenFileRequest request;
  request.filters = {{filter_label, pattern}, {"All files (*)", "*"}};
  request.title = title;
  request.default_extension = extension;
  std::error_code error;
  request.initial_folder = std::filesystem::current_path(error).string();
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

constexpr C callback_controls[] = {C::damping, C::design, C::parameters, C::browse,       C::from,
                                   C::to,      C::rule,   C::picture,    C::table_export, C::apply};

}  // namespace

double shown_factor(double factor, bool round_up) {
  if (!(factor > 0) || !std::isfinite(factor)) return factor;
  const double unit = std::pow(10.0, std::floor(std::log10(factor)) - 3);
  const double steps = factor / unit;
  // A factor already at four digits stays as it is, whatever the last bit of the division.
  const double whole = std::abs(steps - std::round(steps)) < 1e-9 * steps ? std::round(steps)
                       : round_up                                          ? std::ceil(steps)
                                                                           : std::round(steps);
  // Printed and read back, the factor is the decimal shown, not a neighbour of it.
  return std::strtod(number_text(whole * unit).c_str(), nullptr);
}

std::optional<double> run_spectrum_dialog(Context& context, const SpectrumSource& source) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  SpectrumDialog logic(context, *dialog, source);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  logic.set_up();
  dialog->run_modal();
  return logic.result;
}

}  // namespace dialogs::editors
