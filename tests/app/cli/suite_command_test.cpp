// `brantel suite` in process, on synthetic records and a template of three cases whose middle
// one is the accelerogram: the values written, the template's other records kept, the scale
// rules by their defining properties, records that cannot be used, and the JSON study file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/cli/command_run.h"
#include "motion/samples.h"
#include "motion/design_spectrum.h"
#include "motion/spectrum.h"
#include "support/special_files.h"
#include "support/suite_samples.h"
#include "support/temp_dir.h"
#include "text/format.h"

namespace {

using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

const std::string geometry = std::string(BRANTEL_WORKSPACE) + "/Dat/frame.dat";

struct Outcome {
  int code = -1;
  std::string out, err;
};

Outcome run(std::vector<std::string> args) {
  args.insert(args.begin(), "suite");
  const testing_support::CommandRun run = testing_support::run_brantel(args);
  return {run.code.value_or(-1), run.out, run.err};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> lines_of(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

std::vector<std::string> words_of(const std::string& line, char separator = ' ') {
  std::vector<std::string> words;
  std::string word;
  std::istringstream in(line);
  while (std::getline(in, word, separator))
    if (!word.empty() || separator != ' ') words.push_back(word);
  return words;
}

using suite_samples::Peer;
using suite_samples::peer_record;
using suite_samples::template_text;

struct Suite {
  std::map<std::string, Peer> records;
  Suite() {
    write_file("t.inc", template_text(-1));
    records["quake_a"] = peer_record(400, 0.3, 0.35);
    records["quake_b"] = peer_record(600, 0.2, 0.8);
    records["quake_c"] = peer_record(350, 0.25, 0.5);
    for (const auto& [stem, r] : records) write_file(stem + ".AT2", r.content);
  }
};

// suite.csv rows by record: the factor and the file.
std::map<std::string, std::vector<std::string>> suite_rows(const std::string& folder) {
  std::map<std::string, std::vector<std::string>> rows;
  for (const std::string& line : lines_of(read_file(folder + "/suite.csv")))
    if (!line.starts_with('#') && !line.starts_with("record,")) rows[words_of(line, ',')[0]] = words_of(line, ',');
  return rows;
}

struct SpectrumRow {
  double period, psa, target;
};
// spectra.csv rows of one record (or "mean") on the curve the factor is found on.
std::vector<SpectrumRow> spectrum_of(const std::string& folder, const std::string& record, const std::string& component) {
  std::vector<SpectrumRow> rows;
  for (const std::string& line : lines_of(read_file(folder + "/spectra.csv"))) {
    const auto w = words_of(line, ',');
    if (w.size() == 8 && w[0] == record && w[3] == component)
      rows.push_back({std::stod(w[1]), std::stod(w[6]), std::stod(w[7])});
  }
  return rows;
}

// Ends between the periods of the spectra, so that no period is on the edge of the range.
constexpr double range_from = 0.105, range_to = 0.95;
const char* const target = "ec8:type=1,ground=B,ag=0.25g";

// Each point of case 2 is the record's value x 980.665 (g into cm/s2) x the factor, as the
// loading file's number text; every other line is the template's, but the end time, which is
// the record's duration, and the end and date records, which name the file written.
void expect_loading_file(const std::string& path, const Peer& record, double factor, int type) {
  const auto out = lines_of(read_file(path));
  const auto in = lines_of(template_text(type));
  const std::size_t c3 = 21, first_point = 25, points = record.values.size();
  ASSERT_EQ(out.size(), in.size() - 2 + points) << path;
  for (std::size_t i = 0; i < c3; ++i) EXPECT_EQ(out[i], in[i]) << path << " line " << i + 1;
  EXPECT_EQ(out[c3], std::to_string(type) + "  5.E-03  " + text::g14_7_text(0.01f * (points - 1)) + "  0  0.  -1  0.");
  for (std::size_t i = c3 + 1; i < first_point; ++i) EXPECT_EQ(out[i], in[i]) << path;
  for (std::size_t i = 0; i < points; ++i) {
    const auto w = words_of(out[first_point + i]);
    ASSERT_EQ(w.size(), type == -1 ? 4u : 2u) << out[first_point + i];
    EXPECT_EQ(w[0], text::g14_7_text(static_cast<float>(0.01 * i)));
    const auto expected = static_cast<float>(motion_samples::exact(record.values[i].c_str(), "980.665") * factor);
    if (type == -1) {
      EXPECT_EQ(w[1], text::g14_7_text(expected)) << "point " << i;
      EXPECT_EQ(w[2], "0.");
      EXPECT_EQ(w[3], "0.");
    } else {
      EXPECT_NEAR(std::stod(w[1]), expected, 1e-6 * std::abs(expected)) << "point " << i;
    }
  }
  for (std::size_t i = first_point + 2; i + 2 < in.size(); ++i)
    EXPECT_EQ(out[i - 2 + points], in[i]) << path << " template line " << i + 1;
  EXPECT_EQ(out[out.size() - 2], "End_of_File: " + path);
  EXPECT_EQ(out.back().size(), 21u);
}

TEST(SuiteCommand, FitScalesEachRecordSoTheLogMisfitOverTheRangeIsZero) {
  TempCurrentDir dir;
  Suite suite;
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2", "quake_b.AT2",
                         "--records", "quake_c.AT2", "--target", target, "--scale-range", "0.105:0.95", "--scale-rule", "fit",
                         "--out", "out", "--jobs", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(has(r.out, "3 of 3 loading files written in out")) << r.out;
  EXPECT_TRUE(has(r.out, "end time of case set to 3.99 s")) << r.out;
  const auto rows = suite_rows("out");
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& [stem, record] : suite.records) {
    const auto& row = rows.at(stem);
    EXPECT_EQ(row[1], "out/" + stem + ".inc");
    EXPECT_EQ(row[3], std::to_string(record.values.size()));
    const double factor = std::stod(row[2]);
    expect_loading_file("out/" + stem + ".inc", record, factor, -1);
    double log_sum = 0;
    int used = 0;
    for (const SpectrumRow& s : spectrum_of("out", stem, "1"))
      if (s.period >= range_from && s.period <= range_to) log_sum += std::log(s.target / s.psa), ++used;
    EXPECT_GT(used, 10);
    EXPECT_NEAR(log_sum / used, 0.0, 1e-6) << stem;
  }
}

// match: each one-component record, as its loading file holds it, has its spectrum within the
// tolerance of the target at every period of a grid of 100 a decade over the range, computed
// here from the points written (cm/s2 into m/s2).
TEST(SuiteCommand, MatchWritesEachRecordWithinTheToleranceOfTheTarget) {
  TempCurrentDir dir;
  write_file("t.inc", template_text(-1));
  write_file("noise_a.AT2", suite_samples::noise_record(600, 0.2, 11).content);
  write_file("noise_b.AT2", suite_samples::noise_record(700, 0.3, 12).content);
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "noise_a.AT2", "noise_b.AT2",
                         "--target", target, "--scale-range", "0.1:0.5", "--scale-rule", "match", "--tolerance", "0.10",
                         "--out", "out", "--jobs", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(has(r.out, "2 of 2 loading files written in out")) << r.out;
  std::string why;
  const auto spectrum = motion::parse_design_spectrum(target, why);
  const std::vector<double> periods = motion::log_periods(0.1, 0.5, 71);
  for (const char* stem : {"noise_a", "noise_b"}) {
    std::vector<double> x;
    for (const auto& p : suite_samples::case_points(read_file(std::string("out/") + stem + ".inc"))) x.push_back(p[1] / 100);
    const std::vector<double> sd = motion::peak_displacements(x, 0.01, periods, 0.05);
    for (std::size_t k = 0; k < periods.size(); ++k) {
      const double w = 2 * M_PI / periods[k];
      EXPECT_LE(std::abs(w * w * sd[k] / (*spectrum->psa_g(periods[k]) * 9.80665) - 1), 0.10 + 1e-4)
          << stem << " at " << periods[k] << " s";
    }
  }
  EXPECT_TRUE(has(read_file("out/suite.csv"), ",seed_factor,misfit_before_max,")) << read_file("out/suite.csv");
}

TEST(SuiteCommand, Min90AndSuite90MeetNinetyPercentOfTheTargetAtTheTightestPeriod) {
  TempCurrentDir dir;
  Suite suite;
  const std::vector<std::string> common{"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2",
                                        "quake_b.AT2", "quake_c.AT2", "--target", target, "--scale-range", "0.105:0.95"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = common;
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
  };
  auto least_ratio = [](const std::vector<SpectrumRow>& rows) {
    double least = 1e300;
    for (const SpectrumRow& s : rows)
      if (s.period >= range_from && s.period <= range_to) least = std::min(least, s.psa / s.target);
    return least;
  };
  const Outcome min90 = with({"--scale-rule", "min90", "--out", "min90", "--jobs", "1"});
  ASSERT_EQ(min90.code, 0) << min90.err;
  for (const auto& [stem, record] : suite.records) {
    EXPECT_NEAR(least_ratio(spectrum_of("min90", stem, "1")), 0.9, 1e-7) << stem;
    expect_loading_file("min90/" + stem + ".inc", record, std::stod(suite_rows("min90").at(stem)[2]), -1);
  }

  const Outcome suite90 = with({"--scale-rule", "suite90", "--out", "suite90"});
  ASSERT_EQ(suite90.code, 0) << suite90.err;
  const auto rows = suite_rows("suite90");
  const double factor = std::stod(rows.at("quake_a")[2]);
  for (const auto& [stem, record] : suite.records) {
    EXPECT_EQ(rows.at(stem)[2], rows.at("quake_a")[2]) << "one factor for the suite";
    expect_loading_file("suite90/" + stem + ".inc", record, factor, -1);
  }
  EXPECT_NEAR(least_ratio(spectrum_of("suite90", "mean", "mean")), 0.9, 1e-7);
  // The mean is of the scaled records: each of their spectra times the one factor.
  const auto mean = spectrum_of("suite90", "mean", "mean");
  for (std::size_t k = 0; k < mean.size(); k += 17) {
    double sum = 0;
    for (const auto& [stem, record] : suite.records) sum += spectrum_of("suite90", stem, "1")[k].psa;
    EXPECT_NEAR(mean[k].psa, sum / 3, 1e-8 * sum);
  }
}

TEST(SuiteCommand, RecordsThatCannotBeUsedAreReportedAndTheOthersWritten) {
  TempCurrentDir dir;
  Suite suite;
  write_file("words.txt", "no values here\nnor here\n");
  // Beyond the largest 32-bit real once in cm/s2: the file written would not read back.
  write_file("huge.AT2", motion_samples::peer("NPTS=3, DT= .0100 SEC", "  1.0E+37  2.0E+37  1.0E+00\n"));
  // Named as the template: its loading file would replace it.
  write_file("t.AT2", suite.records["quake_a"].content);
  const std::string before = read_file("t.inc");
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2", "missing.AT2",
                         "words.txt", "huge.AT2", "t.AT2", "quake_b.AT2"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(has(r.out, "2 of 6 loading files written in .")) << r.out;
  for (const char* stem : {"missing", "words", "huge", "t"})
    EXPECT_TRUE(has(r.err, std::string("brantel suite: ") + stem + ": not written")) << stem << "\n" << r.err;
  EXPECT_TRUE(has(r.err, "huge: not written: the loading file would not pass the check")) << r.err;
  EXPECT_EQ(read_file("t.inc"), before);
  EXPECT_FALSE(std::filesystem::exists("huge.inc"));
  EXPECT_FALSE(std::filesystem::exists("missing.inc"));
  const auto rows = suite_rows(".");
  EXPECT_EQ(rows.size(), 2u);
  expect_loading_file("./quake_a.inc", suite.records["quake_a"], 1.0, -1);
  expect_loading_file("./quake_b.inc", suite.records["quake_b"], 1.0, -1);
}

TEST(SuiteCommand, OneDirectionCaseAndTheEndTimeKept) {
  TempCurrentDir dir;
  Suite suite;
  write_file("t.inc", template_text(-2));
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_b.AT2", "--direction", "Y",
                         "--end-time", "keep", "--out", "o"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(has(r.out, "warning: the record lasts 5.99 s, longer than the case's end time 5. s")) << r.out;
  const auto out = lines_of(read_file("o/quake_b.inc"));
  EXPECT_EQ(out[21], "-2  5.E-03  5.  0  0.  -1  0.");
  const auto values = words_of(out[26]);
  EXPECT_NEAR(std::stod(values[1]), motion_samples::exact(suite.records["quake_b"].values[1].c_str(), "980.665"), 1e-5);

  // Three components do not fit a case of one direction.
  write_file("b2.AT2", suite.records["quake_a"].content);
  const Outcome pair = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_b.AT2,b2.AT2", "--out", "p"});
  EXPECT_EQ(pair.code, 2) << "nothing written";
  EXPECT_TRUE(has(pair.err, "2 components, and the case is an accelerogram of one direction")) << pair.err;
}

TEST(SuiteCommand, ComponentsGoIntoTheDirectionsInOrder) {
  TempCurrentDir dir;
  Suite suite;
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2,quake_c.AT2",
                         "--direction", "ZX", "--out", "o"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto out = lines_of(read_file("o/quake_a.inc"));
  for (std::size_t i = 0; i < 350; i += 7) {
    const auto w = words_of(out[25 + i]);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[3], text::g14_7_text(static_cast<float>(motion_samples::exact(suite.records["quake_a"].values[i].c_str(), "980.665"))));
    EXPECT_EQ(w[1], text::g14_7_text(static_cast<float>(motion_samples::exact(suite.records["quake_c"].values[i].c_str(), "980.665"))));
    EXPECT_EQ(w[2], "0.");
  }
  // quake_c is shorter: zero after its end.
  EXPECT_EQ(words_of(out[25 + 380])[1], "0.");
}

TEST(SuiteCommand, RefusesWhatCannotMakeASuite) {
  TempCurrentDir dir;
  Suite suite;
  const struct {
    std::vector<std::string> args;
    const char* why;
  } cases[] = {
      {{"t.inc", "--case", "1", "--geometry", geometry, "--records", "quake_a.AT2"},
       "case 1 of the template is not an accelerogram case (its loading type is 0)"},
      {{"t.inc", "--case", "4", "--geometry", geometry, "--records", "quake_a.AT2"}, "the template has no case 4"},
      {{"t.inc", "--case", "2", "--records", "quake_a.AT2", "sub/quake_a.AT2"}, "two records named \"quake_a\""},
      {{"t.inc", "--case", "2", "--records", "quake_a.AT2", "--scale-rule", "fit"}, "--scale-rule needs --target"},
      {{"t.inc", "--case", "2", "--records", "quake_a.AT2", "--direction", "XX"}, "--direction takes"},
      {{"t.inc", "--case", "2"}, "no record named"},
      {{"--from", "s.json", "--case", "2"}, "--from takes every setting from the file"},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.code, 2) << c.why;
    EXPECT_TRUE(has(r.err, c.why)) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists("quake_a.inc"));
}

