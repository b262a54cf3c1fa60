#include "dialogs/editors/discrete_time_points.h"

#include "dialogs/editors/node_ranges.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace dialogs::editors {

namespace {

// Each time after the one before it; a time that is not a number is in no order.
bool in_order(const model::DiscreteLoading& table, int count) {
  const auto first = table.times.begin(), last = first + count;
  return std::adjacent_find(first, last, [](float a, float b) { return !(a < b); }) == last;
}

bool all_writable(const model::DiscreteLoading& table) {
  return std::all_of(table.ranges.begin(), table.ranges.end(), writable);
}

}  // namespace

TimePoints::TimePoints(model::DiscreteLoading table, int count) : table_(std::move(table)), count_(std::max(count, 0)) {
  while (table_.size() < static_cast<std::size_t>(count_)) table_.end_point(0);
  ordered_ = in_order(table_, count_);
  unwritable_ = !all_writable(table_);
}

model::DiscreteLoading TimePoints::entries() const {
  model::DiscreteLoading table = table_;
  table.trim();
  return table;
}

model::DiscreteLoading TimePoints::places_and_beyond() const {
  model::DiscreteLoading table;
  const auto used = static_cast<std::ptrdiff_t>(count_);
  const std::uint32_t before = static_cast<std::uint32_t>(table_.range_begin(count_));
  table.times.assign(count_, 0.0f);
  table.times.insert(table.times.end(), table_.times.begin() + used, table_.times.end());
  table.range_ends.assign(count_, 0);
  std::transform(table_.range_ends.begin() + used, table_.range_ends.end(), std::back_inserter(table.range_ends),
                 [before](std::uint32_t end) { return end - before; });
  table.ranges.assign(table_.ranges.begin() + before, table_.ranges.end());
  table.trim();
  return table;
}

model::DiscreteLoading TimePoints::loading(bool writable_only) const {
  model::DiscreteLoading points;
  loading_into(points, writable_only);
  return points;
}

// The blocks are copied whole unless a range must be left out: 10^5 time points are saved on
// every SAVE.
void TimePoints::loading_into(model::DiscreteLoading& points, bool writable_only) const {
  if (!writable_only || !unwritable_) return table_.copy_front(count_, points);
  points.clear();
  for (std::size_t i = 0; i < static_cast<std::size_t>(count_); ++i) {
    const std::span<const model::NodeRange> ranges = table_.ranges_of(i);
    std::copy_if(ranges.begin(), ranges.end(), std::back_inserter(points.ranges), writable);
    points.end_point(table_.times[i]);
  }
}

std::span<const model::NodeRange> TimePoints::ranges(int i) const {
  return stored(i) ? table_.ranges_of(static_cast<std::size_t>(i) - 1) : std::span<const model::NodeRange>{};
}

TimePoints::Place TimePoints::place(float t) const {
  const auto first = table_.times.begin(), last = first + count_;
  if (ordered_) {
    const auto at = std::lower_bound(first, last, t);
    return {static_cast<int>(at - first), at != last && *at == t};
  }
  return {static_cast<int>(std::count_if(first, last, [t](float time) { return time < t; })),
          std::find(first, last, t) != last};
}

void TimePoints::insert(int position, float t) {
  if (stored(count_ + 1)) table_.erase_point(count_);
  table_.insert_point(static_cast<std::size_t>(position) - 1, t);
  ++count_;
  // A time that compares with nothing (not a number) has no place in an order.
  if (!(t == t)) ordered_ = false;
}

void TimePoints::start(float t) {
  if (stored(count_ + 1))
    table_.times[count_] = t;
  else
    table_.end_point(t);
  ++count_;
  ordered_ = t == t;
}

void TimePoints::replace(model::DiscreteLoading points) {
  table_ = std::move(points);
  count_ = static_cast<int>(table_.size());
  ordered_ = in_order(table_, count_);
  unwritable_ = !all_writable(table_);
}

bool TimePoints::remove(int selected) {
  if (selected <= 0 || count_ == 0) return false;
  const bool beyond = stored(count_ + 1);
  table_.erase_point(static_cast<std::size_t>(std::min(selected, count_)) - 1);
  --count_;
  // The emptied entry at the old count keeps the places of the entries held beyond it.
  if (beyond) table_.insert_point(count_, 0);
  table_.trim(count_);
  return true;
}

void TimePoints::add_range(int i, const model::NodeRange& range) {
  table_.append_range(static_cast<std::size_t>(i) - 1, range);
  unwritable_ = unwritable_ || !writable(range);
}

void TimePoints::set_components(int i, int k, const float* components, int count) {
  std::copy_n(components, count, table_.ranges_of(static_cast<std::size_t>(i) - 1)[k - 1].components);
}

void TimePoints::remove_range(int i, int k) {
  table_.erase_range(static_cast<std::size_t>(i) - 1, static_cast<std::size_t>(k) - 1);
}

namespace {

// Row `row` of the history as a range of `nodes`.
model::NodeRange history_range(const motion::Record& history, std::size_t row, int first_component, int directions,
                               const model::NodeRange& nodes) {
  model::NodeRange range{nodes.first_node, nodes.last_node};
  for (int c = first_component, column = 0; c < directions && column < static_cast<int>(history.components.size());
       ++c, ++column)
    range.components[c] = static_cast<float>(history.components[column][row]);
  return range;
}

}  // namespace

MergedHistory merge_history(const TimePoints& points, const motion::Record& history, int first_component,
                            int directions, const model::NodeRange& nodes, int max_ranges) {
  MergedHistory result;
  model::DiscreteLoading& merged = result.points;
  const int n = points.count();
  merged.times.reserve(static_cast<std::size_t>(n) + history.point_count());
  merged.range_ends.reserve(merged.times.capacity());
  int i = 1;
  for (std::size_t row = 0; row < history.point_count(); ++row) {
    const float t = static_cast<float>(history.time(row));
    if (row > 0 && !(t > static_cast<float>(history.time(row - 1)))) {
      result.fault = MergedHistory::Fault::times_not_apart;
      result.fault_time = t;
      return result;
    }
    for (; i <= n && points.time(i) < t; ++i) merged.append_point(points.time(i), points.ranges(i));
    // The point of time t: the ranges it held, then the history's.
    const std::size_t first = merged.ranges.size();
    if (i <= n && points.time(i) == t) {
      const std::span<const model::NodeRange> held = points.ranges(i++);
      merged.ranges.insert(merged.ranges.end(), held.begin(), held.end());
    }
    const model::NodeRange range = history_range(history, row, first_component, directions, nodes);
    const auto point = merged.ranges.begin() + static_cast<std::ptrdiff_t>(first);
    const auto same = std::find_if(point, merged.ranges.end(), [&range](const model::NodeRange& held) {
      return held.first_node == range.first_node && held.last_node == range.last_node;
    });
    if (same != merged.ranges.end()) {
      std::copy_n(range.components, directions, same->components);
    } else if (merged.ranges.end() - point >= max_ranges) {
      result.fault = MergedHistory::Fault::ranges_full;
      return result;
    } else {
      merged.ranges.push_back(range);
    }
    merged.end_point(t);
  }
  for (; i <= n; ++i) merged.append_point(points.time(i), points.ranges(i));
  return result;
}

}  // namespace dialogs::editors
