// The time points of the Discrete Loading editor's working copy, and a load history merged
// into them.
#pragma once

#include <span>

#include "model/discrete_loading.h"
#include "motion/reader.h"

namespace dialogs::editors {

// The working copy: a table of the saved loading's shape, 1-based. Entries 1..count() are the
// points in use; what the table holds beyond them stays as it was, as the points the count
// does not reach, and every later entry is an empty time point. The points in use are kept in
// ascending order of time, which lets a time be looked up by halving; a table read from a file
// that is not in order is searched from end to end instead.
class TimePoints {
 public:
  TimePoints(model::DiscreteLoading table, int count);
  // The table, without the empty entries at its end.
  model::DiscreteLoading entries() const;
  // The table with an empty entry in the place of each point in use.
  model::DiscreteLoading places_and_beyond() const;
  // The points in use as a loading, made in `points`, whose room is used again; with
  // `writable_only` a range without a node number is left out, as SAVE leaves it out of the
  // case's loading.
  void loading_into(model::DiscreteLoading& points, bool writable_only) const;
  model::DiscreteLoading loading(bool writable_only) const;
  int count() const { return count_; }
  // Entry i: its time and ranges (0 and none beyond the table).
  float time(int i) const { return stored(i) ? table_.times[i - 1] : 0.0f; }
  std::span<const model::NodeRange> ranges(int i) const;
  // Whether entry i is in the table: a point in use or one held beyond them.
  bool stored(int i) const { return i >= 1 && static_cast<std::size_t>(i) <= table_.size(); }
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
  bool remove(int selected);
  // The points in use become `points` (in time order); nothing is held beyond them.
  void replace(model::DiscreteLoading points);
  // The ranges of a stored entry i: range k (1-based) added at the end, its components set, or
  // taken out.
  void add_range(int i, const model::NodeRange& range);
  void set_components(int i, int k, const float* components, int count);
  void remove_range(int i, int k);

 private:
  model::DiscreteLoading table_;
  int count_ = 0;
  bool ordered_ = true;
  // A range without a node number may be held: only a table read from a file has one.
  bool unwritable_ = false;
};

// A load history merged with the time points in use.
struct MergedHistory {
  enum class Fault { none, times_not_apart, ranges_full };
  model::DiscreteLoading points;  // in time order, the points in use first merged
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
