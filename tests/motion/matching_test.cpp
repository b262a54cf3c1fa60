// Spectral matching: the wavelet's closed forms, one step of the linear system, the self-match,
// the public example within its goals (judged with exact spectra of the record written), the
// drift and the end at rest, the pair on RotD100, the numbers a match runs on and the refusals.
#include "motion/matching.h"
#include "motion/matching_internal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "motion/integrate.h"
#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/reader.h"
#include "motion/spectrum.h"
#include "support/match_records.h"

namespace {

using testing_support::drifting;
using testing_support::synthetic;

const std::string data = BRANTEL_MATCHING_DATA;

motion::Record public_seed() {
  motion::ReadOptions options;
  options.target = motion::TargetUnit(motion::Unit::m_s2);
  const motion::ReadResult r = motion::read_motion_file(data + "/RSN175_IMPVALL.H_H-E12140.AT2", options);
  EXPECT_NE(r.outcome, motion::Outcome::refused);
  return r.record;
}

motion::DesignSpectrum public_target() {
  std::string error;
  const auto target = motion::parse_design_spectrum("csv:" + data + "/ASCE7.txt", error);
  EXPECT_TRUE(target) << error;
  return *target;
}

// The misfit of a record on the judging grid, from an exact spectrum of its own.
motion::Misfit judged(const std::vector<std::vector<double>>& components, double step, const motion::DesignSpectrum& target,
                      const motion::MatchRequest& request) {
  const auto periods = motion::judging_periods(request.from, request.to, request.periods_per_decade);
  std::vector<double> psa;
  const auto curves = motion::compute_spectra(components, step, {periods, {request.damping}, {100.0}});
  const std::string name = components.size() == 1 ? "1" : "rotd100";
  for (const auto& c : curves)
    if (c.component == name) psa = c.psa;
  std::vector<double> goal;
  for (const double t : periods) goal.push_back(*target.psa_g(t, request.damping) * 9.80665);
  return motion::misfit_of(periods, psa, goal);
}

void expect_ends_at_rest(const std::vector<double>& a, double step) {
  const motion::Drift d = motion::drift_of(a, step);
  EXPECT_LE(std::abs(d.final_velocity), 0.01 * d.pgv);
  EXPECT_LE(std::abs(d.final_displacement), 0.05 * d.pgd);
}

TEST(MatchingWavelet, HasTheClosedFormIntegralAndMovesItsOscillatorPeakToTheShiftAfterItsCentre) {
  for (const double period : {0.05, 0.3, 1.0, 6.0}) {
    const double zeta = 0.05;
    const motion::Wavelet w = motion::make_wavelet(period, zeta);
    EXPECT_NEAR(w.gamma, 1.178 * std::pow(period, 0.93), 1e-12 * w.gamma);
    const double step = period / 400;
    const auto half = static_cast<long>(std::ceil(w.reach() / step));
    std::vector<double> a;
    for (long k = -half; k <= half; ++k) a.push_back(w.value(static_cast<double>(k) * step));
    const std::vector<double> v = motion::integrate_trapezoid(a, step);
    const double peak_velocity = std::abs(*std::max_element(v.begin(), v.end(), [](double x, double y) { return std::abs(x) < std::abs(y); }));
    const double closed = w.gamma * std::sqrt(std::numbers::pi) * std::exp(-std::pow(w.omega_d * w.gamma / 2, 2));
    EXPECT_NEAR(v.back(), closed, 1e-6 * peak_velocity) << period;
    EXPECT_LT(std::abs(v.back()), 1e-3 * peak_velocity) << period;
    // Zero mean: the mean acceleration over the wavelet is its net velocity over its length.
    EXPECT_LT(std::abs(v.back()) / (2 * w.reach()), 1e-4) << period;
    // Its own oscillator's response turns `shift` after the centre (an extreme of the response,
    // not yet the largest), so that a wavelet centred there acts at the peak it is meant to change.
    const auto u = [&](double from_centre) {
      return motion::response_at(a, step, period, zeta, static_cast<double>(half) * step + from_centre);
    };
    const double there = std::abs(u(w.shift));
    double around = 0;
    for (int k = -25; k <= 25; ++k) around = std::max(around, std::abs(u(w.shift + k * period / 100)));
    EXPECT_GT(there, 0.98 * around) << period;
    EXPECT_GT(there, 0.3 * motion::peak_response({a}, step, period, zeta).value) << period;
  }
}

TEST(MatchingStep, OneStepBringsEachOscillatorToItsTargetAtTheTimeOfItsPeak) {
  const double step = 0.01, zeta = 0.05;
  std::vector<std::vector<double>> record{std::vector<double>(7000, 0.0)};
  const auto core = synthetic(step, 20, 0.3);
  std::copy(core.begin(), core.end(), record[0].begin() + 2500);
  const std::vector<double> periods{0.1, 0.25, 0.6, 1.5, 3.0};
  std::vector<double> targets;
  const auto before = motion::peak_displacements(record[0], step, periods, zeta);
  for (std::size_t i = 0; i < periods.size(); ++i) targets.push_back(before[i] * (i % 2 ? 1.3 : 0.8));
  const auto wavelets = motion::plan_step(record, step, periods, targets, zeta, 1.0);
  ASSERT_EQ(wavelets.size(), periods.size());
  motion::add_wavelets(record, step, zeta, wavelets);
  const auto after = motion::peak_displacements(record[0], step, periods, zeta);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const motion::AddedWavelet& w = wavelets[i];
    const double there = w.direction[0] * motion::response_at(record[0], step, periods[i], zeta, w.peak.time);
    EXPECT_NEAR(there, targets[i], 1e-9 * targets[i]) << periods[i];
    // The response reaches the target at that time; another cycle may still peak higher.
    EXPECT_GE(after[i], targets[i] * (1 - 1e-9)) << periods[i];
    if (i % 2) {
      EXPECT_NEAR(after[i], targets[i], 0.03 * targets[i]) << periods[i];
    }
  }
  // Half the relaxation moves each oscillator half the way.
  std::vector<std::vector<double>> half{std::vector<double>(7000, 0.0)};
  std::copy(core.begin(), core.end(), half[0].begin() + 2500);
  motion::add_wavelets(half, step, zeta, motion::plan_step(half, step, periods, targets, zeta, 0.5));
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const double there = wavelets[i].direction[0] * motion::response_at(half[0], step, periods[i], zeta, wavelets[i].peak.time);
    EXPECT_NEAR(there, (targets[i] + wavelets[i].peak.value) / 2, 1e-9 * targets[i]) << periods[i];
  }
}

