#include "suite/suite.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "loadfile/check.h"
#include "loadfile/writer.h"
#include "model/case_files/atomic_file.h"
#include "motion/units.h"
#include "suite/output.h"
#include "suite/record_input.h"
#include "suite/record_match.h"
#include "suite/tables.h"
#include "suite/template.h"
#include "text/format.h"

namespace suite {

namespace fs = std::filesystem;

namespace {

loadfile::Timestamp now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec};
}

// The record's points as the case's accelerogram: each component in its direction, times the
// factor, at the record's own times.
std::vector<model::AccelPoint> points_of(const ReadRecord& r, double factor) {
  const motion::Record& record = r.record;
  std::vector<model::AccelPoint> points(record.point_count());
  for (std::size_t i = 0; i < points.size(); ++i) {
    model::AccelPoint& p = points[i];
    p.time = static_cast<float>(record.time_step * static_cast<double>(i));
    for (std::size_t k = 0; k < record.components.size(); ++k)
      p.acceleration[r.directions[k] - 1] = static_cast<float>(record.components[k][i] * factor);
  }
  return points;
}

// The analysis with the record in the case, and what changed besides its points in `note`.
model::Analysis record_analysis(const ReadRecord& r, const Settings& s, const Template& t, RecordResult& a) {
  const float duration = static_cast<float>(a.time_step * static_cast<double>(a.points - 1));
  if (s.keep_end_time) {
    if (duration > t.end_time)
      a.note = "warning: the record lasts " + text::g14_7_text(duration) + " s, longer than the case's end time " +
               text::g14_7_text(t.end_time) + " s, which is kept";
  } else {
    a.note = "end time of case set to " + text::g14_7_text(duration) + " s, the record's duration";
  }
  const bool one_direction = t.loading_type == model::LoadingType::accelerogram_1_direction;
  const auto direction = one_direction ? static_cast<model::AccelDirection>(r.directions.front())
                                       : model::AccelDirection::none;
  return with_record(t, s.case_number, points_of(r, a.factor), direction,
                     s.keep_end_time ? std::nullopt : std::optional<float>(duration));
}

// The bytes of a loading file checked as the solver will read them; the reason when they fail.
std::string check_written(const fs::path& path, std::string text, const Template& t, text::RecordSource& source) {
  source = text::RecordSource::adopt(std::move(text));
  loadfile::CheckOptions options = t.check;
  const loadfile::CheckReport report = loadfile::check_loading_records(path.string(), source, options);
  if (!loadfile::has_errors(report.problems)) return {};
  std::string why = "the loading file would not pass the check:";
  int shown = 0;
  for (const loadfile::Problem& p : report.problems)
    if (p.severity == loadfile::Severity::error && shown++ < 3) why += "\n  " + loadfile::problem_line(p);
  return why;
}

// Builds, checks and writes the loading file of one record; the reason when it is not written.
std::string write_record_file(const ReadRecord& r, const Settings& s, const Template& t, RecordResult& a) {
  const fs::path path = fs::path(s.out_dir) / (a.stem + ".inc");
  for (const Record& other : s.records)
    for (const std::string& file : other.files)
      if (same_file(path, file)) return path.string() + " is the record file " + file + ", which is never written over";
  for (const fs::path& input : t.inputs)
    if (same_file(path, input)) return path.string() + " is " + input.string() + ", which is never written over";
  text::RecordSource source;
  {
    const model::Analysis analysis = record_analysis(r, s, t, a);
    std::string text = loadfile::write(analysis, {now(), path.string(), t.romanian});
    if (std::string why = check_written(path, std::move(text), t, source); !why.empty()) return why;
  }
  model::case_files::AtomicFile file(path.string());
  // In one piece, as it was built and checked: a text this large goes to the file without
  // passing through the writer's buffer, which would be one more copy of its first megabyte.
  if (file.open() == model::case_files::OutputStatus::ok) file.write({source.text().get(), source.text_size()});
  if (const model::case_files::OutputStatus status = file.finish(); status != model::case_files::OutputStatus::ok)
    return path.string() + " cannot be written" +
           (file.error_number() != 0 ? std::string(": ") + std::strerror(file.error_number()) : std::string());
  a.written = path.string();
  return {};
}

}  // namespace

