// Number texts and free-form reading against gfortran's runtime doing the same work on the same
// data, in one run: G14.7 + tidy_number_text of 100,000 floats (also against std::to_chars'
// shortest text of the same floats), and free-form reads of 50,000
// node-range records (two integers, six reals) from a file. The gfortran figures appear as
// the *_gfortran benchmarks (manual time, per item); without gfortran they are skipped.
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/record_file.h"
#include "text/format.h"
#include "text/free_form.h"

namespace {

constexpr int n_values = 100000;
constexpr int n_records = 50000;

// Engineering magnitudes (1e-6 .. 1e6, both signs, some round numbers) and a share of
// arbitrary bit patterns.
std::vector<float> make_values() {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> exponent(-6.0, 6.0);
  std::vector<float> values;
  for (int i = 0; i < n_values; ++i) {
    float v = static_cast<float>(std::pow(10.0, exponent(random)));
    if (i % 4 == 1) v = -v;
    if (i % 8 == 2) v = static_cast<float>(random() % 1000) / 4.0f;
    if (i % 16 == 3) {
      std::uint32_t bits = random() & 0x7f7fffffu;
      std::memcpy(&v, &bits, sizeof v);
    }
    values.push_back(v);
  }
  return values;
}

struct Data {
  std::filesystem::path dir;
  std::vector<float> values;
  std::string records_path;
  double gfortran_format_ns = 0;
  double gfortran_read_ns = 0;
  std::string gfortran_skip_reason;

  Data() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brantel-text-bench-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    values = make_values();
    write_values();
    write_records();
    run_gfortran();
  }
  ~Data() { std::filesystem::remove_all(dir); }

  void write_values() {
    std::ofstream out(dir / "values.bin", std::ios::binary);
    out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
  }

  void write_records() {
    records_path = (dir / "records.dat").string();
    std::ofstream out(records_path, std::ios::binary);
    for (int i = 0; i < n_records; ++i) {
      text::FreeFormWriter w;
      w.integer(i + 1).integer(i + 40);
      for (int k = 0; k < 6; ++k) w.real(values[static_cast<std::size_t>(i * 6 + k) % values.size()]);
      out << w.str() << "\r\n";
    }
  }

  void run_gfortran() {
    if (std::system("command -v gfortran >/dev/null 2>&1") != 0) {
      gfortran_skip_reason = "gfortran is not installed";
      return;
    }
    const std::string exe = (dir / "text_reference").string();
    const std::string compile = "gfortran -O2 -o '" + exe + "' '" BRANTEL_SOURCE_DIR "/bench/text_reference.f90'";
    if (std::system(compile.c_str()) != 0) {
      gfortran_skip_reason = "the gfortran reference program did not compile";
      return;
    }
    const std::string output = (dir / "times.txt").string();
    const std::string run = "'" + exe + "' '" + (dir / "values.bin").string() + "' '" + records_path + "' 5 > '" + output + "'";
    if (std::system(run.c_str()) != 0) {
      gfortran_skip_reason = "the gfortran reference program failed";
      return;
    }
    std::ifstream in(output);
    std::string key;
    double ns = 0;
    while (in >> key >> ns) {
      if (key == "g14_7_tidy_ns") gfortran_format_ns = ns;
      if (key == "free_form_read_ns") gfortran_read_ns = ns;
    }
  }
};

Data& data() {
  static Data d;
  return d;
}

void BM_g14_7_tidy_ours(benchmark::State& state) {
  const auto& values = data().values;
  std::size_t total = 0;
  for (auto _ : state) {
    for (const float v : values) total += text::g14_7_text(v).size();
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * n_values);
}
BENCHMARK(BM_g14_7_tidy_ours)->Unit(benchmark::kMillisecond);

// The yardstick of the number texts: the C++ library's shortest text of the same floats, into
// a std::string as g14_7_text returns it.
void BM_to_chars_shortest(benchmark::State& state) {
  const auto& values = data().values;
  std::size_t total = 0;
  for (auto _ : state) {
    for (const float v : values) {
      char buffer[32];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
      total += std::string(buffer, end).size();
    }
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * n_values);
}
BENCHMARK(BM_to_chars_shortest)->Unit(benchmark::kMillisecond);

// The two above interleaved batch by batch, so that both see the same load of the machine;
// `ratio` is the G14.7 + tidy time over the std::to_chars time.
void BM_g14_7_tidy_over_to_chars(benchmark::State& state) {
  using clock = std::chrono::steady_clock;
  const auto& values = data().values;
  std::size_t total = 0;
  clock::duration ours{}, library{};
  for (auto _ : state) {
    const auto start = clock::now();
    for (const float v : values) total += text::g14_7_text(v).size();
    const auto middle = clock::now();
    for (const float v : values) {
      char buffer[32];
      total += std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr).size();
    }
    ours += middle - start;
    library += clock::now() - middle;
  }
  benchmark::DoNotOptimize(total);
  state.counters["ratio"] = std::chrono::duration<double>(ours) / std::chrono::duration<double>(library);
}
BENCHMARK(BM_g14_7_tidy_over_to_chars)->Unit(benchmark::kMillisecond);

void BM_free_form_read_ours(benchmark::State& state) {
  const std::string& path = data().records_path;
  long checksum = 0;
  for (auto _ : state) {
    text::RecordSource source;
    if (!files::read_records(path, source)) state.SkipWithError("cannot read the records");
    int from_node = 0, to_node = 0;
    float c[6];
    const std::vector<text::Target> targets = {text::target(from_node), text::target(to_node), text::target(c[0]),
                                               text::target(c[1]),      text::target(c[2]),    text::target(c[3]),
                                               text::target(c[4]),      text::target(c[5])};
    int records = 0;
    while (text::read_free_form(source, targets) == text::ReadStatus::ok) {
      ++records;
      checksum += to_node;
    }
    if (records != n_records) state.SkipWithError("records were not all read");
  }
  benchmark::DoNotOptimize(checksum);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * n_records);
}
BENCHMARK(BM_free_form_read_ours)->Unit(benchmark::kMillisecond);

// gfortran's time for the same batch, measured by the reference program (best of 5 rounds).
void report_gfortran(benchmark::State& state, double ns_per_item, int items) {
  if (!data().gfortran_skip_reason.empty()) {
    state.SkipWithError(data().gfortran_skip_reason.c_str());
    return;
  }
  for (auto _ : state) state.SetIterationTime(ns_per_item * items * 1e-9);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * items);
}

void BM_g14_7_tidy_gfortran(benchmark::State& state) { report_gfortran(state, data().gfortran_format_ns, n_values); }
BENCHMARK(BM_g14_7_tidy_gfortran)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_free_form_read_gfortran(benchmark::State& state) {
  report_gfortran(state, data().gfortran_read_ns, n_records);
}
BENCHMARK(BM_free_form_read_gfortran)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
