// The suite engine as the Suite window runs it: a template given as bytes, a record at a time,
// stopped part way; and the study file the window saves, read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "loadfile/check.h"
#include "model/geometry_file.h"
#include "support/suite_samples.h"
#include "support/temp_dir.h"
#include "suite/suite.h"
#include "suite/suite_file.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

const std::string geometry = std::string(BRANTEL_WORKSPACE) + "/Dat/frame.dat";

suite::Settings settings_of(const std::vector<std::string>& stems) {
  suite::Settings s;
  s.template_path = "the analysis";
  s.template_text = suite_samples::template_text(-1);
  s.case_number = 2;
  s.geometry = geometry;
  s.out_dir = "out";
  std::string why;
  s.target = motion::parse_design_spectrum("ec8:type=1,ground=B,ag=0.25g", why);
  s.scale_range = std::pair{0.105, 0.95};
  s.rule = suite::Rule::suite90;
  for (const std::string& stem : stems) s.records.push_back({{stem + ".AT2"}, {}});
  return s;
}

void write_records() {
  write_file("quake_a.AT2", suite_samples::peer_record(400, 0.3, 0.35).content);
  write_file("quake_b.AT2", suite_samples::peer_record(600, 0.2, 0.8).content);
  write_file("quake_c.AT2", suite_samples::peer_record(350, 0.25, 0.5).content);
}

// A window's Cancel after the first file: that file is whole (it passes the check and ends with
// its end and date records), the others are not there, not even as temporaries, and the table
// names only what was written.
TEST(SuiteSteps, StoppedAfterOneFileLeavesThatFileWholeAndNoOther) {
  TempCurrentDir dir;
  write_records();
  fs::create_directory("out");
  std::ostringstream out, err;
  const auto suite = suite::Suite::open(settings_of({"quake_a", "quake_b", "quake_c"}), err);
  ASSERT_TRUE(suite) << err.str();
  for (std::size_t i = 0; i < suite->size(); ++i) suite->analyse(i);
  std::string why;
  ASSERT_TRUE(suite->find_factors(why)) << why;
  suite->write(0);
  ASSERT_TRUE(suite->write_tables(out, err)) << err.str();
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator("out")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"quake_a.inc", "spectra.csv", "suite.csv"}));
  const model::GeometryReadResult g = model::read_geometry_file(geometry);
  loadfile::CheckOptions options;
  options.model = loadfile::ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
  const loadfile::CheckReport report = loadfile::check_loading_file("out/quake_a.inc", options);
  EXPECT_FALSE(loadfile::has_errors(report.problems));
  const std::string text = read_file("out/quake_a.inc");
  EXPECT_NE(text.find("End_of_File: out/quake_a.inc\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const std::string table = read_file("out/suite.csv");
  EXPECT_NE(table.find("\nquake_a,out/quake_a.inc,"), std::string::npos);
  EXPECT_EQ(table.find("quake_b"), std::string::npos);
}

// The analysis given as bytes is written as each record's template; the analysis's own loading
// file, named among the files never written over, is left as it was though a record has its name.
TEST(SuiteSteps, TheAnalysisOwnLoadingFileIsNeverWrittenOver) {
  TempCurrentDir dir;
  write_records();
  write_file("out/quake_b.inc", "the analysis's own file\n");
  suite::Settings s = settings_of({"quake_a", "quake_b"});
  s.protected_files = {"out/quake_b.inc"};
  std::ostringstream out, err;
  EXPECT_EQ(suite::run_suite(s, out, err), 1);
  EXPECT_EQ(read_file("out/quake_b.inc"), "the analysis's own file\n");
  EXPECT_NE(err.str().find("quake_b: not written: out/quake_b.inc is out/quake_b.inc, which is never written over"),
            std::string::npos)
      << err.str();
  EXPECT_TRUE(fs::exists("out/quake_a.inc"));
}

// What the window saves is what `brantel suite --from` reads: every setting, paths below the
// file's folder kept relative to it, a record's own reading options with it.
TEST(SuiteFile, TheSavedSettingsReadBackTheSame) {
  TempCurrentDir dir;
  suite::Settings s = settings_of({"quake_a", "quake_b"});
  s.template_text.reset();
  s.template_path = (dir.path() / "study/analysis.inc").string();
  s.records[1].options.file_unit = motion::Unit::cm_s2;
  s.records[1].options.scale = 1.25;
  s.records[1].options.time_step = 0.005;
  s.records[1].options.format = motion::Format::columns;
  s.records[1].files = {"b_h1.txt", "b_h2.txt"};
  s.direction = "XY";
  s.periods = motion::log_periods(0.01, 10.0, 111);
  s.damping = 0.03;
  s.keep_end_time = true;
  s.out_dir = (dir.path() / "study/out").string();
  s.jobs = 2;
  const std::string path = (dir.path() / "study/suite.json").string();
  write_file(path, suite::suite_file_text(s, "ec8:type=1,ground=B,ag=0.25g", path));
  EXPECT_NE(read_file(path).find("\"template\": \"analysis.inc\""), std::string::npos) << read_file(path);
  suite::Settings back;
  std::string why;
  ASSERT_TRUE(suite::read_suite_file(path, back, why)) << why;
  EXPECT_EQ(fs::path(back.template_path), fs::path(s.template_path));
  EXPECT_EQ(back.case_number, 2);
  EXPECT_EQ(back.geometry, s.geometry);
  ASSERT_EQ(back.records.size(), 2u);
  EXPECT_EQ(fs::path(back.records[0].files[0]), dir.path() / "quake_a.AT2");
  EXPECT_EQ(back.records[1].files.size(), 2u);
  EXPECT_EQ(back.records[1].options.file_unit, motion::Unit::cm_s2);
  EXPECT_EQ(back.records[1].options.scale, 1.25);
  EXPECT_EQ(back.records[1].options.time_step, 0.005);
  EXPECT_EQ(back.records[1].options.format, motion::Format::columns);
  EXPECT_EQ(back.records[0].options.scale, 1.0);
  EXPECT_EQ(back.direction, "XY");
  ASSERT_TRUE(back.target);
  EXPECT_EQ(back.target->description(), s.target->description());
  EXPECT_EQ(back.scale_range, s.scale_range);
  EXPECT_EQ(back.rule, suite::Rule::suite90);
  EXPECT_EQ(back.periods, s.periods);
  EXPECT_EQ(back.damping, 0.03);
  EXPECT_TRUE(back.keep_end_time);
  EXPECT_EQ(fs::path(back.out_dir), fs::path(s.out_dir));
  EXPECT_EQ(back.jobs, 2u);
}

}  // namespace

