#include "model/analysis.h"

namespace model {

LoadingKind loading_kind(LoadingType type) {
  if (type == LoadingType::sinusoidal) return LoadingKind::sinusoidal;
  if (type == LoadingType::exponential) return LoadingKind::exponential;
  if (accelerogram(type)) return LoadingKind::accelerogram;
  return LoadingKind::discrete;
}

DiscreteLoading DiscreteLoading::of(const std::vector<TimePoint>& points) {
  DiscreteLoading d;
  d.times.reserve(points.size());
  d.range_ends.reserve(points.size());
  for (const TimePoint& p : points) {
    d.ranges.insert(d.ranges.end(), p.ranges.begin(), p.ranges.end());
    d.end_point(p.time);
  }
  return d;
}

std::vector<TimePoint> DiscreteLoading::points() const {
  std::vector<TimePoint> out(size());
  for (std::size_t i = 0; i < size(); ++i) {
    const std::span<const NodeRange> r = ranges_of(i);
    out[i] = {times[i], {r.begin(), r.end()}};
  }
  return out;
}

const Loading* Case::loading_of_type() const {
  const std::optional<Loading>& l = loading(loading_kind(record.loading_type));
  return l ? &*l : nullptr;
}

}  // namespace model
