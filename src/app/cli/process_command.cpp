#include <array>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string_view>

#include "app/cli/command.h"
#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/read_options.h"
#include "motion/spectrum_report.h"
#include "text/number_parse.h"

namespace app::cli {
namespace {

constexpr int exit_processed = 0;
constexpr int exit_drifting = 1;
constexpr int exit_refused = 2;

constexpr std::string_view help_text =
    "Usage: brantel process FILE... [options]\n"
    "Processes a raw ground-motion record into one fit for the analysis: the mean (or a line)\n"
    "removed, a Hann taper, zeros added at both ends, zero-phase Butterworth filters applied in\n"
    "the frequency domain, and a polynomial baseline fitted to the displacement. Several files are\n"
    "components 1, 2, 3 in order. Writes '# ' lines (the steps done, the final velocity and\n"
    "displacement, the usable periods), then time,a1[,a2,a3] as brantel motion does.\n"
    "\n"
    "Reading (as brantel motion):\n"
    "  --format auto|peer|cosmos|csmip|esm|knet|columns   the file's format (default auto)\n"
    "  --units g|m/s2|cm/s2|gal|mm/s2|in/s2|ft/s2         the file's unit when the format does not say it\n"
    "  --first-line N  --time-column N  --columns N[,N[,N]]  --dt S  --scale F  --resample S\n"
    "\n"
    "Processing:\n"
    "  --highpass F|auto      high-pass corner in Hz; auto: the lowest of 0.02 x 1.25^k Hz, at most\n"
    "                         1 Hz, with which the record meets the drift limits at its own\n"
    "                         last point (the padding's far end is at rest for any corner)\n"
    "  --lowpass F            low-pass corner in Hz\n"
    "  --order N              order of the filters, 1 to 8 (default 4)\n"
    "  --taper FRAC           share of the length tapered at each end, 0 to 0.5 (default 0.05)\n"
    "  --pad S|auto           seconds of zeros at each end; auto (default): 0.75 N / f_highpass\n"
    "  --baseline none|mean|linear|poly6\n"
    "                         mean or line removed first; poly6 (the default with a high-pass):\n"
    "                         the mean, and after the filters a polynomial of degree 6 fitted to\n"
    "                         the displacement\n"
    "  --trim                 cut the padding back to the record's own span\n"
    "  --to UNIT              output unit (default m/s2)\n"
    "  --measures             also the measures of each component before and after\n"
    "  --help                 this text\n"
    "\n"
    "Drift limits: |final velocity| <= 1% of PGV, |final displacement| <= 5% of PGD.\n"
    "Exit status: 0 processed within the drift limits, 1 processed but still drifting (the\n"
    "component named on standard error), 2 refused (the reason on standard error).\n";

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

void write_measures(const std::string& when, const std::vector<std::vector<double>>& components, double step,
                    double unit_in_m_s2, const std::string& unit, std::ostream& out) {
  for (std::size_t c = 0; c < components.size(); ++c) {
    const motion::IntensityMeasures m = motion::intensity_measures(components[c], step);
    const std::string of = "# " + when + (components.size() > 1 ? " a" + std::to_string(c + 1) : std::string()) + ": ";
    out << of << "pga " << number(m.pga / unit_in_m_s2) << ' ' << unit << ", pgv " << number(m.pgv) << " m/s, pgd "
        << number(m.pgd) << " m, arias intensity " << number(m.arias) << " m/s\n";
  }
}

class ProcessCommand final : public Command {
 public:
  std::string_view name() const override { return "process"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (std::size_t i = 0; i < motion::record_reading_options.size(); ++i) reading_[i].name = motion::record_reading_options[i];
    reading_.back().name = "--scale";
    for (Given& g : reading_) g.option = app.add_option(g.name, g.value);
    for (Given* g : {&highpass_, &lowpass_, &order_, &taper_, &pad_, &baseline_, &to_}) g->option = app.add_option(g->name, g->value);
    app.add_flag("--trim", trim_);
    app.add_flag("--measures", measures_);
    app.add_option("file", files_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel process: " << why << "\nTry 'brantel process --help'.\n";
    return exit_refused;
  }

  int run(std::ostream& out, std::ostream& err) override;

 private:
  using Given = GivenOption;
  std::string processing_options(motion::ProcessingOptions& o, motion::Unit& unit) const;
  bool read(motion::Record& record, std::ostream& err) const;

  std::array<Given, motion::record_reading_options.size() + 1> reading_{{"", "", "", "", "", "", "", ""}};
  Given highpass_{"--highpass"}, lowpass_{"--lowpass"}, order_{"--order"}, taper_{"--taper"}, pad_{"--pad"},
      baseline_{"--baseline"}, to_{"--to"};
  bool trim_ = false, measures_ = false;
  std::vector<std::string> files_;
};

bool real_number(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

std::string ProcessCommand::processing_options(motion::ProcessingOptions& o, motion::Unit& unit) const {
  double value = 0;
  if (highpass_.given()) {
    if (highpass_.value == "auto") o.highpass_auto = true;
    else if (real_number(highpass_.value, value)) o.highpass = value;
    else return "--highpass needs a corner in Hz or auto";
  }
  if (lowpass_.given()) {
    if (!real_number(lowpass_.value, value)) return "--lowpass needs a corner in Hz";
    o.lowpass = value;
  }
  if (order_.given()) {
    if (!real_number(order_.value, value) || value != std::floor(value)) return "--order needs a whole number, 1 to 8";
    o.order = value < -100 ? -100 : value > 100 ? 100 : static_cast<int>(value);
  }
  if (taper_.given()) {
    if (!real_number(taper_.value, value)) return "--taper needs a share of the length, 0 to 0.5";
    o.taper = value;
  }
  if (pad_.given() && pad_.value != "auto") {
    if (!real_number(pad_.value, value)) return "--pad needs seconds or auto";
    o.pad = value;
  }
  if (baseline_.given()) {
    o.baseline = motion::baseline_from_name(baseline_.value);
    if (!o.baseline) return "--baseline is none, mean, linear or poly6";
  }
  if (to_.given()) {
    const auto u = motion::unit_from_text(to_.value);
    if (!u) return "unknown unit \"" + to_.value + "\"";
    unit = *u;
  }
  o.trim = trim_;
  return {};
}

// The files as one record in m/s2; false when refused (the reason written).
bool ProcessCommand::read(motion::Record& record, std::ostream& err) const {
  motion::ReadOptions read_options;
  for (const Given& g : reading_)
    if (g.given())
      if (const std::string why = motion::apply_read_option(g.name, g.value, read_options); !why.empty()) {
        misuse(why, err);
        return false;
      }
  read_options.target = motion::TargetUnit(motion::Unit::m_s2);
  std::vector<motion::Record> records;
  for (const std::string& file : files_) {
    const motion::ReadResult result = motion::read_motion_file(file, read_options);
    for (const motion::Problem& p : result.problems) {
      err << "brantel process: " << (p.severity == motion::Severity::warning ? "warning: " : "") << file;
      if (p.line > 0) err << ':' << p.line;
      err << ": " << p.text << '\n';
    }
    if (result.outcome == motion::Outcome::refused) return false;
    // Velocity and displacement in the wrong unit are wrong drifts: say which unit was assumed.
    if (!result.record.file_unit)
      err << "brantel process: warning: " << file << ": the file states no unit; values taken as m/s2 (give --units)\n";
    records.push_back(result.record);
  }
  motion::CombinedRecord combined = motion::combine_records(records);
  for (const std::string& w : combined.warnings) err << "brantel process: warning: " << w << '\n';
  if (!combined.error.empty() || combined.record.point_count() < 2) {
    err << "brantel process: " << (combined.error.empty() ? "the record has fewer than two points" : combined.error) << '\n';
    return false;
  }
  record = std::move(combined.record);
  return true;
}

std::string joined(const std::vector<motion::Drift>& drift, double motion::Drift::*member) {
  std::string text;
  for (const motion::Drift& d : drift) text += (text.empty() ? "" : ",") + number(d.*member);
  return text;
}

int ProcessCommand::run(std::ostream& out, std::ostream& err) {
  if (files_.empty()) return misuse("no file given", err);
  if (files_.size() > 3) return misuse("at most three files, one a component", err);
  motion::ProcessingOptions options;
  motion::Unit unit = motion::Unit::m_s2;
  if (const std::string why = processing_options(options, unit); !why.empty()) return misuse(why, err);
  motion::Record record;
  if (!read(record, err)) return exit_refused;
  if (const auto fault = motion::processing_fault(options, record.time_step))
    return misuse(motion::fault_text(*fault, options, record.time_step), err);
  const motion::ProcessedRecord processed = motion::process_record(record.components, record.time_step, options);

  const double in_m_s2 = motion::unit_in_m_s2(unit);
  const std::string unit_name = motion::TargetUnit(unit).name();
  for (const std::string& file : files_) out << "# file: " << file << '\n';
  out << "# format: " << motion::format_name(record.format) << " (" << motion::format_title(record.format) << ")\n";
  if (record.file_unit)
    out << "# unit: " << motion::unit_name(*record.file_unit) << " in the file, written in " << unit_name << '\n';
  else
    out << "# unit: not stated, taken as m/s2, written in " << unit_name << '\n';
  const std::size_t points = processed.components.front().size();
  out << "# points: " << points << '\n';
  out << "# time step: " << number(record.time_step) << " s\n";
  out << "# duration: " << number(static_cast<double>(points - 1) * record.time_step) << " s\n";
  for (std::size_t i = 0; i < processed.steps.size(); ++i)
    out << "# step " << i + 1 << ": " << motion::step_text(processed.steps[i]) << '\n';
  out << "# final velocity: " << joined(processed.drift, &motion::Drift::final_velocity) << " m/s\n";
  out << "# final displacement: " << joined(processed.drift, &motion::Drift::final_displacement) << " m\n";
  if (processed.usable_period) out << "# usable periods: up to " << number(*processed.usable_period) << " s\n";
  if (measures_) {
    write_measures("before", record.components, record.time_step, in_m_s2, unit_name, out);
    write_measures("after", processed.components, record.time_step, in_m_s2, unit_name, out);
  }
  // Padded, the output starts at time 0 with the first zero added; trimmed, where the record did.
  const double start = processed.lead > 0.0 ? 0.0 : record.start_time;
  std::string text = "time";
  for (std::size_t c = 0; c < processed.components.size(); ++c) text += ",a" + std::to_string(c + 1);
  text += '\n';
  for (std::size_t i = 0; i < points; ++i) {
    text += number(start + static_cast<double>(i) * record.time_step);
    for (const auto& component : processed.components) text += ',' + number(component[i] / in_m_s2);
    text += '\n';
    if (text.size() >= (1 << 16)) {
      out << text;
      text.clear();
    }
  }
  out << text;
  if (const auto c = processed.drifting_component()) {
    const motion::Drift& d = processed.drift[*c];
    err << "brantel process: component " << *c + 1 << " still drifts: final velocity " << number(d.final_velocity)
        << " m/s (limit " << number(motion::velocity_drift_limit * d.pgv) << "), final displacement "
        << number(d.final_displacement) << " m (limit " << number(motion::displacement_drift_limit * d.pgd) << ")\n";
    return exit_drifting;
  }
  return exit_processed;
}

}  // namespace

std::unique_ptr<Command> make_process_command() { return std::make_unique<ProcessCommand>(); }

}  // namespace app::cli
