// The General Data dialog driven by the scripted toolkit, checking what the screen cannot
// show: the committed program state after each kind of action.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "support/session.h"
#include "dialogs/context.h"
#include "dialogs/general/general_data_dialog.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempCurrentDir;
using testing_support::write_file;
using ui::script::ScriptError;
using ui::script::ScriptToolkit;
using ui::script::ShownMessage;

const std::string good_model =
    "// model\nFRAME\n12 15 3 2 1 1\n1 1 1 1 1\nCOORDINATES\n1 0. 0. 0.\nUNITS\nm\nsec\nkN\n";

struct DialogRun {
  testing_support::Session state;
  std::vector<ShownMessage> messages;
  std::string error;  // a failed expectation of the script
};

DialogRun run_dialog(testing_support::Session state, const std::string& script) {
  DialogRun run;
  std::ostringstream transcript;
  ScriptToolkit toolkit(ui::script::parse_script(script), transcript);
  {
    testing_support::SessionContext lent(toolkit, state);
    try {
      dialogs::general::run_general_data_dialog(lent.context);
      toolkit.finish();
    } catch (const ScriptError& e) {
      run.error = "line " + std::to_string(e.line()) + ": " + e.what();
    }
  }
  run.state = state;
  run.messages = toolkit.messages();
  return run;
}

testing_support::Session fresh_state(const fs::path& folder) {
  testing_support::Session s;
  s.current_directory = folder.string();
  s.dat_directory = folder.string() + "/";
  s.max_time_points = 100;
  return s;
}

TEST(GeneralDataDialog, AGeometryFileThatCannotBeReadChangesNothing) {
  TempCurrentDir dir;
  write_file(dir.path() / "good.dat", good_model);
  write_file(dir.path() / "empty.dat", "");
  write_file(dir.path() / "count.dat", "T\n12 15 x 2 1 1\n");
  write_file(dir.path() / "zero.dat", "T\n12 15 0 2 1 1\n");
  write_file(dir.path() / "short.dat", "T\n12 15 3 2 1 1\n1 1 1 1 1\nH\n1 0. 0. 0.\nH\nm\n");
  fs::create_directory(dir.path() / "folder.dat");
  const std::string good = (dir.path() / "good.dat").string();

  std::string script = "press 1109\nfile \"good.dat\"\ntype 1006 \"4\"\npress 1079\n";
  for (const char* bad : {"missing.dat", "empty.dat", "count.dat", "zero.dat", "short.dat", "folder.dat"})
    script += std::string("press 1109\nfile \"") + bad + "\"\n" + "expect text 1003 \"" + good +
              "\"\nexpect text 1035 \"12\"\nexpect text 1036 \"3\"\nexpect text 1006 \"4\"\n";
  script += "press 2\n";
  const DialogRun run = run_dialog(fresh_state(dir.path()), script);

  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.state.general().geometry_file.trimmed(), good);
  EXPECT_EQ(run.state.general().n_nodes, 12);
  EXPECT_EQ(run.state.general().n_elements, 15);
  EXPECT_EQ(run.state.general().n_dof, 3);
  EXPECT_EQ(run.state.general().n_loading_cases, 4);
  EXPECT_EQ(run.state.general().force_unit.trimmed(), "kN");
  ASSERT_EQ(run.messages.size(), 6u);
  for (const ShownMessage& m : run.messages) {
    EXPECT_EQ(m.title, "Message");
    EXPECT_EQ(m.icon, ui::Icon::error);
    EXPECT_TRUE(m.text.starts_with("ERROR: Geometry file not read: ")) << m.text;
  }
  EXPECT_NE(run.messages[0].text.find("missing.dat"), std::string::npos);
  EXPECT_NE(run.messages[2].text.find("line 2"), std::string::npos);
}

TEST(GeneralDataDialog, GeometryProblemsInRomanian) {
  TempCurrentDir dir;
  write_file(dir.path() / "empty.dat", "");
  testing_support::Session state = fresh_state(dir.path());
  state.language = "romanian";
  const DialogRun run = run_dialog(state, "press 1109\nfile \"empty.dat\"\npress 2\n");
  ASSERT_EQ(run.error, "");
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].text, "EROARE: Fisierul de geometrie nu a fost citit: fisierul este gol.\n" +
                                      (dir.path() / "empty.dat").string());
}

