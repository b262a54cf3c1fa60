// Suites whose records are matched to the target: judged by the spectra of the points each
// loading file receives, computed here from those points, not by the matcher's own numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/cli/run_suite.h"
#include "motion/rigid_periods.h"
#include "motion/spectrum.h"
#include "motion/units.h"
#include "support/scaled_suite.h"
#include "support/suite_samples.h"
#include "support/temp_dir.h"
#include "suite/options.h"
#include "suite/suite.h"
#include "suite/suite_file.h"

namespace {

using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

const double g = motion::unit_in_m_s2(motion::Unit::g);
constexpr double range_from = 0.1, range_to = 0.5;

// Two pairs of broad-band components, 6 s at 0.01 s, into X and Y of case 2 (cm), matched over
// 0.1-0.5 s to an EC8 spectrum.
suite::Settings matched_pairs() {
  unsigned long long seed = 0;
  for (const char* name : {"a_h1", "a_h2", "b_h1", "b_h2", "a_up"})
    write_file(std::string(name) + ".AT2", suite_samples::noise_record(600, 0.2, ++seed).content);
  suite::Settings s = suite_samples::ec8_settings(suite::Rule::match, range_from, range_to);
  s.direction = "XY";
  s.records = {{{"a_h1.AT2", "a_h2.AT2"}, {}}, {{"b_h1.AT2", "b_h2.AT2"}, {}}};
  return s;
}

struct Written {
  std::vector<std::vector<double>> components;  // X, Y, Z in m/s2
};

Written written(const std::string& path) {
  Written w;
  w.components.resize(3);
  for (const auto& p : suite_samples::case_points(read_file(path)))
    for (int d = 0; d < 3; ++d) w.components[d].push_back(p[d + 1] / 100.0);
  return w;
}

// RotD100 of the written X and Y at `periods`, m/s2 (below two steps, the pair's peak ground
// acceleration).
std::vector<double> rotd100(const Written& w, const std::vector<double>& periods) {
  motion::SpectrumRequest request;
  request.periods = periods;
  request.rotd_percentiles = {100.0};
  request.pair = std::array<std::size_t, 2>{0, 1};
  for (const motion::SpectrumCurve& c :
       motion::spectra_with_rigid_periods({w.components[0], w.components[1]}, 0.01, request))
    if (c.component == "rotd100") return c.psa;
  return {};
}

std::vector<double> target_at(const suite::Settings& s, const std::vector<double>& periods) {
  std::vector<double> t;
  for (double p : periods) t.push_back(*s.target->psa_g(p) * g);
  return t;
}

// suite.csv rows by record: the header's names to the row's fields.
std::map<std::string, std::map<std::string, std::string>> table_rows(const std::string& text) {
  std::vector<std::string> names;
  std::map<std::string, std::map<std::string, std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('#')) continue;
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string f; std::getline(parts, f, ',');) fields.push_back(f);
    if (names.empty()) {
      names = fields;
      continue;
    }
    for (std::size_t k = 0; k < fields.size() && k < names.size(); ++k) rows[fields[0]][names[k]] = fields[k];
  }
  return rows;
}

