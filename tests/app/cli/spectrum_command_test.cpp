// `brantel spectrum` as scripts run it: the rows asked for, the units, the target and the factor
// written beside them, the JSON form, and the refusals.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli/command_run.h"
#include "support/temp_dir.h"

namespace {

using testing_support::run_brantel;

// A PEER record in g: a decaying 2 Hz sine, `n` points of `step` seconds.
std::string write_record(const std::string& name, int n, double step, double amplitude) {
  const std::string path = (std::filesystem::current_path() / name).string();
  std::ofstream out(path);
  out << "SYNTHETIC RECORD FOR TESTS\nNOWHERE\nACCELERATION TIME HISTORY IN UNITS OF G\n";
  char line[64];
  std::snprintf(line, sizeof line, "NPTS= %d, DT= %.4f SEC\n", n, step);
  out << line;
  for (int i = 0; i < n; ++i) {
    std::snprintf(line, sizeof line, "%15.7E", amplitude * std::sin(4 * M_PI * i * step) * std::exp(-0.3 * i * step));
    out << line << (i % 5 == 4 || i + 1 == n ? "\n" : "");
  }
  return path;
}

struct Row {
  double period, damping, sd, psv, psa, target = NAN;
  std::string component;
};

// The CSV rows after the '# ' lines and the header.
std::vector<Row> rows_of(const std::string& out, std::string* header = nullptr) {
  std::istringstream in(out);
  std::string line;
  std::vector<Row> rows;
  bool seen_header = false;
  while (std::getline(in, line)) {
    if (line.starts_with("# ")) continue;
    if (!seen_header) {
      if (header) *header = line;
      seen_header = true;
      continue;
    }
    Row r;
    char component[32] = "";
    const int fields = std::sscanf(line.c_str(), "%lf,%lf,%31[^,],%lf,%lf,%lf,%lf", &r.period, &r.damping, component,
                                   &r.sd, &r.psv, &r.psa, &r.target);
    EXPECT_GE(fields, 6) << line;
    r.component = component;
    rows.push_back(r);
  }
  return rows;
}

std::string line_starting(const std::string& out, const std::string& start) {
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line))
    if (line.starts_with(start)) return line;
  return {};
}

TEST(SpectrumCommand, WritesOneRowAPeriodDampingAndComponentWithRotDAndTheMeanOfAPair) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_a.AT2", 1000, 0.01, 0.3), b = write_record("spectrum_b.AT2", 1000, 0.01, 0.2);
  const auto run = run_brantel({"spectrum", a, b, "--damping", "0.02,0.05", "--periods-log", "0.05:5:7"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(line_starting(run.out, "# points"), "# points: 1000");
  EXPECT_EQ(line_starting(run.out, "# time step"), "# time step: 0.01 s");
  std::string header;
  const std::vector<Row> rows = rows_of(run.out, &header);
  EXPECT_EQ(header, "period,damping,component,sd,psv,psa");
  ASSERT_EQ(rows.size(), 2u * 7u * 5u);
  const char* order[] = {"1", "2", "rotd50", "rotd100", "geomean"};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].component, order[i % 5]);
    EXPECT_EQ(rows[i].damping, i < 35 ? 0.02 : 0.05);
    // Each printed to nine digits: a few parts in 10^9 each.
    const double w = 2 * M_PI / rows[i].period;
    EXPECT_NEAR(rows[i].psv, w * rows[i].sd, 3e-8 * rows[i].psv);
    EXPECT_NEAR(rows[i].psa, w * w * rows[i].sd, 5e-8 * rows[i].psa);
  }
  EXPECT_NEAR(rows[4].psa, std::sqrt(rows[0].psa * rows[1].psa), 1e-8 * rows[4].psa);
  EXPECT_GE(rows[3].psa, std::max(rows[0].psa, rows[1].psa) * (1 - 1e-9));
}

