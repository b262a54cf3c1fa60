// Reading a large loading file (long accelerograms and many discrete time points) back into
// the state and the case scratch files. The file is the one the writer's benchmark writes
// (bench/loadfile_write.cpp builds the same scratch files), so the two MB/s figures compare;
// BM_write_same_file measures the writer here too, on the same machine and run.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/context.h"
#include "loadfile/reader.h"
#include "loadfile/reader_parse.h"
#include "loadfile/writer.h"
#include "text/free_form.h"

namespace {

class SilentToolkit : public ui::Toolkit {
 public:
  std::unique_ptr<ui::Dialog> create_dialog(int) override { return nullptr; }
  ui::Answer message_box(std::string_view, std::string_view, ui::Icon, ui::Buttons) override {
    ++messages;
    return ui::Answer::ok;
  }
  bool open_file_box(const ui::OpenFileRequest&, std::string&) override { return false; }
  ui::Image load_image(const std::string&, ui::ImageKind, int, int) override { return {}; }
  void start_program_and_wait(const std::string&, const std::string&) override {}
  int messages = 0;
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

std::string accelerogram(int case_number, int points) {
  std::string out;
  out.reserve(static_cast<std::size_t>(points) * 66);
  for (int p = 0; p < points; ++p) {
    out += ' ';
    for (double v : {p * 0.005, 0.01 * (p % 97), -0.02 * (p % 13), 0.5}) out += number(v);
    out += '\n';
  }
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

std::string discrete(int case_number, int times) {
  std::string out;
  for (int t = 1; t <= times; ++t) {
    out += ' ';
    out += std::to_string(t * 0.01);
    out += '\n';
    for (int r = 0; r < 4; ++r) {
      out += ' ';
      out += std::to_string(r * 30 + 1);
      out += ' ';
      out += std::to_string(r * 30 + 30);
      out += " 1000.5 -250.25 0.\n";
    }
  }
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

// Three accelerograms of 300,000 points and a discrete loading of 50,000 time points.
struct Workspace {
  std::filesystem::path folder;
  app::ProgramState state;
  std::uintmax_t file_bytes = 0;

  Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brantel_bench_XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
    std::filesystem::current_path(folder);
    state.n_nodes = 120;
    state.n_elements = 100;
    state.n_dof = 3;
    state.max_time_points = 300000;
    state.n_loading_cases = 4;
    state.written_case_records.assign(4, {0.0001f, 20, app::accelerogram_3_directions, 0.005f, 1000, 0.1f, 0, -9.81f, 0});
    state.written_case_records[4].loading_type = app::discrete_loading;
    for (int i = 1; i <= 3; ++i) write_text(std::to_string(i) + "TPacc.dat", accelerogram(i, 300000));
    write_text("4TP.dat", discrete(4, 50000));
    for (int i = 1; i <= 4; ++i) {
      write_text(std::to_string(i) + "init.dat", "  1  120  0.  0.  0.  0.  0.  0.\nEnd_of_Initial_Conditions\n 0. 0. 0.\n");
      write_text(std::to_string(i) + "InitLoad.dat", "End_of_Initial_Loading\n");
    }
    state.loading_file = (folder / "large.inc").string();
    SilentToolkit toolkit;
    app::Context context{toolkit, state};
    loadfile::write_loading_file(context);
    file_bytes = std::filesystem::file_size(folder / "large.inc");
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

void report(benchmark::State& bench, std::uintmax_t bytes) {
  bench.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * bytes));
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
  report(bench, w.file_bytes);
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
  report(bench, w.file_bytes);
}

void BM_write_same_file(benchmark::State& bench) {
  Workspace& w = workspace();
  SilentToolkit toolkit;
  app::Context context{toolkit, w.state};
  for (auto _ : bench)
    if (!loadfile::write_loading_file(context)) bench.SkipWithError("the loading file was not written");
  report(bench, w.file_bytes);
}

BENCHMARK(BM_load_loading_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_read_loading_records)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_write_same_file)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
