// Writing a large loading file (long accelerograms and many discrete time points) against a
// plain copy of the same bytes. Both flush to the disk before they finish, as the writer must.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/context.h"
#include "loadfile/writer.h"

namespace {

class SilentToolkit : public ui::Toolkit {
 public:
  std::unique_ptr<ui::Dialog> create_dialog(int) override { return nullptr; }
  ui::Answer message_box(std::string_view, std::string_view, ui::Icon, ui::Buttons) override {
    return ui::Answer::ok;
  }
  bool open_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  ui::Image load_image(const std::string&, ui::ImageKind, int, int) override { return {}; }
  void start_program_and_wait(const std::string&, const std::string&) override {}
};

void write_text(const std::string& name, const std::string& content) {
  FILE* f = std::fopen(name.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%-16.7G", v);
  return text;
}

// An accelerogram of `points` three-direction points in the editor's layout.
std::string accelerogram(int case_number, int points) {
  std::string out;
  out.reserve(static_cast<std::size_t>(points) * 66);
  for (int p = 0; p < points; ++p)
    out += " " + number(p * 0.005) + number(0.01 * (p % 97)) + number(-0.02 * (p % 13)) + number(0.5) + "\n";
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

std::string discrete(int case_number, int times) {
  std::string out;
  for (int t = 1; t <= times; ++t) {
    out += " " + std::to_string(t * 0.01) + "\n";
    for (int r = 0; r < 4; ++r) out += " " + std::to_string(r * 30 + 1) + " " + std::to_string(r * 30 + 30) + " 1000.5 -250.25 0.\n";
  }
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

struct Workspace {
  std::filesystem::path folder;
  app::ProgramState state;

  Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brantel_bench_XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
    std::filesystem::current_path(folder);
    state.n_loading_cases = 4;
    state.n_dof = 3;
    state.written_case_records.assign(4, {0.0001f, 20, app::accelerogram_3_directions, 0.005f, 1000, 0.1f, 0, -9.81f, 0});
    state.written_case_records[4].loading_type = app::discrete_loading;
    for (int i = 1; i <= 3; ++i) write_text(std::to_string(i) + "TPacc.dat", accelerogram(i, 300000));
    write_text("4TP.dat", discrete(4, 50000));
    for (int i = 1; i <= 4; ++i) {
      write_text(std::to_string(i) + "init.dat", "  1  120  0.  0.  0.  0.  0.  0.\nEnd_of_Initial_Conditions\n 0. 0. 0.\n");
      write_text(std::to_string(i) + "InitLoad.dat", "End_of_Initial_Loading\n");
    }
    state.loading_file = (folder / "large.inc").string();
  }
  ~Workspace() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

Workspace& workspace() {
  static Workspace w;
  return w;
}

void BM_write_loading_file(benchmark::State& bench) {
  Workspace& w = workspace();
  SilentToolkit toolkit;
  app::Context context{toolkit, w.state};
  for (auto _ : bench)
    if (!loadfile::write_loading_file(context)) bench.SkipWithError("the loading file was not written");
  const auto bytes = std::filesystem::file_size(w.folder / "large.inc");
  bench.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * bytes));
}

// The same bytes read and written through a buffer of the writer's size, then synced.
void BM_plain_copy(benchmark::State& bench) {
  Workspace& w = workspace();
  SilentToolkit toolkit;
  app::Context context{toolkit, w.state};
  loadfile::write_loading_file(context);
  const std::string from = (w.folder / "large.inc").string(), to = (w.folder / "copy.inc").string();
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
