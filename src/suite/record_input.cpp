#include "suite/record_input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/rigid_periods.h"
#include "motion/spectrum.h"

namespace suite {

namespace {

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

bool is_vertical(const std::vector<motion::Orientation>& orientations, std::size_t k) {
  return k < orientations.size() && orientations[k].axis == motion::Axis::vertical;
}

// Components in order into X, Y, Z, except that one the file marks as vertical goes into Z when
// the model has it: X and Y, the horizontal pair, never get a vertical component.
std::vector<int> default_directions(const std::vector<motion::Orientation>& orientations, int n_dof) {
  std::vector<int> directions(orientations.size(), 0);
  bool used[4] = {};
  auto take = [&](std::size_t k, int d) { directions[k] = d, used[d] = true; };
  for (std::size_t k = 0; k < orientations.size() && orientations.size() > 1 && n_dof >= 3; ++k)
    if (is_vertical(orientations, k) && !used[3]) take(k, 3);
  for (const bool vertical : {false, true})
    for (std::size_t k = 0; k < orientations.size(); ++k)
      if (directions[k] == 0 && is_vertical(orientations, k) == vertical)
        take(k, static_cast<int>(std::find(used + 1, used + 4, false) - used));
  return directions;
}

// One file of the record in the model's unit.
motion::ReadResult read_file(const std::string& file, const Record& entry, const Template& t) {
  motion::ReadOptions options = entry.options;
  options.target = t.unit;
  return motion::read_motion_file(file, options);
}

// The components of a further file of the record appended; the reason when they do not fit.
std::string append_file(ReadRecord& out, motion::Record&& next, const std::string& file, const Record& entry) {
  if (out.record.components.empty()) {
    out.record = std::move(next);
    return {};
  }
  // Steps that agree to a part in 10^9 are one step printed with other digits.
  if (std::abs(next.time_step - out.record.time_step) > 1e-9 * out.record.time_step)
    return file + ": its time step " + number(next.time_step) + " s differs from " + number(out.record.time_step) +
           " s of " + entry.files.front() + "; give --resample S";
  next.orientations.resize(next.components.size());
  out.record.orientations.insert(out.record.orientations.end(), next.orientations.begin(), next.orientations.end());
  for (auto& c : next.components) out.record.components.push_back(std::move(c));
  return {};
}

// The record's files one after another; false when one of them cannot be used. A record the
// suite processes is not warned of as read without correction.
bool read_files(const Record& entry, const Template& t, bool processed, ReadRecord& out) {
  for (const std::string& file : entry.files) {
    motion::ReadResult r = read_file(file, entry, t);
    for (const motion::Problem& p : r.problems) {
      if (processed && motion::says_uncorrected(p)) continue;
      std::string where = file + (p.line > 0 ? ":" + std::to_string(p.line) : "");
      if (p.severity == motion::Severity::warning) out.warnings.push_back(where + ": " + p.text);
      else if (out.error.empty()) out.error = where + ": " + p.text;
    }
    if (r.outcome == motion::Outcome::refused) {
      if (out.error.empty()) out.error = file + ": cannot be read";
      return false;
    }
    if (!r.record.file_unit) {
      out.error = file + ": the file's unit is not known; give --units";
      return false;
    }
    if (std::string why = append_file(out, std::move(r.record), file, entry); !why.empty()) {
      out.error = std::move(why);
      return false;
    }
  }
  return true;
}

// The directions of the components, and the reason when they do not fit the case.
void place_components(const Record& entry, const Settings& s, const Template& t, ReadRecord& out) {
  const auto& components = out.record.components;
  const bool one_direction = t.loading_type == model::LoadingType::accelerogram_1_direction;
  out.directions = directions_of(s.direction);
  if (s.direction.empty()) out.directions = default_directions(out.record.orientations, t.n_dof);
  for (std::size_t k = 0; k < out.directions.size() && k < components.size(); ++k)
    if (components.size() > 1 && is_vertical(out.record.orientations, k) && out.directions[k] < 3)
      out.warnings.push_back(entry.files.front() + ": component " + std::to_string(k + 1) + " (" +
                             out.record.orientations[k].name + ") is vertical and goes into direction " +
                             "XY"[out.directions[k] - 1]);
  if (one_direction && components.size() != 1) {
    out.error = entry.files.front() + ": " + std::to_string(components.size()) +
                " components, and the case is an accelerogram of one direction";
  } else if (!one_direction && out.directions.size() != components.size()) {
    out.error = entry.files.front() + ": " + std::to_string(components.size()) + " components for the " +
                std::to_string(out.directions.size()) + " directions " + (s.direction.empty() ? "X, Y, Z" : s.direction);
  } else if (!one_direction && *std::max_element(out.directions.begin(), out.directions.end()) > t.n_dof) {
    out.error = "the model has " + std::to_string(t.n_dof) + " degrees of freedom per node: no direction Z";
  }
}

}  // namespace

std::vector<int> directions_of(std::string_view text) {
  std::vector<int> directions;
  for (char c : text) {
    const int d = c == 'X' || c == 'x' ? 1 : c == 'Y' || c == 'y' ? 2 : c == 'Z' || c == 'z' ? 3 : 0;
    if (d == 0 || std::find(directions.begin(), directions.end(), d) != directions.end()) return {};
    directions.push_back(d);
  }
  return directions;
}

ReadRecord read_record(const Record& entry, const Settings& s, const Template& t) {
  ReadRecord out;
  if (!read_files(entry, t, entry.processing.has_value() || s.processing.has_value(), out)) return out;
  out.record.orientations.resize(out.record.components.size());
  auto& components = out.record.components;
  std::size_t longest = 0;
  for (const auto& c : components) longest = std::max(longest, c.size());
  for (auto& c : components)
    if (c.size() < longest) {
      out.warnings.push_back(entry.files.front() + ": components of unequal length; the shorter are zero after their end");
      c.resize(longest, 0.0);
    }
  if (longest < 2) {
    out.error = entry.files.front() + ": fewer than two points";
    return out;
  }
  place_components(entry, s, t, out);
  return out;
}

namespace {

// The largest in magnitude of a drift's value over the components.
double largest(const std::vector<motion::Drift>& drift, double motion::Drift::*value) {
  double worst = 0;
  for (const motion::Drift& d : drift)
    if (std::abs(d.*value) > std::abs(worst)) worst = d.*value;
  return worst;
}

}  // namespace

void apply_processing(const Record& entry, const Settings& s, const Template& t, ReadRecord& r, RecordResult& a) {
  const std::optional<motion::ProcessingOptions>& options = entry.processing ? entry.processing : s.processing;
  if (!options) return;
  motion::Record& record = r.record;
  if (const auto fault = motion::processing_fault(*options, record.time_step)) {
    r.error = entry.files.front() + ": " + motion::fault_text(*fault, *options, record.time_step);
    return;
  }
  // Processing is linear in the record, so it is done in the model's unit, the unit written.
  motion::ProcessedRecord processed = motion::process_record(record.components, record.time_step, *options);
  record.components = std::move(processed.components);
  const double to_m_s2 = t.unit.in_m_s2();
  RecordProcessing p;
  for (const motion::ProcessingStep& step : processed.steps) p.steps.push_back(motion::step_text(step));
  p.final_velocity = largest(processed.drift, &motion::Drift::final_velocity) * to_m_s2;
  p.final_displacement = largest(processed.drift, &motion::Drift::final_displacement) * to_m_s2;
  p.usable_to = processed.usable_period;
  p.within_limits = processed.within_limits;
  if (!p.within_limits)
    r.warnings.push_back(entry.files.front() + ": processed, the record still drifts beyond the limits");
  if (p.usable_to && s.scale_range && *p.usable_to < s.scale_range->second) {
    p.short_of_range = true;
    r.warnings.push_back(entry.files.front() + ": its usable periods end at " + number(*p.usable_to) +
                         " s, below the scaling range's " + number(s.scale_range->second) + " s");
  }
  a.processing = std::move(p);
}

namespace {

// The measures of the record in m/s2: the model's values times `to_m_s2`, a linear change that
// the peak takes exactly and the Arias intensity as its square.
void measure(const motion::Record& record, double to_m_s2, RecordResult& a) {
  for (const auto& c : record.components) {
    const motion::IntensityMeasures m = motion::intensity_measures(c, record.time_step);
    a.pga = std::max(a.pga, m.pga * to_m_s2);
    if (m.arias * to_m_s2 * to_m_s2 >= a.arias) {
      a.arias = m.arias * to_m_s2 * to_m_s2;
      a.d5_95 = m.d5_95;
    }
  }
}

}  // namespace

std::vector<std::size_t> scaled_components(const ReadRecord& r) {
  // RotD100 only of a horizontal pair: the components in X and Y, neither marked vertical.
  const auto& o = r.record.orientations;
  const std::size_t n = r.directions.size();
  const auto x = static_cast<std::size_t>(std::find(r.directions.begin(), r.directions.end(), 1) - r.directions.begin());
  const auto y = static_cast<std::size_t>(std::find(r.directions.begin(), r.directions.end(), 2) - r.directions.begin());
  if (x < n && y < n && !is_vertical(o, x) && !is_vertical(o, y)) return {x, y};
  return {motion::horizontal_components(o, r.record.components.size()).front()};
}

void analyse_record(const ReadRecord& r, const Settings& s, const Template& t, RecordResult& a) {
  const motion::Record& record = r.record;
  a.points = record.point_count();
  a.time_step = record.time_step;
  a.duration = record.time_step * static_cast<double>(a.points - 1);
  const double to_m_s2 = t.unit.in_m_s2();
  measure(record, to_m_s2, a);
  motion::SpectrumRequest request;
  request.periods = s.periods.empty() ? motion::default_periods() : s.periods;
  request.dampings = {s.damping};
  const auto& o = record.orientations;
  const std::size_t n = r.directions.size();
  const std::vector<std::size_t> scaled = scaled_components(r);
  const bool pair = scaled.size() == 2;
  const std::size_t x = scaled.front(), y = scaled.back(), one = scaled.front();
  if (pair) request.pair = std::array{x, y};
  request.rotd_percentiles = pair ? std::vector<double>{100.0} : std::vector<double>{};
  a.curves = pair || record.components.size() < 2
                 ? motion::spectra_with_rigid_periods(record.components, record.time_step, request)
                 : motion::spectra_with_rigid_periods({record.components[one]}, record.time_step, request);
  // Spectra are linear in the record: those of the model's values times the unit's factor.
  for (motion::SpectrumCurve& c : a.curves)
    for (auto* values : {&c.sd, &c.psv, &c.psa})
      for (double& v : *values) v *= to_m_s2;
  if (!pair)
    for (motion::SpectrumCurve& c : a.curves) c.component = std::to_string(one + 1);
  const std::string factor_component = pair ? "rotd100" : std::to_string(one + 1);
  for (std::size_t i = 0; i < a.curves.size(); ++i)
    if (a.curves[i].component == factor_component) a.factor_curve = i;
  // Each component kept with its direction and PGA, as a design code's rules take them.
  for (std::size_t k = 0; k < record.components.size(); ++k) {
    if (!pair && record.components.size() >= 2 && k != one) continue;
    const int d = k < n ? r.directions[k] : 1;
    a.directions.push_back(d >= 1 && d <= 3 ? "XYZ"[d - 1] : 'X');
    a.component_pga.push_back(motion::intensity_measures(record.components[k], record.time_step).pga * to_m_s2);
  }
  const auto named = [&](std::size_t k) { return std::to_string(k + 1) + (o[k].name.empty() ? "" : " (" + o[k].name + ")"); };
  a.scaled_on = pair ? "RotD100 of " + named(x) + " and " + named(y) : "component " + named(one);
}

}  // namespace suite
