// The data behind the plot window: what each editor's loading becomes as curves and a table.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "dialogs/editors/loading_plots.h"

namespace {

TEST(AmplitudePlot, SamplesEachRangeAndDirectionOverTheEndTime) {
  const std::vector<model::NodeRange> ranges = {model::NodeRange{1, 10, {2.0f, -1.0f, 0.5f}}};
  const ui::PlotRequest sin = dialogs::editors::amplitude_plot("s", ranges, 3, true, 2.0, 0.5, 4.0, "kN");
  ASSERT_EQ(sin.panels.size(), 1u);
  EXPECT_EQ(sin.panels[0].y_title, "Load (kN)");
  ASSERT_EQ(sin.table.headers, (std::vector<std::string>{"1-10 X", "1-10 Y", "1-10 Z"}));
  ASSERT_EQ(sin.point_count(), 1001u);
  EXPECT_DOUBLE_EQ(sin.table.times.back(), 4.0);
  EXPECT_NEAR(sin.table.columns[1][250], -std::sin(2.0 * 1.0 + 0.5), 1e-12);
  // A fast sine keeps 40 samples a period: 100 periods over the end time.
  const ui::PlotRequest fast = dialogs::editors::amplitude_plot("f", ranges, 2, true, 200 * M_PI, 0, 1.0, "");
  EXPECT_EQ(fast.point_count(), 4001u);
  EXPECT_EQ(fast.table.headers.size(), 2u);
  EXPECT_EQ(fast.panels[0].y_title, "Load");
  const ui::PlotRequest exp = dialogs::editors::amplitude_plot("e", ranges, 3, false, -0.5, 9.0, 0.0, "N");
  EXPECT_DOUBLE_EQ(exp.table.times.back(), 1.0);  // no end time yet
  EXPECT_NEAR(exp.table.columns[0].back(), 2.0 * std::exp(-0.5), 1e-12);
}

// A moving load loads another node at each time point: its plot keeps a bounded number of
// curves and table columns (the title says so), not one column per range as long as the table.
TEST(DiscreteLoadingPlot, AMovingLoadKeepsABoundedNumberOfCurves) {
  constexpr int count = 2000;
  model::DiscreteLoading points;
  for (int i = 0; i < count; ++i) {
    points.ranges.push_back(model::NodeRange{i + 1, i + 1, {-10.0f, 1.0f, 0.0f}});
    points.end_point(0.01f * static_cast<float>(i));
  }
  const ui::PlotRequest plot = dialogs::editors::discrete_loading_plot("Moving", points, count, 3, "kN");
  ASSERT_EQ(plot.panels.size(), 1u);
  EXPECT_LE(plot.panels[0].series.size(), 60u);
  EXPECT_EQ(plot.table.columns.size(), plot.panels[0].series.size());
  EXPECT_EQ(plot.table.headers.size(), plot.table.columns.size());
  EXPECT_EQ(plot.title, "Moving (the first 20 of 2000 node ranges)");
  ASSERT_EQ(plot.point_count(), static_cast<std::size_t>(count));
  // Node 2 is loaded at the second time point only.
  EXPECT_EQ(plot.table.headers[4], "2-2 Y");
  EXPECT_EQ(plot.table.columns[4][1], 1.0);
  EXPECT_TRUE(std::isnan(plot.table.columns[4][2]));
  EXPECT_EQ(plot.panels[0].series[4].x.size(), 1u);
  // A few ranges keep every curve and the title as it is.
  const ui::PlotRequest few = dialogs::editors::discrete_loading_plot("Few", points, 3, 2, "");
  EXPECT_EQ(few.title, "Few");
  EXPECT_EQ(few.panels[0].series.size(), 6u);
  const ui::PlotRequest sin = dialogs::editors::amplitude_plot("s", std::vector<model::NodeRange>(100, points.ranges[0]),
                                                      3, true, 1.0, 0.0, 1.0, "kN");
  EXPECT_EQ(sin.table.columns.size(), 60u);
  EXPECT_EQ(sin.title, "s (the first 20 of 100 node ranges)");
}

// Velocity and displacement start at rest and follow the trapezoid rule; a record's table
// keeps its values as read while the curves may drop the mean.
TEST(RecordPlot, IntegratesFromRestAndDropsTheMeanOnlyFromTheCurves) {
  motion::Record record;
  record.time_step = 0.5;
  record.components = {{1.0, 3.0, 5.0}};
  const ui::PlotRequest as_read = dialogs::editors::record_plot("r", record, "m", true, false);
  ASSERT_EQ(as_read.panels.size(), 3u);
  EXPECT_EQ(as_read.panels[1].series[0].y, (std::vector<double>{0.0, 1.0, 3.0}));
  EXPECT_EQ(as_read.panels[2].series[0].y, (std::vector<double>{0.0, 0.25, 1.25}));
  EXPECT_EQ(as_read.panels[2].y_title, "Displacement (m)");
  const ui::PlotRequest level = dialogs::editors::record_plot("r", record, "m", true, true);
  EXPECT_EQ(level.panels[0].series[0].y, (std::vector<double>{-2.0, 0.0, 2.0}));
  EXPECT_EQ(level.table.columns[0], (std::vector<double>{1.0, 3.0, 5.0}));
  const ui::PlotRequest loads = dialogs::editors::record_plot("l", record, "", false, true);
  ASSERT_EQ(loads.panels.size(), 1u);
  EXPECT_EQ(loads.panels[0].series[0].y, record.components[0]);
}

// A long record is drawn from a bounded number of points that keep its peaks; the table keeps
// every point.
TEST(RecordPlot, CurvesOfALongRecordAreReducedToTheScreenWithTheirPeaks) {
  motion::Record record;
  record.time_step = 0.001;
  record.components = {std::vector<double>(200000)};
  for (std::size_t i = 0; i < 200000; ++i) record.components[0][i] = std::sin(0.01 * static_cast<double>(i));
  record.components[0][123457] = 5.0;
  const ui::PlotRequest plot = dialogs::editors::record_plot("r", record, "m", true, false);
  EXPECT_EQ(plot.point_count(), 200000u);
  EXPECT_EQ(plot.table.columns[0][123457], 5.0);
  for (const ui::PlotPanel& panel : plot.panels) {
    EXPECT_LE(panel.series[0].x.size(), 8194u) << panel.y_title;
    EXPECT_EQ(panel.series[0].x.size(), panel.series[0].y.size());
    EXPECT_EQ(panel.series[0].x.back(), record.time(199999));
  }
  const std::vector<double>& shown = plot.panels[0].series[0].y;
  EXPECT_EQ(*std::max_element(shown.begin(), shown.end()), 5.0);
  const std::vector<double>& all = record.components[0];
  EXPECT_EQ(*std::min_element(shown.begin(), shown.end()), *std::min_element(all.begin(), all.end()));
}

}  // namespace
