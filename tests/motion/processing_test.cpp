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
