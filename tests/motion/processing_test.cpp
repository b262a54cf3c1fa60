// Record processing against closed forms: drifts of known form, the filters' gains and phase,
// the energy kept by the padding.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "motion/processing.h"

namespace {

using namespace motion;

constexpr double pi = std::numbers::pi;

double largest_magnitude(const std::vector<double>& values) {
  double largest = 0.0;
  for (double v : values) largest = std::max(largest, std::fabs(v));
  return largest;
}

// The acceleration of the displacement sum c_k t^k, k = 2..6.
std::vector<double> polynomial_drift(std::size_t n, double step, const double (&c)[5]) {
  std::vector<double> a(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * step;
    double value = 0.0, power = 1.0;
    for (int k = 2; k <= 6; ++k, power *= t) value += k * (k - 1) * c[k - 2] * power;
    a[i] = value;
  }
  return a;
}

TEST(DriftMeasures, ConstantAccelerationEndsAtItsClosedForm) {
  // a = c over T: v = c T and d = c T^2 / 2, both exact for the trapezoid rule; both are also the
  // peaks, and far beyond the limits.
  const double c = -1.5, step = 0.02, T = 10.0;
  const Drift drift = drift_of(std::vector<double>(501, c), step);
  EXPECT_NEAR(drift.final_velocity, c * T, 1e-12);
  EXPECT_NEAR(drift.final_displacement, c * T * T / 2, 1e-10);
  EXPECT_NEAR(drift.pgv, -c * T, 1e-12);
  EXPECT_NEAR(drift.pgd, -c * T * T / 2, 1e-10);
  EXPECT_FALSE(within_drift_limits(drift));
}

TEST(DriftMeasures, LimitsAreOnePercentOfPgvAndFivePercentOfPgd) {
  EXPECT_TRUE(within_drift_limits({.final_velocity = 0.01, .final_displacement = -0.05, .pgv = 1.0, .pgd = 1.0}));
  EXPECT_FALSE(within_drift_limits({.final_velocity = -0.0101, .final_displacement = 0.0, .pgv = 1.0, .pgd = 1.0}));
  EXPECT_FALSE(within_drift_limits({.final_velocity = 0.0, .final_displacement = 0.0501, .pgv = 1.0, .pgd = 1.0}));
  EXPECT_TRUE(within_drift_limits(drift_of(std::vector<double>(100, 0.0), 0.01)));
}

TEST(PolynomialBaseline, DriftOfDegreeTwoToSixIsRemovedToRounding) {
  const double c[5] = {0.3, -0.08, 0.01, -6e-4, 1.5e-5};
  const double step = 0.01;
  std::vector<double> a = polynomial_drift(2001, step, c);
  const double size = largest_magnitude(a);
  remove_poly6_baseline(a, step);
  EXPECT_LT(largest_magnitude(a), 1e-9 * size);
}

TEST(PolynomialBaseline, MotionEndingAtRestKeepsItsShapeAndLosesTheDrift) {
  // A displacement D (1 - cos w t)^2 / 4 over whole periods in the middle of a quiet record
  // starts and ends at rest, its acceleration D w^2 (sin^2 + cos - cos^2) / 2 too; a drift added to its acceleration is taken away and the motion stays, to within
  // what the polynomial takes from the motion itself.
  const double step = 0.005, D = 0.05, w = 2 * pi * 2.0;
  const std::size_t n = 16001;
  std::vector<double> motion(n, 0.0);
  for (std::size_t i = 7800; i <= 8200; ++i) {
    const double wt = w * static_cast<double>(i - 7800) * step;
    motion[i] = D * w * w * (std::sin(wt) * std::sin(wt) + std::cos(wt) - std::cos(wt) * std::cos(wt)) / 2;
  }
  const double c[5] = {0.02, 0.0, -1e-4, 0.0, 2e-8};
  std::vector<double> a = polynomial_drift(n, step, c);
  for (std::size_t i = 0; i < n; ++i) a[i] += motion[i];
  ASSERT_FALSE(within_drift_limits(drift_of(a, step)));
  remove_poly6_baseline(a, step);
  const Drift drift = drift_of(a, step);
  EXPECT_TRUE(within_drift_limits(drift)) << drift.final_velocity << ' ' << drift.final_displacement;
  double worst = 0.0;
  for (std::size_t i = 0; i < n; ++i) worst = std::max(worst, std::fabs(a[i] - motion[i]));
  EXPECT_LT(worst, 0.01 * D * w * w);
}

TEST(PolynomialBaseline, TooShortOrWithoutStepIsLeftAsItIs) {
  std::vector<double> a = {1, 2, 3, 4, 5, 6};
  remove_poly6_baseline(a, 0.01);
  EXPECT_EQ(a, (std::vector<double>{1, 2, 3, 4, 5, 6}));
  a.push_back(7);
  remove_poly6_baseline(a, 0.0);
  EXPECT_EQ(a.back(), 7.0);
}

}  // namespace

