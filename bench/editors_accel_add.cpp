// An accelerogram of 20,000 points entered through the scripted toolkit, as a user enters it:
// the time per "ADD  >>" (aim: well under 5 ms even with a full list) and the time to save.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "bench_support.h"
#include "dialogs/context.h"
#include "dialogs/editors/editors.h"
#include "model/case_files/accel_layout.h"
#include "model/case_files/case_store.h"
#include "ui/script/script_toolkit.h"
#include "support/session.h"

namespace {

constexpr int n_points = 20000;

using bench_support::BenchFolder;

testing_support::Session accelerogram_case(int n_saved_points) {
  testing_support::Session s;
  s.general().n_dof = 3;
  s.max_time_points = n_points;
  s.general().length_unit = "m";
  s.general().n_loading_cases = 1;
  s.current_case = 1;
  s.cases.set_count(1);
  s.record(1).loading_type = model::LoadingType::accelerogram_3_directions;
  s.record(1).n_time_points = n_saved_points;
  s.loaded(1);
  s.at(1).loading_saved = n_saved_points > 0;
  return s;
}

// Time i of the order: 0 ascending (the usual entry), 1 descending (every point goes first
// and moves every list item), 2 scattered.
double time_of(int i, int order) {
  if (order == 0) return 0.005 * (i + 1);
  if (order == 1) return 0.005 * (n_points - i);
  return 0.005 * ((static_cast<long long>(i) * 7919) % n_points + 1);
}

std::string add_script(int count, int order, int first = 0) {
  std::ostringstream script;
  for (int i = first; i < first + count; ++i) {
    script << "type 1100 \"" << time_of(i, order) << "\"\n";
    script << "type 1097 \"" << (i % 97) * 0.125 - 3 << "\"\n";
    script << "press 1098\n";
  }
  return script.str();
}

// Runs the editor over a parsed script; false when the script did not run through.
bool run_editor(testing_support::Session& s, const ui::script::ParseResult& parsed,
                const model::case_files::CaseStore* cases = nullptr) {
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(parsed, transcript);
  dialogs::Context context{toolkit, s};
  context.cases = cases ? *cases : s.cases;
  try {
    auto owner = toolkit.create_dialog(102);
    dialogs::editors::open_accelerogram_editor(context, *owner);
    toolkit.finish();
  } catch (const ui::script::ScriptError&) {
    return false;
  }
  return true;
}

void BM_Add20000Points(benchmark::State& state) {
  BenchFolder folder;
  // DONE without SAVE asks whether to discard the points entered: yes, they are not measured.
  const auto parsed = ui::script::parse_script(add_script(n_points, state.range(0)) + "press 1\nanswer yes\n");
  for (auto _ : state) {
    testing_support::Session s = accelerogram_case(0);
    if (!run_editor(s, parsed)) state.SkipWithError("the script did not run through");
  }
  // Seconds of CPU per ADD (with its two typed fields), over the whole entry.
  state.counters["per_add"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * n_points,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Add20000Points)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

// A saved accelerogram of 20,000 points, as the editor's SAVE leaves it in the case store (and
// in TPacc.dat); the editor opens from it.
model::case_files::CaseStore saved_points(const testing_support::Session& s, int count) {
  std::vector<model::AccelPoint> points(count);
  for (int i = 0; i < count; ++i) {
    points[i].time = static_cast<float>(0.005 * (i + 1));
    points[i].acceleration[0] = static_cast<float>((i % 97) * 0.125 - 3);
  }
  model::Loading loading;
  loading.data =
      model::Accelerogram{model::LoadingType::accelerogram_3_directions, model::AccelDirection::none, points, {}};
  model::case_files::CaseStore cases = s.cases;
  model::case_files::FileFailure failure;
  cases.save_loading(s, 1, model::LoadingKind::accelerogram, std::move(loading), failure);
  return cases;
}

// Opening with the saved points, then: 0 nothing, 1 one ADD at the end of the full list,
// 2 one ADD at its start, 3 SAVE. The differences to 0 are the costs of one action.
void BM_ActionOnSavedPoints(benchmark::State& state) {
  BenchFolder folder;
  const int action = static_cast<int>(state.range(0));
  const int saved = action == 3 ? n_points : n_points - 1;
  const model::case_files::CaseStore cases = saved_points(accelerogram_case(saved), saved);
  std::string script;
  if (action == 1) script = "type 1100 \"1000\"\npress 1098\n";
  if (action == 2) script = "type 1100 \"0.001\"\npress 1098\n";
  if (action == 3) script = "press 1101\n";
  // The point added is not saved: DONE asks whether to discard it.
  const std::string done = action == 1 || action == 2 ? "press 1\nanswer yes\n" : "press 1\n";
  const auto parsed = ui::script::parse_script(script + done);
  for (auto _ : state) {
    testing_support::Session s = accelerogram_case(saved);
    if (!run_editor(s, parsed, &cases)) state.SkipWithError("the script did not run through");
  }
}
BENCHMARK(BM_ActionOnSavedPoints)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
