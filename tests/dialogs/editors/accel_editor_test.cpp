// The Discrete Accelerogram dialog driven as a user drives it, through the scripted toolkit.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/editors/editors.h"
#include "editor_script_run.h"
#include "support/temp_dir.h"
#include "text/fixed_text.h"

namespace {

using editor_tests::failure;
using editor_tests::run_editor;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

std::string field(std::string_view s) { return text::padded(s, 16); }

// One case of the given loading type, selected in the Loading Cases dialog of this run.
testing_support::Session one_case(model::LoadingType loading_type, int n_dof = 3) {
  testing_support::Session s;
  s.general().n_dof = n_dof;
  s.max_time_points = 100;
  s.general().length_unit = "m";
  s.general().n_loading_cases = 1;
  s.current_case = 1;
  s.cases.set_count(1);
  s.record(1).loading_type = loading_type;
  s.loaded(1);
  s.at(1).processed = true;
  return s;
}

editor_tests::EditorRun run(testing_support::Session& s, const std::string& script) {
  return run_editor(s, script, dialogs::editors::open_accelerogram_editor);
}

TEST(AccelEditor, OneDirectionOpensWithOnlyItsFieldAndSavesTheUntidiedComponent) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction);
  s.accel_direction() = model::AccelDirection::y;
  const auto r = run(s, R"(
    in 106
    expect selected 1145 2
    expect enabled 1146
    expect selected 1146 2
    expect disabled 1097
    expect enabled 1096
    expect disabled 1095
    expect disabled 1099
    expect text 1094 "m/sec2"
    expect items 1054 0
    type 1100 "0.1"
    type 1096 "2.5"
    press 1098
    expect items 1054 1
    expect item 1054 1 "0.1"
    expect enabled 2
    press 1101
    expect disabled 2
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(read_file("1TPacc.dat"), " 0.1               2.500000      \r\nEND_OF_CASE1\r\n");
  EXPECT_TRUE(s.at(1).loading_saved);
  EXPECT_EQ(s.record(1).n_time_points, 1);
  ASSERT_EQ(s.accel_table.size(), 1u);
  EXPECT_EQ(s.accel_table[0].acceleration[1], 2.5f);
}

TEST(AccelEditor, ThreeDirectionsTakeEveryComponentAndSaveThemTidied) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions);
  s.accel_direction() = model::AccelDirection::y;  // left over from a one-direction case
  const auto r = run(s, R"(
    expect selected 1145 1
    expect disabled 1146
    expect enabled 1097
    expect enabled 1096
    expect enabled 1095
    type 1100 "0.25"
    type 1097 "1"
    type 1096 "-0.5"
    type 1095 "12345678"
    press 1098
    press 1101
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(read_file("1TPacc.dat"), " " + field("0.25") + field("1.") + field("-0.5") +
                                         field("0.1234568E+08") + "\r\nEND_OF_CASE1\r\n");
  EXPECT_EQ(s.record(1).loading_type, model::LoadingType::accelerogram_3_directions);
}

TEST(AccelEditor, TwoDegreesOfFreedomOfferXAndYOnly) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction, 2);
  const auto r = run(s, R"(
    expect items 1146 2
    expect item 1146 2 "Y"
    expect selected 1146 0
    expect disabled 1095
    pick 1146 1
    expect enabled 1097
    expect disabled 1096
    expect disabled 1095
    pick 1145 1
    expect disabled 1146
    expect enabled 1096
    expect disabled 1095
    press 2
  )");
  EXPECT_EQ(failure(r), "");
  EXPECT_EQ(s.accel_direction(), model::AccelDirection::x);
  EXPECT_EQ(s.record(1).loading_type, model::LoadingType::accelerogram_3_directions);  // "KOD" applies at once, even on Cancel
}

