// The Discrete Loading editor driven through its dialog by the scripted toolkit.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "support/discrete_points.h"
#include "dialogs/editors/editors.h"
#include "files/record_file.h"
#include "model/case_files/scratch_layouts.h"
#include "node_editor_harness.h"
#include "support/fake_toolkit.h"
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

// The time points SAVE handed over as case k's discrete loading.
std::vector<testing_support::TimePoint> saved(const model::case_files::CaseStore& cases, int k) {
  const std::optional<model::Loading>& loading = cases.sections(k).loading(model::LoadingKind::discrete);
  const auto* discrete = loading ? std::get_if<model::DiscreteLoading>(&loading->data) : nullptr;
  return discrete ? testing_support::time_points(*discrete) : std::vector<testing_support::TimePoint>{};
}

TEST(DiscreteLoadingEditor, TimesAreKeptInOrderWithoutDuplicates) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
expect items 1102 100
expect items 1049 120
expect disabled 1053
expect disabled 1050
expect disabled 1083
expect disabled 1082
expect enabled 1093
type 1052 "0.5"
expect enabled 1053
press 1053
type 1052 "0.1"
press 1053
type 1052 ".3"
press 1053
type 1052 "0.3"
press 1053
expect item 1102 1 "0.1"
expect item 1102 2 "0.3"
expect item 1102 3 "0.5"
expect item 1102 4 ""
expect enabled 1050
answer yes
press 1
)");
  EXPECT_RAN(outcome);
  // The times reach the table and the case's count only on save.
  EXPECT_EQ(s.record(1).n_time_points, 0);
  EXPECT_TRUE(s.time_point_table.empty());
}

TEST(DiscreteLoadingEditor, RangesMoveWithTheirTimePoint) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "0.5"
press 1053
pick 1102 1
expect text 1052 "0.5"
expect enabled 1083
type 1084 "1"
type 1085 "10"
type 1055 "3"
press 1050
expect item 1049 1 "1-10"
type 1052 "0.2"
press 1053
pick 1102 2
expect item 1049 1 "1-10"
expect text 1084 ""
pick 1049 1
expect text 1084 "1"
expect text 1085 "10"
expect text 1055 "3."
expect enabled 1082
pick 1102 1
expect item 1049 1 ""
press 1093
expect disabled 2
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  ASSERT_EQ(saved(s.cases, 1).size(), 2u);
  EXPECT_EQ(saved(s.cases, 1)[0], (testing_support::TimePoint{0.2f, {}}));
  EXPECT_EQ(saved(s.cases, 1)[1], (testing_support::TimePoint{0.5f, {xyz_range(1, 10, 3)}}));
  EXPECT_TRUE(s.at(1).loading_saved);
  EXPECT_EQ(read_file("1TP.dat"), layouts::time_record(0.2f) + "\r\n" + layouts::time_record(0.5f) +
                                      "\r\n" + layouts::discrete_range_record(xyz_range(1, 10, 3), 3) +
                                      "\r\nEND_OF_CASE1\r\n");
}

TEST(DiscreteLoadingEditor, AddingARangeWithoutATimePointIsRefused) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  s.language = "Romanian";
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
pick 1049 1
expect message "Processed Message" "Nici un punct de timp nu a fost delectat sau adaugat!"
type 1052 "1"
press 1053
pick 1102 2
type 1084 "1"
type 1085 "2"
press 1050
expect message "Processed Message" "Nici un punct de timp nu a fost delectat sau adaugat!"
pick 1102 1
type 1084 "3"
press 1050
expect message "Message" "\"To\" TREBUIE sa fie >=\"From\" !"
expect item 1049 1 ""
answer yes
press 1
)");
  EXPECT_RAN(outcome);
}

