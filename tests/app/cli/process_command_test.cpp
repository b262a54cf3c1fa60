// `brantel process` as scripts run it: the steps and drift lines, the values in the unit asked,
// the exit codes for a record processed, one still drifting and options refused.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli/command_run.h"
#include "motion/processing.h"
#include "support/temp_dir.h"

namespace {

using testing_support::run_brantel;

// One column of m/s2 at 0.01 s: a burst of motion with an offset and a step in the acceleration,
// as a raw record has (its velocity and displacement drift away).
std::string write_raw(const std::string& name, double offset, double tilt) {
  std::ostringstream text;
  for (int i = 0; i < 3000; ++i) {
    const double t = i * 0.01;
    text << std::exp(-std::pow((t - 10.0) / 3.0, 2)) * (std::sin(2 * M_PI * 1.7 * t) + 0.6 * std::sin(2 * M_PI * 4.1 * t)) +
                offset + (t > 12.0 ? tilt : 0.0)
         << '\n';
  }
  testing_support::write_file(name, text.str());
  return name;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string line_starting(const std::string& out, const std::string& start) {
  for (const std::string& line : lines_of(out))
    if (line.starts_with(start)) return line;
  return {};
}

// The CSV rows: time and the components.
std::vector<std::vector<double>> rows_of(const std::string& out) {
  std::vector<std::vector<double>> rows;
  bool values = false;
  for (const std::string& line : lines_of(out)) {
    if (line.starts_with("time,")) values = true;
    else if (values) {
      std::vector<double> row;
      std::istringstream in(line);
      for (std::string cell; std::getline(in, cell, ',');) row.push_back(std::stod(cell));
      rows.push_back(row);
    }
  }
  return rows;
}

std::vector<std::string> reading(const std::vector<std::string>& files) {
  std::vector<std::string> args = {"process"};
  args.insert(args.end(), files.begin(), files.end());
  for (const char* word : {"--dt", "0.01", "--units", "m/s2"}) args.push_back(word);
  return args;
}

TEST(ProcessCommand, WritesTheStepsTheDriftAndTheProcessedValuesFromTimeZero) {
  const testing_support::TempCurrentDir dir;
  const std::string a = write_raw("a.txt", 0.01, 0.02), b = write_raw("b.txt", -0.02, 0.0);
  std::vector<std::string> args = reading({a, b});
  for (const char* word : {"--highpass", "0.2", "--lowpass", "20"}) args.push_back(word);
  const auto run = run_brantel(args);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(line_starting(run.out, "# step 1"), "# step 1: mean removed");
  EXPECT_EQ(line_starting(run.out, "# step 3"), "# step 3: zeros added, 15 s at each end");
  EXPECT_EQ(line_starting(run.out, "# step 4"), "# step 4: high-pass 0.20 Hz, order 4, acausal");
  EXPECT_EQ(line_starting(run.out, "# step 5"), "# step 5: low-pass 20.00 Hz, order 4, acausal");
  EXPECT_EQ(line_starting(run.out, "# step 6").substr(0, 19), "# step 6: baseline:");
  EXPECT_EQ(line_starting(run.out, "# usable periods"), "# usable periods: up to 4 s");
  EXPECT_EQ(line_starting(run.out, "# points"), "# points: 6000");  // 3000 and 1500 zeros at each end
  const auto rows = rows_of(run.out);
  ASSERT_EQ(rows.size(), 6000u);
  EXPECT_EQ(rows[0][0], 0.0);
  EXPECT_NEAR(rows[5999][0], 59.99, 1e-9);
  // The drift lines are those of the values written, one a component.
  const std::string velocity = line_starting(run.out, "# final velocity: ");
  const std::string displacement = line_starting(run.out, "# final displacement: ");
  ASSERT_TRUE(velocity.ends_with(" m/s")) << velocity;
  ASSERT_TRUE(displacement.ends_with(" m")) << displacement;
  double v[2] = {}, d[2] = {};
  ASSERT_EQ(std::sscanf(velocity.c_str(), "# final velocity: %lf,%lf m/s", &v[0], &v[1]), 2);
  ASSERT_EQ(std::sscanf(displacement.c_str(), "# final displacement: %lf,%lf m", &d[0], &d[1]), 2);
  for (std::size_t c = 1; c <= 2; ++c) {
    std::vector<double> values;
    for (const auto& row : rows) values.push_back(row[c]);
    const motion::Drift drift = motion::drift_of(values, 0.01);
    EXPECT_TRUE(motion::within_drift_limits(drift)) << c;
    // Values printed to nine digits, summed over 6000 points.
    EXPECT_NEAR(v[c - 1], drift.final_velocity, 1e-6 * drift.pgv) << c;
    EXPECT_NEAR(d[c - 1], drift.final_displacement, 1e-6 * drift.pgd) << c;
  }

  // In g; trimmed to the record's own span from its own start, where the tilt needs a higher
  // corner to end at rest.
  args.insert(args.end(), {"--to", "g", "--trim", "--highpass", "0.5"});
  const auto in_g = run_brantel(args);
  ASSERT_EQ(in_g.code, 0) << in_g.err;
  const auto g_rows = rows_of(in_g.out);
  ASSERT_EQ(g_rows.size(), 3000u);
  EXPECT_EQ(g_rows[0][0], 0.0);
  EXPECT_EQ(line_starting(in_g.out, "# unit"), "# unit: m/s2 in the file, written in g");
  EXPECT_EQ(line_starting(in_g.out, "# step 6"), "# step 6: padding cut back to the record's span");
  args.resize(args.size() - 5);
  args.insert(args.end(), {"--trim", "--highpass", "0.5"});
  const auto in_m = run_brantel(args);
  const auto m_rows = rows_of(in_m.out);
  ASSERT_EQ(m_rows.size(), 3000u);
  for (std::size_t i = 0; i < 3000; i += 250) EXPECT_NEAR(g_rows[i][1], m_rows[i][1] / 9.80665, 1e-8 * std::fabs(m_rows[i][1]) + 1e-15);
}

TEST(ProcessCommand, MeasuresBeforeAndAfter) {
  const testing_support::TempCurrentDir dir;
  std::vector<std::string> args = reading({write_raw("a.txt", 0.05, 0.0)});
  for (const char* word : {"--highpass", "0.1", "--measures"}) args.push_back(word);
  const auto run = run_brantel(args);
  ASSERT_EQ(run.code, 0) << run.err;
  // The offset makes the raw velocity grow to 0.05 x 29.99 s; processing takes it away.
  const std::string before = line_starting(run.out, "# before: pga "), after = line_starting(run.out, "# after: pga ");
  ASSERT_FALSE(before.empty()) << run.out;
  ASSERT_FALSE(after.empty());
  const auto pgv = [](const std::string& line) { return std::stod(line.substr(line.find("pgv ") + 4)); };
  EXPECT_GT(pgv(before), 1.4);
  EXPECT_LT(pgv(after), 0.2);
}

TEST(ProcessCommand, RecordStillDriftingExitsOneNamingTheComponent) {
  // Nothing but the mean taken away: the step in the acceleration of the second component
  // stays, and its velocity ends far from rest.
  const testing_support::TempCurrentDir dir;
  std::vector<std::string> args = reading({write_raw("a.txt", 0.0, 0.0), write_raw("b.txt", 0.0, 0.05)});
  for (const char* word : {"--baseline", "mean", "--taper", "0"}) args.push_back(word);
  const auto run = run_brantel(args);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("brantel process: component 2 still drifts: final velocity "), std::string::npos) << run.err;
  EXPECT_EQ(line_starting(run.out, "# usable periods"), "");  // no high-pass, no limit stated
}

TEST(ProcessCommand, RefusesCornersAndOptionsOutsideTheirRangeWithTheReason) {
  const testing_support::TempCurrentDir dir;
  const std::string a = write_raw("a.txt", 0.0, 0.0);
  const struct {
    std::vector<std::string> words;
    const char* reason;
  } cases[] = {
      {{"--highpass", "50"}, "the high-pass corner 50 Hz is not below the record's Nyquist frequency (50 Hz)"},
      {{"--lowpass", "60"}, "the low-pass corner 60 Hz is not below the record's Nyquist frequency (50 Hz)"},
      {{"--highpass", "1", "--lowpass", "1"}, "the low-pass corner must be above the high-pass corner"},
      {{"--order", "9"}, "the filter order must be 1 to 8 (9)"},
      {{"--order", "0"}, "the filter order must be 1 to 8 (0)"},
      {{"--order", "2.5"}, "--order needs a whole number, 1 to 8"},
      {{"--taper", "0.6"}, "the taper must be 0 to 0.5 of the length (0.6)"},
      {{"--baseline", "cubic"}, "--baseline is none, mean, linear or poly6"},
      {{"--highpass", "fast"}, "--highpass needs a corner in Hz or auto"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = reading({a});
    args.insert(args.end(), c.words.begin(), c.words.end());
    const auto run = run_brantel(args);
    EXPECT_EQ(run.code, 2) << c.reason;
    EXPECT_NE(run.err.find("brantel process: " + std::string(c.reason) + "\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << c.reason;
  }
}

TEST(ProcessCommand, AutoHighPassNamesTheCornerChosen) {
  const testing_support::TempCurrentDir dir;
  std::vector<std::string> args = reading({write_raw("a.txt", 0.01, 0.03)});
  for (const char* word : {"--highpass", "auto", "--trim"}) args.push_back(word);
  const auto run = run_brantel(args);
  ASSERT_EQ(run.code, 0) << run.err;
  const std::string step = line_starting(run.out, "# step 4: high-pass ");
  EXPECT_TRUE(step.ends_with(", order 4, acausal (auto: the lowest corner that meets the drift limits)")) << run.out;
}

}  // namespace
