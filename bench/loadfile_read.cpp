// Reading a large loading file (long accelerograms and many discrete time points) back into
// the state and the case scratch files. The file is the one the writer's benchmark writes
// (both build it from bench/loadfile_workspace.h), so the two MB/s figures compare;
// BM_write_same_file measures the writer here too, on the same machine and run.
// BM_load_over_create alternates the two and gives their ratio; BM_load_peak_memory runs one
// LOAD in a fresh process and gives the memory it added at its peak, against the file's size.
// BM_read_loading_records and BM_codec_write are the codec alone, in memory, both ways.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/session.h"
#include "dialogs/context.h"
#include "dialogs/loading_file.h"
#include "files/record_file.h"
#include "loadfile/reader_parse.h"
#include "loadfile/writer.h"
#include "loadfile_workspace.h"
#include "model/analysis.h"
#include "support/fake_toolkit.h"
#include "text/free_form.h"

namespace {

using bench_support::AgreeingToolkit;

// The large model with its loading file written once, for the reader. Every LOAD writes its
// case files into a folder of its own, so that the editors' case files, from which Create
// writes the same loading file again, stay as they were.
struct Workspace : loadfile_bench::LargeModel {
  std::uintmax_t file_bytes = 0;
  std::filesystem::path load_folder = folder.path() / "load";

  Workspace() {
    // Declines every question: the file read is one that Create writes without asking.
    testing_support::FakeToolkit toolkit;
    dialogs::Context context{toolkit, state};
    context.cases = cases;
    if (!dialogs::write_loading_file(context)) throw std::runtime_error("the large loading file was not written");
    file_bytes = std::filesystem::file_size(folder.path() / "large.inc");
    std::filesystem::create_directory(load_folder);
  }

  // What the codec is given before the records: the model of the state that wrote the file.
  loadfile::ReadStart read_start() const {
    loadfile::ReadStart start;
    start.general = state.general();
    start.max_time_points = state.max_time_points;
    return start;
  }

  bool load(testing_support::Session& into) {
    AgreeingToolkit toolkit;
    dialogs::Context context{toolkit, into, into.cases};
    return load(context);
  }

