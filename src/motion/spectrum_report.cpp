#include "motion/spectrum_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "motion/rigid_periods.h"

namespace motion {

std::string report_number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

CombinedRecord combine_records(const std::vector<Record>& records) {
  CombinedRecord out;
  if (records.empty()) return out.error = "no record", out;
  out.record = records.front();
  out.record.components.clear();
  out.record.orientations.clear();
  std::size_t longest = 0;
  std::string lengths;
  bool unequal = false;
  for (const Record& r : records) {
    // Steps that agree to a part in 10^9 are the same step printed with other digits.
    if (std::abs(r.time_step - records.front().time_step) > 1e-9 * records.front().time_step)
      return out.error = "the files have different time steps (" + report_number(records.front().time_step) + " s and " +
                         report_number(r.time_step) + " s); give --resample S",
             out;
    std::vector<Orientation> orientations = r.orientations;
    orientations.resize(r.components.size());
    out.record.orientations.insert(out.record.orientations.end(), orientations.begin(), orientations.end());
    for (const auto& c : r.components) {
      if (!out.record.components.empty() && c.size() != out.record.components.front().size()) unequal = true;
      out.record.components.push_back(c);
      longest = std::max(longest, c.size());
      lengths += (lengths.empty() ? "" : ", ") + std::to_string(c.size());
    }
  }
  if (out.record.components.size() > 3)
    return out.error = "more than three components (" + std::to_string(out.record.components.size()) + ")", out;
  if (unequal) {
    for (auto& c : out.record.components) c.resize(longest, 0.0);
    out.warnings.push_back("components of " + lengths + " points; the shorter ones are zero after their end");
  }
  return out;
}

namespace {

std::size_t curve_index(const SpectrumReport& report, const std::string& component, double damping) {
  for (std::size_t i = 0; i < report.curves.size(); ++i)
    if (report.curves[i].component == component && report.curves[i].damping == damping) return i;
  return report.curves.size();
}

double psa_in(double m_s2, Unit unit) { return m_s2 / unit_in_m_s2(unit); }

std::string percent(double ratio) { return report_number(100 * ratio) + "%"; }

// Which components are combined is worth saying where there is a choice, or a vertical one.
bool says_directions(const Record& record) {
  return record.components.size() > 1 ||
         std::any_of(record.orientations.begin(), record.orientations.end(), [](const Orientation& o) { return o.axis == Axis::vertical; });
}

}  // namespace

SpectrumReport compute_report(const Record& record, const SpectrumOptions& options) {
  SpectrumReport report;
  report.periods = options.request.periods;
  report.horizontal = horizontal_components(record.orientations, record.components.size());
  const std::vector<std::size_t>& horizontal = report.horizontal;
  SpectrumRequest request = options.request;
  request.pair = horizontal.size() == 2 ? std::optional(std::array{horizontal[0], horizontal[1]}) : std::nullopt;
  report.curves = spectra_with_rigid_periods(record.components, record.time_step, request);
  add_target_and_factor(report, options);
  return report;
}

void add_target_and_factor(SpectrumReport& report, const SpectrumOptions& options) {
  report.target.clear();
  report.factor.reset();
  report.factor_curve.clear();
  if (!options.target) return;
  const double g = unit_in_m_s2(Unit::g);
  for (const double damping : options.request.dampings) {
    std::vector<std::optional<double>> t;
    for (const double period : report.periods) {
      const auto psa = options.target->psa_g(period, damping);
      t.push_back(psa ? std::optional<double>(*psa * g) : std::nullopt);
    }
    report.target.push_back(std::move(t));
  }
  if (!options.scale_range) return;
  const auto& dampings = options.request.dampings;
  const auto five = std::find(dampings.begin(), dampings.end(), 0.05);
  const std::size_t d = five != dampings.end() ? static_cast<std::size_t>(five - dampings.begin()) : 0;
  report.factor_damping = dampings[d];
  const std::vector<std::size_t>& horizontal = report.horizontal;
  report.factor_curve = horizontal.size() < 2 ? std::to_string(horizontal.empty() ? 1 : horizontal.front() + 1)
                        : curve_index(report, "rotd100", report.factor_damping) < report.curves.size() ? "rotd100"
                                                                                                      : "geomean";
  const SpectrumCurve& curve = report.curves[curve_index(report, report.factor_curve, report.factor_damping)];
  report.factor = scale_factor(report.periods, curve.psa, report.target[d], options.scale_range->first,
                               options.scale_range->second, options.scale_rule);
}

namespace {

std::string factor_line(const SpectrumOptions& options, const SpectrumReport& report) {
  const ScaleFactor& f = *report.factor;
  const std::string how = std::string(scale_rule_name(options.scale_rule)) + " of " + report.factor_curve + " at " +
                          percent(report.factor_damping) + " damping over " +
                          report_number(options.scale_range->first) + "-" + report_number(options.scale_range->second) +
                          " s";
  if (!f.problem.empty()) return "# scale factor: none (" + how + ": " + f.problem + ")\n";
  return "# scale factor: " + report_number(f.factor) + " (" + how + ", " + std::to_string(f.periods_used) +
         " periods)\n";
}

}  // namespace

namespace {

// The shortest text that reads back as the value; a step kept as a 32-bit real (as the loading
// file keeps it) reads as that real's own shortest text, 0.01 rather than 0.0100000004.
std::string shortest_text(double value) {
  char buffer[64];
  const auto f = static_cast<float>(value);
  const auto end = static_cast<double>(f) == value ? std::to_chars(buffer, buffer + sizeof buffer, f).ptr
                                                   : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

}  // namespace

void write_report_csv(const std::vector<std::string>& files, const Record& record, const SpectrumOptions& options,
                      const SpectrumReport& report, std::ostream& out) {
  std::string text;
  for (const auto& file : files) text += "# file: " + file + '\n';
  text += "# components: " + std::to_string(record.components.size()) + '\n';
  if (says_directions(record))
    text += "# horizontal: " + horizontal_components_text(record.orientations, record.components.size()) + '\n';
  text += "# points: " + std::to_string(record.point_count()) + '\n';
  text += "# time step: " + shortest_text(record.time_step) + " s\n";
  if (std::any_of(report.periods.begin(), report.periods.end(),
                  [&](double t) { return t < rigid_below_steps * record.time_step; }))
    text += "# periods below " + shortest_text(rigid_below_steps * record.time_step) +
            " s (two time steps): rigid, psa the peak ground acceleration\n";
  const std::string unit(unit_name(options.psa_unit));
  text += "# units: sd m, psv m/s, psa " + unit + (options.target ? ", target " + unit : "") + '\n';
  if (options.target) text += "# target: " + options.target->description() + '\n';
  if (report.factor) text += factor_line(options, report);
  text += options.target ? "period,damping,component,sd,psv,psa,target\n" : "period,damping,component,sd,psv,psa\n";
  const std::size_t per_damping = report.curves.size() / std::max<std::size_t>(1, options.request.dampings.size());
  for (std::size_t d = 0; d < options.request.dampings.size(); ++d) {
    for (std::size_t k = 0; k < report.periods.size(); ++k) {
      for (std::size_t c = d * per_damping; c < (d + 1) * per_damping; ++c) {
        const SpectrumCurve& curve = report.curves[c];
        text += report_number(report.periods[k]) + ',' + report_number(curve.damping) + ',' + curve.component + ',' +
                report_number(curve.sd[k]) + ',' + report_number(curve.psv[k]) + ',' +
                report_number(psa_in(curve.psa[k], options.psa_unit));
        if (options.target)
          text += ',' + (report.target[d][k] ? report_number(psa_in(*report.target[d][k], options.psa_unit)) : "");
        text += '\n';
      }
    }
  }
  out << text;
}

void write_report_json(const std::vector<std::string>& files, const Record& record, const SpectrumOptions& options,
                       const SpectrumReport& report, std::ostream& out) {
  nlohmann::ordered_json j;
  j["files"] = files;
  j["components"] = record.components.size();
  if (says_directions(record)) {
    // Components numbered from 1, as in the curves' names.
    nlohmann::ordered_json horizontal = nlohmann::ordered_json::array(), vertical = nlohmann::ordered_json::array(),
                           names = nlohmann::ordered_json::array();
    for (const std::size_t k : horizontal_components(record.orientations, record.components.size())) horizontal.push_back(k + 1);
    for (std::size_t k = 0; k < record.components.size(); ++k) {
      const bool known = k < record.orientations.size();
      if (known && record.orientations[k].axis == Axis::vertical) vertical.push_back(k + 1);
      names.push_back(known ? record.orientations[k].name : std::string());
    }
    j["horizontal"] = horizontal;
    j["vertical"] = vertical;
    j["component_names"] = names;
  }
  j["points"] = record.point_count();
  j["time_step"] = record.time_step;
  j["units"] = {{"sd", "m"}, {"psv", "m/s"}, {"psa", unit_name(options.psa_unit)}};
  if (options.target) j["target"] = options.target->description();
  if (report.factor) {
    nlohmann::ordered_json f;
    f["rule"] = scale_rule_name(options.scale_rule);
    f["component"] = report.factor_curve;
    f["damping"] = report.factor_damping;
    f["from"] = options.scale_range->first;
    f["to"] = options.scale_range->second;
    f["periods"] = report.factor->periods_used;
    if (report.factor->problem.empty())
      f["value"] = report.factor->factor;
    else
      f["problem"] = report.factor->problem;
    j["scale_factor"] = f;
  }
  j["periods"] = report.periods;
  const std::size_t per_damping = report.curves.size() / std::max<std::size_t>(1, options.request.dampings.size());
  nlohmann::ordered_json spectra = nlohmann::ordered_json::array();
  for (std::size_t c = 0; c < report.curves.size(); ++c) {
    const SpectrumCurve& curve = report.curves[c];
    nlohmann::ordered_json s;
    s["component"] = curve.component;
    s["damping"] = curve.damping;
    s["sd"] = curve.sd;
    s["psv"] = curve.psv;
    std::vector<double> psa;
    for (double x : curve.psa) psa.push_back(psa_in(x, options.psa_unit));
    s["psa"] = psa;
    if (options.target) {
      nlohmann::ordered_json t = nlohmann::ordered_json::array();
      for (const auto& x : report.target[c / per_damping]) t.push_back(x ? nlohmann::ordered_json(psa_in(*x, options.psa_unit)) : nullptr);
      s["target"] = t;
    }
    spectra.push_back(s);
  }
  j["spectra"] = spectra;
  out << j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace motion
