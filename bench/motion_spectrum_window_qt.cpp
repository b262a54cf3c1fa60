// The spectrum window of a 40,000-point record, from the press of "Spectrum..." to the window
// drawn once: the spectra at the default 100 periods, the chart, the table, the layout.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cmath>

#include "dialogs/context.h"
#include "dialogs/editors/spectrum_dialog.h"
#include "model/state.h"
#include "qt/qt_test_support.h"
#include "ui/qt/qt_toolkit.h"

namespace {

constexpr int points = 40'000;

void BM_SpectrumWindowFirstPicture(benchmark::State& state) {
  qt_test::ensure_application();
  const std::unique_ptr<ui::Toolkit> toolkit = ui::qt::make_qt_toolkit();
  model::ProgramState program;
  dialogs::Context context{*toolkit, program};
  dialogs::editors::SpectrumSource source{"bench", 0.005, {std::vector<double>(points)}, 1.0};
  for (int i = 0; i < points; ++i)
    source.components[0][i] = 3.0 * std::sin(0.05 * i) * std::exp(-0.0001 * i) - 0.01 * std::cos(0.7 * i);
  bool drawn = false;
  for (auto _ : state) {
    // Once the window is up and its event loop runs: one picture of it, then it goes.
    QTimer::singleShot(0, [&drawn] {
      if (QWidget* window = QApplication::activeModalWidget()) {
        QImage picture = window->grab().toImage();
        drawn = !picture.isNull();
        window->close();
      }
    });
    benchmark::DoNotOptimize(dialogs::editors::run_spectrum_dialog(context, source));
  }
  if (!drawn) state.SkipWithError("the window was not drawn");
}
BENCHMARK(BM_SpectrumWindowFirstPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
