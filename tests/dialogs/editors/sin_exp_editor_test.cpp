// The Sinusoidal and exponential loading editor driven through its dialog by the scripted toolkit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/editors/editors.h"
#include "model/case_files/scratch_layouts.h"
#include "node_editor_harness.h"
#include "support/temp_dir.h"

namespace {

using model::NodeRange;
using node_editor_test::model;
using node_editor_test::run;
using node_editor_test::xyz_range;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;
namespace layouts = model::case_files;

testing_support::Session case_of_type(model::LoadingType loading_type, int n_dof = 3, int n_nodes = 120) {
  auto s = model(n_nodes, n_dof, 3, 3);
  s.record(3).loading_type = loading_type;
  return s;
}

TEST(SinExpEditor, SinusoidalCaseWritesOmegaPhiAndTheAmplitudeFile) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::sinusoidal);
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect text 1105 " Loading: A*sin(omega*t +phi)"
expect enabled 1045
expect disabled 1092
expect disabled 1088
expect items 1061 120
type 1059 "6.2832"
type 1045 "0.5"
type 1089 "1"
type 1090 "10"
type 1063 "2.5"
type 1064 "0.5"
type 1065 "-1.0E+07"
press 1062
expect item 1061 1 "1-10"
press 1092
expect disabled 2
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_FLOAT_EQ(s.record(3).omega, 6.2832f);
  EXPECT_FLOAT_EQ(s.record(3).phi, 0.5f);
  EXPECT_EQ(read_file("3TPsin.dat"),
            "  1   10    2.5             0.5             -0.1E+08      \r\nEND_OF_CASE3\r\n");
  EXPECT_TRUE(s.at(3).loading_saved);
}

TEST(SinExpEditor, ExponentialCaseDisablesPhiAndLeavesItUnchanged) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::exponential);
  s.record(3).phi = 0.75f;
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect text 1105 " Loading: A*exp(omega*t)"
expect disabled 1045
type 1059 "-0.5"
press 1092
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_FLOAT_EQ(s.record(3).omega, -0.5f);
  EXPECT_FLOAT_EQ(s.record(3).phi, 0.75f);
  // Saving with no ranges writes only the final record.
  EXPECT_EQ(read_file("3TPexp.dat"), "END_OF_CASE3\r\n");
}

// Omega and phi go with the amplitudes: a SAVE that cannot write the file keeps neither.
TEST(SinExpEditor, FailedSaveKeepsOmegaAndPhiAsTheyWere) {
  TempCurrentDir dir;
  std::filesystem::create_directory("3TPsin.dat");  // a folder where the file should go
  auto s = case_of_type(model::LoadingType::sinusoidal);
  s.record(3).omega = 2.0f;
  s.record(3).phi = 0.25f;
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
type 1059 "6.2832"
type 1045 "0.5"
press 1092
expect enabled 2
answer yes
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_NE(outcome.transcript.find("message \"SAVE Message\" \"Cannot write file "), std::string::npos);
  EXPECT_FLOAT_EQ(s.record(3).omega, 2.0f);
  EXPECT_FLOAT_EQ(s.record(3).phi, 0.25f);
  EXPECT_FALSE(s.at(3).loading_saved);
}

TEST(SinExpEditor, TwoDegreesOfFreedomDisableZAndWriteTwoAmplitudes) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::sinusoidal, 2);
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect disabled 1065
press 1115
expect text 1063 "0."
expect text 1064 "0."
expect text 1065 ""
type 1089 "3"
type 1090 "4"
press 1062
press 1092
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_EQ(read_file("3TPsin.dat"), "  3    4    0.              0.            \r\nEND_OF_CASE3\r\n");
}

TEST(SinExpEditor, SameTextReplacesTheRangeAndOtherTextAppends) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::sinusoidal);
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
type 1089 "1"
type 1090 "10"
type 1063 "1"
press 1062
type 1063 "2"
press 1062
expect item 1061 2 ""
type 1089 "01"
press 1062
expect item 1061 2 "1-10"
pick 1061 1
expect text 1063 "2."
expect enabled 1088
pick 1061 5
expect text 1089 ""
expect text 1063 ""
expect disabled 1088
press 1092
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_EQ(s.record(3).n_load_ranges, 2);
  EXPECT_EQ(read_file("3TPsin.dat"),
            layouts::amplitude_record(xyz_range(1, 10, 2), 120, 3) + "\r\n" +
                layouts::amplitude_record(xyz_range(1, 10, 2), 120, 3) + "\r\nEND_OF_CASE3\r\n");
}

// Ranges added and not saved are gone when the dialog closes, and the case's count stays: the
// next opening shows what the file holds, never an entry it lacks as a range 0-0.
TEST(SinExpEditor, CancelLeavesTheCountAndAShortFileGivesWhatItHolds) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::sinusoidal);
  s.at(3).loading_saved = true;
  s.record(3).n_load_ranges = 1;
  s.record(3).omega = 2.5f;
  write_file("3TPsin.dat", layouts::amplitude_record(xyz_range(5, 6, 1), 120, 3) + "\r\nEND_OF_CASE3\r\n");
  auto first = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect text 1059 "2.5"
expect item 1061 1 "5-6"
type 1089 "7"
type 1090 "8"
press 1062
expect item 1061 2 "7-8"
press 2
)S");
  EXPECT_RAN(first);
  EXPECT_EQ(s.record(3).n_load_ranges, 1);
  s.record(3).n_load_ranges = 2;  // a count the file does not hold
  auto second = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect item 1061 1 "5-6"
expect item 1061 2 ""
pick 1061 1
press 1092
press 1
)S");
  EXPECT_RAN(second);
  EXPECT_EQ(s.record(3).n_load_ranges, 1);
  EXPECT_EQ(read_file("3TPsin.dat"),
            layouts::amplitude_record(xyz_range(5, 6, 1), 120, 3) + "\r\nEND_OF_CASE3\r\n");
}

TEST(SinExpEditor, LoadedCaseOfAnotherLoadingTypeOpensEmpty) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::exponential);
  s.n_loaded_cases = 3;
  s.loaded(3).loading_type = model::LoadingType::sinusoidal;
  s.record(3).n_load_ranges = 1;
  s.record(3).omega = 4.0f;
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
expect text 1059 ""
expect item 1061 1 ""
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_FALSE(std::filesystem::exists("3TPexp.dat"));
  // Closed without SAVE: the case's count is as it was, whatever the editor showed.
  EXPECT_EQ(s.record(3).n_load_ranges, 1);
}

TEST(SinExpEditor, FullTableRefusesANewRange) {
  TempCurrentDir dir;
  auto s = case_of_type(model::LoadingType::sinusoidal, 3, 1);
  auto outcome = run(s, dialogs::editors::open_sin_exp_editor, R"S(
in 105
type 1089 "1"
type 1090 "1"
press 1062
type 1089 "01"
press 1062
expect message "ADD Message" "The list of node ranges is full (1 ranges). The range was not added !"
expect item 1061 1 "1-1"
press 1092
press 1
)S");
  EXPECT_RAN(outcome);
  EXPECT_EQ(s.record(3).n_load_ranges, 1);
}

}  // namespace
