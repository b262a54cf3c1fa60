// The Loading Cases dialog driven by replay scripts through the scripted toolkit.
#include "support/discrete_points.h"
#include "dialogs/cases/loading_cases_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "loadfile/reader_parse.h"
#include "model/case_files/scratch_files.h"
#include "support/session.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;
using ui::script::ScriptError;
using ui::script::ScriptToolkit;

class LoadingCasesDialog : public ::testing::Test {
 protected:
  LoadingCasesDialog() {
    state.general().n_loading_cases = 3;
    state.general().n_nodes = 20;
    state.general().n_dof = 3;
    state.max_time_points = 100;
    state.general().length_unit = "m";
    state.dat_directory = (dir.path() / "Dat/").string();
    fs::create_directory(dir.path() / "Dat");
  }

  // Runs the dialog against `script`; a statement that fails fails the test with its line.
  void run(const std::string& script) {
    ui::script::ParseResult parsed = ui::script::parse_script(script);
    ASSERT_EQ(parsed.error_line, 0) << parsed.error;
    std::ostringstream out;
    ScriptToolkit toolkit(std::move(parsed), out);
    dialogs::Context context{toolkit, state};
    // The case files the test wrote stand for the saved sections, as in a run taken back.
    context.cases = std::move(state.cases);
    context.cases.take_files(state.case_folder);
    try {
      code = dialogs::cases::run_loading_cases_dialog(context);
      toolkit.finish();
    } catch (const ScriptError& e) {
      ADD_FAILURE() << "script line " << e.line() << ": " << e.what() << "\ntranscript:\n" << out.str();
    }
    state.cases = std::move(context.cases);
    transcript = out.str();
    file_requests = toolkit.file_requests();
  }

  TempCurrentDir dir;
  testing_support::Session state;
  int code = 0;
  std::string transcript;
  std::vector<ui::OpenFileRequest> file_requests;
};

// Selects case N and fills the form with a valid discrete case.
std::string fill_case(int n) {
  return "pick 1011 " + std::to_string(n) + R"S(
type 1106 "20"
type 1107 "0.0001"
type 1013 "0.01"
type 1014 "10"
type 1019 "-9.81"
)S";
}

TEST_F(LoadingCasesDialog, OpensWithTheFormDisabledAndEveryCaseUnprocessed) {
  run(R"S(in 102
expect items 1011 3
expect item 1011 3 "3"
expect items 1018 3
expect item 1018 1 "-"
expect item 1018 3 "-"
expect disabled 1020
expect disabled 1021
expect disabled 1131
expect disabled 1107
expect disabled 1124
expect disabled 1047
expect disabled 1086
expect disabled 1033
expect disabled 1034
expect text 1127 "New"
expect selected 1128 1
expect text 1064 "m/sec2"
expect text 1108 "m/sec3"
expect items 1124 5
expect item 1124 5 "Accelerogram: 1 direction"
expect item 1123 4 "Time History & Maximum Values"
press 1
)S");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(state.loading_cases_result, 1);
}

TEST_F(LoadingCasesDialog, NewmarkTakesTheToleranceInSecondsSquaredAndRomanianIsShown) {
  state.general().operator_code = "NEWMARK";
  state.general().new_operator = false;
  state.language = "romana";
  run("expect text 1108 \"m/sec2\"\nexpect selected 1128 2\npress 2\n");
  EXPECT_EQ(code, 2);
  EXPECT_EQ(state.cases.count(), 0) << "Cancel discards the cases";
}

TEST_F(LoadingCasesDialog, AddingACaseMarksItAndStoresItsValues) {
  run(fill_case(2) + R"S(expect text 1080 " 2"
expect enabled 1020
pick 1124 5
pick 1123 4
type 1017 "0.5"
press 1020
expect no message
expect item 1018 2 "2 +"
expect item 1018 1 "-"
pick 1011 1
expect text 1014 ""
pick 1011 2
expect text 1106 "20"
expect text 1107 "1.E-04"
expect text 1013 "1.E-02"
expect text 1014 "10."
expect text 1019 "-9.81"
expect text 1017 "0.5"
expect selected 1124 5
expect selected 1123 4
expect enabled 1086
answer yes
press 1
)S");
  EXPECT_TRUE(state.at(2).processed);
  EXPECT_FALSE(state.at(1).processed);
}