namespace {

using namespace motion;

std::vector<double> sine(std::size_t n, double step, double f, double amplitude = 1.0) {
  std::vector<double> a(n);
  for (std::size_t i = 0; i < n; ++i) a[i] = amplitude * std::sin(2 * pi * f * static_cast<double>(i) * step);
  return a;
}

// The amplitude of the part of `a` at frequency f over samples first..last, by least squares on
// sin and cos (whole periods make them orthogonal).
double amplitude_at(const std::vector<double>& a, double step, double f, std::size_t first, std::size_t last) {
  double s = 0.0, c = 0.0, ss = 0.0, cc = 0.0;
  for (std::size_t i = first; i <= last; ++i) {
    const double t = static_cast<double>(i) * step;
    s += a[i] * std::sin(2 * pi * f * t);
    c += a[i] * std::cos(2 * pi * f * t);
    ss += std::sin(2 * pi * f * t) * std::sin(2 * pi * f * t);
    cc += std::cos(2 * pi * f * t) * std::cos(2 * pi * f * t);
  }
  return std::hypot(s / ss, c / cc);
}

ProcessingOptions bare() {
  ProcessingOptions o;
  o.taper = 0.0;
  o.baseline = Baseline::none;
  return o;
}

TEST(ProcessingFilters, SineAtEitherCornerComesOutAtOneOverRootTwo) {
  // 200 s of a sine at the corner: in the middle, away from where the sine starts and stops,
  // the filtered amplitude is |H(fc)| = 1/sqrt(2) whatever the order; an octave away it is the
  // closed form 1/sqrt(1 + 2^(2N)).
  const double step = 0.01;
  const std::size_t n = 20001, first = 5000, last = 15000;
  for (int order : {2, 4, 8}) {
    ProcessingOptions o = bare();
    o.order = order;
    o.highpass = 0.5;
    ProcessedRecord r = process_record({sine(n, step, 0.5), sine(n, step, 0.25)}, step, o);
    const auto lead = static_cast<std::size_t>(std::llround(r.lead / step));
    auto middle = [&](std::size_t c, double f) {
      std::vector<double> own(r.components[c].begin() + static_cast<std::ptrdiff_t>(lead), r.components[c].end());
      return amplitude_at(own, step, f, first, last);
    };
    EXPECT_NEAR(middle(0, 0.5), 1 / std::sqrt(2.0), 1e-3 / std::sqrt(2.0)) << "high-pass, order " << order;
    EXPECT_NEAR(middle(1, 0.25), 1 / std::sqrt(1 + std::pow(2.0, 2 * order)), 2e-3 / std::pow(2.0, order)) << order;

    o.highpass.reset();
    o.lowpass = 10.0;
    r = process_record({sine(n, step, 10.0), sine(n, step, 20.0)}, step, o);
    const auto lead_lp = static_cast<std::size_t>(std::llround(r.lead / step));
    std::vector<double> own(r.components[0].begin() + static_cast<std::ptrdiff_t>(lead_lp), r.components[0].end());
    EXPECT_NEAR(amplitude_at(own, step, 10.0, first, last), 1 / std::sqrt(2.0), 1e-3 / std::sqrt(2.0)) << "low-pass, order " << order;
    own.assign(r.components[1].begin() + static_cast<std::ptrdiff_t>(lead_lp), r.components[1].end());
    EXPECT_NEAR(amplitude_at(own, step, 20.0, first, last), 1 / std::sqrt(1 + std::pow(2.0, 2 * order)), 2e-3 / std::pow(2.0, order));
  }
}

TEST(ProcessingFilters, ZeroPhaseLeavesAPulsesPeakWhereItWas) {
  // A narrow Gaussian pulse through a band-pass comes out lower and wider but centred where it
  // was: a causal filter would move it later by its group delay.
  const double step = 0.005, t0 = 13.37;
  const std::size_t n = 6001;
  std::vector<double> a(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = (static_cast<double>(i) * step - t0) / 0.02;
    a[i] = std::exp(-x * x / 2);
  }
  ProcessingOptions o = bare();
  o.highpass = 0.2;
  o.lowpass = 5.0;
  const ProcessedRecord r = process_record({a}, step, o);
  const auto& out = r.components[0];
  const auto peak = static_cast<std::size_t>(std::max_element(out.begin(), out.end()) - out.begin());
  EXPECT_EQ(peak, static_cast<std::size_t>(std::llround((r.lead + t0) / step)));
  EXPECT_GT(r.lead, 0.0);
}

TEST(ProcessingFilters, PaddedImpulseKeepsTheEnergyParsevalGives) {
  // An impulse of unit area through the low-pass: by Parseval the output's energy, sum y^2 dt,
  // is the integral of |H|^2 over -fs/2..fs/2, 2 fc (pi / 2N) / sin(pi / 2N) with a tail beyond
  // the Nyquist frequency far below the tolerance. Padding too short to hold the response,
  // or a transform scaled wrongly, shows here.
  const double step = 0.01, fc = 5.0;
  for (int order : {1, 4}) {
    std::vector<double> a(1001, 0.0);
    a[500] = 1.0 / step;
    ProcessingOptions o = bare();
    o.lowpass = fc;
    o.order = order;
    const ProcessedRecord r = process_record({a}, step, o);
    double energy = 0.0;
    for (double v : r.components[0]) energy += v * v * step;
    const double x = pi / (2 * order);
    const double tail = order == 1 ? 2 * fc * (pi / 2 - std::atan(50.0 / fc)) : 0.0;
    EXPECT_NEAR(energy, 2 * fc * x / std::sin(x) - tail, 1e-4 * energy) << "order " << order;
  }
}

// A synthetic record: a sine burst with a random-looking sum of frequencies, plus a step in the
// acceleration (a tilt) and an offset, as raw records have.
std::vector<double> raw_record(std::size_t n, double step) {
  std::vector<double> a(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * step;
    const double envelope = std::exp(-std::pow((t - 12.0) / 4.0, 2));
    a[i] = envelope * (1.5 * std::sin(2 * pi * 1.3 * t) + 0.8 * std::sin(2 * pi * 3.7 * t + 1.0) +
                       0.5 * std::sin(2 * pi * 0.7 * t + 2.0)) +
           0.004 + (t > 14.0 ? 0.03 : 0.0);
  }
  return a;
}

TEST(ProcessingPipeline, RecordWithInjectedDriftEndsWithinTheLimits) {
  const double step = 0.01;
  const std::vector<double> a = raw_record(4001, step);
  ASSERT_FALSE(within_drift_limits(drift_of(a, step)));
  ProcessingOptions o;
  o.highpass = 0.1;
  const ProcessedRecord r = process_record({a}, step, o);
  EXPECT_TRUE(r.within_limits) << r.drift[0].final_velocity << ' ' << r.drift[0].final_displacement;
  ASSERT_TRUE(r.usable_period);
  EXPECT_DOUBLE_EQ(*r.usable_period, 1 / (1.25 * 0.1));
  // Pad auto: half of 1.5 N / f at each end.
  EXPECT_NEAR(r.lead, 0.75 * 4 / 0.1, step / 2);
  EXPECT_EQ(r.components[0].size(), 4001 + 2 * 3000u);

  // Cut back to its span, the record needs a higher corner to end at rest.
  o.trim = true;
  o.highpass = 0.25;
  const ProcessedRecord trimmed = process_record({a}, step, o);
  EXPECT_EQ(trimmed.components[0].size(), a.size());
  EXPECT_EQ(trimmed.lead, 0.0);
  EXPECT_TRUE(trimmed.within_limits);
}

TEST(ProcessingPipeline, StepsAreNamedInTheOrderDone) {
  ProcessingOptions o;
  o.highpass = 0.1;
  o.lowpass = 25.0;
  o.trim = true;
  const ProcessedRecord r = process_record({raw_record(2001, 0.01)}, 0.01, o);
  std::vector<std::string> texts;
  for (const ProcessingStep& s : r.steps) texts.push_back(step_text(s));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "mean removed", "Hann taper, 5% of the length at each end", "zeros added, 30 s at each end",
                       "high-pass 0.10 Hz, order 4, acausal", "low-pass 25.00 Hz, order 4, acausal",
                       "padding cut back to the record's span",
                       "baseline: polynomial of degree 6 fitted to the displacement, its second derivative "
                       "removed from the acceleration"}));
}

