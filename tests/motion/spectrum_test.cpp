// Response spectra against closed forms (a step, harmonic input at and off resonance, a single
// pulse), against a dense evaluation of the exact piecewise-linear response, and their limits.
#include "motion/spectrum.h"

#include "motion/reader.h"

#include <array>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double pi = std::numbers::pi;

double omega_of(double period) { return 2 * pi / period; }

// The response to an input linear over [0, h] from (u0, v0), at time t in [0, h]: written
// apart from the library, from the textbook solution of the damped oscillator.
struct Exact {
  double omega, zeta;
  void at(double t, double h, double u0, double v0, double g0, double g1, double& u, double& v) const {
    const double wd = omega * std::sqrt(1 - zeta * zeta), s = (g1 - g0) / h;
    // Particular solution of u'' + 2 zeta w u' + w^2 u = -(g0 + s t): u = c0 + c1 t.
    const double c1 = -s / (omega * omega);
    const double c0 = (-g0 - 2 * zeta * omega * c1) / (omega * omega);
    const double A = u0 - c0, B = (v0 - c1 + zeta * omega * A) / wd;
    const double e = std::exp(-zeta * omega * t), c = std::cos(wd * t), sn = std::sin(wd * t);
    u = c0 + c1 * t + e * (A * c + B * sn);
    v = c1 + e * (-zeta * omega * (A * c + B * sn) + wd * (-A * sn + B * c));
  }
};

// The peak of the exact piecewise-linear response (of its length, for two components at once):
// taken 400 times a period, then, on every stretch between two samples where one of them is
// within 5% of the largest, the largest found by golden-section search of the closed form.
// Between samples the response strays from their chord by less than 3.1e-5 of its free
// vibration's amplitude, so no stretch that holds the peak is passed over while that amplitude
// is below 1,600 times the peak.
double reference_peak(const std::vector<std::vector<double>>& records, double step, double period, double zeta) {
  const Exact exact{omega_of(period), zeta};
  const std::size_t n = records.front().size();
  const int m = std::max(1, static_cast<int>(std::ceil(400 * step / period)));
  std::vector<std::vector<std::pair<double, double>>> starts(records.size());  // (u, v) at each step's start
  for (std::size_t c = 0; c < records.size(); ++c) {
    double u = 0, v = 0;
    for (std::size_t i = 1; i < n; ++i) {
      starts[c].emplace_back(u, v);
      exact.at(step, step, u, v, records[c][i - 1], records[c][i], u, v);
    }
  }
  auto at = [&](std::size_t i, double t) {
    double sum = 0;
    for (std::size_t c = 0; c < records.size(); ++c) {
      double ut, vt;
      exact.at(t, step, starts[c][i - 1].first, starts[c][i - 1].second, records[c][i - 1], records[c][i], ut, vt);
      sum += ut * ut;
    }
    return std::sqrt(sum);
  };
  double sampled = 0;
  for (std::size_t i = 1; i < n; ++i)
    for (int q = 1; q <= m; ++q) sampled = std::max(sampled, at(i, step * q / m));
  double peak = sampled;
  const double golden = (std::sqrt(5.0) - 1) / 2;
  for (std::size_t i = 1; i < n; ++i)
    for (int q = 0; q < m; ++q) {
      double lo = step * q / m, hi = step * (q + 1) / m;
      if (std::max(at(i, lo), at(i, hi)) < 0.95 * sampled) continue;
      for (int k = 0; k < 80; ++k) {
        const double x1 = hi - golden * (hi - lo), x2 = lo + golden * (hi - lo);
        if (at(i, x1) < at(i, x2)) lo = x1;
        else hi = x2;
      }
      peak = std::max(peak, at(i, lo));
    }
  return peak;
}

double reference_peak(const std::vector<double>& a, double step, double period, double zeta) {
  return reference_peak(std::vector<std::vector<double>>{a}, step, period, zeta);
}

// A real record's channels in m/s2: 12,000 points at 0.005 s; channel 2 is the vertical.
std::vector<std::vector<double>> willow_creek() {
  motion::ReadOptions options;
  options.target = motion::TargetUnit(motion::Unit::m_s2);
  const motion::ReadResult r = motion::read_motion_file(BRANTEL_PROCESSING_DATA "/CE89146.V2", options);
  EXPECT_NE(r.outcome, motion::Outcome::refused);
  return r.record.components;
}