TEST_F(LoadingCasesDialog, TheFourAddChecksInTheirOrder) {
  run(R"S(pick 1011 1
press 1020
expect message "ADD Message" "Limit Number of iterations, or Tolerance NOT completed !"
type 1106 "5"
type 1107 "abc"
press 1020
expect message "ADD Message" "\"Tolerance\" holds \"abc\", which is not a number as typed (0. would be stored).\nNothing was stored: correct the field, then try again."
type 1107 ""
press 1020
expect message "ADD Message" "Limit Number of iterations, or Tolerance NOT completed !"
type 1107 "1e-3"
press 1020
expect message "ADD Message" "Time Step, or End Time NOT completed !"
type 1013 ".01"
type 1014 "2"
pick 1123 3
press 1020
expect message "ADD Message" "Printing Time NOT completed !"
expect item 1018 1 "-"
pick 1123 2
press 1020
expect no message
expect item 1018 1 "1 +"
answer yes
press 1
)S");
}

TEST_F(LoadingCasesDialog, AddChecksSpeakRomanianAfterTheLanguageIsChosen) {
  run(R"S(pick 1128 2
pick 1011 1
press 1020
expect message "ADD Message" "Numarul limita de iteratii sau Toleranta NU s-au completat !"
type 1106 "5"
type 1107 "1"
press 1020
expect message "ADD Message" "Pasul de timp sau Timpul final nu s-au completat !"
type 1013 "1"
type 1014 "1"
pick 1123 4
press 1020
expect message "ADD Message" "Timpul pentru tiparire NU s-a completat !"
answer yes
press 1
)S");
  EXPECT_EQ(state.language.str(), "Romanian            ");
}

// Only the first sixteen characters of a value are read: a longer text would be stored as
// something else, so Add refuses it.
TEST_F(LoadingCasesDialog, AValueLongerThanTheSixteenCharactersReadIsRefused) {
  run(fill_case(1) + R"S(type 1014 "   0000000000000123"
press 1020
expect message "ADD Message" "\"End Time\" holds \"   0000000000000123\", which is not a number as typed (0. would be stored; only the first 16 characters are read).\nNothing was stored: correct the field, then try again."
type 1014 "0000000000000012345"
press 1020
expect message "ADD Message" "\"End Time\" holds \"0000000000000012345\", which is not a number as typed (12. would be stored; only the first 16 characters are read).\nNothing was stored: correct the field, then try again."
expect item 1018 1 "-"
type 1014 "000000000000012."
press 1020
expect no message
pick 1011 1
expect text 1014 "12."
answer yes
press 1
)S");
}

TEST_F(LoadingCasesDialog, DampingTableUnderTheNewOperator) {
  run(R"S(pick 1011 1
expect selected 1131 1
expect disabled 1121
expect disabled 1119
expect disabled 1134
pick 1131 2
expect enabled 1121
expect enabled 1119
expect enabled 1120
expect disabled 1132
expect disabled 1134
expect text 1129 "alfa_D"
expect text 1130 "beta_D"
expect text 1133 "zeta"
pick 1131 3
expect disabled 1119
expect disabled 1120
expect enabled 1132
expect text 1129 "alfa_D"
pick 1131 4
expect enabled 1134
expect text 1129 "ro_air"
expect text 1130 "c_drag"
expect disabled 1132
pick 1131 5
expect enabled 1119
expect enabled 1132
expect enabled 1134
pick 1131 1
expect disabled 1121
expect disabled 1119
expect disabled 1132
expect enabled 1134
answer yes
press 1
)S");
  EXPECT_FALSE(state.damping().present);
  EXPECT_EQ(state.damping().type, model::DampingType::none);
}

TEST_F(LoadingCasesDialog, NiuStaysDisabledUnderNewmark) {
  state.general().new_operator = false;
  state.general().operator_code = "NEWMARK";
  run("pick 1011 1\npick 1131 2\nexpect disabled 1121\nexpect enabled 1119\nanswer yes\npress 1\n");
}

TEST_F(LoadingCasesDialog, DampingValuesAreStoredAndShownByTheirLayouts) {
  run(fill_case(1) + R"S(pick 1131 5
type 1121 "0.25"
type 1119 "1.225"
type 1120 "1.2"
type 1132 "0.02"
press 1020
pick 1011 2
pick 1011 1
expect text 1121 "0.25"
expect text 1119 "1.225"
expect text 1120 "1.2"
expect text 1132 "0.2E-01"
answer yes
press 1
)S");
  EXPECT_EQ(state.damping().type, model::DampingType::aero_structural);
  EXPECT_TRUE(state.damping().present);
  EXPECT_FLOAT_EQ(state.damping().ro_air, 1.225f);
  EXPECT_FLOAT_EQ(state.damping().zeta, 0.02f);
}