// The record matched over 0.1-4 s to its own 5% spectrum, given as a table of 801 periods.
motion::MatchResult matched_to_own_spectrum(const std::vector<std::vector<double>>& record, double step) {
  const auto periods = motion::log_periods(0.05, 5.0, 801);
  const auto psa = motion::compute_spectra(record, step, {periods, {0.05}, {}}).front().psa;
  motion::TableSpectrum table;
  for (std::size_t k = 0; k < periods.size(); ++k) table.rows.emplace_back(periods[k], psa[k] / 9.80665);
  motion::MatchRequest request;
  request.from = 0.1, request.to = 4.0;
  return motion::match_record(record, step, motion::DesignSpectrum(table), request);
}

TEST(Matching, ARecordMatchedToItsOwnSpectrumComesBackUnchangedWithoutWavelets) {
  const double step = 0.01;
  const std::vector<std::vector<double>> record{synthetic(step, 20, 0.3)};
  const motion::MatchResult r = matched_to_own_spectrum(record, step);
  ASSERT_EQ(r.problem, "");
  EXPECT_EQ(r.wavelets, 0u);
  EXPECT_EQ(r.iterations, 0);
  EXPECT_TRUE(r.within_tolerance);
  EXPECT_NEAR(r.seed_factor, 1.0, 1e-3);
  EXPECT_LT(r.before.max, 0.01);
  ASSERT_EQ(r.components.size(), 1u);
  ASSERT_EQ(r.components[0].size(), record[0].size());
  for (std::size_t i = 0; i < record[0].size(); ++i) ASSERT_DOUBLE_EQ(r.components[0][i], record[0][i] * r.seed_factor);
}

