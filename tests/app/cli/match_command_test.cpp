// `brantel match` as scripts run it: the '# ' lines and the record written, judged with an exact
// spectrum of that record as written; the exit when the tolerance is not reached or the record
// does not end at rest; the refusals.
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/cli/command_run.h"
#include "motion/design_spectrum.h"
#include "motion/matching.h"
#include "motion/processing.h"
#include "motion/spectrum.h"
#include "support/match_records.h"
#include "support/temp_dir.h"

namespace {

using testing_support::run_brantel;

const std::string seed = std::string(BRANTEL_SOURCE_DIR) + "/tests/data/matching/RSN175_IMPVALL.H_H-E12140.AT2";
const std::string target = "csv:" + std::string(BRANTEL_SOURCE_DIR) + "/tests/data/matching/ASCE7.txt";

struct Written {
  std::map<std::string, std::string> lines;  // '# name: value'
  std::string header;                         // of the columns
  std::vector<double> time, a1;
};

Written written(const std::string& out) {
  Written w;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("# ")) {
      const auto colon = line.find(": ");
      w.lines[line.substr(2, colon - 2)] = line.substr(colon + 2);
      continue;
    }
    if (line.starts_with("time,")) {
      w.header = line;
      continue;
    }
    double t = 0, a = 0;
    if (std::sscanf(line.c_str(), "%lf,%lf", &t, &a) == 2) w.time.push_back(t), w.a1.push_back(a);
  }
  return w;
}

TEST(MatchCommand, WritesAMatchedRecordWhoseOwnSpectrumIsWithinTheTolerance) {
  const auto run = run_brantel({"match", seed, "--target", target, "--match-range", "0.05:6", "--measures"});
  ASSERT_EQ(run.code, 0) << run.err;
  const Written w = written(run.out);
  EXPECT_EQ(w.header, "time,a1");
  for (const char* name : {"seed factor", "misfit before", "misfit after", "wavelets", "iterations", "final velocity",
                           "final displacement", "change", "measures, matched"})
    EXPECT_EQ(w.lines.count(name), 1u) << name;
  ASSERT_GT(w.a1.size(), 7814u);
  const double step = w.time[1] - w.time[0];
  EXPECT_NEAR(step, 0.005, 1e-9);
  motion::MatchRequest request;
  request.from = 0.05, request.to = 6.0;
  const auto periods = motion::judging_periods(0.05, 6.0, 100);
  EXPECT_EQ(periods.size(), 209u);
  const auto psa = motion::compute_spectra({w.a1}, step, {periods, {0.05}, {}}).front().psa;
  std::string error;
  const auto spectrum = motion::parse_design_spectrum(target, error);
  std::vector<double> goal;
  for (const double t : periods) goal.push_back(*spectrum->psa_g(t) * 9.80665);
  const motion::Misfit m = motion::misfit_of(periods, psa, goal);
  EXPECT_LE(m.max, 0.10);
  EXPECT_LE(m.mean, 0.03);
  char expected[80];
  std::snprintf(expected, sizeof expected, "max %.2f %%, mean %.2f %%", 100 * m.max, 100 * m.mean);
  EXPECT_EQ(w.lines.at("misfit after"), expected);
  const motion::Drift d = motion::drift_of(w.a1, step);
  EXPECT_LE(std::abs(d.final_velocity), 0.01 * d.pgv);
  EXPECT_LE(std::abs(d.final_displacement), 0.05 * d.pgd);
}

// A seed cut while still moving, held against its own spectrum: the factor alone matches it and
// it comes back as it is, drifting. That is not a success: a warning, and exit 1.
TEST(MatchCommand, WarnsAndExitsOneWhenTheRecordWrittenDoesNotEndAtRest) {
  const testing_support::TempCurrentDir dir;
  const double step = 0.01;
  const std::vector<double> a = testing_support::drifting(step, 20, 0.3);
  std::string record = "time,a\n";
  char line[80];
  for (std::size_t i = 0; i < a.size(); ++i)
    std::snprintf(line, sizeof line, "%.2f,%.9g\n", static_cast<double>(i) * step, a[i]), record += line;
  testing_support::write_file("drifting.csv", record);
  const auto periods = motion::log_periods(0.05, 5.0, 801);
  std::vector<double> as_read;
  for (std::size_t i = 0; i < a.size(); ++i) as_read.push_back(static_cast<float>(a[i]));
  const auto psa = motion::compute_spectra({as_read}, step, {periods, {0.05}, {}}).front().psa;
  std::string own = "";
  for (std::size_t k = 0; k < periods.size(); ++k)
    std::snprintf(line, sizeof line, "%.9g %.9g\n", periods[k], psa[k] / 9.80665), own += line;
  testing_support::write_file("own.txt", own);
  const auto run = run_brantel({"match", "drifting.csv", "--units", "m/s2", "--target", "csv:own.txt", "--match-range", "0.1:4"});
  EXPECT_EQ(run.code, 1) << run.err;
  const Written w = written(run.out);
  EXPECT_EQ(w.lines.at("wavelets"), "0");
  EXPECT_THAT(w.lines.at("warning"), testing::HasSubstr("does not end at rest"));
  EXPECT_THAT(run.err, testing::HasSubstr("warning: the record does not end at rest"));
  EXPECT_THAT(run.err, testing::Not(testing::HasSubstr("misfit stays above")));
}