TEST(DiscreteLoadingEditor, SameTextReplacesTheLoadingAndOtherTextAppends) {
  TempCurrentDir dir;
  auto s = model(120, 3, 3, 2);
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "0.1"
press 1053
pick 1102 1
type 1084 "1"
type 1085 "10"
type 1055 "1"
press 1050
type 1055 "2"
press 1050
expect item 1049 2 ""
type 1084 "01"
press 1050
expect item 1049 2 "1-10"
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  ASSERT_EQ(saved(s.cases, 2).size(), 1u);
  EXPECT_EQ(saved(s.cases, 2)[0].ranges,
            (std::vector<NodeRange>{xyz_range(1, 10, 2), xyz_range(1, 10, 2)}));
  EXPECT_EQ(read_file("2TP.dat").substr(read_file("2TP.dat").size() - 14), "END_OF_CASE2\r\n");
}

TEST(DiscreteLoadingEditor, RemovingTheOnlyTimePointAndSavingLeavesTheFileUnchanged) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  s.record(1).n_time_points = 1;
  s.at(1).loading_saved = true;
  s.time_point_table = testing_support::discrete_loading({{0.5f, {xyz_range(2, 3, 1)}}});
  write_file("1TP.dat", "old content\r\n");
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
expect item 1102 1 "0.5"
pick 1102 1
expect item 1049 1 "2-3"
press 1083
expect item 1102 1 ""
press 1093
press 1
)");
  EXPECT_RAN(outcome);
  EXPECT_EQ(s.record(1).n_time_points, 0);
  EXPECT_EQ(read_file("1TP.dat"), "old content\r\n");
}

TEST(DiscreteLoadingEditor, RemovalShowsTheWholeListInItsOwnFormAndABeyondSelectionTakesTheLast) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "0.1"
press 1053
type 1052 "0.2"
press 1053
type 1052 "0.3"
press 1053
pick 1102 90
expect disabled 1083
pick 1102 3
press 1083
expect item 1102 1 "    0.100000"
expect item 1102 2 "    0.200000"
expect item 1102 3 ""
expect enabled 1083
press 1083
expect item 1102 1 "    0.100000"
expect item 1102 2 ""
press 1093
press 1
)");
  EXPECT_RAN(outcome);
  EXPECT_EQ(s.record(1).n_time_points, 1);
}

TEST(DiscreteLoadingEditor, RemovingARangeMovesTheLaterOnesDown) {
  TempCurrentDir dir;
  auto s = model(120, 2);
  s.record(1).n_time_points = 1;
  s.time_point_table = testing_support::discrete_loading({{1.0f, {xyz_range(1, 1, 1), xyz_range(2, 2, 2), xyz_range(3, 3, 3)}}});
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
pick 1102 1
pick 1049 1
press 1082
expect item 1049 1 "2-2"
expect item 1049 2 "3-3"
expect item 1049 3 ""
pick 1049 7
press 1082
expect item 1049 2 ""
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  EXPECT_EQ(saved(s.cases, 1)[0], (testing_support::TimePoint{1.0f, {xyz_range(2, 2, 2)}}));
}

// A range without a node number (a case file may hold one) is no part of the saved loading;
// the ranges around it are, and so is a time point left without ranges.
TEST(DiscreteLoadingEditor, SaveLeavesOutRangesWithoutANodeNumber) {
  TempCurrentDir dir;
  auto s = model(120, 2);
  s.record(1).n_time_points = 2;
  s.time_point_table = testing_support::discrete_loading({{1.0f, {xyz_range(1, 1, 1), xyz_range(0, 0, 2), xyz_range(3, 3, 3)}}, {2.0f, {xyz_range(0, 4, 1)}}});
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  EXPECT_EQ(saved(s.cases, 1), (std::vector<testing_support::TimePoint>{{1.0f, {xyz_range(1, 1, 1), xyz_range(3, 3, 3)}},
                                                           {2.0f, {}}}));
}