// Broad-band noise under a rise, strong phase and decay.
std::vector<double> noise_record(std::size_t n, double step, std::uint64_t seed) {
  std::vector<double> a(n);
  double filtered = 0;
  for (std::size_t i = 0; i < n; ++i) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    filtered = 0.6 * filtered + (static_cast<double>(seed >> 11) / 9007199254740992.0 - 0.5);
    const double t = i * step, duration = n * step;
    a[i] = 4.0 * std::min(1.0, t / (0.2 * duration)) * std::exp(-std::max(0.0, t - 0.5 * duration) / (0.2 * duration)) * filtered;
  }
  return a;
}

double peak(const std::vector<double>& a, double step, double period, double zeta) {
  const double periods[] = {period};
  return motion::peak_displacements(a, step, periods, zeta).front();
}

TEST(Spectrum, AgreesWithTheDenseExactResponseAtEveryPeriodFromShortToLong) {
  for (const double step : {0.005, 0.02}) {
    const std::vector<double> a = noise_record(static_cast<std::size_t>(30.0 / step), step, 7);
    const std::vector<double> periods = motion::log_periods(0.01, 20.0, 23);
    const std::vector<double> sd = motion::peak_displacements(a, step, periods, 0.05);
    for (std::size_t k = 0; k < periods.size(); ++k) {
      const double reference = reference_peak(a, step, periods[k], 0.05);
      EXPECT_NEAR(sd[k], reference, 2e-4 * reference) << "T = " << periods[k] << " s, step " << step;
    }
  }
}

// Periods of 48 steps and more, where PSA falls far below PGA: the response is a large free
// vibration nearly cancelling a large following of the ground, and its peaks between samples rise
// well above the samples.
TEST(Spectrum, RealRecordPeaksBetweenSamplesAreFoundAtLongPeriods) {
  const double step = 0.005;
  const auto channels = willow_creek();
  ASSERT_EQ(channels.size(), 3u);
  std::vector<double> periods = motion::log_periods(48 * step, 10.0, 12);
  periods.push_back(0.435);
  for (const std::size_t c : {0u, 2u}) {
    const std::vector<double> sd = motion::peak_displacements(channels[c], step, periods, 0.05);
    for (std::size_t k = 0; k < periods.size(); ++k) {
      const double reference = reference_peak(channels[c], step, periods[k], 0.05);
      EXPECT_NEAR(sd[k], reference, 2e-4 * reference) << "channel " << c + 1 << ", T = " << periods[k] << " s";
    }
  }
}

// RotD100 is the largest length of the response vector, up to the whole-degree directions:
// between them a vector is at most 1 - cos(0.5 deg) = 3.8e-5 longer than its projections.
TEST(SpectrumDirections, RealRecordRotD100IsTheLargestLengthOfTheResponseVector) {
  const double step = 0.005;
  const auto channels = willow_creek();
  ASSERT_EQ(channels.size(), 3u);
  const std::vector<double> periods = {0.02, 0.1, 0.435, 1.75, 2.2, 8.0};
  const auto peaks = motion::direction_peaks(channels[0], channels[2], step, periods, 0.05);
  for (std::size_t k = 0; k < periods.size(); ++k) {
    const double length = reference_peak({channels[0], channels[2]}, step, periods[k], 0.05);
    const double rotd100 = motion::rotd(peaks[k], 100);
    EXPECT_LE(rotd100, length * (1 + 1e-6)) << "T = " << periods[k] << " s";
    EXPECT_GE(rotd100, length * (1 - 3.8e-5 - 2e-6)) << "T = " << periods[k] << " s";
  }
}

