// Writing a large loading file (long accelerograms and many discrete time points) against a
// plain copy of the same bytes. Both flush to the disk before they finish, as the writer must.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "dialogs/loading_file.h"
#include "loadfile_workspace.h"
#include "support/fake_toolkit.h"

namespace {

using bench_support::AgreeingToolkit;

using Workspace = loadfile_bench::LargeModel;

Workspace& workspace() {
  static Workspace w;
  return w;
}

void BM_write_loading_file(benchmark::State& bench) {
  Workspace& w = workspace();
  // Declines every question: a Create that had to ask (its check found the file wrong) fails,
  // so what is measured is the write of a loading file the solver would take.
  testing_support::FakeToolkit toolkit;
  dialogs::Context context{toolkit, w.state};
  context.cases = w.cases;
  for (auto _ : bench)
    if (!dialogs::write_loading_file(context)) {
      bench.SkipWithError("the loading file was not written");
      break;
    }
  if (bench.error_occurred()) return;
  loadfile_bench::report_file(bench, std::filesystem::file_size(w.folder.path() / "large.inc"));
}

// The same bytes read and written through a buffer of the writer's size, then synced.
void BM_plain_copy(benchmark::State& bench) {
  Workspace& w = workspace();
  AgreeingToolkit toolkit;
  dialogs::Context context{toolkit, w.state};
  context.cases = w.cases;
  dialogs::write_loading_file(context);
  const std::string from = (w.folder.path() / "large.inc").string(), to = (w.folder.path() / "copy.inc").string();
  std::vector<char> buffer(1 << 20);
  for (auto _ : bench) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;)
      if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) bench.SkipWithError("write failed");
    ::fsync(out);
    ::close(out);
    ::close(in);
  }
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * std::filesystem::file_size(from)));
}

BENCHMARK(BM_write_loading_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_plain_copy)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