// A SAVE is made in the room of the loading the one before it replaced (the third, in that of
// the first): nothing of that loading may remain in it.
TEST(DiscreteLoadingEditor, SavingAgainSavesTheTableAsItNowStands) {
  TempCurrentDir dir;
  auto s = model(120, 2);
  s.record(1).n_time_points = 2;
  s.time_point_table = testing_support::discrete_loading(
      {{1.0f, {xyz_range(1, 1, 1), xyz_range(2, 2, 2), xyz_range(3, 3, 3)}}, {2.0f, {xyz_range(0, 4, 4)}}});
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
press 1093
pick 1102 1
pick 1049 2
press 1082
press 1093
type 1052 "3.0"
press 1053
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  const std::vector<testing_support::TimePoint> expected{
      {1.0f, {xyz_range(1, 1, 1), xyz_range(3, 3, 3)}}, {2.0f, {}}, {3.0f, {}}};
  EXPECT_EQ(saved(s.cases, 1), expected);
  text::RecordSource source;
  ASSERT_TRUE(files::read_records("1TP.dat", source));
  EXPECT_EQ(testing_support::time_points(layouts::read_discrete_loading(source, 2)), expected);
}

TEST(DiscreteLoadingEditor, TwoDegreesOfFreedomWriteTwoRealsPerRange) {
  TempCurrentDir dir;
  auto s = model(120, 2);
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
expect disabled 1057
type 1052 "0.25"
press 1053
pick 1102 1
press 1116
expect text 1055 "0."
expect text 1056 "0."
expect text 1057 ""
type 1084 "4"
type 1085 "9"
type 1056 "-7.5"
press 1050
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  text::RecordSource source;
  ASSERT_TRUE(files::read_records("1TP.dat", source));
  ASSERT_EQ(source.size(), 3u);
  EXPECT_EQ(source.record(1), layouts::discrete_range_record(xyz_range(4, 9, 0, -7.5f), 2));
  EXPECT_EQ(testing_support::time_points(layouts::read_discrete_loading(source, 2)), saved(s.cases, 1));
}

TEST(DiscreteLoadingEditor, FullTablesRefuseAdditionsAndKeepEveryEntry) {
  TempCurrentDir dir;
  auto s = model(1, 3);
  s.max_time_points = 2;
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "2"
press 1053
type 1052 "1"
press 1053
type 1052 "3"
press 1053
expect message "ADD Message" "The list of time points is full (2 time points). The time was not added !"
type 1052 "2"
press 1053
expect no message
pick 1102 2
type 1084 "1"
type 1085 "1"
press 1050
type 1084 "01"
press 1050
expect message "ADD Message" "The list of node ranges is full (1 ranges). The range was not added !"
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  ASSERT_EQ(saved(s.cases, 1).size(), 2u);
  EXPECT_EQ(saved(s.cases, 1)[0].time, 1.0f);
  EXPECT_EQ(saved(s.cases, 1)[1], (testing_support::TimePoint{2.0f, {xyz_range(1, 1, 0)}}));
}

// "ADD to List >>" sets the items of the time points in use and nothing after them: a time the
// table holds beyond them (left there by an unsaved removal) stays as "Remove" showed it.
TEST(DiscreteLoadingEditor, AddingATimeSetsOnlyTheItemsInUse) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  s.time_point_table = testing_support::discrete_loading({{0.1f, {}}, {0.2f, {}}, {0.3f, {}}});
  s.record(1).n_time_points = 2;
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
expect item 1102 3 ""
pick 1102 1
press 1083
expect item 1102 1 "    0.200000"
expect item 1102 2 ""
expect item 1102 3 "    0.300000"
type 1052 "0.25"
press 1053
expect item 1102 1 "0.2"
expect item 1102 2 "0.25"
expect item 1102 3 "    0.300000"
press 2
)");
  EXPECT_RAN(outcome);
  EXPECT_EQ(s.record(1).n_time_points, 2);
}

