#include "dialogs/editors/accel_points.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "dialogs/context.h"
#include "dialogs/saved_loading.h"
#include "model/case_files/opened_sections.h"

namespace dialogs::editors {

namespace {

void copy_components(const model::AccelPoint& from, model::AccelPoint& to, int n_components) {
  for (int c = 0; c < n_components && c < 3; ++c) to.acceleration[c] = from.acceleration[c];
}

}  // namespace

AccelPointList::AccelPointList(std::vector<model::AccelPoint> points) : points_(std::move(points)) {
  ascending_ = times_ascend();
}

// `a <= b` rather than `!(b < a)`: a time that is not a number leaves the points unordered, and
// they are then searched one by one, which finds nothing equal to it, as it should.
bool AccelPointList::times_ascend() const {
  bool ascend = true;
  const model::AccelPoint* previous = nullptr;
  points_.for_each([&](const model::AccelPoint& p) {
    if (previous && !(previous->time <= p.time)) ascend = false;
    previous = &p;
  });
  return ascend;
}

bool AccelPointList::ascends_around(std::size_t position) const {
  const float t = points_[position].time;
  if (position > 0 && !(points_[position - 1].time <= t)) return false;
  if (position + 1 < points_.size() && !(t <= points_[position + 1].time)) return false;
  return true;
}

AccelAddResult AccelPointList::add(const model::AccelPoint& point, int n_components, int max_points) {
  std::size_t smaller = 0;
  std::size_t same = points_.size();  // the first point with exactly this time, if any
  if (ascending_) {
    smaller = points_.partition_point([&](const model::AccelPoint& p) { return p.time < point.time; });
    if (smaller < points_.size() && points_[smaller].time == point.time) same = smaller;
  } else {
    std::size_t i = 0;
    points_.for_each([&](const model::AccelPoint& p) {
      if (p.time == point.time && same == points_.size()) same = i;
      if (p.time < point.time) ++smaller;
      ++i;
    });
  }
  if (same < points_.size()) {
    copy_components(point, points_[same], n_components);
    return {AccelAddOutcome::replaced, static_cast<int>(same) + 1};
  }
  if (static_cast<int>(points_.size()) >= max_points) return {AccelAddOutcome::full, 0};
  model::AccelPoint stored;
  stored.time = point.time;
  copy_components(point, stored, n_components);
  points_.insert(smaller, stored);
  ascending_ = ascending_ ? ascends_around(smaller) : times_ascend();
  return {AccelAddOutcome::inserted, static_cast<int>(smaller) + 1};
}

int AccelPointList::remove(int selected) {
  if (selected <= 0 || points_.empty()) return 0;
  const int index = std::min(selected, static_cast<int>(points_.size()));
  points_.erase(static_cast<std::size_t>(index - 1));
  if (!ascending_) ascending_ = times_ascend();
  return index;
}

std::optional<double> even_time_step(const std::vector<model::AccelPoint>& points) {
  const std::size_t n = points.size();
  if (n < 2) return std::nullopt;
  const double step = (static_cast<double>(points[n - 1].time) - points[0].time) / static_cast<double>(n - 1);
  if (!(step > 0)) return std::nullopt;
  for (std::size_t i = 0; i < n; ++i)
    if (!(std::abs(points[i].time - (points[0].time + step * static_cast<double>(i))) <= 0.01 * step)) return std::nullopt;
  return step;
}

std::vector<double> component_of(const std::vector<model::AccelPoint>& points, int slot) {
  std::vector<double> values;
  values.reserve(points.size());
  for (const model::AccelPoint& p : points) values.push_back(p.acceleration[slot]);
  return values;
}

std::vector<model::AccelPoint> points_of_record(float start, double step, const std::vector<int>& slots,
                                                const std::vector<std::vector<double>>& values) {
  const std::size_t n = values.empty() ? 0 : values.front().size();
  std::vector<model::AccelPoint> points(n);
  for (std::size_t i = 0; i < n; ++i) {
    points[i].time = static_cast<float>(start + step * static_cast<double>(i));
    for (std::size_t k = 0; k < slots.size(); ++k) points[i].acceleration[slots[k]] = static_cast<float>(values[k][i]);
  }
  return points;
}

bool existing_data_readable(const Context& context, int case_number) {
  return context.cases.sections(case_number).record.n_time_points != 0 && holds_saved_loading(context, case_number);
}

void read_existing_points(Context& context, int case_number) {
  const model::case_files::CaseStore& document = context.cases;
  const std::optional<model::Loading>& loading =
      context.cases.sections_for(case_number).loading(model::LoadingKind::accelerogram);
  if (!loading) return;
  const model::CaseRecord& record = document.sections(case_number).record;
  model::case_files::open_points(*loading, record.loading_type, document.general(), document.accel_direction(),
                                 record.n_time_points, context.state.accel_table);
}

}  // namespace dialogs::editors
