// The suite engine as the Suite window runs it: a template given as bytes, a record at a time,
// stopped part way; and the study file the window saves, read back.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/cli/run_suite.h"
#include "loadfile/check.h"
#include "model/geometry_file.h"
#include "support/study_file_fuzz.h"
#include "support/scaled_suite.h"
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
  suite::Settings s = suite_samples::ec8_settings(suite::Rule::suite90, 0.105, 0.95);
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
  const auto suite = suite_samples::scaled_suite(settings_of({"quake_a", "quake_b", "quake_c"}), err);
  ASSERT_TRUE(suite) << err.str();
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
  EXPECT_EQ(app::cli::run_suite(s, out, err), 1);
  EXPECT_EQ(read_file("out/quake_b.inc"), "the analysis's own file\n");
  EXPECT_NE(err.str().find("quake_b: not written: out/quake_b.inc is out/quake_b.inc, which is never written over"),
            std::string::npos)
      << err.str();
  EXPECT_TRUE(fs::exists("out/quake_a.inc"));
}

// What the window saves is what `brantel suite --from` reads: every setting, paths below the
// file's folder kept relative to it, a record's own reading options with it.
// Saving settings whose record is named in another encoding writes a study file instead of
// stopping the program.
TEST(SuiteFile, ARecordNameThatIsNotUtf8IsWrittenNotThrown) {
  TempCurrentDir dir;
  suite::Settings s = settings_of({"quake_a"});
  s.records[0].files = {"s\xe9" "c.AT2"};
  const std::string path = (dir.path() / "suite.json").string();
  std::string text;
  EXPECT_NO_THROW(text = suite::suite_file_text(s, "ec8:type=1,ground=B,ag=0.25g", path));
  EXPECT_NE(text.find("s\xef\xbf\xbd" "c.AT2"), std::string::npos) << text;
}

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
  const auto suite = suite_samples::scaled_suite(s, err);
  ASSERT_TRUE(suite) << err.str();
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

namespace {

std::vector<std::string> folder_names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The folder of a suite holds one suite: what the previous one wrote (its suite.csv says
// which) goes or is replaced; a file of the user's beside it stays.
TEST(SuiteOutput, ASecondSuiteLeavesExactlyItsOwnFilesAndNoOneElses) {
  TempCurrentDir dir;
  write_records();
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(settings_of({"quake_a", "quake_b", "quake_c"}), out, err), 0) << err.str();
  write_file("out/notes.txt", "mine\n");
  // Not written this time: the previous run's file of it goes too.
  write_file("quake_b.AT2", "no values here\n");
  EXPECT_EQ(app::cli::run_suite(settings_of({"quake_a", "quake_b"}), out, err), 1) << err.str();
  EXPECT_EQ(folder_names("out"), (std::vector<std::string>{"notes.txt", "quake_a.inc", "spectra.csv", "suite.csv"}));
  EXPECT_EQ(read_file("out/notes.txt"), "mine\n");
  const auto listed = suite::previous_suite_files("out");
  ASSERT_TRUE(listed);
  EXPECT_NE(std::find(listed->begin(), listed->end(), "quake_a.inc"), listed->end());
  EXPECT_EQ(std::find(listed->begin(), listed->end(), "quake_c.inc"), listed->end());
}

// Another analysis' loading file and the user's own suite.csv are in the way: nothing is
// written until the run is told to replace them.
TEST(SuiteOutput, FilesNoSuiteWroteAreReplacedOnlyWhenAllowed) {
  TempCurrentDir dir;
  write_records();
  write_file("out/quake_b.inc", "another analysis\n");
  write_file("out/suite.csv", "my own table\n");
  suite::Settings s = settings_of({"quake_a", "quake_b"});
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), 2);
  EXPECT_NE(err.str().find("out/quake_b.inc out/suite.csv"), std::string::npos) << err.str();
  EXPECT_EQ(folder_names("out"), (std::vector<std::string>{"quake_b.inc", "suite.csv"}));
  EXPECT_EQ(read_file("out/quake_b.inc"), "another analysis\n");
  EXPECT_EQ(read_file("out/suite.csv"), "my own table\n");
  EXPECT_FALSE(suite::previous_suite_files("out"));
  s.overwrite = true;
  EXPECT_EQ(app::cli::run_suite(s, out, err), 0) << err.str();
  EXPECT_NE(read_file("out/quake_b.inc"), "another analysis\n");
  EXPECT_TRUE(suite::previous_suite_files("out"));
}

