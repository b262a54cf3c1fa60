// C5 to C8: the damping values and the element diameters of aerodynamic damping.
#include "loadfile/reader/old_file_reader.h"

#include <algorithm>
#include <numeric>

namespace loadfile::reader {

namespace {

// Later diameter records win over earlier ones; painting them from the last backwards and
// skipping painted elements keeps the work linear however the records overlap.
std::vector<float> element_diameters(const std::vector<model::DiameterGroup>& records, int n_elements) {
  const int n = std::max(n_elements, 0);
  std::vector<float> diameter(n, 0.0f);
  std::vector<int> next_unpainted(n + 1);
  std::iota(next_unpainted.begin(), next_unpainted.end(), 0);
  auto find = [&](int e) {
    while (next_unpainted[e] != e) e = next_unpainted[e] = next_unpainted[next_unpainted[e]];
    return e;
  };
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    const int lo = std::max(it->first_element, 1) - 1;
    const int hi = std::min(it->last_element, n) - 1;
    if (lo > hi) continue;
    for (int e = find(lo); e <= hi; e = find(e)) {
      diameter[e] = it->diameter;
      next_unpainted[e] = e + 1;
    }
  }
  return diameter;
}

// Runs of consecutive elements with equal diameter, from element 1 to the last.
std::vector<model::DiameterGroup> diameter_groups(const std::vector<float>& diameter) {
  std::vector<model::DiameterGroup> groups;
  for (int e = 1; e <= static_cast<int>(diameter.size()); ++e) {
    const float d = diameter[e - 1];
    if (!groups.empty() && groups.back().diameter == d)
      groups.back().last_element = e;
    else
      groups.push_back({e, e, d});
  }
  return groups;
}

}  // namespace

Step OldFileReader::read_damping() {
  model::Damping& d = a_.damping;
  if (g_().new_operator) {
    float niu = 0;
    const ReadStatus status = read(RecordKind::niu, {target(niu)});
    if (status != ReadStatus::ok) return fail(Expected::niu, status);
    d.niu = niu;
  }
  float first = 0, second = 0;
  if (d.type == model::DampingType::structural) {
    const ReadStatus status = read(RecordKind::zeta, {target(first)});
    if (status != ReadStatus::ok) return fail(Expected::zeta, status);
    d.zeta = first;
    return Step::go_on;
  }
  const ReadStatus status = read(RecordKind::damping_values, {target(first), target(second)});
  if (status != ReadStatus::ok) return fail(Expected::damping_values, status);
  if (d.type == model::DampingType::rayleigh) {
    d.alfa_d = first;
    d.beta_d = second;
    return Step::go_on;
  }
  d.ro_air = first;
  d.c_drag = second;
  if (read_diameters() == Step::stop) return Step::stop;
  if (d.type != model::DampingType::aero_structural) return Step::go_on;
  float zeta = 0;
  const ReadStatus zeta_status = read(RecordKind::zeta, {target(zeta)});
  if (zeta_status != ReadStatus::ok) return fail(Expected::zeta, zeta_status);
  d.zeta = zeta;
  return Step::go_on;
}

Step OldFileReader::read_diameters() {
  std::vector<model::DiameterGroup> records;
  model::DiameterGroup g;
  const std::vector<text::Target> targets{target(g.first_element), target(g.last_element), target(g.diameter)};
  for (;;) {
    const std::size_t before = source_.position();
    g = {};
    const ReadStatus status = read(RecordKind::diameter, targets);
    if (status == ReadStatus::end_of_file) return fail(Expected::diameters, status);
    if (status == ReadStatus::error || source_.position() == before) {
      check_section_end(before, Section::diameters);
      break;
    }
    records.push_back(g);
  }
  a_.damping.diameters = diameter_groups(element_diameters(records, g_().n_elements));
  return Step::go_on;
}

}  // namespace loadfile::reader
