// What the journal costs each user action, at 99 cases with their case files (two each): an
// action that changed nothing (most keystrokes compare and write nothing), and one that changed
// a case (the journal is written and synced).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench_support.h"
#include "model/case_files/journal.h"
#include "model/state.h"
#include "support/session.h"

namespace {

constexpr int n_cases = 99;

testing_support::Session ninety_nine_cases() {
  testing_support::Session s;
  s.general().n_loading_cases = n_cases;
  s.cases.set_count(n_cases);
  for (int k = 1; k <= n_cases; ++k) {
    model::Case& c = s.at(k);
    c.loaded.emplace();
    c.processed = c.loading_saved = c.initial_values_saved = true;
    c.record.end_time = static_cast<float>(k);
  }
  for (int k = 1; k <= n_cases; ++k) {
    std::ofstream(std::to_string(k) + "TP.dat") << " 0.1\n 1 12 5. 0. 0.\n";
    std::ofstream(std::to_string(k) + "init.dat") << " 1 12 0. 0. 0.\n";
  }
  return s;
}

void BM_JournalUnchangedAction(benchmark::State& st) {
  bench_support::BenchFolder folder;
  const testing_support::Session s = ninety_nine_cases();
  model::case_files::Journal journal(folder.path(), folder.path().string());
  std::string reason;
  journal.record(s, s.cases, 0, reason);
  for (auto _ : st) benchmark::DoNotOptimize(journal.record(s, s.cases, 0, reason));
}
BENCHMARK(BM_JournalUnchangedAction)->Unit(benchmark::kMicrosecond);

void BM_JournalChangedAction(benchmark::State& st) {
  bench_support::BenchFolder folder;
  testing_support::Session s = ninety_nine_cases();
  model::case_files::Journal journal(folder.path(), folder.path().string());
  std::string reason;
  for (auto _ : st) {
    s.record(1).tolerance += 1;
    benchmark::DoNotOptimize(journal.record(s, s.cases, 0, reason));
  }
}
BENCHMARK(BM_JournalChangedAction)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