// RotD100 alone, looked for only where a direction could beat the largest peak so far, is the
// largest of the 180 direction peaks to the last bit: on the real pair, at short periods (many
// sub-steps) and long, and as the spectra give it when it is the only percentile asked for.
TEST(SpectrumDirections, RotD100AloneIsTheLargestDirectionPeakToTheLastBit) {
  const double step = 0.005;
  const auto channels = willow_creek();
  ASSERT_EQ(channels.size(), 3u);
  const std::vector<double> periods = {0.011, 0.03, 0.1, 0.24, 0.435, 1.75, 8.0};
  const auto all = motion::direction_peaks(channels[0], channels[2], step, periods, 0.05);
  const auto largest = motion::rotd100_peaks(channels[0], channels[2], step, periods, 0.05);
  ASSERT_EQ(largest.size(), periods.size());
  for (std::size_t k = 0; k < periods.size(); ++k)
    EXPECT_EQ(largest[k], motion::rotd(all[k], 100)) << "T = " << periods[k] << " s";
  motion::SpectrumRequest request;
  request.periods = periods;
  request.rotd_percentiles = {100.0};
  request.pair = std::array<std::size_t, 2>{0, 2};
  const auto curves = motion::compute_spectra(channels, step, request);
  const auto rotd = std::find_if(curves.begin(), curves.end(), [](const motion::SpectrumCurve& c) { return c.component == "rotd100"; });
  ASSERT_NE(rotd, curves.end());
  for (std::size_t k = 0; k < periods.size(); ++k) EXPECT_EQ(rotd->sd[k], largest[k]);
}

TEST(Spectrum, StepInputOvershootsTheStaticDisplacementByTheDampedFactor) {
  // A constant input from rest: u = -(g/w^2)(1 - e^(-zeta w t)(cos wd t + ...)), largest at t = pi/wd.
  const double g = 2.0, step = 0.02;
  const std::vector<double> a(400, g);
  for (const double zeta : {0.0, 0.05, 0.2}) {
    for (const double period : {0.005, 0.013, 0.05, 0.3, 1.0}) {
      const double w = omega_of(period);
      const double expected = g / (w * w) * (1 + std::exp(-zeta * pi / std::sqrt(1 - zeta * zeta)));
      EXPECT_NEAR(peak(a, step, period, zeta), expected, 1e-3 * expected) << "T " << period << " zeta " << zeta;
    }
  }
}

// Harmonic input -A sin(W t) from rest; the exact response of the continuous input, evaluated
// densely. At resonance and off it, the transient of the start is part of the closed form.
double harmonic_peak(double A, double W, double w, double zeta, double duration) {
  const double r = W / w;
  if (zeta == 0 && r == 1) {
    // Undamped resonance: u = (A / 2w) t cos wt - (A / 2w^2) sin wt grows without end.
    double best = 0;
    for (double t = 0; t <= duration; t += 2 * pi / w / 2000)
      best = std::max(best, std::abs(A / (2 * w) * t * std::cos(w * t) - A / (2 * w * w) * std::sin(w * t)));
    return best;
  }
  const double den = (1 - r * r) * (1 - r * r) + (2 * zeta * r) * (2 * zeta * r);
  const double cs = -A / (w * w) * (1 - r * r) / den, cc = A / (w * w) * 2 * zeta * r / den;
  // u_s = cs sin Wt + cc cos Wt; the free vibration makes u(0) = v(0) = 0.
  const double wd = w * std::sqrt(1 - zeta * zeta);
  const double x0 = -cc, xd0 = -cs * W, B = (xd0 + zeta * w * x0) / wd;
  double best = 0;
  for (double t = 0; t <= duration; t += 2 * pi / std::max(W, w) / 2000) {
    const double u = cs * std::sin(W * t) + cc * std::cos(W * t) +
                     std::exp(-zeta * w * t) * (x0 * std::cos(wd * t) + B * std::sin(wd * t));
    best = std::max(best, std::abs(u));
  }
  return best;
}

TEST(Spectrum, HarmonicInputAtAndOffResonanceMatchesTheClosedForm) {
  const double A = 1.5, period = 0.5, w = omega_of(period);
  for (const double ratio : {1.0, 0.5, 2.0, 3.7}) {
    for (const double zeta : {0.0, 0.05}) {
      const double W = ratio * w, step = 2 * pi / W / 100, duration = 12.0;
      std::vector<double> a;
      for (double t = 0; t <= duration; t += step) a.push_back(A * std::sin(W * t));
      const double expected = harmonic_peak(A, W, w, zeta, (a.size() - 1) * step);
      EXPECT_NEAR(peak(a, step, period, zeta), expected, 1e-3 * expected) << "ratio " << ratio << " zeta " << zeta;
    }
  }
  // Damped and at resonance for long enough, the amplitude reaches A / (2 zeta w^2).
  const double step = period / 100;
  std::vector<double> a;
  for (int i = 0; i < 20000; ++i) a.push_back(A * std::sin(w * i * step));
  EXPECT_NEAR(peak(a, step, period, 0.05), A / (2 * 0.05 * w * w), 1e-3 * A / (2 * 0.05 * w * w));
}

