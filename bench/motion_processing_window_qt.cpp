// The Processing window's redraw after a choice changes, on a 20,000-point record: the record
// processed once (high-pass, low-pass, poly6), its three charts made, drawn and painted.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QWidget>
#include <array>
#include <cmath>

#include "dialogs/editors/processing_window.h"
#include "motion/processing.h"
#include "qt/qt_test_support.h"
#include "ui/qt/chart_control.h"

namespace {

constexpr int points = 20'000;

void BM_ProcessingWindowRedraw(benchmark::State& state) {
  qt_test::ensure_application();
  motion::Record record;
  record.time_step = 0.01;
  record.components = {std::vector<double>(points)};
  for (int i = 0; i < points; ++i)
    record.components[0][i] = 3.0 * std::sin(0.05 * i) * std::exp(-0.0002 * i) + 0.02 + 1e-6 * i;
  motion::ProcessingOptions options;
  options.highpass = 0.1;
  options.lowpass = 25.0;
  // The window's charts, as its template places them.
  QWidget window;
  window.resize(1180, 672);
  std::array<QWidget*, 3> charts{};
  for (int k = 0; k < 3; ++k) {
    charts[k] = ui::qt::make_chart_control(&window);
    charts[k]->setGeometry(12, 12 + 218 * k, 760, 212);
  }
  window.show();
  bool drawn = false;
  for (auto _ : state) {
    const motion::ProcessedRecord processed = motion::process_record(record.components, record.time_step, options);
    const auto contents = dialogs::editors::processing_charts(record, processed, 0, "m");
    for (int k = 0; k < 3; ++k) ui::qt::show_chart(charts[k], contents[k]);
    const QImage picture = window.grab().toImage();
    drawn = !picture.isNull();
  }
  if (!drawn) state.SkipWithError("the window was not drawn");
}
BENCHMARK(BM_ProcessingWindowRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
