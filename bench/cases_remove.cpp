// Removing the first of 99 loading cases, the worst case of "Remove Case": 98 records and their
// flags move down, the sections of each later case move one number down in the case store, and
// its case files with them (its initial values renamed, its loading of 1,000 ranges written
// again, since its end line names the case).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "dialogs/cases/case_form.h"
#include "model/case_files/case_store.h"
#include "model/state.h"
#include "support/session.h"

namespace {

constexpr int n_cases = 99;
using bench_support::BenchFolder;

// Each case saved by the editors: one range of initial conditions and of initial loadings, and
// sinusoidal amplitudes of 1,000 ranges.
void save_cases(const testing_support::Session& s, model::case_files::CaseStore& cases) {
  model::case_files::FileFailure failure;
  model::Loading amplitudes;
  auto& ranges = amplitudes.data.emplace<model::AmplitudeLoading>().ranges;
  ranges.assign(1000, model::NodeRange{10, 12, {5.f, 0, 0, 0, 0, 0}});
  for (int k = 1; k <= n_cases; ++k) {
    model::InitialConditions conditions;
    conditions.ranges = {{1, 12, {0.5f}}};
    model::RangeSection loadings;
    loadings.ranges = {{1, 12, {1.f}}};
    if (!cases.save_initial_values(s, k, conditions, loadings, failure) ||
        !cases.save_loading(s, k, model::LoadingKind::sinusoidal, amplitudes, failure))
      break;
  }
}

testing_support::Session processed_cases() {
  testing_support::Session s;
  s.general().n_nodes = 12;
  s.general().n_dof = 3;
  s.general().n_loading_cases = n_cases;
  dialogs::cases::create_case_arrays(s, s.cases);
  for (int k = 1; k <= n_cases; ++k) {
    s.record(k).end_time = static_cast<float>(k);
    s.at(k).processed = true;
  }
  return s;
}

void BM_RemoveFirstOf99Cases(benchmark::State& bench) {
  BenchFolder folder;
  for (auto _ : bench) {
    bench.PauseTiming();
    testing_support::Session s = processed_cases();
    save_cases(s, s.cases);
    bench.ResumeTiming();
    const auto failures = dialogs::cases::remove_case(s, s.cases, 1);
    if (!failures.empty()) bench.SkipWithError("a case file was not moved");
    benchmark::DoNotOptimize(failures.size());
  }
}
BENCHMARK(BM_RemoveFirstOf99Cases)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
