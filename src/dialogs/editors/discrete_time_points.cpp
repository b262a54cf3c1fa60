#include "dialogs/editors/discrete_time_points.h"

#include "dialogs/editors/node_ranges.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace dialogs::editors {

namespace {

const model::NodeRange zero_range{};

}  // namespace

TimePoints::TimePoints(const std::vector<model::TimePoint>& table, int count) {
  count = std::max(count, 0);
  std::vector<model::TimePoint> used(table.begin(), table.begin() + std::min<std::size_t>(table.size(), count));
  used.resize(count);
  for (std::size_t i = 1; i < used.size() && ordered_; ++i) ordered_ = used[i - 1].time < used[i].time;
  used_ = base::IndexedList<model::TimePoint>(std::move(used));
  if (table.size() > static_cast<std::size_t>(count)) beyond_.assign(table.begin() + count, table.end());
}

std::vector<model::TimePoint> TimePoints::entries() const {
  std::vector<model::TimePoint> table = used_.to_vector();
  table.insert(table.end(), beyond_.begin(), beyond_.end());
  while (!table.empty() && table.back() == empty_time_point) table.pop_back();
  return table;
}

std::vector<model::TimePoint> TimePoints::places_and_beyond() const {
  std::vector<model::TimePoint> table(used_.size());
  table.insert(table.end(), beyond_.begin(), beyond_.end());
  while (!table.empty() && table.back() == empty_time_point) table.pop_back();
  return table;
}

model::DiscreteLoading TimePoints::loading(bool writable_only) const {
  model::DiscreteLoading points;
  loading_into(points, writable_only);
  return points;
}

// A point's ranges are copied in one piece unless one of them is left out: 10^5 time points are
// saved in one pass over the list.
void TimePoints::loading_into(model::DiscreteLoading& points, bool writable_only) const {
  std::size_t n_ranges = 0;
  used_.for_each([&n_ranges](const model::TimePoint& point) { n_ranges += point.ranges.size(); });
  points.times.clear();
  points.range_ends.clear();
  points.ranges.clear();
  points.times.reserve(used_.size());
  points.range_ends.reserve(used_.size());
  points.ranges.reserve(n_ranges);
  used_.for_each([&points, writable_only](const model::TimePoint& point) {
    const auto& ranges = point.ranges;
    if (!writable_only || std::all_of(ranges.begin(), ranges.end(), writable)) {
      points.ranges.insert(points.ranges.end(), ranges.begin(), ranges.end());
    } else {
      std::copy_if(ranges.begin(), ranges.end(), std::back_inserter(points.ranges), writable);
    }
    points.end_point(point.time);
  });
}

const model::TimePoint& TimePoints::entry(int i) const {
  if (i >= 1 && i <= count()) return used_[i - 1];
  const long long after = static_cast<long long>(i) - count() - 1;
  return after >= 0 && after < static_cast<long long>(beyond_.size()) ? beyond_[after] : empty_time_point;
}

model::TimePoint* TimePoints::stored(int i) {
  if (i >= 1 && i <= count()) return &used_[i - 1];
  const long long after = static_cast<long long>(i) - count() - 1;
  return after >= 0 && after < static_cast<long long>(beyond_.size()) ? &beyond_[after] : nullptr;
}

TimePoints::Place TimePoints::place(float t) const {
  if (ordered_) {
    const std::size_t below = used_.partition_point([t](const model::TimePoint& p) { return p.time < t; });
    return {static_cast<int>(below), below < used_.size() && used_[below].time == t};
  }
  Place place{0, false};
  used_.for_each([&](const model::TimePoint& p) {
    place.below += p.time < t ? 1 : 0;
    place.held = place.held || p.time == t;
  });
  return place;
}

void TimePoints::insert(int position, float t) {
  if (!beyond_.empty()) beyond_.pop_front();
  used_.insert(position - 1, model::TimePoint{t, {}});
  // A time that compares with nothing (not a number) has no place in an order.
  if (!(t == t)) ordered_ = false;
}

void TimePoints::start(float t) {
  model::TimePoint first;
  if (!beyond_.empty()) {
    first = std::move(beyond_.front());
    beyond_.pop_front();
  }
  first.time = t;
  used_.push_back(std::move(first));
  ordered_ = t == t;
}

void TimePoints::replace(std::vector<model::TimePoint> entries) {
  ordered_ = true;
  for (std::size_t i = 1; i < entries.size() && ordered_; ++i) ordered_ = entries[i - 1].time < entries[i].time;
  used_ = base::IndexedList<model::TimePoint>(std::move(entries));
  beyond_.clear();
}

bool TimePoints::remove(int selected, model::TimePoint& leaving) {
  if (selected <= 0 || count() == 0) return false;
  leaving = used_.erase(static_cast<std::size_t>(std::min(selected, count())) - 1);
  // The emptied entry at the old count keeps the places of the entries held beyond it.
  if (!beyond_.empty()) beyond_.push_front(model::TimePoint{});
  while (!beyond_.empty() && beyond_.back() == empty_time_point) beyond_.pop_back();
  return true;
}

const model::NodeRange& range_of(const model::TimePoint& point, int k) {
  return k >= 1 && k <= static_cast<int>(point.ranges.size()) ? point.ranges[k - 1] : zero_range;
}

model::NodeRange& range_at(model::TimePoint& point, int k) {
  if (static_cast<int>(point.ranges.size()) < k) point.ranges.resize(k);
  return point.ranges[k - 1];
}

MergedHistory merge_history(const TimePoints& points, const motion::Record& history, int first_component,
                            int directions, const model::NodeRange& nodes, int max_ranges) {
  MergedHistory result;
  std::vector<model::TimePoint>& merged = result.points;
  const int n = points.count();
  merged.reserve(static_cast<std::size_t>(n) + history.point_count());
  int i = 1;
  for (std::size_t row = 0; row < history.point_count(); ++row) {
    const float t = static_cast<float>(history.time(row));
    if (row > 0 && !(t > static_cast<float>(history.time(row - 1)))) {
      result.fault = MergedHistory::Fault::times_not_apart;
      result.fault_time = t;
      return result;
    }
    while (i <= n && points.entry(i).time < t) merged.push_back(points.entry(i++));
    if (i <= n && points.entry(i).time == t) merged.push_back(points.entry(i++));
    else merged.push_back(model::TimePoint{t, {}});
    model::TimePoint& point = merged.back();
    model::NodeRange range{nodes.first_node, nodes.last_node};
    for (int c = first_component, column = 0; c < directions && column < static_cast<int>(history.components.size());
         ++c, ++column)
      range.components[c] = static_cast<float>(history.components[column][row]);
    int found = 0;
    const int n_ranges = static_cast<int>(point.ranges.size());
    for (int k = 1; k <= n_ranges && found == 0; ++k) {
      const model::NodeRange& held = range_of(point, k);
      if (held.first_node == range.first_node && held.last_node == range.last_node) found = k;
    }
    if (found != 0) {
      std::copy_n(range.components, directions, range_at(point, found).components);
    } else if (n_ranges >= max_ranges) {
      result.fault = MergedHistory::Fault::ranges_full;
      return result;
    } else {
      point.ranges.push_back(range);
    }
  }
  while (i <= n) merged.push_back(points.entry(i++));
  return result;
}

}  // namespace dialogs::editors