TEST_F(LoadingCasesDialog, ANewCaseShowsTheDampingOfAllCasesSoItsAddKeepsIt) {
  run(fill_case(1) + R"S(pick 1131 2
type 1121 "0.05"
type 1119 "0.1"
type 1120 "0.002"
press 1020
)S" + fill_case(2) + R"S(expect selected 1131 2
expect text 1121 "0.05"
expect text 1119 "0.1"
expect text 1120 "0.2E-02"
press 1020
answer yes
press 1
)S");
  EXPECT_EQ(state.damping().type, model::DampingType::rayleigh);
  EXPECT_FLOAT_EQ(state.damping().alfa_d, 0.1f);
  EXPECT_FLOAT_EQ(state.damping().beta_d, 0.002f);
  EXPECT_FLOAT_EQ(state.damping().niu, 0.05f);
}

TEST_F(LoadingCasesDialog, RemovingACaseMovesTheLaterCaseWithItsFiles) {
  write_file("2TP.dat", "case 2\n");
  write_file("3TPsin.dat", "case 3 sin\n");
  write_file("3InitLoad.dat", "case 3 initial loading\n");
  run(fill_case(2) + "press 1020\n" + fill_case(3) + R"S(type 1014 "30"
pick 1124 2
press 1020
pick 1011 2
pick 1018 2
expect enabled 1021
press 1021
answer no
expect message "Remove Message" "Do You really want to remove case?\n(All case data will be lost)"
expect items 1011 3
press 1021
answer yes
expect message "Remove Message" "Do You really want to remove case?\n(All case data will be lost)"
expect items 1011 2
expect items 1018 2
expect item 1018 2 "2"
expect item 1018 1 "-"
expect text 1080 ""
expect disabled 1020
pick 1011 2
expect text 1014 "30."
expect selected 1124 2
answer yes
press 1
)S");
  EXPECT_EQ(state.general().n_loading_cases, 2);
  EXPECT_EQ(read_file("2TPsin.dat"), "case 3 sin\n");
  EXPECT_EQ(read_file("2InitLoad.dat"), "case 3 initial loading\n");
  EXPECT_FALSE(fs::exists("2TP.dat"));
  EXPECT_FALSE(fs::exists("3TPsin.dat"));
  EXPECT_TRUE(state.at(2).processed);
}

// Create writes each case as the form holds it when Create is pressed: a case removed, and the
// case that took its number entered again, reach the file with the values typed last.
TEST_F(LoadingCasesDialog, ACaseRemovedThenEnteredAgainIsWrittenAsTypedLast) {
  state.max_time_points = 100;
  run(fill_case(1) + "press 1020\n" + fill_case(2) + "type 1014 \"20\"\npress 1020\n" + fill_case(3) +
      R"S(type 1014 "30"
press 1020
press 1110
file "first.inc"
press 1033
expect message "Create Message" "Created File: @WORKSPACE@/first.inc\nNo initial values in cases: 1, 2, 3\nNo loading data in cases: 1, 2, 3"
pick 1011 2
pick 1018 2
press 1021
answer yes
expect message "Remove Message" "Do You really want to remove case?\n(All case data will be lost)"
pick 1011 2
expect text 1014 "30."
type 1014 "35"
press 1020
press 1110
file "again.inc"
press 1033
press 1
)S");
  loadfile::ReadStart start;
  start.general = state.general();
  start.max_time_points = state.max_time_points;
  const loadfile::ReadResult first = loadfile::read(read_file("first.inc"), start);
  ASSERT_EQ(first.analysis.cases.size(), 3u);
  EXPECT_FLOAT_EQ(first.analysis.cases[1].record.end_time, 20.f);
  const loadfile::ReadResult again = loadfile::read(read_file("again.inc"), start);
  ASSERT_EQ(again.analysis.cases.size(), 2u);
  EXPECT_FLOAT_EQ(again.analysis.cases[0].record.end_time, 10.f);
  EXPECT_FLOAT_EQ(again.analysis.cases[1].record.end_time, 35.f);
}

TEST_F(LoadingCasesDialog, RemovingTheLastCaseSaysSoAndLeavesNothingToSelect) {
  state.general().n_loading_cases = 1;
  run(R"S(pick 1011 1
pick 1018 1
press 1021
answer yes
expect message "Remove Message" "Do You really want to remove case?\n(All case data will be lost)"
expect message "Remove Message" "Loading Case no more exist. Press CANCEL or EXIT !"
expect items 1011 0
expect items 1018 0
press 1021
expect message "Remove Message" "No Loading Case has been selected. Select a case in the \"Loading Case\" list first !"
press 2
)S");
  EXPECT_EQ(state.general().n_loading_cases, 0);
}