TEST(AccelEditor, AddInsertsInTimeOrderAndReplacesAtEqualTime) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions);
  const auto r = run(s, R"(
    type 1100 "0.1"
    type 1097 "1"
    press 1098
    type 1100 "0.3"
    type 1097 "3"
    press 1098
    type 1100 "0.2"
    type 1097 "2"
    press 1098
    expect items 1054 3
    expect item 1054 1 "0.1"
    expect item 1054 2 "0.2"
    expect item 1054 3 "0.3"
    type 1100 "0.3"
    type 1097 "33"
    press 1098
    expect items 1054 3
    expect item 1054 3 "0.3"
    type 1097 ""
    pick 1054 3
    expect text 1100 "0.3"
    expect text 1097 "33."
    expect enabled 1099
    answer yes
    press 1
  )");
  EXPECT_EQ(failure(r), "");
  EXPECT_EQ(s.record(1).n_time_points, 0);  // nothing saved: the count stays with the file
}

TEST(AccelEditor, RemoveKeepsTheListLengthAndBlanksTheOldLastItem) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction);
  s.accel_direction() = model::AccelDirection::x;
  const auto r = run(s, R"(
    type 1100 "0.5"
    type 1097 "4"
    press 1098
    pick 1054 1
    press 1099
    expect items 1054 1
    expect item 1054 1 ""
    expect enabled 1099
    press 1099
    press 1101
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.record(1).n_time_points, 0);
  EXPECT_EQ(read_file("1TPacc.dat"), "END_OF_CASE1\r\n");
}

TEST(AccelEditor, SavedPointsAreReadBackAndTimeZeroShowsEmptyUntilARefresh) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction);
  s.accel_direction() = model::AccelDirection::z;
  s.record(1).n_time_points = 2;
  s.at(1).loading_saved = true;
  write_file("1TPacc.dat", " 0.                0.000000      \r\n 0.5  -1.25\r\nEND_OF_CASE1\r\n");
  const auto r = run(s, R"(
    expect items 1054 2
    expect item 1054 1 ""
    expect item 1054 2 "0.5"
    pick 1054 2
    expect text 1100 "0.5"
    expect text 1095 "-1.25"
    type 1100 "0.75"
    press 1098
    expect item 1054 1 "0."
    expect item 1054 3 "0.75"
    answer yes
    press 1
  )");
  EXPECT_EQ(failure(r), "");
}

TEST(AccelEditor, ExistingDataIsReadOnlyForTheSameLoadedType) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions);
  s.n_loaded_cases = 1;
  s.loaded(1).loading_type = model::LoadingType::accelerogram_1_direction;  // the type was changed after loading
  s.record(1).n_time_points = 1;
  s.accel_table_exists = true;
  s.accel_table = {model::AccelPoint{0.7f, {1, 2, 3}}};
  write_file("1TPacc.dat", " 0.2 9 9 9\r\nEND_OF_CASE1\r\n");
  auto r = run(s, "expect item 1054 1 \"0.7\"\npress 1\n");
  EXPECT_EQ(failure(r), "");

  s.loaded(1).loading_type = model::LoadingType::accelerogram_3_directions;
  r = run(s, "expect item 1054 1 \"0.2\"\npress 1\n");
  EXPECT_EQ(failure(r), "");

  // Opening reads nothing and leaves no file behind: only SAVE writes the case's journal.
  std::filesystem::remove("1TPacc.dat");
  r = run(s, "press 1\n");
  EXPECT_EQ(failure(r), "");
  EXPECT_FALSE(std::filesystem::exists("1TPacc.dat"));
}

TEST(AccelEditor, DoneWithoutSavingKeepsTheChosenCodeButNotTheUnsavedCount) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions);
  // The code is the case's at once: it is committed, and so journaled, when it is picked.
  int journaled = 0;
  s.cases.set_journal([&] { ++journaled; });
  const auto r = run(s, R"(
    pick 1145 2
    expect enabled 1146
    type 1100 "1"
    press 1098
    answer yes
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.record(1).loading_type, model::LoadingType::accelerogram_1_direction);
  EXPECT_EQ(journaled, 1);
  EXPECT_EQ(s.record(1).n_time_points, 0);
  EXPECT_FALSE(s.at(1).loading_saved);
  EXPECT_FALSE(std::filesystem::exists("1TPacc.dat"));
}

