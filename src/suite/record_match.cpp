#include "suite/record_match.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "motion/matching.h"
#include "motion/measures.h"
#include "motion/processing.h"

namespace suite {

namespace {

std::string percent(double ratio) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.3g %%", 100.0 * ratio);
  return buffer;
}

std::string seconds(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.4g s", value);
  return buffer;
}

// after / before - 1; none of a measure the seed does not have.
double change(double before, double after) { return before > 0 ? after / before - 1.0 : 0.0; }

// The changes and the drift of the matched components from the scaled seed, in m/s2 both.
void measure_changes(const motion::MatchResult& m, double step, RecordMatching& out) {
  motion::IntensityMeasures seed_most, matched_most;
  double strongest = -1.0;
  std::optional<double> seed_d, matched_d;
  for (std::size_t j = 0; j < m.components.size(); ++j) {
    const motion::IntensityMeasures seed = motion::intensity_measures(m.scaled_seed[j], step);
    const motion::IntensityMeasures matched = motion::intensity_measures(m.components[j], step);
    using M = motion::IntensityMeasures;
    for (double M::*field : {&M::pga, &M::pgv, &M::pgd, &M::arias}) {
      seed_most.*field = std::max(seed_most.*field, seed.*field);
      matched_most.*field = std::max(matched_most.*field, matched.*field);
    }
    if (seed.arias > strongest) {
      strongest = seed.arias;
      seed_d = seed.d5_95;
      matched_d = matched.d5_95;
    }
    const motion::Drift drift = motion::drift_of(m.components[j], step);
    if (std::abs(drift.final_velocity) > std::abs(out.final_velocity)) out.final_velocity = drift.final_velocity;
    if (std::abs(drift.final_displacement) > std::abs(out.final_displacement))
      out.final_displacement = drift.final_displacement;
  }
  out.pga_change = change(seed_most.pga, matched_most.pga);
  out.pgv_change = change(seed_most.pgv, matched_most.pgv);
  out.pgd_change = change(seed_most.pgd, matched_most.pgd);
  out.arias_change = change(seed_most.arias, matched_most.arias);
  if (seed_d && matched_d && *seed_d > 0) out.d5_95_change = *matched_d / *seed_d - 1.0;
}

}  // namespace

std::optional<std::pair<double, double>> match_range(const Settings& s) {
  if (s.code && !s.structure_periods.empty()) return code_range({*s.code, s.structure_periods, s.t90});
  return s.scale_range;
}

std::string above_tolerance_text(const RecordMatching& m) {
  return "misfit max " + percent(m.after.max) + " at " + seconds(m.after.worst_period) + ", above the tolerance of " +
         percent(m.tolerance);
}

void match_suite_record(const Record& entry, const Settings& s, const Template& t, ReadRecord& r, RecordResult& a) {
  const std::optional<std::pair<double, double>> range = match_range(s);
  if (!s.target || !range) {
    r.error = entry.files.front() + ": cannot be matched without a target and a period range";
    return;
  }
  motion::Record& record = r.record;
  const std::vector<std::size_t> matched = scaled_components(r);
  // The matcher works in m/s2: its drift and changes are read in the units of the tables.
  const double to_m_s2 = t.unit.in_m_s2();
  std::vector<std::vector<double>> seed;
  for (std::size_t k : matched) {
    seed.push_back(record.components[k]);
    for (double& v : seed.back()) v *= to_m_s2;
  }
  motion::MatchRequest request;
  request.from = range->first;
  request.to = range->second;
  request.damping = s.damping;
  request.tolerance = s.tolerance.value_or(default_tolerance);
  const motion::MatchResult m = motion::match_record(seed, record.time_step, *s.target, request);
  if (!m.problem.empty()) {
    r.error = entry.files.front() + ": cannot be matched: " + m.problem;
    return;
  }
  RecordMatching out;
  out.seed_factor = m.seed_factor;
  out.tolerance = request.tolerance;
  out.before = m.before;
  out.after = m.after;
  out.wavelets = m.wavelets;
  out.iterations = m.iterations;
  out.within_tolerance = m.within_tolerance;
  out.padding_before = static_cast<double>(m.lead_in) * record.time_step;
  out.padding_after = static_cast<double>(m.lead_out) * record.time_step;
  measure_changes(m, record.time_step, out);
  for (std::size_t k = 0; k < record.components.size(); ++k) {
    std::vector<double>& c = record.components[k];
    const auto j = static_cast<std::size_t>(std::find(matched.begin(), matched.end(), k) - matched.begin());
    if (j < matched.size()) {
      c = m.components[j];
      for (double& v : c) v /= to_m_s2;
      continue;
    }
    // Scaled as the record is, and in step with the matched components.
    for (double& v : c) v *= m.seed_factor;
    c.insert(c.begin(), m.lead_in, 0.0);
    c.insert(c.end(), m.lead_out, 0.0);
  }
  for (const std::vector<double>& c : record.components)
    if (c.size() != record.components.front().size()) {
      r.error = entry.files.front() + ": the matched components differ in length";
      return;
    }
  if (!out.within_tolerance)
    r.warnings.push_back(entry.files.front() + ": matched, " + above_tolerance_text(out));
  a.matching = out;
}

}  // namespace suite