// Each loading file holds the matched pair: its RotD100, computed here from the points written,
// is within the tolerance of the target at every period of a grid of 100 a decade over the range;
// the table says what the match did, and spectra.csv holds the spectra of what was written.
TEST(SuiteMatch, EachLoadingFileReceivesItsMatchedPairWithinTheTolerance) {
  TempCurrentDir dir;
  const suite::Settings s = matched_pairs();
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(s, out, err), app::cli::suite_all_written) << err.str();
  EXPECT_NE(out.str().find("matched (seed factor "), std::string::npos) << out.str();
  const std::vector<double> dense = motion::log_periods(range_from, range_to, 71);
  const std::vector<double> goal = target_at(s, dense);
  const auto rows = table_rows(read_file("out/suite.csv"));
  for (const std::string stem : {"a_h1", "b_h1"}) {
    SCOPED_TRACE(stem);
    const Written w = written("out/" + stem + ".inc");
    ASSERT_GT(w.components[0].size(), 600u) << "padded so that no wavelet is cut";
    const std::vector<double> psa = rotd100(w, dense);
    for (std::size_t k = 0; k < dense.size(); ++k)
      EXPECT_LE(std::abs(psa[k] / goal[k] - 1), 0.10 + 1e-4) << dense[k] << " s";
    for (double z : w.components[2]) ASSERT_EQ(z, 0.0);
    const auto& row = rows.at(stem);
    EXPECT_EQ(row.at("factor"), "1");
    EXPECT_EQ(row.at("points"), std::to_string(w.components[0].size()));
    EXPECT_GT(std::stod(row.at("misfit_before_max")), 10.0) << "the scaled seed alone is off the target";
    EXPECT_LE(std::stod(row.at("misfit_after_max")), 10.0);
    EXPECT_LT(std::stod(row.at("misfit_after_mean")), std::stod(row.at("misfit_before_mean")));
    EXPECT_GT(std::stoi(row.at("wavelets")), 0);
    EXPECT_EQ(row.at("match"), "within tolerance");
    for (const char* change : {"pga_change", "pgv_change", "pgd_change", "arias_change", "d5_95_change"})
      EXPECT_FALSE(row.at(change).empty()) << change;
  }
  // spectra.csv: RotD100 of each record is that of its written points (floats of cm/s2 here).
  std::istringstream spectra(read_file("out/spectra.csv"));
  const std::vector<double> periods = motion::default_periods();
  const std::map<std::string, std::vector<double>> from_points = {{"a_h1", rotd100(written("out/a_h1.inc"), periods)},
                                                                  {"b_h1", rotd100(written("out/b_h1.inc"), periods)}};
  int compared = 0;
  for (std::string line; std::getline(spectra, line);) {
    std::vector<std::string> f;
    std::istringstream parts(line);
    for (std::string x; std::getline(parts, x, ',');) f.push_back(x);
    if (f.size() < 7 || f[3] != "rotd100" || !from_points.contains(f[0])) continue;
    const auto k = static_cast<std::size_t>(std::find_if(periods.begin(), periods.end(), [&](double p) {
                                              return std::abs(p / std::stod(f[1]) - 1) < 1e-8;
                                            }) - periods.begin());
    ASSERT_LT(k, periods.size()) << line;
    EXPECT_NEAR(std::stod(f[6]), from_points.at(f[0])[k], 1e-5 * from_points.at(f[0])[k]) << line;
    ++compared;
  }
  EXPECT_EQ(compared, 200);
}

// A third component (here in Z) is no part of the pair: it is scaled by the record's seed factor
// and kept, delayed by the padding before the matched pair so that the three stay in step.
TEST(SuiteMatch, AComponentOutsideThePairIsScaledByTheSeedFactorAndKeptInStep) {
  TempCurrentDir dir;
  suite::Settings s = matched_pairs();
  s.direction = "XYZ";
  s.records = {{{"a_h1.AT2", "a_h2.AT2", "a_up.AT2"}, {}}};
  std::filesystem::create_directory("out");
  std::ostringstream err;
  const auto suite = suite_samples::scaled_suite(s, err);
  ASSERT_TRUE(suite) << err.str();
  suite->write(0);
  const suite::RecordResult& a = suite->result(0);
  ASSERT_EQ(a.error, "");
  ASSERT_TRUE(a.matching);
  const suite::RecordMatching& m = *a.matching;
  const auto lead = static_cast<std::size_t>(std::lround(m.padding_before / 0.01));
  const auto trail = static_cast<std::size_t>(std::lround(m.padding_after / 0.01));
  const Written w = written(a.written);
  const suite_samples::Peer up = suite_samples::noise_record(600, 0.2, 5);
  ASSERT_EQ(w.components[2].size(), lead + up.values.size() + trail);
  for (std::size_t i = 0; i < w.components[2].size(); ++i) {
    const double expected = i < lead || i >= lead + up.values.size()
                                ? 0.0
                                : std::strtod(up.values[i - lead].c_str(), nullptr) * g * m.seed_factor;
    ASSERT_NEAR(w.components[2][i], expected, 1e-6 * std::abs(expected) + 1e-9) << "point " << i;
  }
  // The pair is matched, and its RotD100 is what the suite analysed.
  EXPECT_GT(m.wavelets, 0u);
  EXPECT_LE(m.after.max, 0.10);
  const std::vector<double> psa = rotd100(w, suite->periods());
  const std::vector<double>& analysed = a.curves[a.factor_curve].psa;
  for (std::size_t k = 0; k < psa.size(); ++k) EXPECT_NEAR(analysed[k], psa[k], 1e-5 * psa[k]) << k;
}