// A real three-channel record whose second channel is the vertical ("Chan 2: Up"): by default its
// horizontal channels go into X and Y and are the pair the factor is found on, the vertical into Z.
TEST(SuiteSteps, AVerticalChannelGoesIntoZAndIsNoPartOfThePair) {
  TempCurrentDir dir;
  fs::create_directory("out");
  const std::string file = std::string(BRANTEL_SOURCE_DIR) + "/tests/data/processing/CE89146.V2";
  suite::Settings s = settings_of({});
  s.records = {{{file}, {}}};
  s.rule = suite::Rule::fit;
  std::ostringstream err;
  const auto suite = suite::Suite::open(s, err);
  ASSERT_TRUE(suite) << err.str();
  suite->analyse(0);
  std::string why;
  ASSERT_TRUE(suite->find_factors(why)) << why;
  suite->write(0);
  const suite::RecordResult& a = suite->result(0);
  ASSERT_EQ(a.error, "");
  EXPECT_EQ(a.scaled_on, "RotD100 of 1 (360 Deg) and 3 (90 Deg)");
  EXPECT_TRUE(a.warnings.empty());

  // The points of the case: time, X, Y, Z, each the channel times the factor (cm/s2 both).
  motion::ReadOptions options;
  options.target = motion::TargetUnit::length_per_s2(0.01, "cm/s2");
  const motion::Record record = motion::read_motion_file(file, options).record;
  std::istringstream text(read_file(a.written));
  std::string line;
  while (std::getline(text, line) && line.rfind("END_OF_CASE1", 0) != 0) {
  }
  while (std::getline(text, line) && line.rfind("End_of_Initial_Loading", 0) != 0) {
  }
  for (std::size_t i = 0; i < 3000 && std::getline(text, line); ++i) {
    double t = 0, x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf", &t, &x, &y, &z), 4) << line;
    const double expected[3] = {record.components[0][i], record.components[2][i], record.components[1][i]};
    const double got[3] = {x, y, z};
    for (int d = 0; d < 3; ++d) EXPECT_NEAR(got[d], expected[d] * a.factor, 1e-6 * std::abs(expected[d] * a.factor) + 1e-9) << i;
  }
}
