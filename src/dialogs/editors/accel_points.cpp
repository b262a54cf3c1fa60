#include "dialogs/editors/accel_points.h"

#include <algorithm>

namespace editors {

namespace {

void copy_components(const app::AccelPoint& from, app::AccelPoint& to, int n_components) {
  for (int c = 0; c < n_components && c < 3; ++c) to.acceleration[c] = from.acceleration[c];
}

}  // namespace

AccelAddResult add_accel_point(std::vector<app::AccelPoint>& points, const app::AccelPoint& point,
                               int n_components, int max_points) {
  // Entries read from an old file need not be in order, so equality and position are both
  // found by looking at every entry, as the order of the points is the user's.
  auto same = std::find_if(points.begin(), points.end(),
                           [&](const app::AccelPoint& p) { return p.time == point.time; });
  if (same != points.end()) {
    copy_components(point, *same, n_components);
    return {AccelAddOutcome::replaced, static_cast<int>(same - points.begin()) + 1};
  }
  if (static_cast<int>(points.size()) >= max_points) return {AccelAddOutcome::full, 0};
  const auto smaller = std::count_if(points.begin(), points.end(),
                                     [&](const app::AccelPoint& p) { return p.time < point.time; });
  app::AccelPoint stored;
  stored.time = point.time;
  copy_components(point, stored, n_components);
  points.insert(points.begin() + smaller, stored);
  return {AccelAddOutcome::inserted, static_cast<int>(smaller) + 1};
}

int remove_accel_point(std::vector<app::AccelPoint>& points, int selected) {
  if (selected <= 0 || points.empty()) return 0;
  const int index = std::min(selected, static_cast<int>(points.size()));
  points.erase(points.begin() + (index - 1));
  return index;
}

}  // namespace editors
