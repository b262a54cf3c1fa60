// A discrete loading: time points, each loading node ranges. The case store keeps a case's
// saved loading in this shape, and the Discrete Loading editor works on a table of the same
// shape, so that SAVE hands over blocks and opening takes them back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace model {

// First and last node and up to six components; an entry not in use is all zero.
struct NodeRange {
  int first_node = 0;
  int last_node = 0;
  float components[6] = {0, 0, 0, 0, 0, 0};

  friend bool operator==(const NodeRange&, const NodeRange&) = default;
};

// The time points of a discrete loading in three blocks (their times, where their ranges end,
// the ranges): a loading of 10^5 time points is made, kept and freed in three allocations, not
// one per time point. A point of time 0 without ranges is an empty entry.
struct DiscreteLoading {
  std::vector<float> times;
  std::vector<std::uint32_t> range_ends;  // per time point: one past its last entry of `ranges`
  std::vector<NodeRange> ranges;

  std::size_t size() const { return times.size(); }
  bool empty() const { return times.empty(); }
  void clear();
  std::size_t range_begin(std::size_t point) const { return point == 0 ? 0 : range_ends[point - 1]; }
  std::span<const NodeRange> ranges_of(std::size_t point) const {
    const std::size_t first = range_begin(point);
    return {ranges.data() + first, range_ends[point] - first};
  }
  std::span<NodeRange> ranges_of(std::size_t point) {
    const std::size_t first = range_begin(point);
    return {ranges.data() + first, range_ends[point] - first};
  }
  bool empty_point(std::size_t point) const { return times[point] == 0 && range_ends[point] == range_begin(point); }
  // Appends a time point; its ranges are those appended to `ranges` since the last one.
  void end_point(float time) {
    times.push_back(time);
    range_ends.push_back(static_cast<std::uint32_t>(ranges.size()));
  }
  void append_point(float time, std::span<const NodeRange> point_ranges) {
    ranges.insert(ranges.end(), point_ranges.begin(), point_ranges.end());
    end_point(time);
  }

  // The edits of a table, 0-based. What follows an insertion or a removal moves: a point among
  // 10^5 moves two blocks of four bytes a point, and a range the ranges after it.
  void insert_point(std::size_t point, float time);  // without ranges
  void erase_point(std::size_t point);
  void append_range(std::size_t point, const NodeRange& range);
  void erase_range(std::size_t point, std::size_t k);
  // The first `n` points (all when there are fewer) in `out`, whose room is used again.
  void copy_front(std::size_t n, DiscreteLoading& out) const;
  // Empty points at the end go, down to `keep` points.
  void trim(std::size_t keep = 0);

  friend bool operator==(const DiscreteLoading&, const DiscreteLoading&) = default;
};

}  // namespace model