TEST(SpectrumCommand, PsaAndTargetInTheUnitAskedAndTheFactorFromTheRowsInRange) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_c.AT2", 1500, 0.01, 0.25);
  const auto in_m = run_brantel({"spectrum", a, "--periods", "0.1,0.5,1,2,4"});
  const auto in_g = run_brantel({"spectrum", a, "--periods", "0.1,0.5,1,2,4", "--to", "g", "--target",
                                 "asce7:sds=1.0,sd1=0.6,tl=3", "--scale-range", "0.5:2", "--scale-rule", "fit"});
  ASSERT_EQ(in_g.code, 0) << in_g.err;
  const auto m = rows_of(in_m.out), g = rows_of(in_g.out);
  ASSERT_EQ(m.size(), 5u);
  ASSERT_EQ(g.size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(g[k].psa, m[k].psa / 9.80665, 1e-8 * g[k].psa);
  // The two-period spectrum at 1 s is SD1 / T, at 4 s SD1 TL / T^2.
  EXPECT_DOUBLE_EQ(g[2].target, 0.6);
  EXPECT_DOUBLE_EQ(g[4].target, 0.6 * 3 / 16);
  EXPECT_EQ(line_starting(in_g.out, "# target"), "# target: asce7 SDS 1 g SD1 0.6 g TL 3 s");
  double log_sum = 0;
  for (std::size_t k = 1; k <= 3; ++k) log_sum += std::log(g[k].target / g[k].psa);
  const std::string factor = line_starting(in_g.out, "# scale factor: ");
  ASSERT_FALSE(factor.empty()) << in_g.out;
  EXPECT_NEAR(std::stod(factor.substr(16)), std::exp(log_sum / 3), 1e-7);
  EXPECT_NE(factor.find("(fit of 1 at 5% damping over 0.5-2 s, 3 periods)"), std::string::npos) << factor;
}

TEST(SpectrumCommand, JsonHoldsTheSameValues) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_d.AT2", 800, 0.01, 0.25);
  const auto csv = run_brantel({"spectrum", a, "--periods", "0.2,1", "--target", "ec8:type=1,ground=C,ag=0.2g"});
  const auto json = run_brantel({"spectrum", a, "--periods", "0.2,1", "--target", "ec8:type=1,ground=C,ag=0.2g",
                                 "--json", "--scale-range", "0.2:1", "--scale-rule", "min90"});
  ASSERT_EQ(json.code, 0) << json.err;
  const auto j = nlohmann::json::parse(json.out);
  const auto rows = rows_of(csv.out);
  ASSERT_EQ(j["spectra"].size(), 1u);
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_NEAR(j["spectra"][0]["psa"][k].get<double>(), rows[k].psa, 1e-8 * rows[k].psa);
    EXPECT_NEAR(j["spectra"][0]["target"][k].get<double>(), rows[k].target, 1e-8 * rows[k].target);
  }
  const double ratio = std::max(rows[0].target / rows[0].psa, rows[1].target / rows[1].psa);
  EXPECT_NEAR(j["scale_factor"]["value"].get<double>(), 0.9 * ratio, 1e-7 * ratio);
  EXPECT_EQ(j["scale_factor"]["rule"], "min90");
}

