// The points of an accelerogram being edited, kept in ascending order of time by "ADD  >>".
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "base/indexed_list.h"
#include "dialogs/context.h"
#include "model/state.h"

namespace dialogs::editors {

enum class AccelAddOutcome {
  inserted,  // a new point, stored at `index`
  replaced,  // a point with exactly this time existed; its components were replaced
  full,      // the accelerogram already holds max_points points: nothing changed
};

struct AccelAddResult {
  AccelAddOutcome outcome;
  int index;  // 1-based entry stored or replaced; 0 when full
};

// The points in use, in the user's order. While the times ascend (always so for points entered
// here), a point is found, inserted or removed in O(log n). Points read from an old file need
// not be in order; the order is the user's and is kept, and until it ascends again every ADD
// looks at every point.
class AccelPointList {
 public:
  AccelPointList() = default;
  explicit AccelPointList(std::vector<model::AccelPoint> points);

  std::size_t size() const { return points_.size(); }
  bool empty() const { return points_.empty(); }
  const model::AccelPoint& operator[](std::size_t position) const { return points_[position]; }  // 0-based
  std::vector<model::AccelPoint> to_vector() const { return points_.to_vector(); }

  // Adds `point` (time and components 1..n_components) or replaces the components of the first
  // point with exactly its time. A new point goes after every point with a smaller time.
  AccelAddResult add(const model::AccelPoint& point, int n_components, int max_points);
  // Removes point `selected` (1-based), or the last point when `selected` is beyond the last.
  // Returns the index removed, 0 when nothing was (no selection or no points).
  int remove(int selected);

 private:
  bool times_ascend() const;
  bool ascends_around(std::size_t position) const;

  base::IndexedList<model::AccelPoint> points_;
  bool ascending_ = true;
};

// The step of points evenly spaced in time, each within 1% of a step of its place; none for
// fewer than two points or any point off its place.
std::optional<double> even_time_step(const std::vector<model::AccelPoint>& points);

// Component `slot` (X 0, Y 1, Z 2) of every point.
std::vector<double> component_of(const std::vector<model::AccelPoint>& points, int slot);

// A record as points from `start` at `step`: `values[k]` into slot `slots[k]`, 0 in the others.
std::vector<model::AccelPoint> points_of_record(float start, double step, const std::vector<int>& slots,
                                                const std::vector<std::vector<double>>& values);

// Whether the case's points are known to be in its accelerogram file: the case came from the
// old file with the same loading type, or it was saved in this run.
bool existing_data_readable(const Context& context, int case_number);
// The case's points from its accelerogram file into the state's table.
void read_existing_points(Context& context, int case_number);

}  // namespace dialogs::editors