TEST(AccelEditor, OneDirectionWithoutDirectionIsNotSaved) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction);
  s.language = "Romanian";
  const auto r = run(s, R"(
    expect selected 1146 0
    type 1100 "1"
    press 1098
    press 1101
    expect message "SAVE Message" "Directia NU s-a selectat !\nSelectati X, Y sau Z in \"Direction\", apoi salvati."
    expect enabled 2
    pick 1146 2
    press 1101
    expect disabled 2
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(s.accel_direction(), model::AccelDirection::y);
  EXPECT_EQ(read_file("1TPacc.dat"), " 1.                0.000000      \r\nEND_OF_CASE1\r\n");
}

TEST(AccelEditor, FullAccelerogramRefusesANewTimeAndKeepsEveryPoint) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions, 2);
  s.max_time_points = 2;
  const auto r = run(s, R"(
    type 1100 "1"
    press 1098
    type 1100 "2"
    press 1098
    type 1100 "1.5"
    press 1098
    expect message "ADD Message" "No more Time Points: the Accelerogram already has the Maximum No. of Time Points (2) !"
    expect items 1054 2
    expect item 1054 2 "2."
    type 1100 "2"
    type 1097 "5"
    press 1098
    expect no message
    press 1101
    press 1
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_EQ(read_file("1TPacc.dat"),
            " " + field("1.") + field("0.") + field("0.") + "\r\n " + field("2.") + field("5.") +
                field("0.") + "\r\nEND_OF_CASE1\r\n");
}

TEST(AccelEditor, FailedSaveNamesTheFileAndKeepsTheStateAsItWas) {
  TempCurrentDir dir;
  std::filesystem::create_directory("1TPacc.dat");  // a folder where the file should go
  testing_support::Session s = one_case(model::LoadingType::accelerogram_3_directions);
  const auto r = run(s, R"(
    type 1100 "1"
    press 1098
    press 1101
    expect enabled 2
    press 2
  )");
  ASSERT_EQ(failure(r), "");
  EXPECT_NE(r.transcript.find("message \"SAVE Message\" \"Cannot write file "), std::string::npos);
  EXPECT_NE(r.transcript.find("1TPacc.dat: "), std::string::npos);
  EXPECT_FALSE(s.at(1).loading_saved);
  EXPECT_TRUE(s.accel_table.empty());
}

}  // namespace

namespace {

// "Apply factor" multiplies the Scale factor typed before the spectrum: the spectrum of the
// record scaled by 2 is twice that of the record (an exact scaling), so its fit factor is half,
// and the field ends with the factor the record needs, as when nothing was typed.
TEST(AccelEditor, ApplyFactorMultipliesTheTypedScale) {
  TempCurrentDir dir;
  testing_support::Session s = one_case(model::LoadingType::accelerogram_1_direction);
  s.accel_direction() = model::AccelDirection::x;
  const std::string site = std::string(BRANTEL_SOURCE_DIR) + "/tests/scenarios/editors_accel_spectrum_scaled/setup/Dat/site.csv";
  for (const char* typed : {"1", "2", "0.5"}) {
    const auto r = run(s, std::string("in 106\npick 1146 1\npress 1150\nin 111\nfile \"") + site +
                              "\"\npress 1202\nin 111\npick 1204 3\ntype 1209 \"" + typed +
                              "\"\npress 1218\nin 112\npick 1303 2\npress 1313\nin 111\n"
                              "expect text 1209 \"1.29211269\"\npress 2\nin 106\nanswer yes\npress 1\n");
    EXPECT_EQ(failure(r), "") << "typed " << typed << "\n" << r.transcript;
  }
}

}  // namespace
