// The Initial Values editor driven through its dialog by the scripted toolkit.
#include <gtest/gtest.h>

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
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;
namespace layouts = model::case_files;

std::vector<std::string> records(const std::string& path) {
  std::vector<std::string> out;
  const std::string content = read_file(path);
  std::size_t start = 0;
  for (std::size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
    out.push_back(content.substr(start, end - start));
  EXPECT_EQ(start, content.size()) << path << " does not end with CR LF";
  return out;
}

NodeRange conditions(int first, int last, float dx, float vx = 0) {
  NodeRange r{first, last};
  r.components[0] = dx;
  r.components[3] = vx;
  return r;
}

// A case whose initial values were saved with these displacement/velocity ranges.
void saved_case(testing_support::Session& s, const std::vector<NodeRange>& ranges) {
  s.at(1).initial_values_saved = true;
  s.record(1).n_initial_conditions = static_cast<int>(ranges.size());
  std::string file;
  for (const NodeRange& r : ranges) file += layouts::conditions_record(r, s.general().n_nodes, s.general().n_dof) + "\r\n";
  write_file("1init.dat", file + "End_of_Initial_Conditions\r\n");
}

TEST(InitialValuesEditor, NewCaseHoldsOneRangeThatEveryAddReplaces) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  auto run_outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect text 1078 "CASE  1"
expect items 1040 120
expect items 1043 120
expect item 1040 1 ""
expect disabled 1087
expect disabled 1071
type 1074 "1"
expect enabled 1071
type 1075 "5"
press 1041
type 1074 "6"
type 1075 "10"
type 1026 "2.5"
press 1041
expect item 1040 1 "6-10"
expect item 1040 2 ""
press 1071
press 1
)");
  EXPECT_RAN(run_outcome);
  EXPECT_EQ(records("1init.dat"),
            (std::vector<std::string>{layouts::conditions_record(conditions(6, 10, 2.5f), 120, 3),
                                      "End_of_Initial_Conditions"}));
  // Nothing was added to the loading group: it writes its end line alone, never a range of
  // node 0.
  EXPECT_EQ(records("1InitLoad.dat"), (std::vector<std::string>{"End_of_Initial_Loading"}));
  EXPECT_EQ(s.record(1).n_initial_conditions, 1);
  EXPECT_EQ(s.record(1).n_initial_loadings, 0);
  EXPECT_TRUE(s.at(1).initial_values_saved);
}

TEST(InitialValuesEditor, SavedCaseAppendsReplacesInPlaceAndComparesTheTypedText) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  saved_case(s, {conditions(1, 3, 1.0f), conditions(4, 4, 2.0f)});
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect item 1040 1 "1-3"
expect item 1040 2 "4-4"
type 1074 "1"
type 1075 "5"
type 1026 "1.5"
press 1041
type 1074 "6"
type 1075 "10"
press 1041
type 1074 "1"
type 1075 "5"
type 1026 "2.5"
type 1029 "0.125"
press 1041
expect item 1040 3 "1-5"
expect item 1040 4 "6-10"
expect item 1040 5 ""
type 1074 "01"
press 1041
expect item 1040 5 "1-5"
pick 1040 3
expect text 1074 "1"
expect text 1075 "5"
expect text 1026 "2.5"
expect text 1029 "0.125"
expect enabled 1087
press 1071
press 2
)");
  EXPECT_RAN(outcome);
  const auto written = records("1init.dat");
  ASSERT_EQ(written.size(), 6u);
  EXPECT_EQ(written[2], layouts::conditions_record(conditions(1, 5, 2.5f, 0.125f), 120, 3));
  EXPECT_EQ(written[4], layouts::conditions_record(conditions(1, 5, 2.5f, 0.125f), 120, 3));
  EXPECT_EQ(s.record(1).n_initial_conditions, 5);
}

