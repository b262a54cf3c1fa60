// The node-range editors on a large model, driven through the scripted toolkit: 100,000 nodes,
// a discrete loading of 10,000 time points with 5 node ranges each. Each benchmark opens the
// real editor and repeats one user action inside its modal run, so the figures are the time
// per action as the dialog logic and the toolkit spend it. The process's peak memory is
// reported with every benchmark (aim: under 100 MB; under 50 ms per action).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "dialogs/context.h"
#include "dialogs/editors/editors.h"
#include "editors_nodes_model.h"
#include "support/fake_toolkit.h"
#include "ui/dialog_template.h"
#include "ui/script/script_toolkit.h"

namespace {

using namespace editors_nodes_bench;

using Body = std::function<void(ui::script::ScriptDialog&)>;

// A scripted dialog whose modal run is the benchmark's body instead of a script.
class BenchDialog : public ui::script::ScriptDialog {
 public:
  BenchDialog(ui::script::ScriptToolkit& toolkit, const ui::DialogTemplate& t, Body& body)
      : ScriptDialog(toolkit, t), body_(body) {}
  int run_modal() override {
    body_(*this);
    return 1;
  }

 private:
  Body& body_;
};

// The case store of the editor running: what a body reads the editor's case from.
const model::case_files::CaseStore* running_cases = nullptr;

void run_editor(benchmark::State& bench, testing_support::Session& s,
                void (*editor)(dialogs::Context&, ui::Dialog&), Body body) {
  BenchFolder folder;
  std::ostringstream transcript;
  ui::script::ScriptToolkit script({}, transcript);  // keeps the scripted dialogs' open/closed order
  testing_support::FakeToolkit toolkit([&](int id) -> std::unique_ptr<ui::Dialog> {
    return std::make_unique<BenchDialog>(script, *ui::find_template(id), body);
  });
  dialogs::Context context{toolkit, s};
  context.cases = std::move(s.cases);
  running_cases = &context.cases;
  auto owner = toolkit.create_dialog(ui::DialogId::loading_cases);
  editor(context, *owner);
  running_cases = nullptr;
  s.cases = std::move(context.cases);
  if (!toolkit.messages.empty()) bench.SkipWithError(toolkit.titles().c_str());
  bench.counters["peak_MB"] = peak_megabytes();
}

// "ADD >>" opens up once a time has been added to the list; a time already there changes nothing.
void enable_add(ui::script::ScriptDialog& d) {
  d.user_type(0, 1052, "0.01");
  d.user_press(0, 1053);
}

// Opening the editor on the whole loading: the working copy and the time list of 10,000 items.
void BM_DiscreteOpen(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  for (auto _ : bench) run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [](auto&) {});
}
BENCHMARK(BM_DiscreteOpen)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

// "ADD >>" of a sixth range under a time point and its removal: two node list refreshes.
void BM_DiscreteAddRangeAndRemoveIt(benchmark::State& bench) {
  testing_support::Session s = discrete_case();
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    enable_add(d);
    d.user_pick(0, 1102, 5000);
    d.user_type(0, 1084, "500");
    d.user_type(0, 1085, "600");
    d.user_type(0, 1055, "3.5");
    for (auto _ : bench) {
      d.user_press(0, 1050);
      d.user_pick(0, 1049, ranges_per_time + 1);
      d.user_press(0, 1082);
    }
  });
}
BENCHMARK(BM_DiscreteAddRangeAndRemoveIt)->Unit(benchmark::kMillisecond);

// "ADD >>" of a range that exists: the textual lookup replaces its loading in place.
void BM_DiscreteAddRangeReplacing(benchmark::State& bench) {
  testing_support::Session s = discrete_case();
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    enable_add(d);
    d.user_pick(0, 1102, 7000);
    d.user_type(0, 1084, "81");
    d.user_type(0, 1085, "100");
    for (auto _ : bench) d.user_press(0, 1050);
  });
}
BENCHMARK(BM_DiscreteAddRangeReplacing)->Unit(benchmark::kMillisecond);

// Selecting another time point: the node list shows its ranges.
void BM_DiscreteSelectTimePoint(benchmark::State& bench) {
  testing_support::Session s = discrete_case();
  for (int k = ranges_per_time; k > 2; --k) s.time_point_table.erase_range(1, 2);  // the second point keeps two
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    int i = 0;
    for (auto _ : bench) d.user_pick(0, 1102, 1 + (i++ & 1));
  });
}
BENCHMARK(BM_DiscreteSelectTimePoint)->Unit(benchmark::kMillisecond);