TEST(Matching, ThePublicExampleMeetsTheGoalsOnAnExactSpectrumOfTheRecordWritten) {
  const motion::Record seed = public_seed();
  ASSERT_EQ(seed.point_count(), 7814u);
  const motion::DesignSpectrum target = public_target();
  motion::MatchRequest request;
  request.from = 0.05, request.to = 6.0;
  const motion::MatchResult r = motion::match_record(seed.components, seed.time_step, target, request);
  ASSERT_EQ(r.problem, "");
  EXPECT_TRUE(r.within_tolerance);
  EXPECT_GT(r.wavelets, 0u);
  // Scaling alone leaves most of the range outside the band.
  EXPECT_GT(r.before.max, 0.3);
  const motion::Misfit after = judged(r.components, seed.time_step, target, request);
  EXPECT_LE(after.max, 0.10);
  EXPECT_LE(after.mean, 0.03);
  EXPECT_NEAR(after.max, r.after.max, 1e-12);
  const auto m0 = motion::intensity_measures(r.scaled_seed[0], seed.time_step);
  const auto m1 = motion::intensity_measures(r.components[0], seed.time_step);
  EXPECT_NEAR(m1.pgv / m0.pgv, 1.0, 0.2);
  EXPECT_NEAR(m1.arias / m0.arias, 1.0, 0.2);
  expect_ends_at_rest(r.components[0], seed.time_step);
  // The seed is in there, delayed by the padding before it.
  EXPECT_EQ(r.components[0].size(), r.lead_in + seed.point_count() + r.lead_out);
}

TEST(MatchingEnd, TakesAPolynomialDriftWholeBringsAnyDriftToRestAndLeavesARecordAtRestAlone) {
  const double step = 0.01;
  const std::size_t n = 2001;
  const double span = static_cast<double>(n - 1) * step;
  // The second derivative of a displacement 0.3 s^2 - 0.5 s^3 + 0.2 s^6 (s = t / T): a drift of
  // exactly the baseline's form, taken out whole.
  std::vector<double> polynomial(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / static_cast<double>(n - 1);
    polynomial[i] = (0.3 * 2 - 0.5 * 6 * s + 0.2 * 30 * std::pow(s, 4)) / (span * span);
  }
  std::vector<double> taken = polynomial;
  motion::detail::end_at_rest(taken, step);
  for (std::size_t i = 0; i < n; ++i) ASSERT_NEAR(taken[i], 0.0, 1e-9 * std::abs(polynomial[0])) << i;
  // Any drift: the end held, the record ends at rest to rounding, not only within the limits.
  for (const double phase : {0.0, 0.3, 1.1}) {
    std::vector<double> a = drifting(step, 20, phase);
    ASSERT_FALSE(motion::within_drift_limits(motion::drift_of(a, step)));
    motion::detail::end_at_rest(a, step);
    const motion::Drift d = motion::drift_of(a, step);
    EXPECT_LT(std::abs(d.final_velocity), 1e-9 * d.pgv) << phase;
    EXPECT_LT(std::abs(d.final_displacement), 1e-9 * d.pgd) << phase;
  }
  // The acceleration of a displacement sin^2(pi s), which starts and ends at rest: nothing is taken.
  std::vector<double> cycle;
  for (std::size_t i = 0; i <= 200; ++i) cycle.push_back(std::cos(2 * std::numbers::pi * static_cast<double>(i) / 200));
  const std::vector<double> before = cycle;
  motion::detail::end_at_rest(cycle, step);
  EXPECT_EQ(cycle, before);
}

// The seed's own drift is no excuse: the record handed back ends at rest, one component or a pair.
TEST(Matching, ASeedThatDriftsIsMatchedToARecordThatEndsAtRest) {
  const double step = 0.02;
  const motion::DesignSpectrum target(motion::Asce7Spectrum{1.0, 0.6, 8.0});
  motion::MatchRequest request;
  request.from = 0.1, request.to = 2.0, request.max_iterations = 20;
  for (const auto& seed : {std::vector<std::vector<double>>{drifting(step, 12, 0.3)},
                           std::vector<std::vector<double>>{drifting(step, 12, 0.3), drifting(step, 12, 1.4)}}) {
    const motion::MatchResult r = motion::match_record(seed, step, target, request);
    ASSERT_EQ(r.problem, "");
    EXPECT_GT(r.wavelets, 0u);
    EXPECT_TRUE(r.at_rest);
    for (const auto& c : r.components) expect_ends_at_rest(c, step);
    EXPECT_LE(judged(r.components, step, target, request).max, r.within_tolerance ? request.tolerance : 1.0);
  }
}