TEST(GeneralDataDialog, SaveCommitsTheWorkingCopyAndOkWithoutSavingDoesNot) {
  TempCurrentDir dir;
  write_file(dir.path() / "good.dat", good_model);
  const DialogRun run = run_dialog(fresh_state(dir.path()),
                             "press 1109\nfile \"good.dat\"\npick 1125 2\npick 1126 2\n"
                             "type 1008 \"5.5\"\ntype 1009 \"1.75\"\ntype 1006 \"7\"\npress 1079\n"
                             "type 1006 \"9\"\npress 1\nanswer no\n");
  ASSERT_EQ(run.error, "");
  const testing_support::Session& s = run.state;
  EXPECT_EQ(s.general_data_result, 1);
  EXPECT_EQ(s.general().n_loading_cases, 7);
  EXPECT_EQ(s.general().operator_code.trimmed(), "NEWMARK");
  EXPECT_FALSE(s.general().new_operator);
  EXPECT_FALSE(s.general().standard_coefficients);
  EXPECT_EQ(s.general().beta.trimmed(), "5.5");
  EXPECT_EQ(s.general().gamma.trimmed(), "1.75");
  EXPECT_TRUE(s.general().delta.blank());
  EXPECT_TRUE(s.general().teta2.blank());
  EXPECT_TRUE(s.general_data_changed);
  EXPECT_FALSE(s.general_data_saved);
}

// Only a whole number from 1 to 99 is taken: a sign, letters or a third digit would otherwise be
// dropped by the two-character reading, or turned into the =0 message.
TEST(GeneralDataDialog, ANumberOfCasesThatIsNotAWholeNumberTo99HasItsOwnMessage) {
  TempCurrentDir dir;
  write_file(dir.path() / "good.dat", good_model);
  for (const char* typed : {"-5", "123", "4x", "x"}) {
    const DialogRun run = run_dialog(
        fresh_state(dir.path()),
        "press 1109\nfile \"good.dat\"\ntype 1006 \"" + std::string(typed) + "\"\npress 1079\n" +
            "expect message \"SAVE Message\" \"ERROR: No. of Loading cases must be a whole number from 1 to 99, "
            "not \\\"" + typed + "\\\" !\"\nexpect disabled 1\npress 2\n");
    ASSERT_EQ(run.error, "") << typed;
    EXPECT_EQ(run.state.general().n_loading_cases, 0);
    EXPECT_FALSE(run.state.general_data_saved);
  }
}

// The geometry path goes into a record of the loading file and the loading file's path is the
// one Create replaces: each is taken as chosen or refused, never cut or split.
TEST(GeneralDataDialog, PathsThatCannotBeKeptAsChosenAreRefused) {
  TempCurrentDir dir;
  for (const char* name : {"good.dat", "good.dat ", "line\nbreak.dat"}) write_file(dir.path() / name, good_model);
  testing_support::Session state = fresh_state(dir.path());
  state.loading_file() = "/projects/bridge/Dat/bridge.inc";
  const DialogRun run = run_dialog(state,
                                   "press 1109\nfile \"good.dat \"\n"
                                   "press 1109\nfile \"line\\nbreak.dat\"\n"
                                   "press 1109\nfile \"good.dat\"\n"
                                   "press 1111\nfile \"keep.inc \"\npress 1111\nfile \"a\tb.inc\"\npress 2\n");
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.state.general().geometry_file.trimmed(), (dir.path() / "good.dat").string());
  EXPECT_EQ(run.state.loading_file().trimmed(), "/projects/bridge/Dat/bridge.inc");
  ASSERT_EQ(run.messages.size(), 4u);
  EXPECT_EQ(run.messages[0].text,
            "ERROR: Geometry file not read: the path ends with a blank, which the program cannot keep: it "
            "would name another file.\n\"" + (dir.path() / "good.dat ").string() + "\"");
  EXPECT_NE(run.messages[1].text.find("control character"), std::string::npos) << run.messages[1].text;
  EXPECT_NE(run.messages[1].text.find("line\\nbreak.dat\""), std::string::npos) << run.messages[1].text;
  EXPECT_TRUE(run.messages[2].text.starts_with("ERROR: Loading file not read: the path ends with a blank"))
      << run.messages[2].text;
  EXPECT_NE(run.messages[3].text.find("a\\tb.inc"), std::string::npos) << run.messages[3].text;
}