TEST(InitialValuesEditor, RemovalMovesLaterRangesDownAndAddAppendsAfterThem) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  saved_case(s, {conditions(1, 1, 1.0f), conditions(2, 2, 2.0f), conditions(3, 3, 3.0f)});
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
pick 1040 2
press 1087
expect item 1040 1 "1-1"
expect item 1040 2 "3-3"
expect item 1040 3 ""
type 1074 "7"
type 1075 "9"
press 1041
expect item 1040 3 "7-9"
pick 1040 50
press 1087
expect item 1040 3 ""
expect enabled 1087
press 1071
press 1
)");
  EXPECT_RAN(outcome);
  const auto written = records("1init.dat");
  ASSERT_EQ(written.size(), 3u);  // the selection beyond the last range removed 7-9
  EXPECT_EQ(written[1], layouts::conditions_record(conditions(3, 3, 3.0f), 120, 3));
  EXPECT_EQ(s.record(1).n_initial_conditions, 2);
}

// A file holding fewer ranges than the case's count (a missing or cut file) gives the ranges it
// holds and no more: the entries it lacks would be written as ranges of node 0.
TEST(InitialValuesEditor, ShortFileGivesTheRangesItHoldsAndNoRangeOfNodeZero) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  saved_case(s, {conditions(2, 8, 1.0f)});
  s.record(1).n_initial_conditions = 3;
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect item 1040 1 "2-8"
expect item 1040 2 ""
expect disabled 1071
pick 1040 1
press 1071
press 1
)");
  EXPECT_RAN(outcome);
  const auto written = records("1init.dat");
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0], layouts::conditions_record(conditions(2, 8, 1.0f), 120, 3));
  EXPECT_EQ(s.record(1).n_initial_conditions, 1);
}

TEST(InitialValuesEditor, ToBeforeFromIsRefusedInBothLanguages) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  const std::string script = R"(
in 103
type 1074 "5"
type 1075 "3"
press 1041
type 1076 "9"
type 1077 "1"
press 1044
expect item 1040 1 ""
expect item 1043 1 ""
press 2
)";
  auto english = run(s, dialogs::editors::open_initial_values_editor, script);
  EXPECT_RAN(english);
  EXPECT_EQ(english.transcript,
            "message \"Message\" \"\\\"To\\\" MUST be >=\\\"From\\\" !\"\n"
            "message \"Message\" \"\\\"To\\\" MUST be >=\\\"From\\\" !\"\n");
  s.language = "Romanian";
  auto romanian = run(s, dialogs::editors::open_initial_values_editor, script);
  EXPECT_RAN(romanian);
  EXPECT_NE(romanian.transcript.find("\\\"To\\\" TREBUIE sa fie >=\\\"From\\\" !"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("1init.dat"));
}

TEST(InitialValuesEditor, FullTableRefusesANewRangeAndKeepsEveryStoredOne) {
  TempCurrentDir dir;
  auto s = model(2, 3);
  saved_case(s, {});
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
type 1074 "1"
type 1075 "1"
press 1041
type 1074 "2"
type 1075 "2"
press 1041
type 1074 "1"
type 1075 "2"
press 1041
expect message "ADD Message" "The list of node ranges is full (2 ranges). The range was not added !"
type 1074 "2"
type 1075 "2"
type 1026 "4"
press 1041
expect no message
press 1071
press 1
)");
  EXPECT_RAN(outcome);
  const auto written = records("1init.dat");
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[1], layouts::conditions_record(conditions(2, 2, 4.0f), 2, 3));
}