TEST(Spectrum, ASinglePulseGivesTheImpulseResponsePeak) {
  // One sample of value P: a triangle of area P dt, an impulse to an oscillator much slower than dt.
  const double P = 3.0, step = 0.001;
  std::vector<double> a(8000, 0.0);
  a[1] = P;
  for (const double zeta : {0.0, 0.05}) {
    const double period = 2.0, w = omega_of(period), wd = w * std::sqrt(1 - zeta * zeta);
    const double t = std::atan2(std::sqrt(1 - zeta * zeta), zeta) / wd;
    const double expected = P * step / wd * std::exp(-zeta * w * t) * std::sin(wd * t);
    EXPECT_NEAR(peak(a, step, period, zeta), expected, 1e-3 * expected);
  }
}

TEST(Spectrum, PsaTendsToPgaAtShortPeriodsAndToZeroAtLong) {
  // Content below 3 Hz sampled every 0.01 s; an oscillator of 0.01 s follows the ground.
  const double step = 0.01;
  std::vector<double> a;
  for (int i = 0; i < 3000; ++i) {
    const double t = i * step;
    a.push_back(std::sin(2 * pi * 1.3 * t) * std::exp(-0.1 * t) + 0.4 * std::sin(2 * pi * 2.9 * t + 1) * std::min(1.0, t));
  }
  double pga = 0;
  for (double x : a) pga = std::max(pga, std::abs(x));
  motion::SpectrumRequest request;
  request.periods = {0.01, 0.02, 20.0, 200.0};
  const auto curves = motion::compute_spectra({a}, step, request);
  ASSERT_EQ(curves.size(), 1u);
  EXPECT_NEAR(curves[0].psa[0], pga, 0.01 * pga);
  EXPECT_NEAR(curves[0].psa[1], pga, 0.03 * pga);
  EXPECT_LT(curves[0].psa[3], 0.01 * pga);
  EXPECT_LT(curves[0].psa[3], curves[0].psa[2]);
  // PSV and PSA follow SD by w and w^2.
  const double w = omega_of(20.0);
  EXPECT_DOUBLE_EQ(curves[0].psv[2], w * curves[0].sd[2]);
  EXPECT_DOUBLE_EQ(curves[0].psa[2], w * w * curves[0].sd[2]);
}

TEST(Spectrum, PeriodsInAnyOrderGiveTheSameValues) {
  const double step = 0.01;
  const std::vector<double> a = noise_record(2000, step, 3);
  const std::vector<double> sorted = motion::log_periods(0.01, 5.0, 30);
  std::vector<double> shuffled(sorted.rbegin(), sorted.rend());
  std::swap(shuffled[3], shuffled[17]);
  const auto x = motion::peak_displacements(a, step, sorted, 0.05);
  const auto y = motion::peak_displacements(a, step, shuffled, 0.05);
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    const std::size_t j = std::find(shuffled.begin(), shuffled.end(), sorted[k]) - shuffled.begin();
    EXPECT_EQ(x[k], y[j]) << sorted[k];
  }
}

TEST(SpectrumDirections, APolarisedPairPeaksAlongItsDirectionAndFollowsTheCosineElsewhere) {
  const double step = 0.02, alpha = 30 * pi / 180;
  const std::vector<double> f = noise_record(1500, step, 11);
  std::vector<double> a1, a2;
  for (double x : f) a1.push_back(x * std::cos(alpha)), a2.push_back(x * std::sin(alpha));
  const std::vector<double> periods = {0.01, 0.05, 0.3, 2.0};
  const auto peaks = motion::direction_peaks(a1, a2, step, periods, 0.05);
  const auto single = motion::peak_displacements(f, step, periods, 0.05);
  const auto one = motion::peak_displacements(a1, step, periods, 0.05);
  const auto two = motion::peak_displacements(a2, step, periods, 0.05);
  for (std::size_t k = 0; k < periods.size(); ++k) {
    for (int d = 0; d < 180; ++d)
      EXPECT_NEAR(peaks[k][d], single[k] * std::abs(std::cos(d * pi / 180 - alpha)), 1e-9 * single[k])
          << "T " << periods[k] << " direction " << d;
    EXPECT_NEAR(motion::rotd(peaks[k], 100), single[k], 1e-9 * single[k]);
    EXPECT_NEAR(peaks[k][0], one[k], 1e-9 * one[k]);
    EXPECT_NEAR(peaks[k][90], two[k], 1e-9 * two[k]);
  }
}