TEST(ProcessingPipeline, LinearBaselineTakesAwayALineAndNoneTakesNothing) {
  std::vector<double> line(101);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = 0.3 - 0.02 * static_cast<double>(i);
  ProcessingOptions o = bare();
  o.baseline = Baseline::linear;
  EXPECT_LT(largest_magnitude(process_record({line}, 0.01, o).components[0]), 1e-12);
  o.baseline = Baseline::mean;
  EXPECT_NEAR(process_record({line}, 0.01, o).components[0][0], 1.0, 1e-12);  // 0.3 less the mean -0.7
  o.baseline = Baseline::none;
  EXPECT_EQ(process_record({line}, 0.01, o).components[0], line);
}

TEST(ProcessingPipeline, AutoHighPassIsTheLowestCandidateThatMeetsTheLimits) {
  const double step = 0.01;
  const std::vector<double> a = raw_record(4001, step);
  // Cut back to its span: with the padding kept, the filter alone ends it at rest.
  ProcessingOptions o;
  o.highpass_auto = true;
  o.trim = true;
  const ProcessedRecord r = process_record({a}, step, o);
  ASSERT_TRUE(r.highpass);
  EXPECT_TRUE(r.within_limits);
  const double k = std::log(*r.highpass / auto_highpass_first) / std::log(auto_highpass_ratio);
  EXPECT_NEAR(k, std::round(k), 1e-9);
  ASSERT_GT(k, 0.5) << "the record's drift needs more than the lowest candidate";
  ProcessingOptions below = o;
  below.highpass_auto = false;
  below.highpass = *r.highpass / auto_highpass_ratio;
  EXPECT_FALSE(process_record({a}, step, below).within_limits);
  EXPECT_NE(step_text(r.steps[3]).find("(auto: the lowest corner that meets the drift limits)"), std::string::npos);
}