// The Spectrum window matches a case's points: single precision, the step from single-precision
// times. The command, given the file the case was read from, makes the same match.
TEST(MatchCommand, MatchesAPairAsTheWindowMatchesItFromACase) {
  const testing_support::TempCurrentDir dir;
  const double step = 0.01;
  const std::vector<std::vector<double>> pair{testing_support::synthetic(step, 8.37, 0.3),
                                              testing_support::synthetic(step, 8.37, 1.4)};
  std::string text = "time,x,y\n";
  char line[120];
  std::vector<std::vector<double>> in_case(2);
  for (std::size_t i = 0; i < pair[0].size(); ++i) {
    std::snprintf(line, sizeof line, "%.2f,%.3f,%.3f\n", static_cast<double>(i) * step, pair[0][i], pair[1][i]);
    text += line;
    double t = 0, x = 0, y = 0;
    std::sscanf(line, "%lf,%lf,%lf", &t, &x, &y);
    in_case[0].push_back(static_cast<float>(x)), in_case[1].push_back(static_cast<float>(y));
  }
  testing_support::write_file("pair.csv", text);
  const std::size_t n = in_case[0].size();
  const double case_step = static_cast<double>(static_cast<float>(static_cast<double>(n - 1) * step)) / static_cast<double>(n - 1);
  const motion::MatchSeed numbers = motion::match_seed(in_case, case_step);
  motion::MatchRequest request;
  request.from = 0.1, request.to = 1.0, request.max_iterations = 15;
  const motion::MatchResult window =
      motion::match_record(numbers.components, numbers.step, motion::DesignSpectrum(motion::Asce7Spectrum{1.0, 0.6, 8.0}), request);
  const auto run = run_brantel({"match", "pair.csv", "--units", "m/s2", "--target", "asce7:sds=1.0,sd1=0.6,tl=8",
                                "--match-range", "0.1:1", "--max-iterations", "15"});
  ASSERT_LE(run.code, 1) << run.err;
  const Written w = written(run.out);
  EXPECT_EQ(w.header, "time,a1,a2");
  ASSERT_GT(window.wavelets, 0u);
  EXPECT_EQ(w.lines.at("wavelets"), std::to_string(window.wavelets));
  EXPECT_EQ(w.lines.at("iterations"), std::to_string(window.iterations));
  ASSERT_EQ(w.a1.size(), window.components[0].size());
  for (std::size_t i = 0; i < w.a1.size(); ++i)
    ASSERT_NEAR(w.a1[i], window.components[0][i], 1e-8 * (std::abs(window.components[0][i]) + 1e-6)) << i;
}

TEST(MatchCommand, StopsAboveTheToleranceWithExitOneAndRefusesWhatCannotBeMatched) {
  const auto short_run = run_brantel({"match", seed, "--target", target, "--match-range", "0.05:6", "--max-iterations", "1",
                                      "--tolerance", "0.01", "--to", "g"});
  EXPECT_EQ(short_run.code, 1);
  EXPECT_THAT(short_run.err, testing::HasSubstr("the misfit stays above the tolerance: max"));
  EXPECT_THAT(short_run.out, testing::HasSubstr("# unit: g\n"));

  auto refused = [](std::vector<std::string> words, const std::string& why) {
    words.insert(words.begin(), "match");
    const auto run = run_brantel(words);
    EXPECT_EQ(run.code, 2) << why;
    EXPECT_THAT(run.err, testing::HasSubstr(why));
    EXPECT_EQ(run.out, "");
  };
  refused({seed, "--match-range", "0.05:6"}, "no --target");
  refused({seed, "--target", target}, "no --match-range");
  refused({seed, "--target", target, "--match-range", "0.05:6", "--tolerance", "0"}, "--tolerance");
  refused({seed, "--target", target, "--match-range", "0.05:6", "--tolerance", "-0.1"}, "--tolerance");
  refused({seed, "--target", target, "--match-range", "0.05:25"}, "usable periods");
  refused({seed, "--target", target, "--match-range", "0.01:6"}, "usable periods");
  refused({seed, "--target", target, "--match-range", "6:0.05"}, "--match-range");
  refused({seed, seed, seed, "--target", target, "--match-range", "0.05:6"}, "two horizontal");
  refused({"--target", target, "--match-range", "0.05:6"}, "no file");
}

}  // namespace