// A match that stops above the tolerance is still written, named in the table and on the
// error stream, and the run's status says that not all went as asked.
TEST(SuiteMatch, ARecordLeftAboveTheToleranceIsNamedAndTheRunSaysSo) {
  TempCurrentDir dir;
  suite::Settings s = matched_pairs();
  s.records.resize(1);
  s.tolerance = 1e-4;
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), app::cli::suite_some_not_written);
  EXPECT_TRUE(std::filesystem::exists("out/a_h1.inc"));
  const std::string table = read_file("out/suite.csv");
  const auto rows = table_rows(table);
  EXPECT_TRUE(rows.at("a_h1").at("match").starts_with("\"ABOVE TOLERANCE: misfit max ")) << table;
  EXPECT_NE(table.find("within 0.01 %"), std::string::npos) << table;
  EXPECT_NE(err.str().find("a_h1.AT2: matched, misfit max "), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("above the tolerance of 0.01 %"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("1 of 1 records matched above the tolerance"), std::string::npos) << err.str();
}

// ASCE 7 with matched records: the records are marked matched and the common factor is the least
// with which the mean RotD100 of what is written is 110% of the target over the code's range;
// computed here from the written points, that mean touches 110% and stays above it.
TEST(SuiteMatch, AsceWithMatchedRecordsPutsTheMeanAtLeast110PercentOfTheTarget) {
  TempCurrentDir dir;
  suite::Settings s = matched_pairs();
  s.scale_range.reset();
  s.code = suite::Code::asce7_16;
  s.structure_periods = {0.3};  // range 0.06-0.6 s
  ASSERT_EQ(suite::settings_problem(s), "");
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), app::cli::suite_some_not_written) << "two pairs of the eleven";
  const nlohmann::json j = nlohmann::json::parse(read_file("out/compliance.json"));
  bool judged = false;
  for (const auto& c : j["clauses"])
    if (c["clause"] == "16.2.3.3") {
      EXPECT_EQ(c["verdict"], "holds") << c.dump();
      EXPECT_NEAR(c["value"].get<double>(), 110.0, 1e-6);
      judged = true;
    }
  EXPECT_TRUE(judged);
  for (const auto& r : j["records"]) EXPECT_EQ(r["matched"], true) << r.dump();
  const auto [from, to] = suite::code_range({suite::Code::asce7_16, s.structure_periods, std::nullopt});
  EXPECT_DOUBLE_EQ(to, 0.6);
  std::vector<double> periods;
  for (double p : motion::default_periods())
    if (p >= from && p <= to) periods.push_back(p);
  std::vector<double> mean(periods.size(), 0.0);
  for (const char* stem : {"a_h1", "b_h1"}) {
    const std::vector<double> psa = rotd100(written(std::string("out/") + stem + ".inc"), periods);
    for (std::size_t k = 0; k < periods.size(); ++k) mean[k] += psa[k] / 2;
  }
  const std::vector<double> goal = target_at(s, periods);
  double lowest = 1e9;
  for (std::size_t k = 0; k < periods.size(); ++k) lowest = std::min(lowest, mean[k] / goal[k]);
  EXPECT_NEAR(lowest, 1.10, 1e-5);
  EXPECT_NE(read_file("out/compliance.txt").find("16.2.3.3 (110%) applies"), std::string::npos);
  EXPECT_NE(read_file("out/suite.csv").find("# scale rule: code asce7-16 with matched records"), std::string::npos);
}