std::string settings_problem(const Settings& s) {
  if (s.template_path.empty()) return "no template loading file named";
  if (s.case_number < 1) return "--case needs the number of the accelerogram case, from 1";
  if (s.records.empty()) return "no record named (--records FILE[,FILE...]...)";
  if (!s.direction.empty() && directions_of(s.direction).empty())
    return "--direction takes X, Y, Z, XY or XYZ, not \"" + s.direction + "\"";
  // A code sets the range of its rule: code_settings_problem judges the rule given with it.
  if (s.rule != Rule::none && !s.code && (!s.target || !s.scale_range))
    return "--scale-rule needs --target and --scale-range";
  if (s.tolerance && s.rule != Rule::match) return "--tolerance goes with --scale-rule match";
  if (s.tolerance && !(*s.tolerance > 0 && std::isfinite(*s.tolerance)))
    return "--tolerance needs a ratio above 0, such as 0.10";
  if (s.scale_range && s.rule == Rule::none) return "--scale-range needs --scale-rule";
  if (s.scale_range && !(s.scale_range->first > 0 && s.scale_range->first < s.scale_range->second))
    return "--scale-range needs TA:TB with 0 < TA < TB seconds";
  if (!(s.damping >= 0 && s.damping < 1)) return "--damping needs a ratio from 0 to below 1";
  if (std::string why = code_settings_problem(s); !why.empty()) return why;
  for (const Record& r : s.records)
    if (r.files.empty() || std::any_of(r.files.begin(), r.files.end(), [](const std::string& f) { return f.empty(); }))
      return "an empty record file name";
  std::set<std::string> stems;
  const std::vector<std::string> names = stems_of(s.records);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!stems.insert(names[i]).second)
      return "two records named \"" + stem_of(s.records[i]) + "\": their loading files would have one name";
  return {};
}

unsigned jobs_for(const Settings& s) {
  const unsigned asked = s.jobs > 0 ? s.jobs : std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::min<std::size_t>({asked, max_jobs, std::max<std::size_t>(1, s.records.size())}));
}

Suite::Suite(const Settings& settings, std::unique_ptr<Template> t)
    : settings_(settings), template_(std::move(t)), results_(settings.records.size()), records_(results_.size()) {
  const std::vector<std::string> stems = stems_of(settings_.records);
  for (std::size_t i = 0; i < results_.size(); ++i) results_[i].stem = stems[i];
  previous_ = previous_suite_files(settings_.out_dir);
  periods_ = settings_.periods.empty() ? motion::default_periods() : settings_.periods;
  target_ = target_m_s2(settings_, periods_);
}

Suite::~Suite() = default;

std::unique_ptr<Suite> Suite::open(const Settings& settings, std::ostream& err) {
  if (const std::string why = settings_problem(settings); !why.empty()) {
    err << "brantel suite: " << why << '\n';
    return nullptr;
  }
  std::unique_ptr<Template> t = read_template(settings, err);
  if (!t) return nullptr;
  return std::unique_ptr<Suite>(new Suite(settings, std::move(t)));
}

std::string Suite::unit_name() const { return template_->unit.name(); }

