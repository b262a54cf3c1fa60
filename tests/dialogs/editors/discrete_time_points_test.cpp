// A load history merged into the Discrete Loading editor's time points: the points keep their
// time order, a range of the same nodes is replaced wherever its list item would be cut short,
// and the faults stop the merge before anything is kept.
#include <gtest/gtest.h>

#include <limits>

#include "support/discrete_points.h"
#include "dialogs/editors/discrete_time_points.h"

namespace {

using dialogs::editors::MergedHistory;
using dialogs::editors::TimePoints;
using dialogs::editors::merge_history;
using model::NodeRange;

using testing_support::TimePoint;

TimePoint point(float time, std::vector<model::NodeRange> ranges) { return TimePoint{time, std::move(ranges)}; }

TimePoints table(const std::vector<TimePoint>& points, int count) {
  return TimePoints(testing_support::discrete_loading(points), count);
}

motion::Record history(double start, double step, std::vector<double> x) {
  motion::Record r;
  r.start_time = start;
  r.time_step = step;
  r.components = {std::move(x)};
  return r;
}

TEST(MergeHistory, RowsJoinThePointsInTimeOrderAndReplaceTheSameNodes) {
  const TimePoints points = table({point(0.25f, {{1, 5, {9, 9, 9}}, {7, 8, {4, 4, 4}}}), point(0.75f, {}), point(1.0f, {{2, 2, {5}}})},
                          3);
  const MergedHistory m = merge_history(points, history(0.25, 0.25, {1, 2, 3}), 0, 3, {1, 5}, 10);
  ASSERT_EQ(m.fault, MergedHistory::Fault::none);
  const std::vector<TimePoint> merged = testing_support::time_points(m.points);
  ASSERT_EQ(merged.size(), 4u);
  EXPECT_EQ(merged[0].time, 0.25f);
  ASSERT_EQ(merged[0].ranges.size(), 2u);
  EXPECT_EQ(merged[0].ranges[0].components[0], 1.0f);  // replaced, X only loaded by the history
  EXPECT_EQ(merged[0].ranges[0].components[1], 0.0f);
  EXPECT_EQ(merged[0].ranges[1].components[0], 4.0f);   // other nodes kept
  EXPECT_EQ(merged[1].time, 0.5f);
  ASSERT_EQ(merged[1].ranges.size(), 1u);
  EXPECT_EQ(merged[1].ranges[0].components[0], 2.0f);
  EXPECT_EQ(merged[2].time, 0.75f);
  ASSERT_EQ(merged[2].ranges.size(), 1u);
  EXPECT_EQ(merged[2].ranges[0].components[0], 3.0f);
  EXPECT_EQ(merged[3], point(1.0f, {{2, 2, {5}}}));  // after the history: as it was
}

// "1234567-1234568" is cut to 13 characters in the range list; the nodes still match.
TEST(MergeHistory, LargeNodeNumbersAreMatchedByTheirValues) {
  const TimePoints points = table({point(0.5f, {{1234567, 1234568, {1, 1, 1}}})}, 1);
  const MergedHistory m = merge_history(points, history(0.5, 0.5, {7}), 1, 3, {1234567, 1234568}, 1);
  ASSERT_EQ(m.fault, MergedHistory::Fault::none);
  const std::vector<TimePoint> merged = testing_support::time_points(m.points);
  ASSERT_EQ(merged.size(), 1u);
  ASSERT_EQ(merged[0].ranges.size(), 1u);
  EXPECT_EQ(merged[0].ranges[0].components[0], 0.0f);  // a direction the history has not loads 0
  EXPECT_EQ(merged[0].ranges[0].components[1], 7.0f);
}

TEST(MergeHistory, TimesNotApartAndAFullPointStopTheMerge) {
  const TimePoints points = table({point(0.5f, {{1, 1, {}}})}, 1);
  const MergedHistory same = merge_history(points, history(0.25, 1e-12, {1, 2}), 0, 3, {1, 1}, 5);
  EXPECT_EQ(same.fault, MergedHistory::Fault::times_not_apart);
  EXPECT_EQ(same.fault_time, 0.25f);
  const MergedHistory full = merge_history(points, history(0.5, 0.5, {1}), 0, 3, {2, 2}, 1);
  EXPECT_EQ(full.fault, MergedHistory::Fault::ranges_full);
  EXPECT_EQ(merge_history(points, history(0.5, 0.5, {1}), 0, 3, {1, 1}, 1).fault, MergedHistory::Fault::none);
}

// The working copy's edits, seen in the loading SAVE hands over and in the table it leaves.
TEST(TimePoints, EntriesHeldBeyondTheCountKeepTheirPlaces) {
  const NodeRange a{1, 2, {1}}, b{3, 4, {2}}, c{5, 6, {3}};
  TimePoints points = table({point(0.1f, {a}), point(0.2f, {b}), point(0.3f, {c})}, 1);
  EXPECT_EQ(points.time(2), 0.2f);  // held beyond the point in use, and shown
  points.insert(1, 0.05f);          // overwrites the point after the last one in use
  EXPECT_EQ(testing_support::time_points(points.entries()),
            (std::vector<TimePoint>{point(0.05f, {}), point(0.1f, {a}), point(0.3f, {c})}));
  ASSERT_TRUE(points.remove(1));
  EXPECT_EQ(points.count(), 1);
  EXPECT_EQ(testing_support::time_points(points.entries()),
            (std::vector<TimePoint>{point(0.1f, {a}), point(0, {}), point(0.3f, {c})}));
  EXPECT_EQ(testing_support::time_points(points.places_and_beyond()),
            (std::vector<TimePoint>{point(0, {}), point(0, {}), point(0.3f, {c})}));
  EXPECT_EQ(points.loading(true), testing_support::discrete_loading({point(0.1f, {a})}));
  ASSERT_TRUE(points.remove(7));  // beyond them: the last one in use goes
  EXPECT_EQ(points.count(), 0);
  EXPECT_FALSE(points.remove(1));
  EXPECT_EQ(points.time(3), 0.3f);
  EXPECT_EQ(points.time(4), 0.0f);
  EXPECT_TRUE(points.ranges(4).empty());
  // Nothing held beyond: the table keeps no empty entry at its end.
  TimePoints last = table({point(0.1f, {a}), point(0.2f, {b})}, 2);
  ASSERT_TRUE(last.remove(2));
  EXPECT_EQ(last.entries(), testing_support::discrete_loading({point(0.1f, {a})}));
  EXPECT_TRUE(last.places_and_beyond().empty());
}

TEST(TimePoints, TheFirstTimeTakesThePlaceAndRangesOfTheEntryHeldThere) {
  const NodeRange a{1, 2, {1}};
  TimePoints points = table({point(0.4f, {a}), point(0.6f, {})}, 0);
  points.start(0.2f);
  EXPECT_EQ(points.loading(true), testing_support::discrete_loading({point(0.2f, {a})}));
  TimePoints fresh = table({}, 0);
  fresh.start(0.3f);
  fresh.insert(1, 0.1f);
  EXPECT_EQ(fresh.loading(true), testing_support::discrete_loading({point(0.1f, {}), point(0.3f, {})}));
  // A count beyond the table: the points it names are empty ones.
  EXPECT_EQ(table({point(0.5f, {})}, 2).loading(true), testing_support::discrete_loading({point(0.5f, {}), point(0, {})}));
}

TEST(TimePoints, RangesEditedUnderTheirPointAndThoseWithoutANodeLeftOutOfTheSave) {
  const NodeRange a{1, 2, {1}}, b{3, 4, {2}}, no_node{0, 4, {5}};
  TimePoints points = table({point(0.1f, {a}), point(0.2f, {no_node}), point(0.3f, {})}, 3);
  points.add_range(3, b);
  points.add_range(1, b);
  const float typed[3] = {7, 8, 9};
  points.set_components(1, 2, typed, 2);
  points.remove_range(1, 1);
  const NodeRange b_typed{3, 4, {7, 8}};
  EXPECT_EQ(points.loading(false),
            testing_support::discrete_loading({point(0.1f, {b_typed}), point(0.2f, {no_node}), point(0.3f, {b})}));
  model::DiscreteLoading saved = testing_support::discrete_loading({point(9.0f, {a, a, a})});
  points.loading_into(saved, true);
  EXPECT_EQ(saved, testing_support::discrete_loading({point(0.1f, {b_typed}), point(0.2f, {}), point(0.3f, {b})}));
  // A range without a node typed under a table read whole is left out too.
  TimePoints typed_table = table({point(0.1f, {a})}, 1);
  typed_table.add_range(1, no_node);
  EXPECT_EQ(typed_table.loading(true), testing_support::discrete_loading({point(0.1f, {a})}));
}

TEST(TimePoints, ATimeFindsItsPlaceInOrderedAndUnorderedTables) {
  const TimePoints ordered = table({point(0.1f, {}), point(0.2f, {}), point(0.3f, {}), point(0.05f, {})}, 3);
  EXPECT_EQ(ordered.place(0.25f).below, 2);
  EXPECT_FALSE(ordered.place(0.25f).held);
  EXPECT_TRUE(ordered.place(0.3f).held);
  EXPECT_FALSE(ordered.place(0.05f).held);  // held beyond the points in use only
  const TimePoints unordered = table({point(0.3f, {}), point(0.1f, {}), point(0.2f, {})}, 3);
  EXPECT_EQ(unordered.place(0.25f).below, 2);
  EXPECT_TRUE(unordered.place(0.1f).held);
  // A time that is not a number stands where it was put, and the others are searched around it.
  TimePoints with_nan = table({point(0.1f, {}), point(0.2f, {}), point(0.3f, {})}, 3);
  with_nan.insert(1, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(with_nan.place(0.25f).below, 2);
  EXPECT_TRUE(with_nan.place(0.3f).held);
}

}  // namespace
