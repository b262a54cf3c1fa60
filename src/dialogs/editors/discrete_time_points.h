// The time points of the Discrete Loading editor's working copy, and a load history merged
// into them.
#pragma once

#include <deque>
#include <vector>

#include "base/indexed_list.h"
#include "model/analysis.h"
#include "model/state.h"
#include "motion/reader.h"

namespace dialogs::editors {

inline const model::TimePoint empty_time_point{};


// The time points of the working copy, 1-based. Entries 1..n_time_points (the points in use)
// sit in an indexed list, so that a time finds its place and a point comes in or goes out in
// O(log n); what the table holds beyond them stays as it was, as the points the count does
// not reach, and every later entry is an empty time point. The points in use are kept in
// ascending order of time, which lets a time be looked up by halving; a table read from a
// file that is not in order is searched from end to end instead.
class TimePoints {
 public:
  TimePoints(const std::vector<model::TimePoint>& table, int count);
  std::vector<model::TimePoint> entries() const;
  // The table with an empty entry in the place of each point in use.
  std::vector<model::TimePoint> places_and_beyond() const;
  // The points in use as a loading; with `writable_only` a range without a node number is left
  // out, as SAVE leaves it out of the case's loading.
  model::DiscreteLoading loading(bool writable_only) const;
  // The same, made in `points` (emptied first), whose room is used again.
  void loading_into(model::DiscreteLoading& points, bool writable_only) const;
  int count() const { return static_cast<int>(used_.size()); }
  const model::TimePoint& entry(int i) const;
  template <typename Visit>
  void for_each_used(Visit visit) const {
    used_.for_each(visit);
  }
  // An entry of a point in use or held beyond them; nullptr for the empty ones after those.
  model::TimePoint* stored(int i);
  // Position of time t among the points in use, and whether a point already has it.
  struct Place {
    int below;  // points whose time is less than t
    bool held;
  };
  Place place(float t) const;
  // The point at `position` (1..count+1) comes in; the point after the last one in use is
  // overwritten, as it would be by moving every later point up one place.
  void insert(int position, float t);
  // The first time point: it takes the place of the point held after the last one in use.
  void start(float t);
  // The removal rule: the selected point goes (the last one for a selection beyond them).
  // `leaving` receives the point that goes.
  bool remove(int selected, model::TimePoint& leaving);
  // The points in use become `entries` (in time order); nothing is held beyond them.
  void replace(std::vector<model::TimePoint> entries);

 private:
  base::IndexedList<model::TimePoint> used_;
  std::deque<model::TimePoint> beyond_;  // entries count+1.. as the table held them
  bool ordered_ = true;
};

// Range k (1-based) of a time point; the zero range beyond those it holds.
const model::NodeRange& range_of(const model::TimePoint& point, int k);
// Range k of a time point, which grows to hold it.
model::NodeRange& range_at(model::TimePoint& point, int k);

// A load history merged with the time points in use.
struct MergedHistory {
  enum class Fault { none, times_not_apart, ranges_full };
  std::vector<model::TimePoint> points;  // in time order, the points in use first merged
  Fault fault = Fault::none;
  float fault_time = 0;  // times_not_apart: the first time not after the one before it
};

// Each row of `history` (time, then the components from `first_component` on) becomes the
// loading of `nodes` at the time point of that time: an existing time point gets the range
// added, or its loading replaced where it holds a range of the same nodes; a new time takes
// its place in time order. A point holds at most `max_ranges` ranges. One pass over both.
MergedHistory merge_history(const TimePoints& points, const motion::Record& history, int first_component,
                            int directions, const model::NodeRange& nodes, int max_ranges);

}  // namespace dialogs::editors