TEST(InitialValuesEditor, AccelerogramCaseTakesTheAccelerationOnAddAndWritesItAfterTheEndRecord) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  s.record(1).loading_type = model::LoadingType::accelerogram_3_directions;
  s.record(1).initial_acceleration[2] = 0.25f;
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect enabled 1035
expect enabled 1115
expect text 1035 "0."
expect text 1037 "0.25"
type 1035 "-9.81"
type 1036 "12345678"
press 1044
expect message "ADD Message" "Node numbers MUST be from 1 to 120 (the No. of Nodes) !"
pick 1043 1
expect text 1036 "0.123457E+08"
press 2
)");
  EXPECT_RAN(outcome);
  // Taken at once, although nothing was saved.
  EXPECT_FLOAT_EQ(s.record(1).initial_acceleration[0], -9.81f);
  EXPECT_FLOAT_EQ(s.record(1).initial_acceleration[1], 12345678.0f);
  EXPECT_FLOAT_EQ(s.record(1).initial_acceleration[2], 0.25f);
  EXPECT_FALSE(std::filesystem::exists("1init.dat"));

  s.language = "Romanian";
  EXPECT_RAN(run(s, dialogs::editors::open_initial_values_editor, "in 103\npress 1113\npress 1071\npress 1\n"));
  const auto written = records("1init.dat");
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0], "Sfarsit_Conditii_Initiale");
  EXPECT_EQ(written[1], layouts::acceleration_record(s.record(1).initial_acceleration));
  EXPECT_EQ(records("1InitLoad.dat").back(), "Sfarsit_Incarcare_Initiala");
}

// The acceleration row belongs to the case, not to the range: a range refused by a full table
// still hands its acceleration over.
TEST(InitialValuesEditor, FullTableRefusesTheRangeButTakesTheAcceleration) {
  TempCurrentDir dir;
  auto s = model(1, 2);
  s.record(1).loading_type = model::LoadingType::accelerogram_1_direction;
  s.at(1).initial_values_saved = true;
  write_file("1InitLoad.dat", layouts::loadings_record(NodeRange{1, 1}, 1, 2) +
                                  "\r\nEnd_of_Initial_Loading\r\n");
  s.record(1).n_initial_loadings = 1;
  int journaled = 0;
  s.cases.set_journal([&] { ++journaled; });
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
type 1076 "01"
type 1077 "1"
type 1035 "1.5"
type 1036 "-3"
press 1044
expect message "ADD Message" "The list of node ranges is full (1 ranges). The range was not added !"
answer yes
press 1
)");
  EXPECT_RAN(outcome);
  EXPECT_FLOAT_EQ(s.record(1).initial_acceleration[0], 1.5f);
  EXPECT_FLOAT_EQ(s.record(1).initial_acceleration[1], -3.0f);
  EXPECT_EQ(journaled, 1);  // taken through the store's commit, not written behind its back
}

TEST(InitialValuesEditor, OtherLoadingTypesDisableTheAccelerationRowAndWriteNoAccelerations) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  s.record(1).loading_type = model::LoadingType::sinusoidal;
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect disabled 1035
expect disabled 1036
expect disabled 1037
expect disabled 1115
press 1112
press 1071
press 1
)");
  EXPECT_RAN(outcome);
  EXPECT_EQ(records("1init.dat").back(), "End_of_Initial_Conditions");
}

TEST(InitialValuesEditor, TwoDegreesOfFreedomDisableZAndWriteTwoValuesPerGroup) {
  TempCurrentDir dir;
  auto s = model(120, 2);
  auto outcome = run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
expect disabled 1028
expect disabled 1031
expect disabled 1034
press 1112
press 1113
expect text 1026 "0."
expect text 1027 "0."
expect text 1028 ""
type 1074 "5"
type 1075 "12"
type 1026 "2.5"
type 1027 "0.5"
type 1029 "0.125"
type 1030 "4.0"
press 1041
type 1076 "5"
type 1077 "12"
type 1065 "2.5"
type 1032 "0.5"
type 1033 "4"
press 1044
press 1071
press 1
)");
  EXPECT_RAN(outcome);
  EXPECT_EQ(records("1init.dat")[0],
            "  5   12  2.5           0.5             0.125         4.            ");
  EXPECT_EQ(records("1InitLoad.dat")[0], "  5   12  2.5           0.5             4.            ");
}

}  // namespace