TEST_F(LoadingCasesDialog, ActionsOnTheCurrentCaseNeedACaseChosenInThisRun) {
  state.current_case = 2;  // left over from an earlier run
  state.old_file_loaded = true;
  state.n_loaded_cases = 3;
  for (int k = 1; k <= 3; ++k) state.loaded(k);
  run(R"S(expect enabled 1086
expect text 1127 "Old"
press 1086
expect message "Message" "No Loading Case has been selected. Select a case in the \"Loading Case\" list first !"
pick 1018 1
press 1021
expect message "Remove Message" "No Loading Case has been selected. Select a case in the \"Loading Case\" list first !"
expect items 1011 3
answer yes
press 1
)S");
  EXPECT_EQ(state.general().n_loading_cases, 3);
}

TEST_F(LoadingCasesDialog, AfterARemovalTheFormNamesNoCase) {
  run(fill_case(1) + R"S(pick 1018 1
press 1021
answer yes
pick 1122 2
expect message "Remove Message" "Do You really want to remove case?\n(All case data will be lost)"
expect message "Message" "No Loading Case has been selected. Select a case in the \"Loading Case\" list first !"
pick 1128 2
pick 1124 2
expect message "Message" "Nici un caz de incarcare nu s-a selectat. Selectati intai un caz din lista \"Loading Case\" !"
answer yes
press 1
)S");
  EXPECT_EQ(state.general().n_loading_cases, 2);
}

TEST_F(LoadingCasesDialog, OldFileCasesShowTheirLoadedValues) {
  state.old_file_loaded = true;
  state.loading_file() = "/data/old.inc";
  state.n_loaded_cases = 4;  // more than the 3 cases now asked for
  for (int k = 1; k <= 4; ++k) state.loaded(k);
  state.loaded(1).loading_type = model::LoadingType::accelerogram_1_direction;
  state.loaded(1).printing_code = model::PrintingCode::nothing;
  state.loaded(1).mass_model = model::MassModel::concentrated_and_distributed;
  state.loaded(1).iteration_limit = 7;
  run(R"S(expect text 1117 "/data/old.inc"
expect item 1018 3 "3"
pick 1011 1
expect selected 1124 5
expect selected 1123 1
expect selected 1122 3
expect text 1106 "7"
press 1
)S");
  EXPECT_TRUE(state.at(3).processed);
  EXPECT_FALSE(state.at(4).processed) << "only the cases now asked for are made";
}

class DiscreteLoadingOfALoadedCase : public LoadingCasesDialog {
 protected:
  DiscreteLoadingOfALoadedCase() {
    state.old_file_loaded = true;
    state.n_loaded_cases = 1;
    state.loaded(1).n_time_points = 2;
    write_file("1TP.dat", " 0.1\r\n 1 5 1. 2. 3.\r\n 6 8 4. 5. 6.\r\n 0.2\r\nEND_OF_CASE1\r\n");
  }
};

TEST_F(DiscreteLoadingOfALoadedCase, IsReadFromTheCaseFileBeforeTheEditorOpens) {
  run(R"S(pick 1011 1
press 1086
in 104
expect item 1102 1 "0.1"
expect item 1102 2 "0.2"
press 1
in 102
answer yes
press 1
)S");
  ASSERT_GE(state.time_point_table.size(), 2u);
  EXPECT_EQ(state.time_point_table.ranges_of(0).size(), 2u);
  EXPECT_EQ(state.time_point_table.ranges_of(1).size(), 0u);
}

TEST_F(DiscreteLoadingOfALoadedCase, IsNotReadWhenTheOldFileHeldAnotherLoadingType) {
  state.loaded(1).loading_type = model::LoadingType::sinusoidal;
  run(R"S(pick 1011 1
pick 1124 1
press 1086
in 104
expect item 1102 1 ""
press 1
in 102
answer yes
press 1
)S");
  for (const float time : state.time_point_table.times) EXPECT_EQ(time, 0);
}

