// The Processing window's curves: the record as read and as processed on one time axis, long
// records drawn by their extremes without losing a peak.
#include "dialogs/editors/processing_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using dialogs::editors::processing_charts;

std::size_t peak_index(const std::vector<double>& y) {
  return static_cast<std::size_t>(std::max_element(y.begin(), y.end()) - y.begin());
}

// A pulse at 3 s, long enough to be drawn by its extremes; the filters are zero-phase, so
// processed and as read must peak at one time on the chart's axis, the padding included.
TEST(ProcessingCharts, AsReadAndProcessedShareOneTimeAxisAndKeepTheirPeaks) {
  motion::Record record;
  record.time_step = 0.001;
  record.start_time = 2.5;  // a record of its own start: the padded output starts at 0
  std::vector<double> a(8000);
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double t = static_cast<double>(i) * record.time_step - 3.0;
    a[i] = std::exp(-t * t / (2 * 0.05 * 0.05)) * std::cos(2 * std::numbers::pi * 5 * t);
  }
  record.components = {a};
  motion::ProcessingOptions o;
  o.highpass = 0.5;
  const motion::ProcessedRecord processed = motion::process_record(record.components, record.time_step, o);
  ASSERT_GT(processed.lead, 1.0);
  for (bool trimmed : {false, true}) {
    const motion::ProcessedRecord& p = trimmed ? motion::process_record(record.components, record.time_step,
                                                                        [&] { auto t = o; t.trim = true; return t; }())
                                               : processed;
    const auto charts = processing_charts(record, p, 0, "m");
    ASSERT_EQ(charts[0].series.size(), 2u);
    const ui::PlotSeries& before = charts[0].series[0];
    const ui::PlotSeries& after = charts[0].series[1];
    EXPECT_LT(before.x.size(), a.size()) << "drawn by extremes";
    EXPECT_DOUBLE_EQ(*std::max_element(before.y.begin(), before.y.end()), 1.0);
    const double t_before = before.x[peak_index(before.y)], t_after = after.x[peak_index(after.y)];
    EXPECT_NEAR(t_before, t_after, 1.5 * record.time_step) << (trimmed ? "trimmed" : "padded");
    // Padded, the axis starts at the first zero added; trimmed, where the record did.
    EXPECT_NEAR(t_before, trimmed ? 3.0 + record.start_time : 3.0 + processed.lead, 1.5 * record.time_step);
    EXPECT_EQ(charts[1].y_title, "v (m/sec)");
  }
}

}  // namespace
