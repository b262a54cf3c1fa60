// From a 40,000-point record on disk to the first picture of its plot: the reader, the curves
// of acceleration, velocity and displacement, the window laid out and drawn once. The ratio to
// BM_PlotFromRecordFull says what drawing every point instead of the extremes per slice costs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "dialogs/editors/loading_plots.h"
#include "motion/reader.h"
#include "qt/qt_test_support.h"
#include "ui/qt/plot_window.h"

namespace {

constexpr int points = 40'000;

double sample(int i) { return 0.3 * std::sin(0.05 * i) * std::exp(-0.0001 * i) - 1e-3 * std::cos(0.7 * i); }

void write_peer_record(const char* path) {
  std::string s = "SYNTHETIC BENCHMARK RECORD\nNowhere, 2000, Station, 000\n"
                  "ACCELERATION TIME HISTORY IN UNITS OF G\nNPTS=  40000, DT=   .0050 SEC\n";
  char field[32];
  for (int i = 0; i < points; ++i) {
    std::snprintf(field, sizeof field, "%15.7E", sample(i));
    s += field;
    if (i % 5 == 4 || i + 1 == points) s += '\n';
  }
  std::ofstream(path, std::ios::binary) << s;
}

void BM_ReadRecordToFirstPicture(benchmark::State& state) {
  qt_test::ensure_application();
  bench_support::BenchFolder folder;
  write_peer_record("record.AT2");
  for (auto _ : state) {
    const motion::ReadResult read = motion::read_motion_file("record.AT2", {});
    if (read.record.point_count() != points) {
      state.SkipWithError("the record was not read");
      break;
    }
    ui::qt::PlotWindow window(dialogs::editors::record_plot("record.AT2", read.record, "m", true, true), nullptr);
    window.show();
    QImage picture = window.grab().toImage();
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(BM_ReadRecordToFirstPicture)->Unit(benchmark::kMillisecond);

// The same window and picture with every one of the 3 x 40,000 points handed to the charts.
void BM_PlotFromRecordFull(benchmark::State& state) {
  qt_test::ensure_application();
  motion::Record record;
  record.time_step = 0.005;
  record.components.emplace_back(points);
  for (int i = 0; i < points; ++i) record.components[0][i] = sample(i);
  const ui::PlotRequest request = dialogs::editors::record_plot("full", record, "m", true, false);
  for (auto _ : state) {
    ui::qt::PlotWindow window(request, nullptr);
    for (QChart* chart : window.charts())
      for (QAbstractSeries* s : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(s)) {
          const auto& panel_series = request.panels[window.charts().indexOf(chart)].series.front();
          line->replace(ui::qt::points_to_draw(panel_series.x, panel_series.y, points));
        }
    window.show();
    QImage picture = window.grab().toImage();
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(BM_PlotFromRecordFull)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