// A table never takes the place of an input, whatever it is called and even when replacing is
// allowed: the run is refused, naming the clash.
TEST(SuiteOutput, TablesNeverWriteOverAnInput) {
  TempCurrentDir dir;
  write_records();
  fs::create_directory("out");
  fs::copy_file("quake_a.AT2", "out/spectra.csv");
  suite::Settings s = settings_of({"quake_b"});
  s.records.push_back({{"out/spectra.csv"}, {}});
  s.overwrite = true;
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), 2);
  EXPECT_NE(err.str().find("out/spectra.csv would replace out/spectra.csv, an input of the suite"), std::string::npos)
      << err.str();
  EXPECT_EQ(read_file("out/spectra.csv"), read_file("quake_a.AT2"));
  EXPECT_EQ(folder_names("out"), (std::vector<std::string>{"spectra.csv"}));
}

// No record usable: nothing written and nothing made, not even the folder.
TEST(SuiteOutput, NothingWrittenLeavesNothingBehind) {
  TempCurrentDir dir;
  write_file("words.txt", "no values here\nnor here\n");
  suite::Settings s = settings_of({});
  s.records.push_back({{"words.txt"}, {}});
  s.records.push_back({{"missing.AT2"}, {}});
  s.rule = suite::Rule::fit;
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), 2);
  EXPECT_NE(err.str().find("nothing written"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists("out"));
}

// The EW and NS files of one station differ only in their extension: both go into one suite.
TEST(SuiteOutput, ComponentsOfOneStationGetFilesOfTheirOwn) {
  EXPECT_EQ(suite::stems_of({{{"k/FKS0010103111446.EW"}, {}}, {{"k/FKS0010103111446.NS"}, {}}, {{"k/a.AT2"}, {}}}),
            (std::vector<std::string>{"FKS0010103111446_EW", "FKS0010103111446_NS", "a"}));
  suite::Settings s = settings_of({"quake_a"});
  s.records = {{{"k/FKS0010103111446.EW"}, {}}, {{"k/FKS0010103111446.NS"}, {}}};
  EXPECT_EQ(suite::settings_problem(s), "");
  s.records.push_back({{"l/FKS0010103111446.EW"}, {}});
  EXPECT_NE(suite::settings_problem(s).find("two records named \"FKS0010103111446\""), std::string::npos);
}

// A thread the system will not start (here: no room left for its stack) leaves the work to
// the threads that run; every record is still written.
TEST(SuiteOutput, AThreadThatCannotStartLowersTheCountInsteadOfAborting) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' shadow memory leaves no address-space limit to set";
#else
  TempCurrentDir dir;
  write_records();
  suite::Settings s = settings_of({"quake_a", "quake_b", "quake_c"});
  s.jobs = 3;
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  ASSERT_GT(pages, 0u);
  rlimit previous{};
  getrlimit(RLIMIT_AS, &previous);
  rlimit limited = previous;
  // Room for the work of one thread, not for the 8 MiB stack of another.
  limited.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{6} << 20);
  std::ostringstream out, err;
  setrlimit(RLIMIT_AS, &limited);
  const int code = app::cli::run_suite(s, out, err);
  setrlimit(RLIMIT_AS, &previous);
  EXPECT_EQ(code, 0) << err.str();
  EXPECT_EQ(folder_names("out"), (std::vector<std::string>{"quake_a.inc", "quake_b.inc", "quake_c.inc", "spectra.csv",
                                                           "suite.csv"}));
#endif
}

}  // namespace

