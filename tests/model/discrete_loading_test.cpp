// The edits of a discrete loading's three blocks: each point keeps its own ranges, whichever
// point or range comes in or goes out before it.
#include <gtest/gtest.h>

#include <random>

#include "model/discrete_loading.h"
#include "support/discrete_points.h"

namespace {

using model::NodeRange;
using testing_support::discrete_loading;
using testing_support::time_points;
using testing_support::TimePoint;

NodeRange nodes(int first, int last, float x = 0) { return NodeRange{first, last, {x}}; }

TEST(DiscreteLoading, EditsMoveNoRangeToAnotherPoint) {
  model::DiscreteLoading d = discrete_loading({{0.1f, {nodes(1, 2), nodes(3, 4)}}, {0.2f, {}}, {0.3f, {nodes(5, 6)}}});
  d.insert_point(1, 0.15f);
  d.append_range(1, nodes(7, 8));
  d.append_range(0, nodes(9, 9));
  EXPECT_EQ(time_points(d), (std::vector<TimePoint>{{0.1f, {nodes(1, 2), nodes(3, 4), nodes(9, 9)}},
                                                    {0.15f, {nodes(7, 8)}},
                                                    {0.2f, {}},
                                                    {0.3f, {nodes(5, 6)}}}));
  d.erase_range(0, 1);
  d.erase_point(1);
  d.erase_range(2, 0);
  d.append_range(1, nodes(4, 4));
  EXPECT_EQ(time_points(d), (std::vector<TimePoint>{{0.1f, {nodes(1, 2), nodes(9, 9)}}, {0.2f, {nodes(4, 4)}}, {0.3f, {}}}));
  d.erase_point(0);
  d.insert_point(2, 0.4f);
  EXPECT_EQ(time_points(d), (std::vector<TimePoint>{{0.2f, {nodes(4, 4)}}, {0.3f, {}}, {0.4f, {}}}));
}

// The same edits at random on the blocks and on points that each hold their ranges.
TEST(DiscreteLoading, RandomEditsAgreeWithPointsEachHoldingItsRanges) {
  std::mt19937 random(34);
  auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  model::DiscreteLoading d;
  std::vector<TimePoint> points;
  for (int step = 0; step < 3000; ++step) {
    const int node = step + 1;
    switch (points.empty() ? 0 : pick(4)) {
      case 0: {
        const std::size_t at = pick(points.size() + 1);
        d.insert_point(at, static_cast<float>(step));
        points.insert(points.begin() + static_cast<std::ptrdiff_t>(at), TimePoint{static_cast<float>(step), {}});
        break;
      }
      case 1: {
        const std::size_t at = pick(points.size());
        d.erase_point(at);
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      }
      case 2: {
        const std::size_t at = pick(points.size());
        d.append_range(at, nodes(node, node));
        points[at].ranges.push_back(nodes(node, node));
        break;
      }
      default: {
        const std::size_t at = pick(points.size());
        if (points[at].ranges.empty()) break;
        const std::size_t k = pick(points[at].ranges.size());
        d.erase_range(at, k);
        points[at].ranges.erase(points[at].ranges.begin() + static_cast<std::ptrdiff_t>(k));
      }
    }
    ASSERT_EQ(time_points(d), points) << "after step " << step;
  }
}

TEST(DiscreteLoading, FrontCopiedAndEmptyEndTrimmed) {
  model::DiscreteLoading d = discrete_loading({{0.1f, {nodes(1, 2)}}, {0.2f, {nodes(3, 4)}}, {0, {}}, {0, {}}});
  model::DiscreteLoading front = discrete_loading({{9.0f, {nodes(9, 9), nodes(8, 8)}}});
  d.copy_front(2, front);
  EXPECT_EQ(front, discrete_loading({{0.1f, {nodes(1, 2)}}, {0.2f, {nodes(3, 4)}}}));
  d.copy_front(0, front);
  EXPECT_EQ(front, model::DiscreteLoading{});
  d.copy_front(9, front);
  EXPECT_EQ(front, d);
  d.trim(3);
  EXPECT_EQ(d.size(), 3u);
  d.trim();
  EXPECT_EQ(d, discrete_loading({{0.1f, {nodes(1, 2)}}, {0.2f, {nodes(3, 4)}}}));
  // A point of time 0 that holds a range is no empty entry.
  d = discrete_loading({{0.1f, {}}, {0, {nodes(1, 1)}}, {0, {}}});
  d.trim();
  EXPECT_EQ(d.size(), 2u);
}

}  // namespace
