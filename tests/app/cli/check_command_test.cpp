// `brantel check` over the sample loading file the program wrote (3 cases on the 12-node frame)
// and over copies of it with one line changed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "app/cli/command_run.h"
#include "support/temp_dir.h"

namespace {

using testing::HasSubstr;
using testing_support::TempCurrentDir;

const std::string workspace = BRANTEL_WORKSPACE;
const std::string geometry = workspace + "/Dat/frame.dat";

struct CheckRun {
  int code = 0;
  std::string out, err;
};

CheckRun check(std::vector<std::string> args) {
  args.insert(args.begin(), "check");
  const testing_support::CommandRun run = testing_support::run_brantel(args);
  return {run.code.value_or(-1), run.out, run.err};
}

std::vector<std::string> sample_lines() {
  std::istringstream in(testing_support::read_file(workspace + "/Dat/frame_three_cases.inc"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The sample with lines (1-based) replaced; "" removes the line.
std::string sample_with(std::vector<std::pair<std::size_t, std::string>> changes) {
  std::vector<std::string> lines = sample_lines();
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    if (it->second.empty()) lines.erase(lines.begin() + it->first - 1);
    else lines.at(it->first - 1) = it->second + "\r";
  }
  std::string content;
  for (const std::string& l : lines) content += l + "\n";
  return content;
}

std::string sample_with(std::size_t number, const std::string& text) { return sample_with({{number, text}}); }

TEST(CheckCommand, SoundFilePrintsOnlyTheSummaryAndExitsZero) {
  const CheckRun run = check({"--geometry", geometry, workspace + "/Dat/frame_three_cases.inc"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "brantel check: 1 file, 0 errors, 0 warnings\n");
}

struct Damage {
  std::size_t line;
  std::string text;
  std::string expected;  // the problem line printed
  int code;
};

TEST(CheckCommand, EachProblemIsPrintedOnItsLineWithItsExitCode) {
  const std::vector<Damage> damages = {
      {18, " 1 13 1.5 0. -2.", "f.inc:18: error: node 13 of case 1 is outside the model (1 to 12)", 2},
      {20, " 12 10 0. 3. 0.", "f.inc:20: error: the range 12-10 of case 1 begins after its end", 2},
      {19, " 0.05", "f.inc:19: error: time 0.05 of case 1 is not after the time before it, 0.1", 2},
      {19, " 12.", "f.inc:19: warning: time 12 of case 1 is beyond the end time 10: the solver reaches neither", 1},
      {23, "0.1EX02  15", "f.inc:23: error: the tolerance record of case 2 cannot be read", 2},
      {13, " 1 3 0.25 0. -0.5 1.5 O. 0.", "f.inc:13: error: the initial conditions of case 1 end at a line that is not their end line: \" 1 3 0.25", 2},
      {20, " 10 12 0. 3.", "f.inc:20: error: a time of case 1 is read from a line of more than one value", 2},
      {18, " 1 12 1.5 0. -2. 4", "", 0},  // a value more on a line is not read, as the solver does
      {39, "", "f.inc:39: warning: the line after the last case is not the End_of_File line: \"01/01/2000", 1},
      {4, "// ERROR in Case Codes:", "f.inc:4: error: the file was written with case data in error", 2},
      {11, "0.  0", "", 0},
      {17, "0.1 0.2", "f.inc:17: error: a time of case 1 is read from a line of more than one value", 2},
  };
  TempCurrentDir dir;
  for (const Damage& d : damages) {
    SCOPED_TRACE("line " + std::to_string(d.line) + ": " + d.text);
    testing_support::write_file("f.inc", sample_with(d.line, d.text));
    const CheckRun run = check({"--geometry", geometry, "f.inc"});
    EXPECT_EQ(run.code, d.code);
    if (d.expected.empty()) {
      EXPECT_EQ(run.out.find(": error:"), std::string::npos) << run.out;
    } else {
      EXPECT_THAT(run.out, HasSubstr(d.expected));
    }
  }
}

// An accelerogram that runs on after the case's end time: the solver never sees the rest of the
// record, which may hold its strong motion.
TEST(CheckCommand, AnAccelerogramBeyondTheEndTimeIsAWarning) {
  TempCurrentDir dir;
  const std::vector<std::pair<std::size_t, std::string>> accelerogram = {
      {33, "-2  2.E-02  4.  0  0.  -1  0."}, {35, " 0. 0. 0."}, {36, "End_of_Initial_Loading"},
      {37, " 0.  0.5"}};
  auto with_last = [&](const std::string& line) {
    auto changes = accelerogram;
    changes.push_back({38, line + "\r\nEND_OF_CASE3"});
    return sample_with(changes);
  };
  testing_support::write_file("f.inc", with_last(" 4.  0.25"));
  CheckRun run = check({"--geometry", geometry, "f.inc"});
  EXPECT_EQ(run.code, 0) << run.out;
  testing_support::write_file("f.inc", with_last(" 43.  0.25"));
  run = check({"--geometry", geometry, "f.inc"});
  EXPECT_EQ(run.code, 1);
  EXPECT_THAT(run.out, HasSubstr("f.inc:38: warning: time 43 of case 3 is beyond the end time 4: the solver reaches "
                                 "neither it nor the times after it\n"));
  EXPECT_THAT(run.out, HasSubstr("brantel check: 1 file, 0 errors, 1 warning"));
}

TEST(CheckCommand, CaseCodesAllZeroAreTheWritersErrorAndAMissingEndIsAWarning) {
  TempCurrentDir dir;
  std::string content = sample_with(11, "0.  0");
  testing_support::write_file("f.inc", content);
  testing_support::write_file("g.inc", sample_with({{11, "0.  0"}, {12, "0  0.  0.  0  0.  -1  0."}}));
  EXPECT_EQ(check({"--geometry", geometry, "f.inc"}).code, 0);
  CheckRun run = check({"--geometry", geometry, "f.inc", "g.inc"});
  EXPECT_EQ(run.code, 2);
  EXPECT_THAT(run.out, HasSubstr("g.inc:12: error: ERROR in Case Codes: tolerance, iteration limit, time step and "
                                 "end time of case 1 are all 0"));
  EXPECT_THAT(run.out, HasSubstr("brantel check: 2 files, 1 error, 0 warnings\n"));
  testing_support::write_file("h.inc", sample_with({{39, ""}, {40, ""}}));
  run = check({"--geometry", geometry, "h.inc"});
  EXPECT_EQ(run.code, 1);
  EXPECT_THAT(run.out, HasSubstr("h.inc:38: warning: the file has no End_of_File line after the last case\n"));
}

TEST(CheckCommand, WithoutGeometryNodeNumbersAreNotCheckedAndTheSummarySaysSo) {
  TempCurrentDir dir;
  testing_support::write_file("f.inc", sample_with(18, " 1 13 1.5 0. -2."));
  const CheckRun run = check({"f.inc"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out,
            "brantel check: 1 file, 0 errors, 0 warnings; no geometry file: node and element numbers not checked "
            "against a model, read with 3 degrees of freedom per node (taken from the records)\n");
  testing_support::write_file("f.inc", sample_with(18, " 0 12 1.5 0. -2."));
  EXPECT_THAT(check({"f.inc"}).out, HasSubstr("f.inc:18: error: node 0 of case 1 is outside the model (numbers begin at 1)"));
}

TEST(CheckCommand, UnreadableFilesAndGeometryExitThree) {
  TempCurrentDir dir;
  CheckRun run = check({"--geometry", geometry, "missing.inc", workspace + "/Dat/frame_three_cases.inc"});
  EXPECT_EQ(run.code, 3);
  EXPECT_THAT(run.out, HasSubstr("missing.inc: error: cannot be read: the file does not exist\n"));
  run = check({"--geometry", "nothere.dat", workspace + "/Dat/frame_three_cases.inc"});
  EXPECT_EQ(run.code, 3);
  EXPECT_THAT(run.err, HasSubstr("Geometry file not read: the file does not exist"));
  EXPECT_EQ(check({"."}).code, 3);  // a folder is never read
  EXPECT_EQ(check({}).code, 64);
  EXPECT_EQ(check({"--values", "--json", "f.inc"}).code, 64);
}

// Sparse files cost no disk: one byte beyond the limit, never read into memory.
TEST(CheckCommand, FilesBeyondTheSizeLimitExitThreeAndSayTheLimit) {
  TempCurrentDir dir;
  for (const char* name : {"huge.inc", "huge.dat"}) {
    testing_support::write_file(name, "");
    std::filesystem::resize_file(name, (std::uintmax_t{1} << 30) + 1);
  }
  CheckRun run = check({"huge.inc"});
  EXPECT_EQ(run.code, 3);
  EXPECT_THAT(run.out, HasSubstr("huge.inc: error: cannot be read: the file is larger than 1 GiB (1073741824 bytes)"));
  run = check({"--geometry", "huge.dat", workspace + "/Dat/frame_three_cases.inc"});
  EXPECT_EQ(run.code, 3);
  EXPECT_THAT(run.err, HasSubstr("Geometry file not read: the file is larger than 1 GiB (1073741824 bytes)"));
}

TEST(CheckCommand, JsonStaysJsonWhenTheFileTextIsNotUtf8) {
  TempCurrentDir dir;
  testing_support::write_file("f.inc", sample_with(7, "AC\xE9"));
  const CheckRun run = check({"--json", "f.inc"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("\"text\":\"AC\xEF\xBF\xBD\""));
}

TEST(CheckCommand, ValuesListWhatTheSolverReadsWithTheirLines) {
  const std::string sample = workspace + "/Dat/frame_three_cases.inc";
  const CheckRun run = check({"--values", "--geometry", geometry, sample});
  EXPECT_EQ(run.code, 0);
  EXPECT_THAT(run.out, HasSubstr(sample + ":11: case 1 \xC2\xB7 tolerance, iteration limit: tolerance=1e-04 "
                                          "iteration_limit=20\n"));
  EXPECT_THAT(run.out, HasSubstr(sample + ":20: case 1 \xC2\xB7 loads: first_node=10 last_node=12 load_1=0 load_2=3 "
                                          "load_3=0\n"));
  EXPECT_THAT(run.out, HasSubstr(sample + ":29: case 2 \xC2\xB7 amplitudes: first_node=7 last_node=12 "
                                          "amplitude_1=12345680 amplitude_2=0.125 amplitude_3=0\n"));
}

}  // namespace