// Matched by its factor alone, a seed comes back as it is: when it drifts, the result says so.
TEST(Matching, ASeedThatScalingAloneMatchesComesBackAsItIsAndSaysWhetherItEndsAtRest) {
  const double step = 0.01;
  for (const bool drifts : {false, true}) {
    std::vector<std::vector<double>> record{drifts ? drifting(step, 20, 0.3) : synthetic(step, 20, 0.3)};
    if (!drifts) motion::detail::end_at_rest(record[0], step);
    const motion::MatchResult r = matched_to_own_spectrum(record, step);
    EXPECT_EQ(r.wavelets, 0u);
    EXPECT_EQ(r.at_rest, !drifts);
  }
}

// A case keeps single-precision points and gives its step from single-precision times; a file
// gives doubles. The same record both ways is matched on the same numbers, to the same record.
TEST(MatchSeed, ARecordFromItsFileAndFromACaseIsMatchedOnTheSameNumbersToTheSameRecord) {
  const double step = 0.01;
  std::vector<std::vector<double>> file{synthetic(step, 8.37, 0.3), synthetic(step, 8.37, 1.4)};
  for (auto& c : file)
    for (double& a : c) a = std::round(a * 1000) / 1000;  // as written with three decimals
  std::vector<std::vector<double>> in_case = file;
  for (auto& c : in_case)
    for (double& a : c) a = static_cast<float>(a);
  const std::size_t n = file[0].size();
  const double case_step = (static_cast<double>(static_cast<float>(static_cast<double>(n - 1) * step)) - 0.0) /
                           static_cast<double>(n - 1);
  ASSERT_NE(case_step, step);
  ASSERT_NE(in_case, file);
  const motion::MatchSeed from_file = motion::match_seed(file, step), from_case = motion::match_seed(in_case, case_step);
  EXPECT_EQ(from_file.step, step);
  EXPECT_EQ(from_case.step, step);
  EXPECT_EQ(from_file.components, from_case.components);
  for (std::size_t i = 0; i < n; ++i) ASSERT_NEAR(from_file.components[0][i], file[0][i], 1e-7 * (std::abs(file[0][i]) + 1e-3));
  // A step that is no short decimal is kept.
  EXPECT_EQ(motion::match_seed(file, 0.0123456789).step, 0.0123456789);
  motion::MatchRequest request;
  request.from = 0.1, request.to = 1.0, request.max_iterations = 15;
  const motion::DesignSpectrum target(motion::Asce7Spectrum{1.0, 0.6, 8.0});
  const motion::MatchResult a = motion::match_record(from_file.components, from_file.step, target, request);
  const motion::MatchResult b = motion::match_record(from_case.components, from_case.step, target, request);
  EXPECT_GT(a.wavelets, 0u);
  EXPECT_EQ(a.wavelets, b.wavelets);
  EXPECT_EQ(a.iterations, b.iterations);
  EXPECT_EQ(a.components, b.components);
}

TEST(Matching, APairIsMatchedOnRotD100WithinTheToleranceAndEndsAtRest) {
  const motion::Record seed = public_seed();
  // The second component: the first delayed by 1.5 s and weaker, so that the pair's motion turns
  // in the plane; both end at rest.
  std::vector<std::vector<double>> pair{seed.components[0], std::vector<double>(300, 0.0)};
  pair[0].resize(seed.point_count() + 300, 0.0);
  for (const double a : seed.components[0]) pair[1].push_back(0.7 * a);
  motion::MatchRequest request;
  request.from = 0.1, request.to = 3.0;
  const motion::DesignSpectrum target(motion::Asce7Spectrum{1.0, 0.6, 8.0});
  const motion::MatchResult r = motion::match_record(pair, seed.time_step, target, request);
  ASSERT_EQ(r.problem, "");
  EXPECT_TRUE(r.within_tolerance);
  ASSERT_EQ(r.components.size(), 2u);
  const motion::Misfit after = judged(r.components, seed.time_step, target, request);
  EXPECT_LE(after.max, request.tolerance);
  EXPECT_GT(r.before.max, request.tolerance);
  for (const auto& c : r.components) expect_ends_at_rest(c, seed.time_step);
}

