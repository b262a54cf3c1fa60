// Removing the first of 99 loading cases, the worst case of "Remove Case": 98 records and their
// flags move down and the six scratch files of each later case (588 files, each holding a
// loading of 1,000 lines) are renamed one number down.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "dialogs/cases/case_form.h"
#include "model/case_files/scratch_files.h"
#include "model/state.h"

namespace {

constexpr int n_cases = 99;
constexpr model::case_files::ScratchKind all_kinds[] = {
    model::case_files::ScratchKind::initial_conditions, model::case_files::ScratchKind::initial_loading,
    model::case_files::ScratchKind::discrete_loading,   model::case_files::ScratchKind::accelerogram,
    model::case_files::ScratchKind::sinusoidal,         model::case_files::ScratchKind::exponential};

using bench_support::BenchFolder;

void write_case_files(const std::string& lines) {
  for (int k = 1; k <= n_cases; ++k)
    for (model::case_files::ScratchKind kind : all_kinds)
      std::ofstream(model::case_files::scratch_file_name(k, kind), std::ios::binary) << lines;
}

model::ProgramState processed_cases() {
  model::ProgramState s;
  s.n_loading_cases = n_cases;
  dialogs::cases::create_case_arrays(s);
  for (int k = 1; k <= n_cases; ++k) {
    s.case_records[k].end_time = static_cast<float>(k);
    s.case_processed[k] = true;
  }
  return s;
}

void BM_RemoveFirstOf99Cases(benchmark::State& bench) {
  BenchFolder folder;
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += " 10 12 5. 0. 0.\r\n";
  for (auto _ : bench) {
    bench.PauseTiming();
    write_case_files(lines);
    model::ProgramState s = processed_cases();
    bench.ResumeTiming();
    dialogs::cases::remove_case(s, 1);
    const auto failures = model::case_files::move_case_scratch_files_down(1, n_cases);
    benchmark::DoNotOptimize(failures.size());
  }
}
BENCHMARK(BM_RemoveFirstOf99Cases)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