TEST(SpectrumDirections, CircularMotionIsAlikeInEveryDirection) {
  // a1 = cos, a2 = sin at the oscillator's frequency: the response turns round at one radius.
  const double period = 0.4, w = omega_of(period), step = period / 200;
  std::vector<double> a1, a2;
  for (int i = 0; i < 12000; ++i) a1.push_back(std::cos(w * i * step)), a2.push_back(std::sin(w * i * step));
  const double periods[] = {period};
  const auto peaks = motion::direction_peaks(a1, a2, step, periods, 0.05).front();
  EXPECT_NEAR(motion::rotd(peaks, 0), motion::rotd(peaks, 100), 0.003 * motion::rotd(peaks, 100));
  EXPECT_NEAR(motion::rotd(peaks, 50), 1 / (2 * 0.05 * w * w), 0.005 / (2 * 0.05 * w * w));
}

TEST(SpectrumDirections, PercentilesAreRanksOfTheDirectionPeaks) {
  motion::DirectionPeaks peaks;
  for (int d = 0; d < 180; ++d) peaks[d] = std::abs(std::cos(d * pi / 180));
  EXPECT_EQ(motion::rotd(peaks, 0), peaks[90]);
  EXPECT_EQ(motion::rotd(peaks, 100), 1.0);
  // |cos d| over whole degrees: the two middle values are both cos 45.
  EXPECT_NEAR(motion::rotd(peaks, 50), std::sqrt(0.5), 1e-15);
}

TEST(SpectrumRequests, PairsGetRotDAndTheGeometricMeanAndBadRequestsAreNamed) {
  const double step = 0.01;
  const std::vector<double> a1 = noise_record(1000, step, 1), a2 = noise_record(1000, step, 2);
  motion::SpectrumRequest request;
  request.periods = {0.1, 1.0};
  request.dampings = {0.02, 0.05};
  const auto curves = motion::compute_spectra({a1, a2, a1}, step, request);
  ASSERT_EQ(curves.size(), 12u);
  EXPECT_EQ(curves[3].component, "rotd50");
  EXPECT_EQ(curves[4].component, "rotd100");
  EXPECT_EQ(curves[5].component, "geomean");
  EXPECT_EQ(curves[6].damping, 0.05);
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_DOUBLE_EQ(curves[5].sd[k], std::sqrt(curves[0].sd[k] * curves[1].sd[k]));
    EXPECT_GE(curves[4].sd[k], std::max(curves[0].sd[k], curves[1].sd[k]));
    EXPECT_LE(curves[3].sd[k], curves[4].sd[k]);
    EXPECT_EQ(curves[2].sd[k], curves[0].sd[k]);  // the third component is the first again
    EXPECT_GT(curves[0].sd[k], curves[6].sd[k]);  // less damping, more response
  }
  motion::SpectrumRequest bad = request;
  bad.dampings = {1.0};
  EXPECT_NE(motion::spectrum_request_problem(bad), "");
  bad = request;
  bad.periods = {0.1, 0.0};
  EXPECT_NE(motion::spectrum_request_problem(bad), "");
  bad = request;
  bad.rotd_percentiles = {101};
  EXPECT_NE(motion::spectrum_request_problem(bad), "");
  EXPECT_EQ(motion::spectrum_request_problem(request), "");
}

}  // namespace

// Periods a record step holds 1.5 to 8 times: each sub-step count from 2 to 8, in the middle of
// its band. The Hermite cubic of a 48th of a period is within 7.7e-7 of the free vibration's
// amplitude; of a whole step it is not.
TEST(Spectrum, EverySubStepCountIsWithinTheHermiteBoundOfTheExactPeak) {
  const double step = 0.01;
  const std::vector<double> a = noise_record(1500, step, 5);
  for (int subs = 2; subs <= 8; ++subs) {
    const double period = motion::samples_per_period * step / (subs - 0.5);
    ASSERT_EQ(motion::sub_steps(period, step), subs);
    const double reference = reference_peak(a, step, period, 0.05);
    EXPECT_NEAR(peak(a, step, period, 0.05), reference, 5e-6 * reference) << subs << " sub-steps, T = " << period;
  }
}