TEST(SuiteCommand, AStudyFileRunsTheSameSuiteFromItsOwnFolder) {
  TempCurrentDir dir;
  Suite suite;
  const Outcome direct = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2", "quake_b.AT2",
                              "--target", target, "--scale-range", "0.105:0.95", "--scale-rule", "suite90", "--out", "direct"});
  ASSERT_EQ(direct.code, 0) << direct.err;
  std::filesystem::create_directory("study");
  write_file("study/suite.json", R"({
    "template": "../t.inc", "case": 2, "geometry": ")" + geometry + R"(",
    "read": {"format": "peer"},
    "records": ["../quake_a.AT2", {"files": ["../quake_b.AT2"], "units": "g"}],
    "target": ")" + std::string(target) + R"(", "scale_range": [0.105, 0.95], "scale_rule": "suite90",
    "out": "results", "jobs": 2})");
  const Outcome from = run({"--from", "study/suite.json"});
  ASSERT_EQ(from.code, 0) << from.err;
  for (const char* stem : {"quake_a", "quake_b"}) {
    auto a = lines_of(read_file(std::string("direct/") + stem + ".inc"));
    auto b = lines_of(read_file(std::string("study/results/") + stem + ".inc"));
    ASSERT_EQ(a.size(), b.size());
    a.resize(a.size() - 2), b.resize(b.size() - 2);
    EXPECT_EQ(a, b) << stem;
  }
  EXPECT_EQ(suite_rows("direct").at("quake_a")[2], suite_rows("study/results").at("quake_a")[2]);

  write_file("study/bad.json", R"({"template": "../t.inc", "case": 2, "records": ["../quake_a.AT2"], "scale": 2})");
  const Outcome bad = run({"--from", "study/bad.json"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(has(bad.err, "\"scale\" is no setting of a suite")) << bad.err;
  write_file("study/broken.json", "{\"template\": ");
  EXPECT_TRUE(has(run({"--from", "study/broken.json"}).err, "not JSON"));
}

// `--out Dat` into a folder of another analysis: its files are named and nothing is written
// (exit 2) until --overwrite says to replace them.
TEST(SuiteCommand, FilesInTheWayAreRefusedUnlessOverwriteIsGiven) {
  TempCurrentDir dir;
  Suite suite;
  write_file("Dat/quake_a.inc", "another analysis\n");
  write_file("Dat/suite.csv", "my table\n");
  const std::vector<std::string> args{"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2",
                                      "quake_b.AT2", "--out", "Dat"};
  const Outcome refused = run(args);
  EXPECT_EQ(refused.code, 2);
  EXPECT_TRUE(has(refused.err, "which the run would replace: Dat/quake_a.inc Dat/suite.csv")) << refused.err;
  EXPECT_TRUE(has(refused.err, "--overwrite")) << refused.err;
  EXPECT_EQ(read_file("Dat/quake_a.inc"), "another analysis\n");
  EXPECT_EQ(read_file("Dat/suite.csv"), "my table\n");
  EXPECT_FALSE(std::filesystem::exists("Dat/quake_b.inc"));
  std::vector<std::string> forced = args;
  forced.push_back("--overwrite");
  const Outcome replaced = run(forced);
  EXPECT_EQ(replaced.code, 0) << replaced.err;
  EXPECT_EQ(suite_rows("Dat").size(), 2u);
  // The folder is now a suite's: the next run replaces what it lists without being told.
  EXPECT_EQ(run(args).code, 0);
}

// The study file and the template are inputs: no table takes their place, whatever the folder.
TEST(SuiteCommand, TheStudyFileIsNeverWrittenOver) {
  TempCurrentDir dir;
  Suite suite;
  write_file("suite.csv", R"({"template": "t.inc", "case": 2, "geometry": ")" + geometry +
                              R"(", "records": ["quake_a.AT2"], "out": "."})");
  const std::string before = read_file("suite.csv");
  const Outcome r = run({"--from", "suite.csv", "--overwrite"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(has(r.err, "an input of the suite, which is never written over")) << r.err;
  EXPECT_EQ(read_file("suite.csv"), before);
  EXPECT_FALSE(std::filesystem::exists("quake_a.inc"));
}

// Nothing usable: exit 2 as the help says, and no folder, no table.
TEST(SuiteCommand, NothingWrittenExitsTwoAndLeavesNoFolder) {
  TempCurrentDir dir;
  Suite suite;
  write_file("words.txt", "no values here\nnor here\n");
  const Outcome r = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "words.txt", "missing.AT2",
                         "--out", "results"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(has(r.err, "words: not written")) << r.err;
  EXPECT_FALSE(std::filesystem::exists("results"));
}

// `spectrum` and `suite` take the same forms: a target and a range are fitted without a rule,
// periods are a list or TMIN:TMAX:N in both.
TEST(SuiteCommand, SharesTheSpectrumCommandsOptionForms) {
  TempCurrentDir dir;
  Suite suite;
  const Outcome fitted = run({"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2", "--target",
                              target, "--scale-range", "0.105:0.95", "--periods", "0.1,0.5,1", "--out", "o"});
  ASSERT_EQ(fitted.code, 0) << fitted.err;
  EXPECT_NE(suite_rows("o").at("quake_a")[2], "1");
  EXPECT_TRUE(has(read_file("o/suite.csv"), "# scale rule: fit\n"));
  EXPECT_EQ(spectrum_of("o", "quake_a", "1").size(), 3u);
  const testing_support::CommandRun spectrum =
      testing_support::run_brantel({"spectrum", "quake_a.AT2", "--periods", "0.1:1:4"});
  EXPECT_EQ(spectrum.code, 0) << spectrum.err;
  int rows = 0;
  for (const std::string& line : lines_of(spectrum.out)) rows += line.starts_with("0.") || line.starts_with("1,");
  EXPECT_GE(rows, 4);
  for (const char* periods : {"0.1,x", "0:1:4", "0.1:1:200001"}) {
    EXPECT_EQ(testing_support::run_brantel({"spectrum", "quake_a.AT2", "--periods", periods}).code, 2) << periods;
    EXPECT_EQ(run({"t.inc", "--case", "2", "--records", "quake_a.AT2", "--periods", periods}).code, 2) << periods;
  }
}

// A study file is a page of settings read as the command line is checked: only a regular
// file of at most 1 MiB, nested at most 16 deep, each number checked as its option is.
TEST(SuiteCommand, StudyFilesAreReadWithinLimitsAndCheckedAsTheCommandLine) {
  TempCurrentDir dir;
  Suite suite;
  for (const testing_support::SpecialFile& f : testing_support::make_special_files()) {
    const Outcome r = run({"--from", f.path});
    EXPECT_EQ(r.code, 2) << f.path;
    EXPECT_TRUE(has(r.err, "cannot be read")) << r.err;
  }
  const std::string head = R"({"template": "t.inc", "geometry": ")" + geometry + R"(", "records": ["quake_a.AT2"], )";
  const struct {
    std::string content;
    const char* why;
  } cases[] = {
      {head + R"("case": 4294967297})", "\"case\": --case needs a case number from 1"},
      {head + R"("case": 2, "jobs": 0})", "\"jobs\": --jobs needs a number from 1"},
      {head + R"("case": 2, "damping": 1.5})", "\"damping\": --damping needs damping ratios from 0 to below 1"},
      {head + R"("case": 2, "scale_range": [2, 0.1]})", "\"scale_range\": --scale-range needs TA:TB"},
      {head + R"("case": 2, "periods": [0.1, -1]})", "\"periods\": --periods needs periods"},
      {head + R"("case": 2, "target": "ec8:type=1,ground=B,ag=0.25g,importance=1e308"})", "too large"},
      {head + R"("case": 2, "direction": [[["X"]]]})", "\"direction\" needs a text"},
      {head + R"("case": 2, "out": )" + std::string(100000, '[') + std::string(100000, ']') + "}",
       "nested deeper than 16"},
      {head + R"("case": 2, "out": ")" + std::string(1 << 20, 'o') + "\"}", "larger than 1 MiB"},
  };
  for (const auto& c : cases) {
    write_file("study.json", c.content);
    const Outcome r = run({"--from", "study.json"});
    EXPECT_EQ(r.code, 2) << c.why;
    EXPECT_TRUE(has(r.err, c.why)) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists("quake_a.inc"));
}

}  // namespace

