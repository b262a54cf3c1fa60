#include "model/discrete_loading.h"

#include <algorithm>

namespace model {

namespace {

// The points from `point` on end `by` ranges later (or earlier).
void shift_ends(std::vector<std::uint32_t>& ends, std::size_t point, std::int64_t by) {
  for (auto it = ends.begin() + static_cast<std::ptrdiff_t>(point); it != ends.end(); ++it)
    *it = static_cast<std::uint32_t>(*it + by);
}

}  // namespace

void DiscreteLoading::clear() {
  times.clear();
  range_ends.clear();
  ranges.clear();
}

void DiscreteLoading::insert_point(std::size_t point, float time) {
  const std::uint32_t end = static_cast<std::uint32_t>(range_begin(point));
  times.insert(times.begin() + static_cast<std::ptrdiff_t>(point), time);
  range_ends.insert(range_ends.begin() + static_cast<std::ptrdiff_t>(point), end);
}

void DiscreteLoading::erase_point(std::size_t point) {
  const std::size_t first = range_begin(point), end = range_ends[point];
  ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(first), ranges.begin() + static_cast<std::ptrdiff_t>(end));
  times.erase(times.begin() + static_cast<std::ptrdiff_t>(point));
  range_ends.erase(range_ends.begin() + static_cast<std::ptrdiff_t>(point));
  shift_ends(range_ends, point, -static_cast<std::int64_t>(end - first));
}

void DiscreteLoading::append_range(std::size_t point, const NodeRange& range) {
  ranges.insert(ranges.begin() + range_ends[point], range);
  shift_ends(range_ends, point, 1);
}

void DiscreteLoading::erase_range(std::size_t point, std::size_t k) {
  ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(range_begin(point) + k));
  shift_ends(range_ends, point, -1);
}

void DiscreteLoading::copy_front(std::size_t n, DiscreteLoading& out) const {
  n = std::min(n, size());
  const auto points = static_cast<std::ptrdiff_t>(n);
  out.times.assign(times.begin(), times.begin() + points);
  out.range_ends.assign(range_ends.begin(), range_ends.begin() + points);
  out.ranges.assign(ranges.begin(), ranges.begin() + static_cast<std::ptrdiff_t>(n == 0 ? 0 : range_ends[n - 1]));
}

void DiscreteLoading::trim(std::size_t keep) {
  std::size_t n = size();
  while (n > keep && empty_point(n - 1)) --n;
  times.resize(n);
  range_ends.resize(n);
}

}  // namespace model
