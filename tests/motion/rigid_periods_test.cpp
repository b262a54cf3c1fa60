// Periods below two time steps of a record: the rigid oscillator's response, the ground's own,
// whatever the period down to the smallest positive number; the other periods as computed.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "motion/rigid_periods.h"
#include "motion/spectrum_report.h"

namespace {

using motion::SpectrumCurve;

// Two horizontal components whose largest sum in one direction is known: a1 = 3 at one
// sample and a2 = 4 at the same sample give 5 at atan(4/3) (53.13 degrees), 4.9998 at 53.
std::vector<std::vector<double>> pair_record() {
  std::vector<double> a1(200), a2(200);
  for (std::size_t i = 0; i < a1.size(); ++i) {
    a1[i] = 0.5 * std::sin(0.3 * static_cast<double>(i));
    a2[i] = 0.4 * std::cos(0.2 * static_cast<double>(i));
  }
  a1[100] = 3, a2[100] = 4;
  return {a1, a2};
}

const SpectrumCurve& curve_named(const std::vector<SpectrumCurve>& curves, const std::string& name) {
  for (const SpectrumCurve& c : curves)
    if (c.component == name) return c;
  throw std::runtime_error("no curve " + name);
}

TEST(RigidPeriods, BelowTwoStepsThePeakGroundAccelerationAndAboveTheComputedSpectrum) {
  const double step = 0.01;
  motion::SpectrumRequest request;
  request.periods = {1e-300, 1e-9, 0.005, 0.0199, 0.02, 0.5};
  const auto record = pair_record();
  const auto curves = motion::spectra_with_rigid_periods(record, step, request);
  motion::SpectrumRequest longer = request;
  longer.periods = {0.02, 0.5};
  const auto computed = motion::compute_spectra(record, step, longer);
  ASSERT_EQ(curves.size(), computed.size());
  const double d53 = 53 * std::numbers::pi / 180;
  const double expected_rigid[] = {3, 4, 3 * std::cos(d53) + 4 * std::sin(d53), std::sqrt(12.0)};
  const char* names[] = {"1", "2", "rotd100", "geomean"};
  for (std::size_t n = 0; n < std::size(names); ++n) {
    const SpectrumCurve& c = curve_named(curves, names[n]);
    const SpectrumCurve& reference = curve_named(computed, names[n]);
    for (std::size_t k = 0; k < 4; ++k) {
      const double w = 2 * std::numbers::pi / request.periods[k];
      EXPECT_NEAR(c.psa[k], expected_rigid[n], 1e-12) << names[n] << " at " << request.periods[k];
      EXPECT_TRUE(std::isfinite(c.sd[k]) && std::isfinite(c.psv[k]));
      EXPECT_NEAR(c.psv[k], expected_rigid[n] / w, 1e-12 * expected_rigid[n] / w);
    }
    for (std::size_t k = 4; k < 6; ++k) {
      EXPECT_EQ(c.sd[k], reference.sd[k - 4]) << names[n];
      EXPECT_EQ(c.psa[k], reference.psa[k - 4]) << names[n];
    }
  }
}

// A record of long steps: every default period is rigid, and nothing is stepped at all.
TEST(RigidPeriods, EveryPeriodRigidForARecordOfLongSteps) {
  std::vector<double> a(100, 0.0);
  a[40] = -2.5;
  motion::SpectrumRequest request;
  const auto curves = motion::spectra_with_rigid_periods({a}, 1000.0, request);
  ASSERT_EQ(curves.size(), 1u);
  ASSERT_EQ(curves[0].psa.size(), request.periods.size());
  for (double psa : curves[0].psa) EXPECT_EQ(psa, 2.5);
}

// The editor keeps times as 32-bit reals: its step of 0.01 is 0.0100000004 as a double, and
// the table's header gives it as 0.01, the shortest text that reads back as that real. The
// rule for rigid periods is stated where it applies.
TEST(SpectrumReport, HeaderGivesTheShortestTextsOfTheStepAndStatesTheRigidPeriods) {
  motion::Record record;
  record.time_step = static_cast<double>(0.01f);
  record.components = {{0.0, 1.0, 0.0, -1.0, 0.0, 0.5, 0.0}};
  motion::SpectrumOptions options;
  options.request.periods = {0.01, 0.5};
  const motion::SpectrumReport report = motion::compute_report(record, options);
  std::ostringstream text;
  motion::write_report_csv({"editor"}, record, options, report, text);
  EXPECT_NE(text.str().find("# time step: 0.01 s\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("# periods below 0.02 s (two time steps): rigid, psa the peak ground acceleration\n"),
            std::string::npos)
      << text.str();
  record.time_step = 0.005;
  std::ostringstream plain;
  motion::write_report_csv({"editor"}, record, options, motion::compute_report(record, options), plain);
  EXPECT_NE(plain.str().find("# time step: 0.005 s\n"), std::string::npos);
  EXPECT_EQ(plain.str().find("rigid"), std::string::npos) << plain.str();
}

}  // namespace