// EN 1998-1 has no rule of its own for matched records: the 90% rule judges them, and the
// report's header says that this is the program's reading.
TEST(SuiteMatch, Ec8WithMatchedRecordsKeepsNinetyPercentAndSaysSo) {
  TempCurrentDir dir;
  suite::Settings s = matched_pairs();
  s.scale_range.reset();
  s.code = suite::Code::ec8;
  s.structure_periods = {0.3};  // range 0.06-0.6 s
  std::ostringstream out, err;
  app::cli::run_suite(s, out, err);
  const nlohmann::json j = nlohmann::json::parse(read_file("out/compliance.json"));
  // The least common factor meets the binding rule just: the spectrum at 90%, or the PGA at ag S.
  double spectrum = 1e9, pga = 1e9;
  for (const auto& c : j["clauses"]) {
    if (c["clause"] == "3.2.3.1.2(4)c") spectrum = std::min(spectrum, c["value"].get<double>());
    if (c["clause"] == "3.2.3.1.2(4)b") pga = std::min(pga, c["value"].get<double>());
  }
  EXPECT_GE(spectrum, 90.0 - 1e-6);
  EXPECT_GE(pga, 0.3 - 1e-9);
  EXPECT_TRUE(std::abs(spectrum - 90.0) < 1e-6 || std::abs(pga - 0.3) < 1e-9) << j.dump();
  const std::string text = read_file("out/compliance.txt");
  EXPECT_NE(text.find("#   matched records are judged as scaled ones: EN 1998-1 sets no rule of its own"),
            std::string::npos)
      << text;
}

TEST(SuiteMatch, SettingsThatCannotMatchAreRefused) {
  TempCurrentDir dir;
  const suite::Settings good = matched_pairs();
  EXPECT_EQ(suite::settings_problem(good), "");
  struct Case {
    std::function<void(suite::Settings&)> change;
    std::string why;
  };
  const Case cases[] = {
      {[](suite::Settings& s) { s.scale_range.reset(); }, "--scale-rule needs --target and --scale-range"},
      {[](suite::Settings& s) { s.rule = suite::Rule::fit, s.tolerance = 0.05; }, "--tolerance goes with --scale-rule match"},
      {[](suite::Settings& s) { s.tolerance = 0.0; }, "--tolerance needs a ratio above 0"},
      {[](suite::Settings& s) { s.scale_range.reset(), s.code = suite::Code::ec8, s.structure_periods = {0.5},
                                s.rule = suite::Rule::suite90; },
       "no --scale-rule but match"},
  };
  for (const Case& c : cases) {
    suite::Settings s = good;
    c.change(s);
    EXPECT_NE(suite::settings_problem(s).find(c.why), std::string::npos) << suite::settings_problem(s);
  }
  suite::Settings s = good;
  EXPECT_NE(suite::apply_suite_option("--tolerance", "-0.1", s), "");
  EXPECT_NE(suite::apply_suite_option("--scale-rule", "matched", s).find("fit, min90, suite90 or match"), std::string::npos);
  // A range the record is too short for: no record can be matched, and nothing is written.
  s.scale_range = std::pair{0.1, 8.0};
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), app::cli::suite_refused);
  EXPECT_NE(err.str().find("cannot be matched"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists("out"));
}

// The study file takes the rule and its tolerance, and the saved settings read back the same.
TEST(SuiteMatch, TheStudyFileKeepsTheRuleAndItsTolerance) {
  TempCurrentDir dir;
  suite::Settings s;
  std::string why;
  ASSERT_TRUE(suite::read_suite_text(R"({"template": "t.inc", "case": 2, "records": ["a.AT2"],
      "target": "ec8:type=1,ground=B,ag=0.25g", "scale_range": [0.1, 1], "scale_rule": "match", "tolerance": 0.05})",
                                     dir.path().string(), s, why))
      << why;
  EXPECT_EQ(s.rule, suite::Rule::match);
  EXPECT_EQ(s.tolerance, 0.05);
  const std::string path = (dir.path() / "study.json").string();
  suite::Settings back;
  ASSERT_TRUE(suite::read_suite_text(suite::suite_file_text(s, "ec8:type=1,ground=B,ag=0.25g", path),
                                     dir.path().string(), back, why))
      << why;
  EXPECT_EQ(back.rule, suite::Rule::match);
  EXPECT_EQ(back.tolerance, 0.05);
  suite::Settings code;
  EXPECT_TRUE(suite::read_suite_text(R"({"template": "t.inc", "case": 2, "records": ["a.AT2"],
      "target": "asce7:sds=1.0,sd1=0.6,tl=8", "scale_rule": "match", "code": "asce7-16", "structure_periods": [0.5]})",
                                     dir.path().string(), code, why))
      << why;
  EXPECT_EQ(suite::settings_problem(code), "");
}

}  // namespace
