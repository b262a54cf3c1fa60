#include "dialogs/editors/accel_points.h"

#include <algorithm>
#include <utility>

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

}  // namespace dialogs::editors
