// Processing of one 40,000-point component (high-pass, low-pass and the polynomial baseline),
// against its physical floor: the forward and inverse FFT of the padded length alone.
#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "motion/processing.h"

namespace {

constexpr std::size_t points = 40'000;
constexpr double step = 0.005;

// Broad-band noise under a rise and decay, with an offset as a raw record has.
std::vector<double> record() {
  std::vector<double> a(points);
  std::uint64_t x = 12345;
  double filtered = 0.0;
  for (std::size_t i = 0; i < points; ++i) {
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    filtered = 0.7 * filtered + static_cast<double>(x >> 11) / 9007199254740992.0 - 0.5;
    const double t = static_cast<double>(i) * step;
    a[i] = 3.0 * (t < 10 ? t / 10 : std::exp(-(t > 30 ? t - 30 : 0) / 40)) * filtered + 0.01;
  }
  return a;
}

motion::ProcessingOptions band() {
  motion::ProcessingOptions o;
  o.highpass = 0.1;
  o.lowpass = 25.0;
  return o;
}

void BM_ProcessOneComponent(benchmark::State& state) {
  const std::vector<std::vector<double>> components = {record()};
  for (auto _ : state) benchmark::DoNotOptimize(motion::process_record(components, step, band()));
}
BENCHMARK(BM_ProcessOneComponent)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The polynomial baseline alone, on the padded length.
void BM_Poly6Baseline(benchmark::State& state) {
  std::vector<double> a = record();
  a.resize(points + 12'000, 0.0);
  for (auto _ : state) {
    motion::remove_poly6_baseline(a, step);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_Poly6Baseline)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_BareFftOfThePaddedLength(benchmark::State& state) {
  const int length = motion::fft_length(points + 2 * 6'000);  // 30 s of zeros at each end
  double* real = fftw_alloc_real(static_cast<std::size_t>(length));
  fftw_complex* spectrum = fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1));
  const fftw_plan forward = fftw_plan_dft_r2c_1d(length, real, spectrum, FFTW_ESTIMATE);
  const fftw_plan backward = fftw_plan_dft_c2r_1d(length, spectrum, real, FFTW_ESTIMATE);
  const std::vector<double> a = record();
  for (auto _ : state) {
    std::fill(real, real + length, 0.0);
    std::copy(a.begin(), a.end(), real);
    fftw_execute(forward);
    fftw_execute(backward);
    benchmark::DoNotOptimize(real);
  }
  state.counters["length"] = length;
  fftw_destroy_plan(forward);
  fftw_destroy_plan(backward);
  fftw_free(real);
  fftw_free(spectrum);
}
BENCHMARK(BM_BareFftOfThePaddedLength)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
