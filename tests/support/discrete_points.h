// A discrete loading point by point, as tests state one and compare it: the program keeps it
// in three blocks (model::DiscreteLoading).
#pragma once

#include <vector>

#include "model/discrete_loading.h"

namespace testing_support {

struct TimePoint {
  float time = 0;
  std::vector<model::NodeRange> ranges;

  friend bool operator==(const TimePoint&, const TimePoint&) = default;
};

inline model::DiscreteLoading discrete_loading(const std::vector<TimePoint>& points) {
  model::DiscreteLoading d;
  for (const TimePoint& p : points) d.append_point(p.time, p.ranges);
  return d;
}

inline std::vector<TimePoint> time_points(const model::DiscreteLoading& d) {
  std::vector<TimePoint> points;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const auto ranges = d.ranges_of(i);
    points.push_back({d.times[i], {ranges.begin(), ranges.end()}});
  }
  return points;
}

}  // namespace testing_support
