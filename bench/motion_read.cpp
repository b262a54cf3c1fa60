// Reading a 40,000-point record: the longest ordinary record an engineer imports.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "motion/reader.h"

namespace {

constexpr int points = 40'000;

double sample(int i) { return 0.3 * std::sin(0.05 * i) * std::exp(-0.0001 * i) - 1e-3 * std::cos(0.7 * i); }

std::string peer_record() {
  std::string s = "SYNTHETIC BENCHMARK RECORD\nNowhere, 2000, Station, 000\n"
                  "ACCELERATION TIME HISTORY IN UNITS OF G\nNPTS=  40000, DT=   .0050 SEC\n";
  char field[32];
  for (int i = 0; i < points; ++i) {
    std::snprintf(field, sizeof field, "%15.7E", sample(i));
    s += field;
    if (i % 5 == 4 || i + 1 == points) s += '\n';
  }
  return s;
}

std::string csv_record() {
  std::string s = "Time [s],X [g],Y [g],Z [g]\r\n";
  char line[96];
  for (int i = 0; i < points; ++i) {
    std::snprintf(line, sizeof line, "%.3f,%.7g,%.7g,%.7g\r\n", 0.005 * i, sample(i), sample(i + 7), sample(i + 13));
    s += line;
  }
  return s;
}

void read_file(benchmark::State& state, const std::string& content, const motion::ReadOptions& options) {
  bench_support::BenchFolder folder;
  std::ofstream("record", std::ios::binary) << content;
  for (auto _ : state) {
    const motion::ReadResult result = motion::read_motion_file("record", options);
    if (result.outcome == motion::Outcome::refused || result.record.point_count() != points) {
      state.SkipWithError("the record was not read");
      break;
    }
    benchmark::DoNotOptimize(result.record.components.front().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(content.size()));
}

void BM_ReadPeer40000(benchmark::State& state) { read_file(state, peer_record(), {}); }
BENCHMARK(BM_ReadPeer40000)->Unit(benchmark::kMillisecond);

void BM_ReadCsvThreeComponents40000(benchmark::State& state) {
  motion::ReadOptions options;
  options.file_unit = motion::Unit::g;
  read_file(state, csv_record(), options);
}
BENCHMARK(BM_ReadCsvThreeComponents40000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