TEST(Matching, RefusesWhatCannotBeMatchedAndStopsWhenCancelled) {
  const double step = 0.01;
  const std::vector<std::vector<double>> record{synthetic(step, 20, 0.3)};
  const motion::DesignSpectrum target(motion::Asce7Spectrum{1.0, 0.6, 8.0});
  auto problem = [&](double from, double to, double tolerance, std::vector<std::vector<double>> components) {
    motion::MatchRequest request;
    request.from = from, request.to = to, request.tolerance = tolerance;
    return motion::match_record(components, step, target, request).problem;
  };
  EXPECT_EQ(problem(0.1, 4.0, 0.1, record), "");
  EXPECT_THAT(problem(0.1, 4.0, 0.0, record), testing::HasSubstr("tolerance"));
  EXPECT_THAT(problem(0.1, 4.0, -0.1, record), testing::HasSubstr("tolerance"));
  EXPECT_THAT(problem(0.1, 10.5, 0.1, record), testing::HasSubstr("usable periods"));
  EXPECT_THAT(problem(0.04, 4.0, 0.1, record), testing::HasSubstr("usable periods"));
  EXPECT_THAT(problem(2.0, 1.0, 0.1, record), testing::HasSubstr("TA:TB"));
  EXPECT_THAT(problem(0.1, 4.0, 0.1, {record[0], record[0], record[0]}), testing::HasSubstr("two horizontal"));
  EXPECT_THAT(problem(0.1, 4.0, 0.1, {std::vector<double>(record[0].size(), 0.0)}), testing::HasSubstr("no response"));
  motion::TableSpectrum part{"", {{0.1, 1.0}, {2.0, 0.5}}};
  motion::MatchRequest request;
  request.from = 0.1, request.to = 4.0;
  EXPECT_THAT(motion::match_record(record, step, motion::DesignSpectrum(part), request).problem,
              testing::HasSubstr("not defined"));

  int calls = 0;
  const motion::MatchResult r = motion::match_record(record, step, target, request, [&](int, const motion::Misfit&) {
    return ++calls < 3;
  });
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.iterations, 2);
}

// The window runs a match one iteration a step under its progress bar: the steps make the same
// record as the whole, and a match stopped between them is cancelled with what it has.
TEST(Matching, AMatchRunStepByStepIsTheWholeMatchAndStopsWhereItIsLeft) {
  const double step = 0.01;
  const std::vector<std::vector<double>> record{synthetic(step, 20, 0.3)};
  const motion::DesignSpectrum target(motion::Asce7Spectrum{1.0, 0.6, 8.0});
  motion::MatchRequest request;
  request.from = 0.1, request.to = 4.0;
  const motion::MatchResult whole = motion::match_record(record, step, target, request);
  ASSERT_GT(whole.iterations, 2);
  motion::RecordMatch match(record, step, target, request);
  for (int k = 0; k < request.max_iterations && !match.done(); ++k) match.iterate();
  ASSERT_TRUE(match.done());
  const motion::MatchResult stepped = match.finish();
  EXPECT_FALSE(stepped.cancelled);
  EXPECT_EQ(stepped.iterations, whole.iterations);
  EXPECT_EQ(stepped.wavelets, whole.wavelets);
  EXPECT_EQ(stepped.components, whole.components);

  motion::RecordMatch part(record, step, target, request);
  part.iterate(), part.iterate();
  EXPECT_FALSE(part.done());
  EXPECT_EQ(part.iterations(), 2);
  const motion::MatchResult left = part.finish();
  EXPECT_TRUE(left.cancelled);
  EXPECT_EQ(left.iterations, 2);
  EXPECT_EQ(left.components[0].size(), left.lead_in + record[0].size() + left.lead_out);

  request.tolerance = 0;
  motion::RecordMatch refused(record, step, target, request);
  EXPECT_TRUE(refused.done());
  EXPECT_THAT(refused.finish().problem, testing::HasSubstr("tolerance"));
}

}  // namespace
