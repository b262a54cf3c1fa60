// A load history merged into the Discrete Loading editor's time points: the points keep their
// time order, a range of the same nodes is replaced wherever its list item would be cut short,
// and the faults stop the merge before anything is kept.
#include <gtest/gtest.h>

#include "dialogs/editors/discrete_time_points.h"

namespace {

using dialogs::editors::MergedHistory;
using dialogs::editors::TimePoints;
using dialogs::editors::merge_history;

model::TimePoint point(float time, std::vector<model::NodeRange> ranges) {
  return model::TimePoint{time, std::move(ranges)};
}

motion::Record history(double start, double step, std::vector<double> x) {
  motion::Record r;
  r.start_time = start;
  r.time_step = step;
  r.components = {std::move(x)};
  return r;
}

TEST(MergeHistory, RowsJoinThePointsInTimeOrderAndReplaceTheSameNodes) {
  const TimePoints points({point(0.25f, {{1, 5, {9, 9, 9}}, {7, 8, {4, 4, 4}}}), point(0.75f, {}), point(1.0f, {{2, 2, {5}}})},
                          3);
  const MergedHistory m = merge_history(points, history(0.25, 0.25, {1, 2, 3}), 0, 3, {1, 5}, 10);
  ASSERT_EQ(m.fault, MergedHistory::Fault::none);
  ASSERT_EQ(m.points.size(), 4u);
  EXPECT_EQ(m.points[0].time, 0.25f);
  ASSERT_EQ(m.points[0].ranges.size(), 2u);
  EXPECT_EQ(m.points[0].ranges[0].components[0], 1.0f);  // replaced, X only loaded by the history
  EXPECT_EQ(m.points[0].ranges[0].components[1], 0.0f);
  EXPECT_EQ(m.points[0].ranges[1].components[0], 4.0f);   // other nodes kept
  EXPECT_EQ(m.points[1].time, 0.5f);
  ASSERT_EQ(m.points[1].ranges.size(), 1u);
  EXPECT_EQ(m.points[1].ranges[0].components[0], 2.0f);
  EXPECT_EQ(m.points[2].time, 0.75f);
  ASSERT_EQ(m.points[2].ranges.size(), 1u);
  EXPECT_EQ(m.points[2].ranges[0].components[0], 3.0f);
  EXPECT_EQ(m.points[3], points.entry(3));  // after the history: as it was
}

// "1234567-1234568" is cut to 13 characters in the range list; the nodes still match.
TEST(MergeHistory, LargeNodeNumbersAreMatchedByTheirValues) {
  const TimePoints points({point(0.5f, {{1234567, 1234568, {1, 1, 1}}})}, 1);
  const MergedHistory m = merge_history(points, history(0.5, 0.5, {7}), 1, 3, {1234567, 1234568}, 1);
  ASSERT_EQ(m.fault, MergedHistory::Fault::none);
  ASSERT_EQ(m.points.size(), 1u);
  ASSERT_EQ(m.points[0].ranges.size(), 1u);
  EXPECT_EQ(m.points[0].ranges[0].components[0], 0.0f);  // a direction the history has not loads 0
  EXPECT_EQ(m.points[0].ranges[0].components[1], 7.0f);
}

TEST(MergeHistory, TimesNotApartAndAFullPointStopTheMerge) {
  const TimePoints points({point(0.5f, {{1, 1, {}}})}, 1);
  const MergedHistory same = merge_history(points, history(0.25, 1e-12, {1, 2}), 0, 3, {1, 1}, 5);
  EXPECT_EQ(same.fault, MergedHistory::Fault::times_not_apart);
  EXPECT_EQ(same.fault_time, 0.25f);
  const MergedHistory full = merge_history(points, history(0.5, 0.5, {1}), 0, 3, {2, 2}, 1);
  EXPECT_EQ(full.fault, MergedHistory::Fault::ranges_full);
  EXPECT_EQ(merge_history(points, history(0.5, 0.5, {1}), 0, 3, {1, 1}, 1).fault, MergedHistory::Fault::none);
}

}  // namespace