// A table handed over in order is searched by halves, one out of order one by one: both put
// a new time after the times below it and find a time they hold.
TEST(DiscreteLoadingEditor, NewTimesGoAfterTheTimesBelowThemInOrderedAndUnorderedTables) {
  for (const bool ordered : {true, false}) {
    TempCurrentDir dir;
    auto s = model(120, 3);
    s.time_point_table = testing_support::discrete_loading(
        ordered ? std::vector<testing_support::TimePoint>{{0.1f, {}}, {0.2f, {}}, {0.3f, {}}}
                : std::vector<testing_support::TimePoint>{{0.3f, {}}, {0.1f, {}}, {0.2f, {}}});
    s.record(1).n_time_points = 3;
    // Out of order, 0.25 has three times below it wherever they stand.
    const std::string first = ordered ? "0.1" : "0.3", third = ordered ? "0.2" : "0.1",
                      fifth = ordered ? "0.3" : "0.2";
    auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "0.15"
press 1053
type 1052 "0.2"
press 1053
type 1052 "0.25"
press 1053
expect item 1102 1 ")" + first + R"("
expect item 1102 2 "0.15"
expect item 1102 3 ")" + third + R"("
expect item 1102 4 "0.25"
expect item 1102 5 ")" + fifth + R"("
expect item 1102 6 ""
press 2
)");
    EXPECT_RAN(outcome);
    // Closed without a SAVE: the case's count is as it was.
    EXPECT_EQ(s.record(1).n_time_points, 3) << (ordered ? "ordered" : "unordered");
  }
}

// A time refused by a full list still leaves "ADD >>" usable, as for any "ADD to List >>".
TEST(DiscreteLoadingEditor, ARefusedTimeStillEnablesAddingRanges) {
  TempCurrentDir dir;
  auto s = model(12, 3);
  s.max_time_points = 1;
  s.time_point_table = testing_support::discrete_loading({{0.5f, {}}});
  s.record(1).n_time_points = 1;
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
expect disabled 1050
type 1052 "0.7"
press 1053
expect message "ADD Message" "The list of time points is full (1 time points). The time was not added !"
expect enabled 1050
expect item 1102 1 "0.5"
press 2
)");
  EXPECT_RAN(outcome);
}

// A stopped run's TP.dat taken back fills entries 1..count of the table; an entry the file
// does not reach keeps what it holds.
TEST(DiscreteLoadingEditor, ReadingTheFileBackFillsTheTableForTheNextOpening) {
  TempCurrentDir dir;
  auto s = model(120, 3);
  write_file("2TP.dat", " 0.1\r\n 1 5 1. 2. 3.\r\n 0.2\r\n 1 5 4. 5. 6.\r\n 6 8 7. 8. 9.\r\nEND_OF_CASE2\r\n");
  testing_support::FakeToolkit toolkit;
  dialogs::Context context{toolkit, s, s.cases};
  context.cases.take_files(".");
  s.time_point_table = testing_support::discrete_loading({{}, {}, {9.0f, {}}});
  dialogs::editors::open_saved_time_points(context, 2, 3);  // one more than the file holds
  ASSERT_EQ(s.time_point_table.size(), 3u);
  EXPECT_EQ(testing_support::time_points(s.time_point_table)[0], (testing_support::TimePoint{0.1f, {xyz_range(1, 5, 1, 2, 3)}}));
  EXPECT_EQ(testing_support::time_points(s.time_point_table)[1], (testing_support::TimePoint{0.2f, {xyz_range(1, 5, 4, 5, 6), xyz_range(6, 8, 7, 8, 9)}}));
  EXPECT_EQ(s.time_point_table.times[2], 9.0f);
  // At most the count asked for.
  s.time_point_table.clear();
  dialogs::editors::open_saved_time_points(context, 2, 1);
  EXPECT_EQ(s.time_point_table.size(), 1u);
}

// The table holds what was entered: limits of 100,000 nodes and 10,000 time points allocate
// neither a range per node nor an entry per possible time point.
TEST(DiscreteLoadingEditor, MemoryFollowsTheDataNotTheLimits) {
  TempCurrentDir dir;
  auto s = model(100000, 3);
  s.max_time_points = 10000;
  auto outcome = run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "2"
press 1053
type 1052 "1"
press 1053
pick 1102 2
type 1084 "1"
type 1085 "100000"
press 1050
press 1093
press 1
)",
                     false);
  EXPECT_RAN(outcome);
  ASSERT_EQ(saved(s.cases, 1).size(), 2u);
  EXPECT_TRUE(saved(s.cases, 1)[0].ranges.empty());
  EXPECT_EQ(saved(s.cases, 1)[1].ranges.size(), 1u);
  // The editor's table keeps only the places of the points saved: no range is held twice.
  ASSERT_EQ(s.time_point_table.size(), 0u);
}

}  // namespace
