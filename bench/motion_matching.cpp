// Spectral matching of the public example (a 7,814-point record at 0.005 s onto an ASCE 7
// target over 0.05-6 s, judged on 209 periods), whole and in its parts: the dense spectrum each
// iteration judges with, and one step of the linear system (peaks, C and its solution).
#include <benchmark/benchmark.h>

#include <string>

#include "motion/matching.h"
#include "motion/reader.h"

namespace {

const std::string data = std::string(BRANTEL_SOURCE_DIR) + "/tests/data/matching";

struct Example {
  motion::Record seed;
  motion::DesignSpectrum target{motion::Asce7Spectrum{}};
  motion::MatchRequest request;
  Example() {
    motion::ReadOptions options;
    options.target = motion::TargetUnit(motion::Unit::m_s2);
    seed = motion::read_motion_file(data + "/RSN175_IMPVALL.H_H-E12140.AT2", options).record;
    std::string error;
    target = *motion::parse_design_spectrum("csv:" + data + "/ASCE7.txt", error);
    request.from = 0.05, request.to = 6.0;
  }
};

const Example& example() {
  static const Example e;
  return e;
}

void BM_MatchPublicExample(benchmark::State& state) {
  const Example& e = example();
  for (auto _ : state) {
    const motion::MatchResult r = motion::match_record(e.seed.components, e.seed.time_step, e.target, e.request);
    benchmark::DoNotOptimize(r.after.max);
    state.counters["iterations"] = r.iterations;
    state.counters["wavelets"] = static_cast<double>(r.wavelets);
    state.counters["misfit_max_pct"] = 100 * r.after.max;
  }
}
BENCHMARK(BM_MatchPublicExample)->Unit(benchmark::kMillisecond);

// What every iteration pays to judge: the exact spectrum on the dense grid of a padded record.
void BM_MatchDenseSpectrum(benchmark::State& state) {
  const Example& e = example();
  const auto periods = motion::judging_periods(0.05, 6.0, 100);
  std::vector<std::vector<double>> padded{std::vector<double>(20'000, 0.0)};
  std::copy(e.seed.components[0].begin(), e.seed.components[0].end(), padded[0].begin() + 6000);
  for (auto _ : state) benchmark::DoNotOptimize(motion::matched_psa(padded, e.seed.time_step, periods, 0.05));
}
BENCHMARK(BM_MatchDenseSpectrum)->Unit(benchmark::kMillisecond);

// One step of the system at 40 periods a decade.
void BM_MatchLinearStep(benchmark::State& state) {
  const Example& e = example();
  const auto periods = motion::judging_periods(0.05, 6.0, 40);
  std::vector<std::vector<double>> padded{std::vector<double>(20'000, 0.0)};
  std::copy(e.seed.components[0].begin(), e.seed.components[0].end(), padded[0].begin() + 6000);
  std::vector<double> sd;
  for (const double t : periods) sd.push_back(*e.target.psa_g(t) * 9.80665 * t * t / (4 * 3.141592653589793 * 3.141592653589793));
  for (auto _ : state) benchmark::DoNotOptimize(motion::plan_step(padded, e.seed.time_step, periods, sd, 0.05, 0.7));
}
BENCHMARK(BM_MatchLinearStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
