// What the Spectrum window is given from the points being edited, and what a matched record
// gives back to them.
#include <gtest/gtest.h>

#include <vector>

#include "dialogs/editors/accel_points.h"

namespace {

using dialogs::editors::component_of;
using dialogs::editors::even_time_step;
using dialogs::editors::points_of_record;

std::vector<model::AccelPoint> at_times(std::initializer_list<float> times) {
  std::vector<model::AccelPoint> points;
  for (float t : times) points.push_back({t, {0, 0, 0}});
  return points;
}

// Single-precision times of a decimal step stand within 1% of their places; a point 1.2% of a step off its
// place, fewer than two points, or times that do not rise give no step.
TEST(AccelPoints, AStepOnlyForPointsEvenlySpacedInTime) {
  const std::optional<double> step = even_time_step(at_times({0.5f, 0.51f, 0.52f, 0.53f}));
  ASSERT_TRUE(step);
  EXPECT_NEAR(*step, 0.01, 1e-7);
  EXPECT_TRUE(even_time_step(at_times({0.f, 0.01f, 0.02009f, 0.03f})));
  EXPECT_FALSE(even_time_step(at_times({0.f, 0.01f, 0.02012f, 0.03f})));
  EXPECT_FALSE(even_time_step(at_times({0.f})));
  EXPECT_FALSE(even_time_step(at_times({0.03f, 0.02f, 0.01f})));
  EXPECT_FALSE(even_time_step(at_times({0.f, 0.f})));
}

// A record's components go to their own slots from the start time at the step; the slots it has
// no component for hold 0, and each slot reads back as the component put there.
TEST(AccelPoints, ARecordBecomesPointsInItsOwnSlots) {
  const std::vector<std::vector<double>> values = {{1.5, -2.25, 3.0}, {0.5, 0.25, -0.125}};
  const std::vector<model::AccelPoint> points = points_of_record(2.0f, 0.005, {2, 0}, values);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_FLOAT_EQ(points[2].time, 2.01f);
  EXPECT_EQ(component_of(points, 2), values[0]);
  EXPECT_EQ(component_of(points, 0), values[1]);
  EXPECT_EQ(component_of(points, 1), (std::vector<double>{0, 0, 0}));
}

}  // namespace
