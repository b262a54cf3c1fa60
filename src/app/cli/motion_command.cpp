#include <cmath>
#include <cstdio>
#include <ostream>
#include <string_view>

#include "app/cli/command.h"
#include "motion/read_options.h"
#include "motion/measures.h"
#include "motion/reader.h"

namespace app::cli {
namespace {

using namespace motion;

constexpr int exit_read = 0;
constexpr int exit_warnings = 1;
constexpr int exit_refused = 2;

constexpr std::string_view help_text =
    "Usage: brantel motion FILE [options]\n"
    "Reads a ground-motion record or a load history and writes it as CSV: '# ' lines with the\n"
    "format found, point count, time step, duration and peak, then time,a1[,a2,a3].\n"
    "\n"
    "Options:\n"
    "  --format auto|peer|cosmos|csmip|esm|knet|columns   the file's format (default auto)\n"
    "  --units g|m/s2|cm/s2|gal|mm/s2|in/s2|ft/s2         the file's unit when the format does not say it\n"
    "  --first-line N        first data line, 1-based (columns)\n"
    "  --time-column N       the time column, 1-based; 0: no time column (columns)\n"
    "  --columns N[,N[,N]]   value columns, 1-based (channels of a several-channel file)\n"
    "  --dt S                time step in seconds when there is no time column\n"
    "  --scale F             multiply every value by F\n"
    "  --resample S          resample linearly onto the uniform step S seconds\n"
    "  --to UNIT             output unit (default m/s2)\n"
    "  --measures            also print '# ' lines with PGA, PGV, PGD, Arias intensity, the\n"
    "                        significant durations D5-75 and D5-95 and CAV of each component\n"
    "  --help                this text\n"
    "\n"
    "Exit status: 0 read, 1 read with warnings, 2 refused (the reason on standard error).\n";

// At least nine significant digits: more than a 32-bit real holds, so nothing the analysis
// reads is lost to the printing.
std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

void write_problems(const std::string& file, const std::vector<Problem>& problems, std::ostream& err) {
  for (const Problem& p : problems) {
    err << "brantel motion: " << (p.severity == Severity::warning ? "warning: " : "") << file;
    if (p.line > 0) err << ':' << p.line;
    err << ": " << p.text << '\n';
  }
}

void write_summary(const std::string& file, const Record& r, std::ostream& out) {
  out << "# file: " << file << '\n';
  out << "# format: " << format_name(r.format) << " (" << format_title(r.format) << ")\n";
  if (r.file_unit)
    out << "# unit: " << unit_name(*r.file_unit) << " in the file, written in " << r.unit << '\n';
  else
    out << "# unit: not stated, values as in the file\n";
  out << "# points: " << r.point_count() << '\n';
  out << "# time step: " << number(r.time_step) << " s\n";
  out << "# duration: " << number(r.duration()) << " s\n";
  const std::string unit = r.file_unit ? " " + r.unit : "";
  for (std::size_t c = 0; c < r.components.size(); ++c) {
    const Peak peak = peak_of(r.components[c]);
    out << "# peak a" << c + 1 << ": " << number(peak.value) << unit << " at " << number(r.time(peak.index)) << " s\n";
  }
}

// In SI units whatever the output unit, so that they compare with published values; PGA also
// in the output unit, as the peaks above.
// false when they are no numbers (said on `err`).
bool write_measures(const std::string& file, const Record& r, double unit_in_m_s2, std::ostream& out, std::ostream& err) {
  if (!r.file_unit) {
    out << "# measures: not computed, the file's unit is not known (give --units)\n";
    return true;
  }
  for (std::size_t c = 0; c < r.components.size(); ++c) {
    std::vector<double> a = r.components[c];
    for (double& v : a) v *= unit_in_m_s2;
    const IntensityMeasures m = intensity_measures(a, r.time_step);
    if (const std::string why = measures_problem(m); !why.empty()) {
      out << "# measures: not computed: " << why << '\n';
      err << "brantel motion: warning: " << file << ": measures not computed: " << why << '\n';
      return false;
    }
    const std::string of = r.components.size() > 1 ? " a" + std::to_string(c + 1) : "";
    auto duration = [](const std::optional<double>& d) { return d ? number(*d) + " s" : std::string("none (no motion)"); };
    out << "# pga" << of << ": " << number(m.pga / unit_in_m_s2) << ' ' << r.unit << '\n';
    out << "# pgv" << of << ": " << number(m.pgv) << " m/s\n";
    out << "# pgd" << of << ": " << number(m.pgd) << " m\n";
    out << "# arias intensity" << of << ": " << number(m.arias) << " m/s\n";
    out << "# d5-75" << of << ": " << duration(m.d5_75) << '\n';
    out << "# d5-95" << of << ": " << duration(m.d5_95) << '\n';
    out << "# cav" << of << ": " << number(m.cav) << " m/s\n";
  }
  return true;
}

// In pieces of about this size: a long record is never held as text all at once.
constexpr std::size_t write_piece_bytes = 1 << 16;

void write_values(const Record& r, std::ostream& out) {
  std::string text = "time";
  for (std::size_t c = 0; c < r.components.size(); ++c) text += ",a" + std::to_string(c + 1);
  text += '\n';
  text.reserve(write_piece_bytes + 256);
  for (std::size_t i = 0; i < r.point_count(); ++i) {
    text += number(r.time(i));
    for (const auto& component : r.components) text += ',' + number(component[i]);
    text += '\n';
    if (text.size() >= write_piece_bytes) {
      out << text;
      text.clear();
    }
  }
  out << text;
}

// `brantel motion FILE [options]`: the time-history reader for scripts. Writes the summary and
// the CSV to `out`, warnings and the reason of a refusal to `err`.
class MotionCommand final : public Command {
 public:
  std::string_view name() const override { return "motion"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (Given& given : given_) given.option = app.add_option(given.name, given.value);
    app.add_flag("--measures", measures_);
    app.add_option("file", files_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel motion: " << why << "\nTry 'brantel motion --help'.\n";
    return exit_refused;
  }

  int run(std::ostream& out, std::ostream& err) override {
    if (files_.empty()) return misuse("no file given", err);
    if (files_.size() > 1) return misuse("one file only (\"" + files_[0] + "\" and \"" + files_[1] + "\")", err);
    ReadOptions options;
    for (const Given& given : given_)
      if (given.option->count() > 0)
        if (const std::string why = motion::apply_read_option(given.name, given.value, options); !why.empty()) return misuse(why, err);
    const std::string& file = files_.front();
    const ReadResult result = read_motion_file(file, options);
    write_problems(file, result.problems, err);
    if (result.outcome == Outcome::refused) return exit_refused;
    write_summary(file, result.record, out);
    const bool measured = !measures_ || write_measures(file, result.record, options.target.in_m_s2(), out, err);
    write_values(result.record, out);
    return result.outcome == Outcome::read && measured ? exit_read : exit_warnings;
  }

 private:
  using Given = GivenOption;
  Given given_[9] = {{"--format"}, {"--units"}, {"--first-line"}, {"--time-column"}, {"--columns"},
                     {"--dt"},     {"--scale"}, {"--resample"},   {"--to"}};
  bool measures_ = false;
  std::vector<std::string> files_;
};

}  // namespace

std::unique_ptr<Command> make_motion_command() { return std::make_unique<MotionCommand>(); }

}  // namespace app::cli
