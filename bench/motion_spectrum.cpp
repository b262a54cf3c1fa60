// Response spectra of a 40,000-point record at 200 periods, against the plain loop: one period
// at a time, scalar, every step cut into the sub-steps that give the same samples a period.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "motion/spectrum.h"

namespace {

constexpr std::size_t points = 40'000;
constexpr double step = 0.005;

// Broad-band noise under a rise, strong phase and decay, like a real record's shape.
std::vector<double> record(std::uint64_t seed) {
  std::vector<double> a(points);
  std::uint64_t x = seed;
  double filtered = 0.0;
  for (std::size_t i = 0; i < points; ++i) {
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    const double white = static_cast<double>(x >> 11) / 9007199254740992.0 - 0.5;
    filtered = 0.7 * filtered + white;
    const double t = static_cast<double>(i) * step;
    const double envelope = t < 10 ? t / 10 : std::exp(-(t - 30 > 0 ? t - 30 : 0) / 40);
    a[i] = 3.0 * envelope * filtered;
  }
  return a;
}

const std::vector<double> periods = motion::log_periods(0.01, 10.0, 200);

// Every sub-sample of one oscillator's response.
std::vector<double> plain_response(const std::vector<double>& a, double period, double zeta) {
  const int subs = motion::sub_steps(period, step);
  const motion::OscillatorStep c = motion::oscillator_step(2 * std::numbers::pi / period, zeta, step / subs);
  std::vector<double> u_all;
  u_all.reserve(a.size() * subs);
  double u = 0, v = 0;
  for (std::size_t i = 1; i < a.size(); ++i) {
    const double dg = (a[i] - a[i - 1]) / subs;
    for (int q = 1; q <= subs; ++q) {
      const double ga = a[i - 1] + dg * (q - 1), gb = q == subs ? a[i] : a[i - 1] + dg * q;
      const double un = c.a11 * u + c.a12 * v + (c.b11 * ga + c.b12 * gb);
      v = c.a21 * u + c.a22 * v + (c.b21 * ga + c.b22 * gb);
      u = un;
      u_all.push_back(u);
    }
  }
  return u_all;
}

std::vector<double> plain_peaks(const std::vector<double>& a, double zeta) {
  std::vector<double> peaks;
  for (const double period : periods) {
    const int subs = motion::sub_steps(period, step);
    const motion::OscillatorStep c = motion::oscillator_step(2 * std::numbers::pi / period, zeta, step / subs);
    double u = 0, v = 0, peak = 0;
    for (std::size_t i = 1; i < a.size(); ++i) {
      const double dg = (a[i] - a[i - 1]) / subs;
      for (int q = 1; q <= subs; ++q) {
        const double ga = a[i - 1] + dg * (q - 1), gb = q == subs ? a[i] : a[i - 1] + dg * q;
        const double un = c.a11 * u + c.a12 * v + (c.b11 * ga + c.b12 * gb);
        v = c.a21 * u + c.a22 * v + (c.b21 * ga + c.b22 * gb);
        u = un;
        peak = std::max(peak, std::abs(u));
      }
    }
    peaks.push_back(peak);
  }
  return peaks;
}

void BM_SpectrumPlainLoop(benchmark::State& state) {
  const std::vector<double> a = record(1);
  for (auto _ : state) benchmark::DoNotOptimize(plain_peaks(a, 0.05).data());
}
BENCHMARK(BM_SpectrumPlainLoop)->Unit(benchmark::kMillisecond);

void BM_Spectrum(benchmark::State& state) {
  const std::vector<double> a = record(1);
  for (auto _ : state) benchmark::DoNotOptimize(motion::peak_displacements(a, step, periods, 0.05).data());
  // The fast result holds every sample of the plain loop and finds the peaks between them, which
  // lie above the samples by less than 1 - cos(pi / 48) of the response's amplitude; a benchmark
  // of a wrong answer measures nothing.
  const std::vector<double> fast = motion::peak_displacements(a, step, periods, 0.05);
  const std::vector<double> plain = plain_peaks(a, 0.05);
  for (std::size_t k = 0; k < plain.size(); ++k)
    if (!(fast[k] >= plain[k] * (1 - 1e-9) && fast[k] <= plain[k] * 1.01)) state.SkipWithError("differs from the plain loop");
}
BENCHMARK(BM_Spectrum)->Unit(benchmark::kMillisecond);

// RotD by the plain loop: every sub-sample of both responses, then each of the 180 directions.
void BM_RotDPlainLoop(benchmark::State& state) {
  const std::vector<double> a1 = record(1), a2 = record(2);
  for (auto _ : state) {
    for (const double period : periods) {
      const std::vector<double> u1 = plain_response(a1, period, 0.05), u2 = plain_response(a2, period, 0.05);
      motion::DirectionPeaks peaks{};
      for (int d = 0; d < 180; ++d) {
        const double c = std::cos(d * std::numbers::pi / 180), s = std::sin(d * std::numbers::pi / 180);
        double peak = 0;
        for (std::size_t i = 0; i < u1.size(); ++i) peak = std::max(peak, std::abs(u1[i] * c + u2[i] * s));
        peaks[d] = peak;
      }
      benchmark::DoNotOptimize(motion::rotd(peaks, 50) + motion::rotd(peaks, 100));
    }
  }
}
BENCHMARK(BM_RotDPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RotD(benchmark::State& state) {
  const std::vector<double> a1 = record(1), a2 = record(2);
  for (auto _ : state) {
    for (const auto& peaks : motion::direction_peaks(a1, a2, step, periods, 0.05))
      benchmark::DoNotOptimize(motion::rotd(peaks, 50) + motion::rotd(peaks, 100));
  }
}
BENCHMARK(BM_RotD)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
