// What the journal costs each user action, at 99 cases with their case files (two each): an
// action that changed nothing (most keystrokes compare and write nothing), and one that changed
// a case (the journal is written and synced).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench_support.h"
#include "model/case_files/journal.h"
#include "model/state.h"

namespace {

constexpr int n_cases = 99;

model::ProgramState ninety_nine_cases() {
  model::ProgramState s;
  s.general.n_loading_cases = n_cases;
  for (auto* records : {&s.case_records, &s.loaded_case_records}) records->assign(n_cases, {});
  for (auto* flags : {&s.case_processed, &s.loading_saved, &s.initial_values_saved}) flags->assign(n_cases, true);
  for (int k = 1; k <= n_cases; ++k) s.case_records[k].end_time = static_cast<float>(k);
  for (int k = 1; k <= n_cases; ++k) {
    std::ofstream(std::to_string(k) + "TP.dat") << " 0.1\n 1 12 5. 0. 0.\n";
    std::ofstream(std::to_string(k) + "init.dat") << " 1 12 0. 0. 0.\n";
  }
  return s;
}

void BM_JournalUnchangedAction(benchmark::State& st) {
  bench_support::BenchFolder folder;
  const model::ProgramState s = ninety_nine_cases();
  model::case_files::Journal journal(folder.path(), folder.path().string());
  std::string reason;
  journal.record(s, 0, reason);
  for (auto _ : st) benchmark::DoNotOptimize(journal.record(s, 0, reason));
}
BENCHMARK(BM_JournalUnchangedAction)->Unit(benchmark::kMicrosecond);

void BM_JournalChangedAction(benchmark::State& st) {
  bench_support::BenchFolder folder;
  model::ProgramState s = ninety_nine_cases();
  model::case_files::Journal journal(folder.path(), folder.path().string());
  std::string reason;
  for (auto _ : st) {
    s.case_records[1].tolerance += 1;
    benchmark::DoNotOptimize(journal.record(s, 0, reason));
  }
}
BENCHMARK(BM_JournalChangedAction)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