TEST(GeneralDataDialog, ALoadingFileThatCannotBeReadKeepsThePreviousName) {
  TempCurrentDir dir;
  write_file(dir.path() / "good.dat", good_model);
  testing_support::Session state = fresh_state(dir.path());
  state.loading_file() = "/projects/bridge/Dat/bridge.inc";
  const DialogRun run = run_dialog(state, "press 1109\nfile \"good.dat\"\npress 1111\nfile \"missing.inc\"\n"
                                    "press 2\n");
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.state.loading_file().trimmed(), "/projects/bridge/Dat/bridge.inc");
  EXPECT_FALSE(run.state.old_file_loaded);
  EXPECT_FALSE(run.messages.empty());
}

TEST(GeneralDataDialog, ALoadingFileBrokenPartWayWaitsForASaveOfWhatIsShown) {
  TempCurrentDir dir;
  write_file(dir.path() / "good.dat", good_model);
  write_file(dir.path() / "broken.inc", "// old\r\nACH\r\n6*0.\r\n3\r\nx\r\n");
  const DialogRun run = run_dialog(fresh_state(dir.path()),
                                   "press 1109\nfile \"good.dat\"\ntype 1006 \"2\"\npress 1079\n"
                                   "expect enabled 1\npress 1111\nfile \"broken.inc\"\n"
                                   "expect disabled 1\nexpect text 1006 \"2\"\npress 1079\n"
                                   "expect enabled 1\npress 2\n");
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.state.general().n_loading_cases, 2);
  EXPECT_FALSE(run.state.old_file_loaded);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_NE(run.messages[0].text.find("broken.inc"), std::string::npos);
}

TEST(GeneralDataDialog, EntryResetsTheOperatorUnlessBackFromLoadingCases) {
  TempCurrentDir dir;
  testing_support::Session state = fresh_state(dir.path());
  state.general().operator_code = "NEWMARK";
  state.general().standard_coefficients = false;
  state.general().beta = "5.";
  state.general().gamma = "1.5";
  state.old_file_loaded = true;
  state.n_loaded_cases = 3;
  const DialogRun fresh = run_dialog(state, "expect selected 1125 1\nexpect selected 1126 1\n"
                                      "expect text 1008 \"6.\"\nexpect text 1013 \"2.\"\n"
                                      "expect disabled 1008\npress 2\n");
  EXPECT_EQ(fresh.error, "");
  EXPECT_FALSE(fresh.state.old_file_loaded);
  EXPECT_EQ(fresh.state.n_loaded_cases, 0);
  EXPECT_TRUE(fresh.state.general().new_operator);

  state.loading_cases_result = 2;
  const DialogRun back = run_dialog(state, "expect selected 1125 2\nexpect selected 1126 2\n"
                                     "expect text 1008 \"5.\"\nexpect text 1009 \"1.5\"\n"
                                     "expect text 1010 \"\"\nexpect enabled 1008\npress 2\n");
  EXPECT_EQ(back.error, "");
  EXPECT_TRUE(back.state.old_file_loaded);
  EXPECT_FALSE(back.state.general().new_operator);

  // A code from an old file that starts with "C" is the New Operator.
  state.general().operator_code = "CH";
  const DialogRun loaded = run_dialog(state, "expect selected 1125 1\nexpect text 1010 \"\"\npress 2\n");
  EXPECT_EQ(loaded.error, "");
  EXPECT_TRUE(loaded.state.general().new_operator);
}

TEST(GeneralDataDialog, EntryDeletesTheScratchFilesButTheInitialLoadings) {
  TempCurrentDir dir;
  for (const char* name : {"1init.dat", "2TP.dat", "3TPacc.dat", "4TPsin.dat", "5TPexp.dat",
                           "12init.dat", "99TP.dat", "1InitLoad.dat", "12InitLoad.dat",
                           "123init.dat", "ab.dat", "model.dat"})
    write_file(dir.path() / name, "x\n");
  const DialogRun run = run_dialog(fresh_state(dir.path()), "press 2\n");
  ASSERT_EQ(run.error, "");
  for (const char* gone : {"1init.dat", "2TP.dat", "3TPacc.dat", "4TPsin.dat", "5TPexp.dat",
                           "12init.dat", "99TP.dat"})
    EXPECT_FALSE(fs::exists(dir.path() / gone)) << gone;
  for (const char* kept : {"1InitLoad.dat", "12InitLoad.dat", "123init.dat", "ab.dat", "model.dat"})
    EXPECT_TRUE(fs::exists(dir.path() / kept)) << kept;
  EXPECT_EQ(run.state.general_data_result, 2);
}

}  // namespace