void Suite::analyse(std::size_t i) {
  RecordResult& a = results_[i];
  try {
    auto r = std::make_unique<ReadRecord>(read_record(settings_.records[i], settings_, *template_));
    if (r->error.empty()) apply_processing(settings_.records[i], settings_, *template_, *r, a);
    if (r->error.empty() && settings_.rule == Rule::match) match_suite_record(settings_.records[i], settings_, *template_, *r, a);
    a.warnings = std::move(r->warnings);
    a.error = std::move(r->error);
    if (a.error.empty()) analyse_record(*r, settings_, *template_, a);
    if (a.error.empty()) records_[i] = std::move(r);
  } catch (const std::exception& e) {
    a.error = settings_.records[i].files.front() + ": " + e.what();
  }
  a.analysed = a.error.empty();
}

Factors Suite::find_factors(std::string& why) {
  const Settings& s = settings_;
  if (s.code) return find_code_factors(why);
  if (s.rule == Rule::suite90) {
    std::vector<std::vector<double>> psa;
    for (const RecordResult& a : results_)
      if (a.analysed && a.error.empty()) psa.push_back(a.curves[a.factor_curve].psa);
    if (psa.empty()) {
      why = "no record could be read";
      return {FactorsOutcome::no_record_read};
    }
    const motion::ScaleFactor f = motion::suite90(periods_, psa, target_, s.scale_range->first, s.scale_range->second);
    if (!f.problem.empty()) {
      why = "no suite90 factor: " + f.problem;
      return {FactorsOutcome::no_suite_factor};
    }
    for (RecordResult& a : results_) a.factor = f.factor;
  } else if (s.rule != Rule::none && s.rule != Rule::match) {
    // A matched record is written as matched: its fit came before the match.
    for (RecordResult& a : results_) {
      if (!a.analysed || !a.error.empty()) continue;
      const motion::ScaleFactor f = motion::scale_factor(periods_, a.curves[a.factor_curve].psa, target_,
                                                         s.scale_range->first, s.scale_range->second, s.rule);
      if (!f.problem.empty()) a.error = "no " + std::string(motion::scale_rule_name(s.rule)) + " factor: " + f.problem;
      else a.factor = f.factor;
    }
  }
  return {};
}

void Suite::write(std::size_t i) {
  RecordResult& a = results_[i];
  if (!a.error.empty()) return;
  if (!records_[i]) {
    a.error = settings_.records[i].files.front() + ": not analysed";
    return;
  }
  try {
    a.error = write_record_file(*records_[i], settings_, *template_, a);
  } catch (const std::exception& e) {
    a.error = e.what();
  }
  records_[i].reset();
}

ui::SpectraPicture Suite::picture(bool written_only) const {
  const Settings& s = settings_;
  ui::SpectraPicture picture;
  picture.title = std::string(s.rule == Rule::match ? "Matched spectra, " : "Scaled spectra, ") + number(100 * s.damping) + "% damping" +
                  (s.rule == Rule::none || !s.scale_range ? std::string()
                                        : ", " + std::string(motion::scale_rule_name(s.rule)) + " over " +
                                              number(s.scale_range->first) + "-" + number(s.scale_range->second) + " s");
  // In g, as the Suite window's chart: one unit wherever the suite's spectra are drawn.
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  picture.y_title = "PSA (g)";
  picture.periods = periods_;
  std::vector<double> mean(periods_.size(), 0.0);
  for (const RecordResult& a : results_) {
    if (written_only ? a.written.empty() : !(a.analysed && a.error.empty())) continue;
    ui::SpectraPicture::Curve curve{a.stem, a.curves[a.factor_curve].psa};
    for (std::size_t k = 0; k < curve.values.size(); ++k) {
      curve.values[k] *= a.factor / g;
      mean[k] += curve.values[k];
    }
    picture.records.push_back(std::move(curve));
  }
  if (!picture.records.empty()) {
    for (double& v : mean) v /= static_cast<double>(picture.records.size());
    picture.mean = ui::SpectraPicture::Curve{"mean", mean};
  }
  if (s.target)
    for (const std::optional<double>& t : target_) picture.target.push_back(t ? std::optional<double>(*t / g) : std::nullopt);
  picture.range = s.scale_range;
  return picture;
}

}  // namespace suite
