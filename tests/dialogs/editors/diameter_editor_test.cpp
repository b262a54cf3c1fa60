// The Element Diameters dialog driven as a user drives it, and the table the writer reads.
#include <gtest/gtest.h>

#include "support/session.h"
#include "dialogs/editors/editors.h"
#include "editor_script_run.h"
#include "model/diameter_table.h"

namespace {

using model::DiameterGroup;
using editor_tests::failure;
using editor_tests::run_editor;

testing_support::Session model(int n_elements) {
  testing_support::Session s;
  s.general().n_elements = n_elements;
  s.general().length_unit = "mm";
  return s;
}

editor_tests::EditorRun run(testing_support::Session& s, const std::string& script) {
  return run_editor(s, script, dialogs::editors::open_diameters_editor);
}

TEST(DiameterTable, CountsItsGroupsAndAGroupBeyondItIsEmpty) {
  testing_support::Session s = model(40);
  EXPECT_EQ(s.damping().n_diameter_groups(), 0);
  s.damping().diameters = {DiameterGroup{1, 5, 0.2f}};
  EXPECT_EQ(s.damping().n_diameter_groups(), 1);
  EXPECT_EQ(model::diameter_group(s.damping().diameters, 1), (DiameterGroup{1, 5, 0.2f}));
  EXPECT_EQ(model::diameter_group(s.damping().diameters, 2), DiameterGroup{});
  EXPECT_EQ(model::diameter_group_text(s.damping().diameters[0]), "1-5");
}

TEST(DiameterEditor, ToBelowFromIsRefusedInTheLanguageOfTheMoment) {
  testing_support::Session s = model(40);
  const auto r = run(s, R"(
    in 110
    expect text 1141 "mm"
    expect items 1139 40
    expect disabled 1138
    expect disabled 1140
    type 1135 "10"
    type 1136 "5"
    type 1137 "0.3"
    expect enabled 1138
    press 1138
    expect message "Message" "\"To\" MUST be >=\"From\" !"
    expect item 1139 1 ""
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().n_diameter_groups(), 0);

  s.language = "Romanian";
  const auto ro = run(s, R"(
    type 1135 "10"
    type 1136 "5"
    type 1137 "0.3"
    press 1138
    expect message "Message" "\"To\" TREBUIE sa fie >=\"From\" !"
    press 1
  )");
  EXPECT_EQ(failure(ro), "");
}

TEST(DiameterEditor, AddGroupNeedsPositiveElementsAndANonZeroDiameter) {
  testing_support::Session s = model(40);
  const auto r = run(s, R"(
    type 1135 "1"
    type 1136 "25"
    type 1137 "0"
    expect disabled 1138
    type 1137 "abc"
    expect disabled 1138
    type 1137 "-0.2"
    expect enabled 1138
    type 1135 "0"
    expect disabled 1138
    press 2
  )");
  EXPECT_EQ(failure(r), "");
}

// An element beyond the model would give the solver an element it does not have (element 0
// never gets as far: ADD stays disabled).
TEST(DiameterEditor, ElementsOutsideTheModelAreRefusedNamingTheLimit) {
  testing_support::Session s = model(40);
  const auto r = run(s, R"(
    in 110
    type 1135 "38"
    type 1136 "41"
    type 1137 "0.3"
    press 1138
    expect message "ADD Message" "Element numbers MUST be from 1 to 40 (the No. of Elements) !"
    expect item 1139 1 ""
    type 1135 "0"
    expect disabled 1138
    press 2
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().n_diameter_groups(), 0);
}

TEST(DiameterEditor, SameGroupTextReplacesTheDiameter) {
  testing_support::Session s = model(40);
  const auto r = run(s, R"(
    type 1135 "1"
    type 1136 "25"
    type 1137 "0.3"
    press 1138
    type 1137 "0.4"
    press 1138
    expect item 1139 1 "1-25"
    expect item 1139 2 ""
    type 1135 "01"
    press 1138
    expect item 1139 2 "1-25"
    press 1142
    expect disabled 2
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().n_diameter_groups(), 2);
  // The typed texts are compared as typed: "01" is another group.
  EXPECT_EQ(s.damping().diameters,
            (std::vector<DiameterGroup>{{1, 25, 0.4f}, {1, 25, 0.4f}}));
}

TEST(DiameterEditor, SelectionShowsTheGroupAndTheDiameterBy1PG143) {
  testing_support::Session s = model(40);
  s.old_file_loaded = true;
  s.damping().diameters = {{1, 25, 0.4f}, {26, 40, 12346.0f}};
  const auto r = run(s, R"(
    expect item 1139 2 "26-40"
    pick 1139 1
    expect text 1135 "1"
    expect text 1136 "25"
    expect text 1137 "0.400"
    expect enabled 1140
    pick 1139 2
    expect text 1135 "26"
    expect text 1136 "40"
    expect text 1137 "1.235E+04"
    pick 1139 3
    expect text 1135 ""
    expect text 1136 ""
    press 1
  )");
  EXPECT_EQ(failure(r), "");
}

TEST(DiameterEditor, DoneAsksOnlyAfterAChangeAndYesSavesAndCloses) {
  testing_support::Session s = model(40);
  auto r = run(s, "press 1\n");
  EXPECT_EQ(failure(r), "");
  EXPECT_EQ(r.transcript, "");

  r = run(s, R"(
    type 1135 "1"
    type 1136 "2"
    type 1137 "3"
    press 1138
    answer yes
    press 1
  )");
  EXPECT_EQ(failure(r), "");
  EXPECT_EQ(r.transcript,
            "message \"Diameter Message\" \"Changes Not Saved !\\nWould You Like to Save Changes ?\"\n");
  EXPECT_EQ(s.damping().diameters, (std::vector<DiameterGroup>{{1, 2, 3.0f}}));

  s.language = "Romanian";
  r = run(s, R"(
    pick 1139 1
    press 1140
    press 1
    answer no
  )");
  EXPECT_EQ(failure(r), "");
  EXPECT_EQ(r.transcript, "message \"Diameter Message\" \"Modificarile nu au fost salvate !\\nVreti sa "
                          "salvati modificarile ?\"\n");
  EXPECT_EQ(s.damping().diameters, (std::vector<DiameterGroup>{{1, 2, 3.0f}}));
  EXPECT_EQ(s.damping().n_diameter_groups(), 1);
}

TEST(DiameterEditor, LeavingWithoutSavingKeepsTheTableAndItsCount) {
  testing_support::Session s = model(40);
  s.damping().diameters = {{1, 25, 0.4f}, {26, 40, 0.5f}};
  // Groups entered earlier in this run show although no old file was loaded.
  const auto r = run(s, R"(
    expect item 1139 1 "1-25"
    expect item 1139 2 "26-40"
    pick 1139 9
    press 1140
    expect item 1139 1 "1-25"
    expect item 1139 2 ""
    type 1135 "30"
    type 1136 "30"
    type 1137 "1"
    press 1138
    expect item 1139 2 "30-30"
    press 2
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().n_diameter_groups(), 2);
  EXPECT_EQ(s.damping().diameters, (std::vector<DiameterGroup>{{1, 25, 0.4f}, {26, 40, 0.5f}}));
}

TEST(DiameterEditor, FullTableRefusesANewGroupAndKeepsEveryGroup) {
  testing_support::Session s = model(2);
  const auto r = run(s, R"(
    type 1135 "1"
    type 1136 "1"
    type 1137 "0.1"
    press 1138
    type 1136 "2"
    press 1138
    type 1135 "2"
    press 1138
    expect message "Message" "No more Element Groups: the table already has 2 groups (the No. of Elements) !"
    type 1135 "1"
    type 1137 "0.7"
    press 1138
    expect no message
    press 1142
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().diameters, (std::vector<DiameterGroup>{{1, 1, 0.1f}, {1, 2, 0.7f}}));
}

TEST(DiameterEditor, RemoveMovesLaterGroupsDown) {
  testing_support::Session s = model(10);
  s.damping().diameters = {{1, 3, 1}, {4, 6, 2}, {7, 10, 3}};
  const auto r = run(s, R"(
    pick 1139 1
    press 1140
    expect item 1139 1 "4-6"
    expect item 1139 2 "7-10"
    expect item 1139 3 ""
    press 1142
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.damping().n_diameter_groups(), 2);
  EXPECT_EQ(s.damping().diameters, (std::vector<DiameterGroup>{{4, 6, 2}, {7, 10, 3}}));
}

}  // namespace