// With the padding kept, the output's far end is at rest for any corner: a candidate is judged at
// the record's own last point, so auto picks the corner the trimmed record needs, not the lowest.
TEST(ProcessingPipeline, AutoHighPassWithPaddingIsJudgedAtTheRecordsOwnEnd) {
  const double step = 0.01;
  const std::vector<double> a = raw_record(4001, step);
  ProcessingOptions o;
  o.highpass_auto = true;
  const ProcessedRecord r = process_record({a}, step, o);
  ASSERT_TRUE(r.highpass);
  EXPECT_GT(r.lead, 0.0);
  EXPECT_TRUE(r.record_end_within_limits);
  EXPECT_GT(*r.highpass, auto_highpass_first * 1.1) << "the padded end chose the lowest candidate";
  ProcessingOptions below = o;
  below.highpass_auto = false;
  below.highpass = *r.highpass / auto_highpass_ratio;
  const ProcessedRecord lower = process_record({a}, step, below);
  EXPECT_TRUE(lower.within_limits) << "the padded end is at rest whatever the corner";
  EXPECT_FALSE(lower.record_end_within_limits);
}

TEST(ProcessingOptionsCheck, RefusesCornersAtNyquistOrCrossedAndOrderOrTaperOutside) {
  const double step = 0.01;  // Nyquist 50 Hz
  auto fault = [&](auto change) {
    ProcessingOptions o;
    o.highpass = 0.1;
    change(o);
    return processing_fault(o, step);
  };
  EXPECT_EQ(fault([](ProcessingOptions&) {}), std::nullopt);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.highpass = 50.0; }), ProcessingFault::highpass_at_nyquist);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.lowpass = 50.0; }), ProcessingFault::lowpass_at_nyquist);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.lowpass = 49.9; }), std::nullopt);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.lowpass = 0.1; }), ProcessingFault::lowpass_below_highpass);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.order = 0; }), ProcessingFault::order_outside);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.order = 9; }), ProcessingFault::order_outside);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.order = 8; }), std::nullopt);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.taper = 0.51; }), ProcessingFault::taper_outside);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.taper = 0.5; }), std::nullopt);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.taper = -0.01; }), ProcessingFault::taper_outside);
  EXPECT_EQ(fault([](ProcessingOptions& o) { o.highpass = 0.0; }), ProcessingFault::corner_not_positive);
}

}  // namespace
