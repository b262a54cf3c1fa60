// The node-range editors on the large model with the Qt toolkit on the offscreen platform:
// the same actions as bench_editors_nodes, sent to the widgets as a user's clicks and edits,
// with the event queue (layout and painting) processed after each action.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "dialogs/context.h"
#include "dialogs/editors/editors.h"
#include "editors_nodes_model.h"
#include "support/fake_toolkit.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_toolkit.h"

namespace {

using namespace editors_nodes_bench;

// What a user does, as the widgets receive it.
struct User {
  ui::qt::QtDialog& dialog;
  bool settling = true;  // off while the data of a benchmark is entered before timing
  void type(int id, const QString& text) {
    auto* edit = static_cast<QLineEdit*>(dialog.widget(id));
    edit->setText(text);
    emit edit->textEdited(text);
    settle();
  }
  void press(int id) {
    static_cast<QPushButton*>(dialog.widget(id))->click();
    settle();
  }
  void pick(int id, int item) {
    static_cast<ui::qt::ItemList*>(dialog.widget(id))->set_current_row(item - 1);
    settle();
  }
  void settle() {
    if (settling) QApplication::processEvents();
  }
};

using Body = std::function<void(User&)>;

// Opens the editor; once its window is up, the body runs and then closes it.
void run_editor(benchmark::State& bench, testing_support::Session& s,
                void (*editor)(dialogs::Context&, ui::Dialog&), const Body& body) {
  BenchFolder folder;
  // The Qt dialogs; the last one made is the editor, whose widgets the user reaches.
  const std::unique_ptr<ui::Toolkit> qt = ui::qt::make_qt_toolkit();
  ui::qt::QtDialog* last = nullptr;
  testing_support::FakeToolkit toolkit([&](int id) {
    auto dialog = qt->create_dialog(id);
    last = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    return dialog;
  });
  dialogs::Context context{toolkit, s};
  context.cases = std::move(s.cases);
  auto owner = toolkit.create_dialog(ui::DialogId::loading_cases);
  QTimer::singleShot(0, [&] {
    User user{*last};
    body(user);
    last->close(1);
  });
  editor(context, *owner);
  s.cases = std::move(context.cases);
  if (!toolkit.messages.empty()) bench.SkipWithError(toolkit.titles().c_str());
  bench.counters["peak_MB"] = peak_megabytes();
}

void enable_add(User& u) {
  u.type(1052, "0.01");
  u.press(1053);
}

// Opening and closing, at 10,000 and 100,000 time points of five ranges each: the time list
// is a view of the table, so the cost is the working copy's.
void BM_QtDiscreteOpen(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  for (auto _ : bench) run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [](User&) {});
}
BENCHMARK(BM_QtDiscreteOpen)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

void BM_QtDiscreteAddRangeAndRemoveIt(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](User& u) {
    enable_add(u);
    u.pick(1102, 5000);
    u.type(1084, "500");
    u.type(1085, "600");
    u.type(1055, "3.5");
    for (auto _ : bench) {
      u.press(1050);
      u.pick(1049, ranges_per_time + 1);
      u.press(1082);
    }
  });
}
BENCHMARK(BM_QtDiscreteAddRangeAndRemoveIt)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

void BM_QtDiscreteSelectTimePoint(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  for (int k = ranges_per_time; k > 2; --k) s.time_point_table.erase_range(1, 2);  // the second point keeps two
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](User& u) {
    int i = 0;
    for (auto _ : bench) u.pick(1102, 1 + (i++ & 1));
  });
}
BENCHMARK(BM_QtDiscreteSelectTimePoint)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

void BM_QtDiscreteAddFirstTimeAndRemoveIt(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  s.max_time_points += 1;
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](User& u) {
    u.type(1052, "0.001");
    for (auto _ : bench) {
      u.press(1053);
      u.pick(1102, 1);
      u.press(1083);
    }
  });
}
BENCHMARK(BM_QtDiscreteAddFirstTimeAndRemoveIt)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

// A model that claims a billion nodes and elements, with two billion time points at most:
// each editor opened and closed, its lists of that many items shown.
void BM_QtOpenEditorsOfABillion(benchmark::State& bench) {
  using Open = void (*)(dialogs::Context&, ui::Dialog&);
  const struct {
    model::LoadingType loading_type;
    Open open;
  } editors_of[] = {{model::LoadingType::discrete, dialogs::editors::open_initial_values_editor},
                    {model::LoadingType::discrete, dialogs::editors::open_discrete_loading_editor},
                    {model::LoadingType::sinusoidal, dialogs::editors::open_sin_exp_editor},
                    {model::LoadingType::accelerogram_3_directions, dialogs::editors::open_accelerogram_editor},
                    {model::LoadingType::discrete, dialogs::editors::open_diameters_editor}};
  const auto& which = editors_of[bench.range(0)];
  testing_support::Session s = large_model(which.loading_type);
  s.general().n_nodes = s.general().n_elements = 1000000000;
  s.max_time_points = 2000000000;
  for (auto _ : bench) run_editor(bench, s, which.open, [](User&) {});
}
BENCHMARK(BM_QtOpenEditorsOfABillion)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_QtSinExpAddLastRangeAndRemoveFirst(benchmark::State& bench) {
  testing_support::Session s = large_model(model::LoadingType::sinusoidal);
  int next = 1;
  run_editor(bench, s, dialogs::editors::open_sin_exp_editor, [&](User& u) {
    u.settling = false;
    for (; next <= 10000; ++next) {
      u.type(1089, QString::number(next));
      u.type(1090, QString::number(next));
      u.press(1062);
    }
    u.settling = true;
    u.settle();
    for (auto _ : bench) {
      u.type(1089, QString::number(next));
      u.type(1090, QString::number(next));
      ++next;
      u.press(1062);
      u.pick(1061, 1);
      u.press(1088);
    }
  });
}
BENCHMARK(BM_QtSinExpAddLastRangeAndRemoveFirst)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