TEST_F(LoadingCasesDialog, SelectCreateAndView) {
  run(fill_case(1) + R"S(press 1020
type 1014 "25"
press 1110
file "Dat/run.inc"
expect text 1127 "New"
expect enabled 1033
expect disabled 1034
press 1033
expect disabled 2
expect enabled 1034
press 1034
press 1
)S");
  ASSERT_EQ(file_requests.size(), 1u);
  const ui::OpenFileRequest& r = file_requests[0];
  EXPECT_EQ(r.title, "Select Loading File \".inc\"");
  EXPECT_EQ(r.default_extension, "inc");
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(r.filters[0].label, "Loading files (*.inc)");
  EXPECT_EQ(r.filters[1].pattern, "*.*");
  EXPECT_EQ(r.initial_folder, (dir.path() / "Dat/").string());
  const std::string path = (dir.path() / "Dat" / "run.inc").lexically_normal().string();
  EXPECT_EQ(state.loading_file().trimmed(), path);
  EXPECT_NE(transcript.find("view \"" + path + "\"\n"), std::string::npos) << transcript;
}

// Create replaces the file Select named: a name that would be stored as another file's (a
// trailing blank dropped) or that would split the end record (a line feed) is refused.
TEST_F(LoadingCasesDialog, SelectTakesTheNameAsChosenOrRefusesIt) {
  write_file("Dat/keep.inc", "the user's own file\r\n");
  run(fill_case(1) + R"S(press 1020
press 1110
file "Dat/keep.inc "
expect message "Message" "ERROR: the Loading File is not taken: the path ends with a blank, which the program cannot keep: it would name another file:\n\"@WORKSPACE@/Dat/keep.inc \""
expect disabled 1033
press 1110
file "new\nline.inc"
expect disabled 1033
press 1
answer yes
)S");
  EXPECT_EQ(read_file(dir.path() / "Dat/keep.inc"), "the user's own file\r\n");
  EXPECT_EQ(state.loading_file().trimmed(), "");
  EXPECT_NE(transcript.find("control character"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("new\\\\nline.inc"), std::string::npos) << transcript;
}

// A value beyond the range of a 32-bit real would be stored at the largest magnitude, not as
// typed; an infinity would reach the file as a word the solver cannot read.
TEST_F(LoadingCasesDialog, ValuesBeyondTheRangeOfARealAreRefused) {
  run(fill_case(1) + R"S(type 1013 "1e39"
press 1020
expect message "ADD Message" "\"Time Step\" holds \"1e39\", which is beyond the range of the numbers stored (0.3402823E+39 would be stored).\nNothing was stored: correct the field, then try again."
type 1013 "0.01"
type 1019 "-1e39"
press 1020
expect message "ADD Message" "\"Gravity Acceleration (Projection on vertical axis)\" holds \"-1e39\", which is beyond the range of the numbers stored (-0.3402823E+39 would be stored).\nNothing was stored: correct the field, then try again."
expect item 1018 1 "-"
type 1019 "-9.81"
press 1020
expect no message
expect item 1018 1 "1 +"
answer yes
press 1
)S");
}

TEST_F(LoadingCasesDialog, CreateStoresTheFormOfTheCurrentCaseFirst) {
  run(fill_case(1) + R"S(press 1020
type 1014 "25"
pick 1131 3
type 1132 "0.05"
press 1110
file "out.inc"
press 1033
press 1
)S");
  // The form reached the state without "Add": the damping block shows it.
  EXPECT_EQ(state.damping().type, model::DampingType::structural);
  EXPECT_FLOAT_EQ(state.damping().zeta, 0.05f);
}

}  // namespace

namespace {

// The loading file's path is kept whole up to its limit and refused one byte beyond it, where
// it would be cut to another file's name when stored or written.
TEST_F(LoadingCasesDialog, SelectTakesAPathUpToItsLimitAndRefusesALongerOne) {
  const std::string folder = (dir.path() / "Dat/").string();
  const std::string longest = folder + std::string(model::max_path_bytes - folder.size() - 4, 'a') + ".inc";
  const std::string longer = folder + std::string(model::max_path_bytes - folder.size() - 3, 'b') + ".inc";
  ASSERT_EQ(longest.size(), model::max_path_bytes);
  run("in 102\npress 1110\nfile \"" + longer + "\"\n" +
      "expect message \"Message\" \"ERROR: the path of the loading file is longer than 255 bytes: " + longer + "\"\n" +
      "expect disabled 1033\npress 1110\nfile \"" + longest + "\"\nexpect enabled 1033\n" +
      "expect text 1117 \"" + longest + "\"\npress 2\n");
  EXPECT_EQ(state.loading_file().trimmed(), longest);
}

}  // namespace
