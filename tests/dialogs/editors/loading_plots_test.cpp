// The data behind the plot window: what each editor's loading becomes as curves and a table.
#include <cmath>
#include <gtest/gtest.h>

#include "dialogs/editors/loading_plots.h"

namespace {

TEST(AmplitudePlot, SamplesEachRangeAndDirectionOverTheEndTime) {
  const std::vector<model::NodeRange> ranges = {model::NodeRange{1, 10, {2.0f, -1.0f, 0.5f}}};
  const ui::PlotRequest sin = editors::amplitude_plot("s", ranges, 3, true, 2.0, 0.5, 4.0, "kN");
  ASSERT_EQ(sin.panels.size(), 1u);
  EXPECT_EQ(sin.panels[0].y_title, "Load (kN)");
  ASSERT_EQ(sin.table.headers, (std::vector<std::string>{"1-10 X", "1-10 Y", "1-10 Z"}));
  ASSERT_EQ(sin.point_count(), 1001u);
  EXPECT_DOUBLE_EQ(sin.table.times.back(), 4.0);
  EXPECT_NEAR(sin.table.columns[1][250], -std::sin(2.0 * 1.0 + 0.5), 1e-12);
  // A fast sine keeps 40 samples a period: 100 periods over the end time.
  const ui::PlotRequest fast = editors::amplitude_plot("f", ranges, 2, true, 200 * M_PI, 0, 1.0, "");
  EXPECT_EQ(fast.point_count(), 4001u);
  EXPECT_EQ(fast.table.headers.size(), 2u);
  EXPECT_EQ(fast.panels[0].y_title, "Load");
  const ui::PlotRequest exp = editors::amplitude_plot("e", ranges, 3, false, -0.5, 9.0, 0.0, "N");
  EXPECT_DOUBLE_EQ(exp.table.times.back(), 1.0);  // no end time yet
  EXPECT_NEAR(exp.table.columns[0].back(), 2.0 * std::exp(-0.5), 1e-12);
}

// Velocity and displacement start at rest and follow the trapezoid rule; a record's table
// keeps its values as read while the curves may drop the mean.
TEST(RecordPlot, IntegratesFromRestAndDropsTheMeanOnlyFromTheCurves) {
  motion::Record record;
  record.time_step = 0.5;
  record.components = {{1.0, 3.0, 5.0}};
  const ui::PlotRequest as_read = editors::record_plot("r", record, "m", true, false);
  ASSERT_EQ(as_read.panels.size(), 3u);
  EXPECT_EQ(as_read.panels[1].series[0].y, (std::vector<double>{0.0, 1.0, 3.0}));
  EXPECT_EQ(as_read.panels[2].series[0].y, (std::vector<double>{0.0, 0.25, 1.25}));
  EXPECT_EQ(as_read.panels[2].y_title, "Displacement (m)");
  const ui::PlotRequest level = editors::record_plot("r", record, "m", true, true);
  EXPECT_EQ(level.panels[0].series[0].y, (std::vector<double>{-2.0, 0.0, 2.0}));
  EXPECT_EQ(level.table.columns[0], (std::vector<double>{1.0, 3.0, 5.0}));
  const ui::PlotRequest loads = editors::record_plot("l", record, "", false, true);
  ASSERT_EQ(loads.panels.size(), 1u);
  EXPECT_EQ(loads.panels[0].series[0].y, record.components[0]);
}

}  // namespace