TEST(SpectrumCommand, JsonOfAFileNameThatIsNotUtf8IsWrittenNotThrown) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_s\xe9" "c.AT2", 800, 0.01, 0.25);
  const auto json = run_brantel({"spectrum", a, "--periods", "0.2,1", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const auto j = nlohmann::json::parse(json.out);
  EXPECT_EQ(j["spectra"].size(), 1u);
  EXPECT_NE(json.out.find("spectrum_s\xef\xbf\xbd" "c.AT2"), std::string::npos) << json.out;
}

TEST(SpectrumCommand, RefusesWhatCannotBeComputedAndWarnsOfWhatWasAssumed) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_e.AT2", 500, 0.01, 0.1), b = write_record("spectrum_f.AT2", 400, 0.01, 0.1),
                    c = write_record("spectrum_g.AT2", 400, 0.02, 0.1);
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case refused[] = {
      {{"spectrum"}, "no file given"},
      {{"spectrum", a, "--damping", "5"}, "damping"},
      {{"spectrum", a, "--periods", "1,2", "--periods-log", "0.1:1:5"}, "one of"},
      {{"spectrum", a, "--scale-range", "0.2:2"}, "needs a --target"},
      {{"spectrum", a, "--target", "ec8:type=1,ground=Q,ag=0.2g"}, "ground"},
      {{"spectrum", a, "--scale-rule", "best"}, "fit or min90"},
      {{"spectrum", a, "--periods-log", "1:0.1:5"}, "TMIN:TMAX:N"},
      {{"spectrum", a, c}, "different time steps"},
      {{"spectrum", a, "--frobnicate", "1"}, "unknown option"},
  };
  for (const Case& r : refused) {
    const auto run = run_brantel(r.args);
    EXPECT_EQ(run.code, 2) << r.args.back();
    EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
  }
  // Components of unequal length are kept whole, with one warning naming the lengths.
  const auto unequal = run_brantel({"spectrum", a, b, "--periods", "1"});
  EXPECT_EQ(unequal.code, 1);
  EXPECT_NE(unequal.err.find("components of 500, 400 points"), std::string::npos) << unequal.err;
  EXPECT_EQ(line_starting(unequal.out, "# points"), "# points: 500");
  // A column file states no unit: the values are taken as m/s2, and the command says so.
  const std::string columns = (std::filesystem::current_path() / "spectrum_columns.txt").string();
  std::ofstream(columns) << "0 0\n0.01 1\n0.02 0\n0.03 -1\n0.04 0\n";
  const auto assumed = run_brantel({"spectrum", columns, "--periods", "1"});
  EXPECT_EQ(assumed.code, 1);
  EXPECT_NE(assumed.err.find("values taken as m/s2"), std::string::npos) << assumed.err;
  EXPECT_EQ(run_brantel({"spectrum", columns, "--periods", "1", "--units", "m/s2"}).code, 0);
}

// Periods far below the time step, a target beyond the doubles, a periods file beyond the
// limit: rigid by the stated rule, or refused with the reason; never a value that is no number.
TEST(SpectrumCommand, OddPeriodsAndHugeTargetsGiveNumbersOrAReason) {
  const testing_support::TempCurrentDir dir;  // the records written go with it
  const std::string a = write_record("spectrum_h.AT2", 300, 0.01, 0.2);
  const auto tiny = run_brantel({"spectrum", a, "--periods", "1e-300,1e-9,0.5"});
  ASSERT_EQ(tiny.code, 0) << tiny.err;
  EXPECT_NE(tiny.out.find("# periods below 0.02 s (two time steps): rigid, psa the peak ground acceleration"),
            std::string::npos)
      << tiny.out;
  EXPECT_EQ(tiny.out.find("nan"), std::string::npos) << tiny.out;
  EXPECT_EQ(tiny.out.find("inf"), std::string::npos) << tiny.out;
  const std::vector<Row> rows = rows_of(tiny.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].psa, rows[1].psa);
  EXPECT_GT(rows[0].psa, 0.0);
  // A record of 1000 s steps with the default periods: every one rigid, none stepped.
  std::ofstream values("values.txt");
  for (int k = 0; k < 100; ++k) values << (k == 40 ? -2.5 : 0.0) << '\n';
  values.close();
  const auto long_steps = run_brantel({"spectrum", "values.txt", "--dt", "1000", "--units", "m/s2"});
  EXPECT_EQ(long_steps.code, 0) << long_steps.err;
  for (const Row& r : rows_of(long_steps.out)) EXPECT_EQ(r.psa, 2.5);
  EXPECT_EQ(long_steps.out.find("nan"), std::string::npos);
  const auto huge = run_brantel(
      {"spectrum", a, "--target", "ec8:type=1,ground=B,ag=0.25g,importance=1e308", "--scale-range", "0.2:2"});
  EXPECT_EQ(huge.code, 2);
  EXPECT_NE(huge.err.find("--target: its values are too large"), std::string::npos) << huge.err;
  std::ofstream periods("periods.txt");
  for (int k = 0; k < 100001; ++k) periods << 0.1 + k * 1e-5 << '\n';
  periods.close();
  const auto many = run_brantel({"spectrum", a, "--periods-file", "periods.txt"});
  EXPECT_EQ(many.code, 2);
  EXPECT_NE(many.err.find("more than 100000 periods"), std::string::npos) << many.err;
}

}  // namespace
