#include "model/analysis.h"

namespace model {

LoadingKind loading_kind(LoadingType type) {
  if (type == LoadingType::sinusoidal) return LoadingKind::sinusoidal;
  if (type == LoadingType::exponential) return LoadingKind::exponential;
  if (accelerogram(type)) return LoadingKind::accelerogram;
  return LoadingKind::discrete;
}

DiscreteLoading DiscreteLoading::of(const std::vector<TimePoint>& points) {
  DiscreteLoading d;
  d.times.reserve(points.size());
  d.range_ends.reserve(points.size());
  for (const TimePoint& p : points) {
    d.ranges.insert(d.ranges.end(), p.ranges.begin(), p.ranges.end());
    d.end_point(p.time);
  }
  return d;
}

std::vector<TimePoint> DiscreteLoading::points() const {
  std::vector<TimePoint> out(size());
  for (std::size_t i = 0; i < size(); ++i) {
    const std::span<const NodeRange> r = ranges_of(i);
    out[i] = {times[i], static_cast<int>(r.size()), {r.begin(), r.end()}};
  }
  return out;
}

const Loading* Case::loading_of_type() const {
  const std::optional<Loading>& l = loading(loading_kind(record.loading_type));
  return l ? &*l : nullptr;
}

GeneralData general_data_of(const ProgramState& s) {
  GeneralData g;
  g.geometry_file = s.geometry_file;
  g.length_unit = s.length_unit;
  g.second_unit = s.second_unit;
  g.force_unit = s.force_unit;
  g.n_nodes = s.n_nodes;
  g.n_elements = s.n_elements;
  g.n_dof = s.n_dof;
  g.operator_code = s.operator_code;
  g.new_operator = s.new_operator;
  g.standard_coefficients = s.standard_coefficients;
  g.beta = s.beta;
  g.gamma = s.gamma;
  g.delta = s.delta;
  g.teta = s.teta;
  g.teta1 = s.teta1;
  g.teta2 = s.teta2;
  g.n_loading_cases = s.n_loading_cases;
  return g;
}

Damping damping_of(const ProgramState& s) {
  return {s.damping_present, s.damping_type, s.niu,   s.alfa_d,         s.beta_d,
          s.ro_air,          s.c_drag,       s.zeta,  s.diameter_table, s.n_diameter_groups};
}

void set_general_data(ProgramState& s, const GeneralData& g) {
  s.geometry_file = g.geometry_file;
  s.length_unit = g.length_unit;
  s.second_unit = g.second_unit;
  s.force_unit = g.force_unit;
  s.n_nodes = g.n_nodes;
  s.n_elements = g.n_elements;
  s.n_dof = g.n_dof;
  s.operator_code = g.operator_code;
  s.new_operator = g.new_operator;
  s.standard_coefficients = g.standard_coefficients;
  s.beta = g.beta;
  s.gamma = g.gamma;
  s.delta = g.delta;
  s.teta = g.teta;
  s.teta1 = g.teta1;
  s.teta2 = g.teta2;
  s.n_loading_cases = g.n_loading_cases;
}

void set_damping(ProgramState& s, const Damping& d) {
  s.damping_present = d.present;
  s.damping_type = d.type;
  s.niu = d.niu;
  s.alfa_d = d.alfa_d;
  s.beta_d = d.beta_d;
  s.ro_air = d.ro_air;
  s.c_drag = d.c_drag;
  s.zeta = d.zeta;
  s.diameter_table = d.diameters;
  s.n_diameter_groups = d.n_diameter_groups;
}

}  // namespace model