// The worst case of the time list: a time before every other one moves all 10,000 entries and
// redraws the list, and its removal redraws it again.
void BM_DiscreteAddFirstTimeAndRemoveIt(benchmark::State& bench) {
  testing_support::Session s = discrete_case();
  s.max_time_points = n_time_points + 1;
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    d.user_type(0, 1052, "0.001");
    for (auto _ : bench) {
      d.user_press(0, 1053);
      d.user_pick(0, 1102, 1);
      d.user_press(0, 1083);
    }
  });
}
BENCHMARK(BM_DiscreteAddFirstTimeAndRemoveIt)->Unit(benchmark::kMillisecond);

// A discrete loading entered from nothing as a replay enters it: per time point its time
// typed and added, the new item picked and five ranges of twenty nodes added under it. Run at
// 10,000, 20,000 and 40,000 time points: linear entry doubles the time with the count.
void BM_DiscreteReplay(benchmark::State& bench) {
  const int n = static_cast<int>(bench.range(0));
  testing_support::Session s = large_model(model::LoadingType::discrete);
  s.max_time_points = n;
  int entered = 0;  // the case's count, as the SAVE after the timed entry sets it
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    for (auto _ : bench) {
      for (int i = 1; i <= n; ++i) {
        d.user_type(0, 1052, std::to_string(i / 100) + "." + std::to_string(100 + i % 100).substr(1));
        d.user_press(0, 1053);
        d.user_pick(0, 1102, i);
        for (int j = 0; j < ranges_per_time; ++j) {
          d.user_type(0, 1084, std::to_string(j * 20 + 1));
          d.user_type(0, 1085, std::to_string(j * 20 + 20));
          d.user_type(0, 1055, "1.5");
          d.user_type(0, 1056, "-2.");
          d.user_type(0, 1057, "0.25");
          d.user_press(0, 1050);
        }
      }
    }
    d.user_press(0, 1093);
    entered = running_cases->sections(1).record.n_time_points;
  });
  if (entered != n) bench.SkipWithError("the time points were not all entered");
}
BENCHMARK(BM_DiscreteReplay)->Arg(10000)->Arg(20000)->Arg(40000)->Iterations(1)->Unit(benchmark::kMillisecond);

// "SAVE Changes": the table copied back and 60,001 records written.
void BM_DiscreteSave(benchmark::State& bench) {
  testing_support::Session s = discrete_case(static_cast<int>(bench.range(0)));
  run_editor(bench, s, dialogs::editors::open_discrete_loading_editor, [&](ui::script::ScriptDialog& d) {
    for (auto _ : bench) d.user_press(0, 1093);
  });
}
BENCHMARK(BM_DiscreteSave)->Arg(n_time_points)->Arg(10 * n_time_points)->Unit(benchmark::kMillisecond);

// Amplitudes of 10,000 ranges: "ADD >>" of the last one compares it with every item, and a
// removal at the top moves every item of the list.
void BM_SinExpAddLastRangeAndRemoveFirst(benchmark::State& bench) {
  testing_support::Session s = large_model(model::LoadingType::sinusoidal);
  int next = 1;
  run_editor(bench, s, dialogs::editors::open_sin_exp_editor, [&](ui::script::ScriptDialog& d) {
    for (int i = 0; i < 10000; ++i, ++next) {
      d.user_type(0, 1089, std::to_string(next));
      d.user_type(0, 1090, std::to_string(next));
      d.user_press(0, 1062);
    }
    for (auto _ : bench) {
      d.user_type(0, 1089, std::to_string(next));
      d.user_type(0, 1090, std::to_string(next));
      ++next;
      d.user_press(0, 1062);
      d.user_pick(0, 1061, 1);
      d.user_press(0, 1088);
    }
  });
}
BENCHMARK(BM_SinExpAddLastRangeAndRemoveFirst)->Unit(benchmark::kMillisecond);

// Initial values of 10,000 ranges: "ADD >>" of a new range after a lookup over all of them.
void BM_InitialValuesAddAfterTenThousand(benchmark::State& bench) {
  testing_support::Session s = large_model(model::LoadingType::discrete);
  run_editor(bench, s, dialogs::editors::open_initial_values_editor, [&](ui::script::ScriptDialog& d) {
    int next = 1;
    for (; next <= 10000; ++next) {
      d.user_type(0, 1074, std::to_string(next));
      d.user_type(0, 1075, std::to_string(next));
      d.user_press(0, 1041);
    }
    d.user_type(0, 1074, "10001");
    d.user_type(0, 1075, "99999");
    for (auto _ : bench) {
      d.user_press(0, 1041);
      d.user_pick(0, 1040, 10001);
      d.user_press(0, 1087);
    }
  });
}
BENCHMARK(BM_InitialValuesAddAfterTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