namespace code_check {

// The suite's mean over the range as spectra.csv gives it, as a share of the target: the least.
double least_share(const std::string& folder, double from, double to) {
  double least = 1e300;
  for (const SpectrumRow& s : spectrum_of(folder, "mean", "mean"))
    if (s.period >= from && s.period <= to) least = std::min(least, s.psa / s.target);
  return least;
}

TEST(SuiteCommand, ACodeSetsTheFactorsAndWritesItsVerdictsBesideTheLoadingFiles) {
  TempCurrentDir dir;
  Suite suite;
  const std::vector<std::string> common{"t.inc",    "--case", "2",   "--geometry", geometry, "--target",
                                        target,     "--code", "ec8", "--structure-periods", "0.5"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = common;
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
  };
  // Two records: 3.2.3.1.2(4)a fails, and the suite is written all the same.
  const Outcome two = with({"--records", "quake_a.AT2", "quake_b.AT2", "--out", "two"});
  EXPECT_EQ(two.code, 1) << two.err;
  EXPECT_TRUE(std::filesystem::exists("two/quake_b.inc"));
  EXPECT_TRUE(read_file("two/compliance.txt")
                  .starts_with("# Code compliance of the suite: EN 1998-1:2004\n# Result: FAILS: 3.2.3.1.2(4)a\n"))
      << read_file("two/compliance.txt");
  EXPECT_TRUE(has(two.out, "EN 1998-1:2004: FAILS: 3.2.3.1.2(4)a")) << two.out;
  const nlohmann::json j = nlohmann::json::parse(read_file("two/compliance.json"));
  EXPECT_EQ(j["code"], "ec8");
  EXPECT_NEAR(j["range"][0].get<double>(), 0.1, 1e-12);
  EXPECT_NEAR(j["range"][1].get<double>(), 1.0, 1e-12);
  EXPECT_EQ(j["clauses"][0]["clause"], "3.2.3.1.2(4)a");
  EXPECT_EQ(j["clauses"][0]["verdict"], "fails");
  ASSERT_EQ(j["records"].size(), 2u);
  EXPECT_EQ(j["records"][1]["record"], "quake_b");
  EXPECT_EQ(std::to_string(j["records"][1]["factor"].get<double>()),
            std::to_string(std::stod(suite_rows("two").at("quake_b")[2])));

  // Three: every clause holds, and the common factor is the least that does it: the mean at
  // 90% of the elastic spectrum somewhere in 0.1-1 s, or the mean scaled PGA at ag S = 0.3 g.
  const Outcome three = with({"--records", "quake_a.AT2", "quake_b.AT2", "quake_c.AT2", "--out", "three"});
  ASSERT_EQ(three.code, 0) << three.err;
  const double share = least_share("three", 0.1, 1.0);
  double pga = 0;
  for (const auto& [stem, row] : suite_rows("three")) pga += std::stod(row[6]) / 3;
  const double ag_s = 0.3 * 9.80665;
  EXPECT_GE(share, 0.9 - 1e-7);
  EXPECT_GE(pga, ag_s * (1 - 1e-7));
  EXPECT_TRUE(std::abs(share - 0.9) < 1e-7 || std::abs(pga - ag_s) < 1e-7 * ag_s) << share << " " << pga;
  EXPECT_FALSE(has(read_file("three/compliance.json"), "\"fails\""));
  EXPECT_TRUE(has(read_file("three/suite.csv"), "# scale rule: code ec8"));

  // A second run into the folder replaces the previous suite's verdicts without --overwrite.
  EXPECT_EQ(with({"--records", "quake_a.AT2", "quake_b.AT2", "quake_c.AT2", "--out", "three"}).code, 0);
}

TEST(SuiteCommand, ACodeRefusesWhatItCannotJudge) {
  TempCurrentDir dir;
  Suite suite;
  const struct {
    std::vector<std::string> more;
    const char* why;
  } cases[] = {
      {{"--code", "ec8"}, "--code needs --structure-periods"},
      {{"--code", "ec9", "--structure-periods", "0.5"}, "--code takes ec8, asce7-16 or asce7-22"},
      {{"--structure-periods", "0.5"}, "--structure-periods and --t90 go with --code"},
      {{"--code", "ec8", "--structure-periods", "0.5,0.4,0.3"}, "--structure-periods needs T1 or T1,T2"},
      {{"--code", "ec8", "--structure-periods", "0.5", "--t90", "0.05"}, "T90 sets the range of ASCE 7 only"},
      {{"--code", "asce7-22", "--structure-periods", "0.5"}, "--target csv:FILE"},
      {{"--code", "ec8", "--structure-periods", "0.5", "--scale-range", "0.1:1"}, "--code sets the period range"},
      {{"--code", "asce7-16", "--structure-periods", "0.5", "--scale-rule", "suite90"}, "no --scale-rule but match"},
      {{"--scale-range", "0.1:1", "--tolerance", "0.05"}, "--tolerance goes with --scale-rule match"},
      {{"--scale-range", "0.1:1", "--scale-rule", "match", "--tolerance", "0"}, "--tolerance needs a ratio above 0"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"t.inc", "--case", "2", "--geometry", geometry, "--records", "quake_a.AT2",
                                  "--target", target};
    args.insert(args.end(), c.more.begin(), c.more.end());
    const Outcome r = run(args);
    EXPECT_EQ(r.code, 2) << c.why;
    EXPECT_TRUE(has(r.err, c.why)) << r.err;
  }
}

TEST(SuiteCommand, AStudyFileGivesTheCodeAndTheStructure) {
  TempCurrentDir dir;
  Suite suite;
  write_file("asce.csv", "period,psa\n0.01,1.0\n0.2,1.0\n1,0.6\n4,0.15\n10,0.024\n");
  write_file("s.json", R"({"template": "t.inc", "case": 2, "geometry": ")" + geometry + R"(",
    "records": ["quake_a.AT2", "quake_b.AT2", "quake_c.AT2"], "target": "csv:asce.csv",
    "code": "asce7-22", "structure_periods": [0.6, 0.4], "t90": 0.05, "out": "study"})");
  const Outcome r = run({"--from", "s.json"});
  EXPECT_EQ(r.code, 1) << r.err;  // three records of the eleven 16.2.2 asks for
  const nlohmann::json j = nlohmann::json::parse(read_file("study/compliance.json"));
  EXPECT_EQ(j["code"], "asce7-22");
  EXPECT_EQ(j["range"], nlohmann::json({0.05, 1.2}));
  EXPECT_EQ(j["clauses"][0]["verdict"], "fails");
  EXPECT_EQ(j["clauses"][2]["clause"], "16.2.3.2");
  EXPECT_EQ(j["clauses"][2]["verdict"], "holds");
  EXPECT_NEAR(least_share("study", 0.05, 1.2), 0.9, 1e-7);
}

}  // namespace code_check
