// Intensity measures against closed forms: a constant, a sine of whole periods, a pulse.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "motion/measures.h"

namespace {

using motion::intensity_measures;

constexpr double g = 9.80665;
constexpr double pi = std::numbers::pi;

std::vector<double> sampled(std::size_t n, double step, double (*f)(double)) {
  std::vector<double> a(n);
  for (std::size_t i = 0; i < n; ++i) a[i] = f(static_cast<double>(i) * step);
  return a;
}

TEST(IntensityMeasures, ConstantAccelerationIntegratesFromRestWithoutBaselineCorrection) {
  // a = c over T: v = c t and d = c t^2 / 2 with no correction, which would make both vanish;
  // the Husid curve is t / T, so the durations are 70 % and 90 % of T.
  const double c = 2.5, step = 0.01, T = 4.0;
  const auto m = intensity_measures(std::vector<double>(401, c), step);
  EXPECT_DOUBLE_EQ(m.pga, c);
  EXPECT_NEAR(m.pgv, c * T, 1e-12);
  EXPECT_NEAR(m.pgd, c * T * T / 2, 1e-10);
  EXPECT_NEAR(m.arias, pi / (2 * g) * c * c * T, 1e-12);
  ASSERT_TRUE(m.d5_75 && m.d5_95);
  EXPECT_NEAR(*m.d5_75, 0.7 * T, 1e-9);
  EXPECT_NEAR(*m.d5_95, 0.9 * T, 1e-9);
  EXPECT_NEAR(m.cav, c * T, 1e-12);
}

TEST(IntensityMeasures, SineOfWholePeriods) {
  // a = A sin(w t) over n periods P: v = A (1 - cos w t) / w peaks at 2A/w; d grows to
  // A n P / w; the mean of sin^2 is 1/2; the mean of |sin| is 2/pi.
  constexpr double A = 3.0, P = 0.5, n = 4, step = P / 2000;
  const auto a = sampled(8001, step, [](double t) { return A * std::sin(2 * pi * t / P); });
  const double w = 2 * pi / P;
  const auto m = intensity_measures(a, step);
  EXPECT_NEAR(m.pga, A, 1e-12);
  EXPECT_NEAR(m.pgv, 2 * A / w, 1e-5 * A / w);
  EXPECT_NEAR(m.pgd, A * n * P / w, 1e-5 * A * n * P / w);
  EXPECT_NEAR(m.arias, pi / (2 * g) * A * A * n * P / 2, 1e-12);
  EXPECT_NEAR(m.cav, 2 / pi * A * n * P, 1e-5 * A * n * P);
}

TEST(IntensityMeasures, PulseHoldsTheWholeIntensityAndTheDisplacementDriftsAfterIt) {
  // a = A for 1 s in a record of 10 s: Arias and CAV of that second only, durations 0.7 s and
  // 0.9 s within a step; after the pulse the velocity stays A and the displacement at the end is
  // A times the 7.5 s from the pulse's middle to the end, within a step.
  constexpr double A = 0.8, step = 0.001;
  const auto a = sampled(10001, step, [](double t) { return t > 2.0005 && t < 3.0005 ? A : 0.0; });
  const auto m = intensity_measures(a, step);
  EXPECT_NEAR(m.pgv, A * 1.0, 1e-9);
  EXPECT_NEAR(m.pgd, A * 1.0 * (10.0 - 2.5), A * step);
  EXPECT_NEAR(m.arias, pi / (2 * g) * A * A, pi / (2 * g) * A * A * step * 1.01);
  EXPECT_NEAR(m.cav, A, A * step * 1.01);
  ASSERT_TRUE(m.d5_75 && m.d5_95);
  EXPECT_NEAR(*m.d5_75, 0.7, 2 * step);
  EXPECT_NEAR(*m.d5_95, 0.9, 2 * step);
}

TEST(IntensityMeasures, RecordsWithoutMotionHaveNoDuration) {
  for (const std::vector<double>& a : {std::vector<double>(50, 0.0), std::vector<double>{1.0}, std::vector<double>{}}) {
    const auto m = intensity_measures(a, 0.01);
    EXPECT_EQ(m.arias, 0.0);
    EXPECT_EQ(m.cav, 0.0);
    EXPECT_FALSE(m.d5_75.has_value());
    EXPECT_FALSE(m.d5_95.has_value());
  }
}

TEST(IntensityMeasures, CavCountsBothSidesOfASignChangeInsideAStep) {
  // Linear from -1 to 3 over one step: |a| is two triangles of areas 1/8 and 9/8 (step 1).
  EXPECT_DOUBLE_EQ(intensity_measures({-1.0, 3.0}, 1.0).cav, 1.25);
}

}  // namespace

namespace {

// Values near the square root of the largest double: their squares summed overflow, the
// measures do not; each is the closed form of a constant record, scaled.
TEST(IntensityMeasures, HugeValuesGiveTheClosedFormsOrSayTheyCannot) {
  const double c = 1e154, step = 0.01, T = 4.0;
  const auto m = intensity_measures(std::vector<double>(401, c), step);
  EXPECT_NEAR(m.cav / (c * T), 1.0, 1e-12);
  EXPECT_NEAR(m.arias / (pi / (2 * g) * c * c * T), 1.0, 1e-12);
  ASSERT_TRUE(m.d5_95 && m.d5_75);
  EXPECT_NEAR(*m.d5_95, 0.9 * T, 1e-9);
  EXPECT_NEAR(*m.d5_75, 0.7 * T, 1e-9);
  EXPECT_EQ(motion::measures_problem(m), "");
  // Beyond: Arias intensity is c^2 T, no double; the measures say so rather than print inf.
  const auto beyond = intensity_measures(std::vector<double>(401, 1e300), step);
  EXPECT_NE(motion::measures_problem(beyond), "");
}

}  // namespace
