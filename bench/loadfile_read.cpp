// Reading a large loading file (long accelerograms and many discrete time points) back into
// the state and the case scratch files. The file is the one the writer's benchmark writes
// (both build it from bench/loadfile_workspace.h), so the two MB/s figures compare;
// BM_write_same_file measures the writer here too, on the same machine and run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "dialogs/context.h"
#include "loadfile/reader.h"
#include "loadfile/reader_parse.h"
#include "loadfile/writer.h"
#include "loadfile_workspace.h"
#include "text/free_form.h"

namespace {

using bench_support::SilentToolkit;

// The large model with its loading file written once, for the reader.
struct Workspace : loadfile_bench::LargeModel {
  std::uintmax_t file_bytes = 0;

  Workspace() {
    SilentToolkit toolkit;
    app::Context context{toolkit, state};
    loadfile::write_loading_file(context);
    file_bytes = std::filesystem::file_size(folder.path / "large.inc");
  }
};

Workspace& workspace() {
  static Workspace w;
  return w;
}

// "LOAD from Old File" as the dialog runs it: read, take apart, write the scratch files.
void BM_load_loading_file(benchmark::State& bench) {
  Workspace& w = workspace();
  for (auto _ : bench) {
    app::ProgramState state = w.state;
    SilentToolkit toolkit;
    app::Context context{toolkit, state};
    if (loadfile::load_loading_file(context, w.state.loading_file.str()) != loadfile::LoadOutcome::loaded)
      bench.SkipWithError("the loading file was not loaded");
  }
  loadfile_bench::report_file(bench, w.file_bytes);
}

// Taking the records apart alone, from a file already in memory.
void BM_read_loading_records(benchmark::State& bench) {
  Workspace& w = workspace();
  text::RecordSource source;
  text::RecordSource::from_file(std::string(w.state.loading_file.trimmed()), source);
  for (auto _ : bench) {
    app::ProgramState state = w.state;
    source.seek(0);
    benchmark::DoNotOptimize(loadfile::read_loading_records(source, state));
  }
  loadfile_bench::report_file(bench, w.file_bytes);
}

void BM_write_same_file(benchmark::State& bench) {
  Workspace& w = workspace();
  SilentToolkit toolkit;
  app::Context context{toolkit, w.state};
  for (auto _ : bench)
    if (!loadfile::write_loading_file(context)) bench.SkipWithError("the loading file was not written");
  loadfile_bench::report_file(bench, w.file_bytes);
}

BENCHMARK(BM_load_loading_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_read_loading_records)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_write_same_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
