// The points of an accelerogram being edited, kept in ascending order of time by "ADD  >>".
// The vector holds exactly the points in use (n_time_points of them).
#pragma once

#include <vector>

#include "model/state.h"

namespace editors {

enum class AccelAddOutcome {
  inserted,  // a new point, stored at `index`
  replaced,  // a point with exactly this time existed; its components were replaced
  full,      // the accelerogram already holds max_points points: nothing changed
};

struct AccelAddResult {
  AccelAddOutcome outcome;
  int index;  // 1-based entry stored or replaced; 0 when full
};

// Adds `point` (time and components 1..n_components) or replaces the components of the first
// point with exactly its time. A new point goes after every point with a smaller time.
AccelAddResult add_accel_point(std::vector<app::AccelPoint>& points, const app::AccelPoint& point,
                               int n_components, int max_points);

// Removes point `selected` (1-based), or the last point when `selected` is beyond the last.
// Returns the index removed, 0 when nothing was (no selection or no points).
int remove_accel_point(std::vector<app::AccelPoint>& points, int selected);

}  // namespace editors
