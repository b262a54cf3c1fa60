#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cli/command.h"
#include "motion/integrate.h"
#include "motion/matching.h"
#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/read_options.h"
#include "motion/spectrum_report.h"
#include "text/number_parse.h"

namespace app::cli {
namespace {

constexpr int exit_matched = 0;
constexpr int exit_short_of_goals = 1;  // above the tolerance, or not at rest
constexpr int exit_refused = 2;

constexpr std::string_view help_text =
    "Usage: brantel match FILE... --target TARGET --match-range TA:TB [options]\n"
    "Matches a record to a design spectrum in the time domain: the record is scaled by the 'fit'\n"
    "factor over the range, then adjusted by wavelets until its spectrum is within the tolerance\n"
    "of the target at every period of a dense grid, and baseline-corrected so that it ends at rest.\n"
    "One file of one component: that component. Two horizontal components (two files, or two\n"
    "columns): the pair, so that its RotD100 spectrum fits the target.\n"
    "Writes '# ' lines, then time,a1[,a2] in the --to unit.\n"
    "\n"
    "Reading (as brantel motion):\n"
    "  --format auto|peer|cosmos|csmip|esm|knet|columns   the file's format (default auto)\n"
    "  --units g|m/s2|cm/s2|gal|mm/s2|in/s2|ft/s2         the file's unit when the format does not say it\n"
    "  --first-line N  --time-column N  --columns N[,N]  --dt S  --scale F  --resample S\n"
    "\n"
    "Matching:\n"
    "  --target TARGET             ec8:type=1,ground=B,ag=0.25g[,importance=1.2]\n"
    "                              asce7:sds=1.0,sd1=0.6,tl=8   csv:FILE (period,psa in g)\n"
    "  --match-range TA:TB         the periods matched, in seconds\n"
    "  --damping Z                 damping ratio, 0 <= Z < 1 (default 0.05)\n"
    "  --tolerance R               largest |PSA/target - 1| accepted (default 0.10)\n"
    "  --periods-per-decade N      of the grid the misfit is judged on (default 100)\n"
    "  --max-iterations N          (default 40)\n"
    "  --to UNIT                   unit of the record written (default m/s2; g, cm/s2, ...)\n"
    "  --measures                  '# ' lines of the measures of the scaled seed and the matched record\n"
    "  --json                      one JSON object instead of the lines and CSV\n"
    "  --help                      this text\n"
    "\n"
    "Exit status: 0 matched within the tolerance and ending at rest, 1 stopped above the\n"
    "tolerance or not ending at rest (why on standard error), 2 refused (the reason on standard\n"
    "error).\n";

constexpr std::string_view drift_warning =
    "the record does not end at rest: a final velocity above 1 % of its PGV or a final displacement "
    "above 5 % of its PGD; correct its baseline before use";

bool number(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

std::string percent(double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", 100.0 * ratio);
  return text;
}

// The relative change from `before` to `after`, as a percentage; none for a zero before.
std::string change(double before, double after) { return before > 0 ? percent(after / before - 1.0) : "none"; }

double d5_95(const motion::IntensityMeasures& m) { return m.d5_95.value_or(0.0); }

// The record matched, with each component's measures before (the scaled seed) and after.
struct Matched {
  struct Component {
    motion::IntensityMeasures seed, matched;
    motion::Drift drift;
  };
  const motion::Record& seed;
  const motion::MatchResult& result;
  std::vector<Component> parts;
  std::string on;  // the component matched, or the pair's RotD100

  Matched(const motion::Record& record, const motion::MatchResult& r) : seed(record), result(r) {
    const double step = seed.time_step;
    for (std::size_t c = 0; c < r.components.size(); ++c)
      parts.push_back({motion::intensity_measures(r.scaled_seed[c], step),
                       motion::intensity_measures(r.components[c], step), motion::drift_of(r.components[c], step)});
    on = r.components.size() == 1 ? "1" : "rotd100";
  }
  // "" for one component, " 2" for the second of two: the lines of each are told apart.
  std::string number_of(std::size_t c) const { return parts.size() > 1 ? " " + std::to_string(c + 1) : ""; }
};

class MatchCommand final : public Command {
 public:
  std::string_view name() const override { return "match"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (std::size_t i = 0; i < motion::record_reading_options.size(); ++i) reading_[i].name = motion::record_reading_options[i];
    reading_.back().name = "--scale";
    for (Given& g : reading_) g.option = app.add_option(g.name, g.value);
    for (Given* g : {&target_, &range_, &damping_, &tolerance_, &per_decade_, &iterations_, &to_})
      g->option = app.add_option(g->name, g->value);
    app.add_flag("--measures", measures_);
    app.add_flag("--json", json_);
    app.add_option("file", files_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel match: " << why << "\nTry 'brantel match --help'.\n";
    return exit_refused;
  }

  int run(std::ostream& out, std::ostream& err) override;

 private:
  using Given = GivenOption;
  std::string match_options();
  std::optional<motion::Record> read_seed(const motion::ReadOptions& options, std::ostream& err) const;
  void write_json(std::ostream& out, const Matched& m) const;
  std::string summary_text(const Matched& m) const;
  std::string measures_text(const Matched& m) const;
  std::string samples_text(const Matched& m) const;
  int goals_met(const motion::MatchResult& r, std::ostream& err) const;

  std::array<Given, motion::record_reading_options.size() + 1> reading_{{"", "", "", "", "", "", "", ""}};
  Given target_{"--target"}, range_{"--match-range"}, damping_{"--damping"}, tolerance_{"--tolerance"},
      per_decade_{"--periods-per-decade"}, iterations_{"--max-iterations"}, to_{"--to"};
  bool measures_ = false, json_ = false;
  std::vector<std::string> files_;
  motion::MatchRequest request_;
  std::optional<motion::DesignSpectrum> target_spectrum_;
  motion::Unit unit_ = motion::Unit::m_s2;
};

std::string MatchCommand::match_options() {
  if (!target_.given()) return "no --target: give the design spectrum to match";
  std::string error;
  target_spectrum_ = motion::parse_design_spectrum(target_.value, error);
  if (!target_spectrum_) return "--target: " + error;
  if (!range_.given()) return "no --match-range: give the periods to match as TA:TB";
  const std::size_t colon = range_.value.find(':');
  if (colon == std::string::npos || !number(std::string_view(range_.value).substr(0, colon), request_.from) ||
      !number(std::string_view(range_.value).substr(colon + 1), request_.to) || !(request_.from > 0) ||
      !(request_.to > request_.from))
    return "--match-range needs TA:TB in seconds, such as 0.05:6";
  if (damping_.given() && !number(damping_.value, request_.damping)) return "--damping needs a ratio such as 0.05";
  if (tolerance_.given() && (!number(tolerance_.value, request_.tolerance) || !(request_.tolerance > 0)))
    return "--tolerance needs a ratio above 0, such as 0.10";
  double count = 0;
  if (per_decade_.given()) {
    if (!number(per_decade_.value, count) || count != std::floor(count) || count < 2 || count > 10000)
      return "--periods-per-decade needs a whole number from 2 to 10000";
    request_.periods_per_decade = static_cast<int>(count);
  }
  if (iterations_.given()) {
    if (!number(iterations_.value, count) || count != std::floor(count) || count < 1 || count > 10000)
      return "--max-iterations needs a whole number from 1 to 10000";
    request_.max_iterations = static_cast<int>(count);
  }
  if (to_.given()) {
    const auto unit = motion::unit_from_text(to_.value);
    if (!unit) return "unknown unit \"" + to_.value + "\"";
    unit_ = *unit;
  }
  return {};
}

int MatchCommand::run(std::ostream& out, std::ostream& err) {
  if (files_.empty()) return misuse("no file given", err);
  motion::ReadOptions read_options;
  for (const Given& g : reading_)
    if (g.given())
      if (const std::string why = motion::apply_read_option(g.name, g.value, read_options); !why.empty()) return misuse(why, err);
  read_options.target = motion::TargetUnit(motion::Unit::m_s2);
  if (const std::string why = match_options(); !why.empty()) return misuse(why, err);
  const std::optional<motion::Record> seed = read_seed(read_options, err);
  if (!seed) return exit_refused;
  // On the numbers the Spectrum window matches the same record on, read into a case.
  const motion::MatchSeed numbers = motion::match_seed(seed->components, seed->time_step);
  const motion::MatchResult r = motion::match_record(numbers.components, numbers.step, *target_spectrum_, request_);
  if (!r.problem.empty()) return err << "brantel match: " << r.problem << '\n', exit_refused;
  const Matched matched(*seed, r);
  if (json_)
    write_json(out, matched);
  else
    out << summary_text(matched) + (measures_ ? measures_text(matched) : "") + samples_text(matched);
  return goals_met(r, err);
}

// The files read and combined into one record of one or two components; none when refused, the
// reasons told on `err`.
std::optional<motion::Record> MatchCommand::read_seed(const motion::ReadOptions& options, std::ostream& err) const {
  std::vector<motion::Record> records;
  for (const std::string& file : files_) {
    const motion::ReadResult result = motion::read_motion_file(file, options);
    for (const motion::Problem& p : result.problems) {
      err << "brantel match: " << (p.severity == motion::Severity::warning ? "warning: " : "") << file;
      if (p.line > 0) err << ':' << p.line;
      err << ": " << p.text << '\n';
    }
    if (result.outcome == motion::Outcome::refused) return std::nullopt;
    if (!result.record.file_unit)
      err << "brantel match: warning: " << file << ": the file states no unit; values taken as m/s2 (give --units)\n";
    records.push_back(result.record);
  }
  motion::CombinedRecord combined = motion::combine_records(records);
  if (!combined.error.empty()) return err << "brantel match: " << combined.error << '\n', std::nullopt;
  for (const std::string& w : combined.warnings) err << "brantel match: warning: " << w << '\n';
  return std::move(combined.record);
}

void MatchCommand::write_json(std::ostream& out, const Matched& m) const {
  const motion::MatchResult& r = m.result;
  const double step = m.seed.time_step, to_unit = 1.0 / motion::unit_in_m_s2(unit_);
  nlohmann::ordered_json j;
  j["files"] = files_;
  j["target"] = target_spectrum_->description();
  j["range"] = {request_.from, request_.to};
  j["damping"] = request_.damping;
  j["tolerance"] = request_.tolerance;
  j["matched_on"] = m.on;
  j["seed_factor"] = r.seed_factor;
  j["misfit_before"] = {{"max", r.before.max}, {"mean", r.before.mean}, {"worst_period", r.before.worst_period}};
  j["misfit_after"] = {{"max", r.after.max}, {"mean", r.after.mean}, {"worst_period", r.after.worst_period}};
  j["within_tolerance"] = r.within_tolerance;
  j["at_rest"] = r.at_rest;
  j["wavelets"] = r.wavelets;
  j["iterations"] = r.iterations;
  j["padding"] = {{"before", static_cast<double>(r.lead_in) * step}, {"after", static_cast<double>(r.lead_out) * step}};
  nlohmann::ordered_json comps = nlohmann::ordered_json::array();
  for (std::size_t c = 0; c < m.parts.size(); ++c) {
    const Matched::Component& p = m.parts[c];
    nlohmann::ordered_json o;
    o["final_velocity"] = p.drift.final_velocity;
    o["final_displacement"] = p.drift.final_displacement;
    o["change"] = {{"pga", p.matched.pga / p.seed.pga - 1}, {"pgv", p.matched.pgv / p.seed.pgv - 1},
                   {"pgd", p.matched.pgd / p.seed.pgd - 1}, {"arias", p.matched.arias / p.seed.arias - 1},
                   {"d5_95", d5_95(p.seed) > 0 ? d5_95(p.matched) / d5_95(p.seed) - 1 : 0.0}};
    std::vector<double> values;
    for (const double a : r.components[c]) values.push_back(a * to_unit);
    o["acceleration"] = values;
    comps.push_back(o);
  }
  j["unit"] = motion::unit_name(unit_);
  j["time_step"] = step;
  j["start_time"] = m.seed.start_time;
  j["components"] = comps;
  out << j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

// The '# ' lines of what was matched, how well, and how the record changed.
std::string MatchCommand::summary_text(const Matched& m) const {
  const motion::MatchResult& r = m.result;
  const double step = m.seed.time_step;
  std::string text;
  for (const auto& file : files_) text += "# file: " + file + '\n';
  text += "# target: " + target_spectrum_->description() + '\n';
  text += "# match range: " + motion::report_number(request_.from) + "-" + motion::report_number(request_.to) +
          " s, damping " + motion::report_number(request_.damping) + ", " + std::to_string(request_.periods_per_decade) +
          " periods a decade, matched on " + m.on + '\n';
  text += "# seed factor: " + motion::report_number(r.seed_factor) + '\n';
  text += "# misfit before: max " + percent(r.before.max) + ", mean " + percent(r.before.mean) + '\n';
  text += "# misfit after: max " + percent(r.after.max) + ", mean " + percent(r.after.mean) + '\n';
  text += "# wavelets: " + std::to_string(r.wavelets) + '\n';
  text += "# iterations: " + std::to_string(r.iterations) + '\n';
  text += "# padding: " + motion::report_number(static_cast<double>(r.lead_in) * step) + " s before, " +
          motion::report_number(static_cast<double>(r.lead_out) * step) + " s after\n";
  std::string velocity, displacement;
  for (const Matched::Component& p : m.parts) {
    velocity += (velocity.empty() ? "" : ", ") + motion::report_number(p.drift.final_velocity) + " m/s";
    displacement += (displacement.empty() ? "" : ", ") + motion::report_number(p.drift.final_displacement) + " m";
  }
  text += "# final velocity: " + velocity + '\n';
  text += "# final displacement: " + displacement + '\n';
  if (!r.at_rest) text += "# warning: " + std::string(drift_warning) + '\n';
  for (std::size_t c = 0; c < m.parts.size(); ++c) {
    const Matched::Component& p = m.parts[c];
    text += "# change" + m.number_of(c) + ": pga " + change(p.seed.pga, p.matched.pga) + ", pgv " +
            change(p.seed.pgv, p.matched.pgv) + ", pgd " + change(p.seed.pgd, p.matched.pgd) + ", arias " +
            change(p.seed.arias, p.matched.arias) + ", d5-95 " + change(d5_95(p.seed), d5_95(p.matched)) + '\n';
  }
  return text;
}

// The '# ' lines of --measures: each component's measures as scaled, then as matched.
std::string MatchCommand::measures_text(const Matched& m) const {
  auto line = [&](const char* what, std::size_t c, const motion::IntensityMeasures& measures) {
    return "# measures" + m.number_of(c) + ", " + what + ": pga " + motion::report_number(measures.pga) +
           " m/s2, pgv " + motion::report_number(measures.pgv) + " m/s, pgd " + motion::report_number(measures.pgd) +
           " m, arias " + motion::report_number(measures.arias) + " m/s, d5-95 " +
           motion::report_number(d5_95(measures)) + " s\n";
  };
  std::string text;
  for (std::size_t c = 0; c < m.parts.size(); ++c)
    text += line("scaled seed", c, m.parts[c].seed) + line("matched", c, m.parts[c].matched);
  return text;
}

// The matched record in the --to unit: the unit line, the header, one line a time step.
std::string MatchCommand::samples_text(const Matched& m) const {
  const motion::MatchResult& r = m.result;
  const double step = m.seed.time_step, to_unit = 1.0 / motion::unit_in_m_s2(unit_);
  std::string text = "# unit: " + std::string(motion::unit_name(unit_)) + '\n';
  text += m.parts.size() == 1 ? "time,a1\n" : "time,a1,a2\n";
  for (std::size_t i = 0; i < r.components[0].size(); ++i) {
    text += motion::report_number(m.seed.start_time + static_cast<double>(i) * step);
    for (const auto& c : r.components) text += ',' + motion::report_number(c[i] * to_unit);
    text += '\n';
  }
  return text;
}

// The exit status, the goals the match fell short of told on `err`.
int MatchCommand::goals_met(const motion::MatchResult& r, std::ostream& err) const {
  if (!r.at_rest) err << "brantel match: warning: " << drift_warning << '\n';
  if (!r.within_tolerance)
    err << "brantel match: the misfit stays above the tolerance: max " << percent(r.after.max) << " at "
        << motion::report_number(r.after.worst_period) << " s (tolerance " << percent(request_.tolerance) << ")\n";
  return r.within_tolerance && r.at_rest ? exit_matched : exit_short_of_goals;
}

}  // namespace

std::unique_ptr<Command> make_match_command() { return std::make_unique<MatchCommand>(); }

}  // namespace app::cli