  // LOAD into `context`, whose case store then holds the file's sections.
  bool load(dialogs::Context& context) {
    std::filesystem::current_path(load_folder);
    const bool loaded = dialogs::load_loading_file(context, state.loading_file().str()) == dialogs::LoadOutcome::loaded;
    std::filesystem::current_path(folder.path());
    return loaded;
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
    testing_support::Session state = w.state;
    if (!w.load(state)) bench.SkipWithError("the loading file was not loaded");
  }
  loadfile_bench::report_file(bench, w.file_bytes);
}

// Taking the records apart into an analysis alone, from a file already in memory.
void BM_read_loading_records(benchmark::State& bench) {
  Workspace& w = workspace();
  text::RecordSource source;
  files::read_records(std::string(w.state.loading_file().trimmed()), source);
  const loadfile::ReadStart start = w.read_start();
  for (auto _ : bench) {
    source.seek(0);
    benchmark::DoNotOptimize(loadfile::read(source, start));
  }
  loadfile_bench::report_file(bench, w.file_bytes);
}

// The codec's bytes of the same file from the analysis its reading made, in memory: what Create
// costs before the file reaches the disk when it writes from the analysis.
void BM_codec_write(benchmark::State& bench) {
  Workspace& w = workspace();
  text::RecordSource source;
  files::read_records(std::string(w.state.loading_file().trimmed()), source);
  const loadfile::ReadStart start = w.read_start();
  const model::Analysis analysis = loadfile::read(source, start).analysis;
  const loadfile::Header header{{}, std::string(w.state.loading_file().trimmed()), false};
  for (auto _ : bench) benchmark::DoNotOptimize(loadfile::write(analysis, header));
  loadfile_bench::report_file(bench, w.file_bytes);
}

void BM_write_same_file(benchmark::State& bench) {
  Workspace& w = workspace();
  AgreeingToolkit toolkit;
  dialogs::Context context{toolkit, w.state};
  context.cases = w.cases;
  for (auto _ : bench)
    if (!dialogs::write_loading_file(context)) bench.SkipWithError("the loading file was not written");
  loadfile_bench::report_file(bench, w.file_bytes);
}

// LOAD and Create of the same file, one after the other in each round, so that both see the
// same load of the machine; `load_over_create` is the ratio of their times.
void BM_load_over_create(benchmark::State& bench) {
  using clock = std::chrono::steady_clock;
  Workspace& w = workspace();
  // Create writes the file LOAD reads: the sections the editors' case files of the workspace hold.
  testing_support::Session created = w.state;
  created.loading_file() = (w.folder.path() / "created.inc").string();
  AgreeingToolkit toolkit;
  dialogs::Context create_context{toolkit, created, w.cases};
  create_context.cases.loading_file() = created.loading_file();
  clock::duration load{}, create{};
  for (auto _ : bench) {
    testing_support::Session state = w.state;
    const auto start = clock::now();
    if (!w.load(state)) bench.SkipWithError("the loading file was not loaded");
    load += clock::now() - start;
    // The case files LOAD left in the page cache go to the disk first: Create's own flush
    // would wait for them otherwise.
    ::sync();
    const auto middle = clock::now();
    if (!dialogs::write_loading_file(create_context)) bench.SkipWithError("the loading file was not written");
    create += clock::now() - middle;
  }
  // The file names its own path in its last record; all the rest is the file LOAD read.
  if (std::filesystem::file_size(std::string(created.loading_file().trimmed())) - created.loading_file().trimmed_length() !=
      w.file_bytes - w.state.loading_file().trimmed_length())
    bench.SkipWithError("Create wrote another file than the one LOAD read");
  bench.counters["load_over_create"] = std::chrono::duration<double>(load) / std::chrono::duration<double>(create);
  loadfile_bench::report_file(bench, w.file_bytes);
}

// A figure of /proc/self/status in kilobytes: "VmRSS:" resident now, "VmHWM:" at the peak.
long status_kb(const std::string& wanted) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kb = 0;
  while (status >> key) {
    if (key == wanted) {
      status >> kb;
      return kb;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// `bench_loadfile_read --load-once PATH`: one LOAD in a fresh process, which prints how many
// kilobytes it held before the LOAD and at its peak.
int load_once(const char* path) {
  testing_support::Session state = loadfile_bench::large_model_state();
  const long before_kb = status_kb("VmRSS:");
  AgreeingToolkit toolkit;
  dialogs::Context context{toolkit, state, state.cases};
  const bool loaded = dialogs::load_loading_file(context, path) == dialogs::LoadOutcome::loaded;
  std::printf("%ld %ld\n", before_kb, status_kb("VmHWM:"));
  return loaded ? 0 : 1;
}

// The memory the LOAD added at its peak (the largest of the runs), measured in a process of
// its own so that the benchmark's own data are not in the way.
void BM_load_peak_memory(benchmark::State& bench) {
  Workspace& w = workspace();
  const std::string command = "cd '" + w.load_folder.string() + "' && /proc/" + std::to_string(getpid()) +
                              "/exe --load-once '" + std::string(w.state.loading_file().trimmed()) + "'";
  double added_bytes = 0;
  for (auto _ : bench) {
    FILE* child = popen(command.c_str(), "r");
    long before_kb = 0, peak_kb = 0;
    const bool read = child && std::fscanf(child, "%ld %ld", &before_kb, &peak_kb) == 2;
    if (!child || pclose(child) != 0 || !read) bench.SkipWithError("the LOAD in its own process failed");
    added_bytes = std::max(added_bytes, static_cast<double>(peak_kb - before_kb) * 1024);
  }
  bench.counters["peak_added_MB"] = added_bytes / 1e6;
  bench.counters["peak_over_file"] = added_bytes / static_cast<double>(w.file_bytes);
}

BENCHMARK(BM_load_over_create)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_load_peak_memory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_load_loading_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_read_loading_records)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_codec_write)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_write_same_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--load-once") return load_once(argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