namespace {

// Mutations of a study file that holds every setting: bytes replaced, cut, repeated and
// nested, a fixed seed so that a failure comes again. Whatever is accepted keeps the rules.
TEST(SuiteFile, MutatedStudyFilesAreRefusedOrKeepTheRules) {
  const std::string seed = R"({"template": "t.inc", "case": 2, "geometry": "frame.dat", "read": {"units": "g"},
    "records": ["a.AT2", ["h1.AT2", "h2.AT2"], {"files": ["b.txt"], "units": "cm/s2", "dt": 0.01}],
    "direction": "XY", "target": "ec8:type=1,ground=B,ag=0.25g", "scale_range": [0.1, 2],
    "scale_rule": "suite90", "periods": "0.01:10:100", "damping": 0.05, "end_time": "record",
    "out": "results", "jobs": 2})";
  const std::string pieces[] = {"[", "]", "{", "}", "\"", ",", ":", "-", "1e308", "4294967297", "-0", "1e-300", "null",
                                "\"case\"", "\"jobs\"", "\"periods\"", "[[[[[[[[[[[[[[[[[[", "\\u0000", "0.5:0.1:3"};
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  auto next = [&state](std::uint64_t bound) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    return static_cast<std::size_t>(state % bound);
  };
  for (int round = 0; round < 20000; ++round) {
    std::string text = seed;
    for (int m = 1 + static_cast<int>(next(4)); m > 0; --m) {
      const std::size_t at = next(text.size() + 1);
      switch (next(5)) {
        case 0: text.insert(at, pieces[next(std::size(pieces))]); break;
        case 1: text.erase(at, next(12)); break;
        case 2: if (at < text.size()) text[at] = static_cast<char>(next(256)); break;
        case 3: text.insert(at, text.substr(next(text.size()), next(40))); break;
        default: text.insert(at, std::string(next(40), '[')); break;
      }
    }
    const std::string fault = testing_support::study_file_fault(text);
    ASSERT_EQ(fault, "") << "round " << round << ":\n" << text;
  }
}

}  // namespace

namespace {

using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

// The rows of spectra.csv (comments left out), each split at its commas.
std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    rows.push_back(fields);
  }
  return rows;
}

// Stopped after the first of three records: the mean of spectra.csv is that one record's, not a
// third of it.
TEST(SuiteTables, TheMeanIsOverTheRecordsWrittenOnly) {
  TempCurrentDir dir;
  write_records();
  fs::create_directory("out");
  std::ostringstream out, err;
  const auto suite = suite_samples::scaled_suite(settings_of({"quake_a", "quake_b", "quake_c"}), err);
  ASSERT_TRUE(suite) << err.str();
  suite->write(0);
  ASSERT_TRUE(suite->write_tables(out, err)) << err.str();
  std::map<std::string, std::vector<std::string>> own;  // period -> the record's row
  std::size_t means = 0;
  for (const auto& row : csv_rows(read_file("out/spectra.csv"))) {
    ASSERT_GE(row.size(), 7u);
    if (row[0] == "quake_a") own[row[1]] = row;
    if (row[0] != "mean") continue;
    ++means;
    ASSERT_TRUE(own.count(row[1])) << row[1];
    for (std::size_t f = 4; f < 7; ++f) EXPECT_EQ(row[f], own[row[1]][f]) << "period " << row[1];
  }
  EXPECT_GT(means, 10u);
}

// Files of one record combine only when their steps are one step printed with other digits.
TEST(SuiteSteps, FilesWhoseStepsDifferInTheFourthDigitAreNotCombined) {
  TempCurrentDir dir;
  write_records();
  std::string same = read_file("quake_b.AT2"), other = same;
  same.replace(same.find("DT= .0100"), 9, "DT= 0.01 ");
  other.replace(other.find("DT= .0100"), 9, "DT= .01001");
  write_file("same_step.AT2", same);
  write_file("other_step.AT2", other);
  suite::Settings s = settings_of({});
  s.records = {{{"same_step.AT2", "quake_a.AT2"}, {}}, {{"other_step.AT2", "quake_a.AT2"}, {}}};
  s.direction = "XY";
  std::ostringstream err;
  const auto suite = suite::Suite::open(s, err);
  ASSERT_TRUE(suite) << err.str();
  suite->analyse(0);
  suite->analyse(1);
  EXPECT_EQ(suite->result(0).error, "");
  EXPECT_NE(suite->result(1).error.find("its time step 0.01 s differs from 0.01001 s"), std::string::npos)
      << suite->result(1).error;
}

// RotD100 is of the horizontal pair X and Y only: components put into X and Z are scaled on the
// first of them.
TEST(SuiteSteps, ComponentsInXAndZAreNoPair) {
  TempCurrentDir dir;
  write_records();
  for (const char* direction : {"XZ", "XY"}) {
    suite::Settings s = settings_of({});
    s.records = {{{"quake_a.AT2", "quake_c.AT2"}, {}}};
    s.direction = direction;
    std::ostringstream err;
    const auto suite = suite::Suite::open(s, err);
    ASSERT_TRUE(suite) << err.str();
    suite->analyse(0);
    ASSERT_EQ(suite->result(0).error, "");
    EXPECT_EQ(suite->result(0).scaled_on,
              std::string(direction) == "XZ" ? "component 1 (090)" : "RotD100 of 1 (090) and 2 (090)");
  }
}

}  // namespace
