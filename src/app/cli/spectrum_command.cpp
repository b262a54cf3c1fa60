#include <array>
#include <cmath>
#include <ostream>
#include <string_view>

#include "app/cli/command.h"
#include "motion/read_options.h"
#include "motion/spectrum_report.h"
#include "suite/options.h"
#include "text/number_parse.h"

namespace app::cli {
namespace {

constexpr int exit_read = 0;
constexpr int exit_warnings = 1;
constexpr int exit_refused = 2;

constexpr std::string_view help_text =
    "Usage: brantel spectrum FILE... [options]\n"
    "Elastic response spectra of a record: SD, PSV and PSA of each component and damping, RotD and\n"
    "the geometric mean of two horizontal components, beside a design spectrum, with the factor\n"
    "that scales the record onto it. Several files are components 1, 2, 3 in order.\n"
    "Writes '# ' lines, then period,damping,component,sd,psv,psa[,target]: sd in m, psv in m/s,\n"
    "psa and target in the --to unit.\n"
    "\n"
    "Reading (as brantel motion):\n"
    "  --format auto|peer|cosmos|csmip|esm|knet|columns   the file's format (default auto)\n"
    "  --units g|m/s2|cm/s2|gal|mm/s2|in/s2|ft/s2         the file's unit when the format does not say it\n"
    "  --first-line N  --time-column N  --columns N[,N[,N]]  --dt S  --scale F  --resample S\n"
    "\n"
    "Spectra:\n"
    "  --damping Z[,Z...]          damping ratios, 0 <= Z < 1 (default 0.05)\n"
    "  --periods T,T,...           periods in seconds, or TMIN:TMAX:N (default 0.01:10:100)\n"
    "  --periods-file F            periods, one a line; at most 100000 periods however given\n"
    "  --periods-log TMIN:TMAX:N   N periods from TMIN to TMAX, even in log\n"
    "  --rotd P[,P...]             RotD percentiles of the horizontal pair (default 50,100)\n"
    "  --to UNIT                   unit of psa and target (default m/s2; g, cm/s2, ...)\n"
    "  --target TARGET             ec8:type=1,ground=B,ag=0.25g[,importance=1.2]\n"
    "                              asce7:sds=1.0,sd1=0.6,tl=8   csv:FILE (period,psa in g)\n"
    "  --scale-range TA:TB         the factor onto the target over TA..TB seconds\n"
    "  --scale-rule fit|min90      fit: least squares in log (default); min90: at least 90%\n"
    "                              of the target everywhere in range\n"
    "  --json                      one JSON object instead of the lines and CSV\n"
    "  --help                      this text\n"
    "\n"
    "The horizontal pair is the first two components that the files do not mark as vertical\n"
    "(\"Up\", \"UD\", \"HNZ\", \"V\", ...); the '# horizontal:' line names it. RotD and the geometric\n"
    "mean are of that pair, and the factor is found on its RotD100, else on its geometric mean,\n"
    "else on the one horizontal component, at 5% damping when it is asked for: the rule of 'brantel\n"
    "suite' and of the editors' Spectrum window. Each peak is that\n"
    "of the exact response to the record taken as linear between samples, to within 0.1%.\n"
    "Exit status: 0 read, 1 read with warnings, 2 refused (the reason on standard error).\n";

bool number(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

// "a,b,c" into numbers; false on anything else.
bool number_list(std::string_view text, std::vector<double>& values) {
  values.clear();
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    double value = 0;
    if (!number(text.substr(pos, end - pos), value)) return false;
    values.push_back(value);
    pos = end + 1;
  }
  return !values.empty();
}

class SpectrumCommand final : public Command {
 public:
  std::string_view name() const override { return "spectrum"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (std::size_t i = 0; i < motion::record_reading_options.size(); ++i) reading_[i].name = motion::record_reading_options[i];
    reading_.back().name = "--scale";
    for (Given& g : reading_) g.option = app.add_option(g.name, g.value);
    for (Given* g : {&damping_, &periods_, &periods_file_, &periods_log_, &rotd_, &to_, &target_, &range_, &rule_})
      g->option = app.add_option(g->name, g->value);
    app.add_flag("--json", json_);
    app.add_option("file", files_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel spectrum: " << why << "\nTry 'brantel spectrum --help'.\n";
    return exit_refused;
  }

  int run(std::ostream& out, std::ostream& err) override;

 private:
  using Given = GivenOption;
  // The options beyond reading, into `o`; the reason when one is wrong.
  std::string spectrum_options(motion::SpectrumOptions& o) const;

  // The reading options of every command that reads records, and --scale.
  std::array<Given, motion::record_reading_options.size() + 1> reading_{{"", "", "", "", "", "", "", ""}};
  Given damping_{"--damping"}, periods_{"--periods"}, periods_file_{"--periods-file"}, periods_log_{"--periods-log"},
      rotd_{"--rotd"}, to_{"--to"}, target_{"--target"}, range_{"--scale-range"}, rule_{"--scale-rule"};
  bool json_ = false;
  std::vector<std::string> files_;
};

// The forms and checks of `brantel suite`, option for option.
std::string SpectrumCommand::spectrum_options(motion::SpectrumOptions& o) const {
  if (damping_.given())
    if (std::string why = suite::parse_dampings(damping_.value, o.request.dampings); !why.empty()) return "--damping " + why;
  if (periods_.given() + periods_file_.given() + periods_log_.given() > 1)
    return "give one of --periods, --periods-file and --periods-log";
  if (periods_.given())
    if (std::string why = suite::parse_periods(periods_.value, o.request.periods); !why.empty()) return "--periods " + why;
  if (periods_file_.given())
    if (std::string why = suite::read_periods_file(periods_file_.value, o.request.periods); !why.empty()) return why;
  if (periods_log_.given())
    if (std::string why = suite::parse_log_periods(periods_log_.value, o.request.periods); !why.empty())
      return "--periods-log " + why;
  if (rotd_.given() && !number_list(rotd_.value, o.request.rotd_percentiles))
    return "--rotd needs percentiles such as 50,100";
  if (const std::string why = motion::spectrum_request_problem(o.request); !why.empty()) return why;
  if (to_.given()) {
    const auto unit = motion::unit_from_text(to_.value);
    if (!unit) return "unknown unit \"" + to_.value + "\"";
    o.psa_unit = *unit;
  }
  if (target_.given())
    if (std::string why = suite::parse_target(target_.value, o.target); !why.empty()) return "--target: " + why;
  if (range_.given()) {
    std::pair<double, double> range;
    if (std::string why = suite::parse_scale_range(range_.value, range); !why.empty()) return "--scale-range " + why;
    if (!o.target) return "--scale-range needs a --target";
    o.scale_range = range;
  }
  if (rule_.given()) {
    const auto rule = motion::scale_rule_from_name(rule_.value);
    if (!rule || (*rule != motion::ScaleRule::fit && *rule != motion::ScaleRule::min90))
      return "--scale-rule is fit or min90 (suite90 and match are rules of a suite of records)";
    o.scale_rule = *rule;
  }
  return {};
}

int SpectrumCommand::run(std::ostream& out, std::ostream& err) {
  if (files_.empty()) return misuse("no file given", err);
  motion::ReadOptions read_options;
  for (const Given& g : reading_)
    if (g.given())
      if (const std::string why = motion::apply_read_option(g.name, g.value, read_options); !why.empty()) return misuse(why, err);
  read_options.target = motion::TargetUnit(motion::Unit::m_s2);
  motion::SpectrumOptions options;
  if (const std::string why = spectrum_options(options); !why.empty()) return misuse(why, err);
  bool warned = false;
  std::vector<motion::Record> records;
  for (const std::string& file : files_) {
    const motion::ReadResult result = motion::read_motion_file(file, read_options);
    for (const motion::Problem& p : result.problems) {
      err << "brantel spectrum: " << (p.severity == motion::Severity::warning ? "warning: " : "") << file;
      if (p.line > 0) err << ':' << p.line;
      err << ": " << p.text << '\n';
    }
    if (result.outcome == motion::Outcome::refused) return exit_refused;
    warned = warned || result.outcome == motion::Outcome::read_with_warnings;
    // A spectrum in the wrong unit is a wrong spectrum: say which unit was assumed.
    if (!result.record.file_unit) {
      err << "brantel spectrum: warning: " << file << ": the file states no unit; values taken as m/s2 (give --units)\n";
      warned = true;
    }
    records.push_back(result.record);
  }
  const motion::CombinedRecord combined = motion::combine_records(records);
  if (!combined.error.empty()) {
    err << "brantel spectrum: " << combined.error << '\n';
    return exit_refused;
  }
  for (const std::string& w : combined.warnings) err << "brantel spectrum: warning: " << w << '\n';
  warned = warned || !combined.warnings.empty();
  if (combined.record.point_count() < 2) {
    err << "brantel spectrum: the record has fewer than two points\n";
    return exit_refused;
  }
  const motion::SpectrumReport report = motion::compute_report(combined.record, options);
  if (json_)
    motion::write_report_json(files_, combined.record, options, report, out);
  else
    motion::write_report_csv(files_, combined.record, options, report, out);
  return warned ? exit_warnings : exit_read;
}

}  // namespace

std::unique_ptr<Command> make_spectrum_command() { return std::make_unique<SpectrumCommand>(); }

}  // namespace app::cli
