// `brantel --recover RUN`: the run named is taken back without the question, whether it
// stopped or was set aside; a name that leads nowhere says so, and the start goes on as usual.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "support/session.h"
#include "app/program.h"
#include "app/recovery.h"
#include "dialogs/context.h"
#include "model/case_files/run_folder.h"
#include "support/fake_toolkit.h"
#include "support/stopped_run.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
namespace cf = model::case_files;

// Plays `script` as the whole run of the program, asked to take back `run`.
std::string run_recovering(const std::string& run, const std::string& script) {
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(ui::script::parse_script(script), transcript);
  EXPECT_EQ(app::run_program(toolkit, run), 0);
  EXPECT_NO_THROW(toolkit.finish());
  return transcript.str();
}

class RecoverByName : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(BRANTEL_WORKSPACE, dir_.path(), fs::copy_options::recursive);
    testing_support::plant_stopped_run(dir_.path(), "4242-abcdef", 1'765'213'484, 2, "Dat/recovered.inc");
  }
  fs::path abandoned() const { return dir_.path() / ".brantel" / cf::abandoned_folder_name; }

  testing_support::TempCurrentDir dir_;
};

TEST_F(RecoverByName, ARunSetAsideIsTakenBackWithoutTheQuestion) {
  {
    std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir_.path());
    ASSERT_EQ(runs.size(), 1u);
    std::string reason;
    ASSERT_TRUE(runs[0].abandon(reason)) << reason;
  }
  ASSERT_TRUE(fs::exists(abandoned() / "4242-abcdef" / "1TP.dat"));
  const std::string transcript = run_recovering("4242-abcdef", "in 101\nexpect text 1006 \"2\"\nclose\n");
  EXPECT_EQ(transcript.find("Recover Message"), std::string::npos) << transcript;
  EXPECT_FALSE(fs::exists(abandoned() / "4242-abcdef"));
  EXPECT_TRUE(cf::find_stopped_runs(dir_.path()).empty());
}

TEST_F(RecoverByName, AStoppedRunNamedIsTakenBackAndANameOfNoRunIsSaid) {
  run_recovering("4242-abcdef", "in 101\nexpect text 1006 \"2\"\nclose\n");
  EXPECT_TRUE(cf::find_stopped_runs(dir_.path()).empty());

  for (const char* name : {"4242-abcdef", "../4242-abcdef", "abandoned"}) {
    const std::string transcript = run_recovering(
        name, std::string("expect message \"Recover Message\" \"ERROR: there is no stopped or set-aside run named "
                          "\\\"") + name + "\\\" in this folder (brantel --recover-list lists them).\"\n"
              "in 108\npress 1\nin 101\nclose\n");
    EXPECT_NE(transcript.find("ERROR: there is no stopped"), std::string::npos) << transcript;
  }
}

}  // namespace

namespace {

// Of several stopped runs, planted in no order of time, the question and Yes take back the
// newest.
TEST(RecoverAtStart, TheNewestOfSeveralStoppedRunsIsTakenBack) {
  testing_support::TempCurrentDir dir;
  fs::copy(BRANTEL_WORKSPACE, dir.path(), fs::copy_options::recursive);
  testing_support::plant_stopped_run(dir.path(), "100-aaaaaa", 1'765'000'000, 2, "Dat/a.inc");
  testing_support::plant_stopped_run(dir.path(), "300-cccccc", 1'765'300'000, 4, "Dat/c.inc");
  testing_support::plant_stopped_run(dir.path(), "200-bbbbbb", 1'765'200'000, 3, "Dat/b.inc");
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(ui::script::parse_script("recover yes\nin 101\nexpect text 1006 \"4\"\nclose\n"),
                                    transcript);
  EXPECT_EQ(app::run_program(toolkit), 0);
  EXPECT_NO_THROW(toolkit.finish());
  const std::vector<cf::StoppedRun> left = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].name(), "200-bbbbbb");
  EXPECT_EQ(left[1].name(), "100-aaaaaa");
}

}  // namespace

namespace {

// A journal that cannot be written is said once, not after every action; written again and then
// failing again, it is said again.
TEST(JournalKeeper, AJournalThatCannotBeWrittenIsSaidOnceAFailure) {
  testing_support::TempCurrentDir dir;
  const fs::path folder = dir.path() / "run";
  testing_support::write_file(folder, "a file where the run's folder should be");
  testing_support::FakeToolkit toolkit;
  testing_support::Session state;
  state.max_time_points = 100;
  dialogs::Context context{toolkit, state};
  app::JournalKeeper keeper(context, folder);
  for (int action = 0; action < 3; ++action) keeper.record();
  ASSERT_EQ(toolkit.messages.size(), 1u);
  EXPECT_EQ(toolkit.messages[0].icon, ui::Icon::warning);
  fs::remove(folder);
  fs::create_directory(folder);
  keeper.record();
  EXPECT_EQ(toolkit.messages.size(), 1u);
  fs::remove_all(folder);
  testing_support::write_file(folder, "in the way again");
  keeper.record();
  keeper.record();
  EXPECT_EQ(toolkit.messages.size(), 2u);
}

// A case committed is in the journal as soon as the commit returns: a crash before the end of
// the action that committed it loses nothing.
TEST(JournalKeeper, ACommittedCaseIsJournaledAtOnce) {
  testing_support::TempCurrentDir dir;
  const fs::path folder = dir.path() / "run";
  fs::create_directory(folder);
  testing_support::FakeToolkit toolkit;
  testing_support::Session state;
  state.max_time_points = 100;
  state.general().n_loading_cases = 1;
  state.case_folder = folder.string();
  dialogs::Context context{toolkit, state, state.cases};
  context.cases.set_count(1);
  {
    app::JournalKeeper keeper(context, folder);
    model::Case edited = context.cases.facts(1);
    edited.record.end_time = 12.5f;
    edited.processed = true;
    model::case_files::FileFailure failure;
    ASSERT_TRUE(context.cases.commit(state, 1, edited, {}, failure));
    model::case_files::JournalContent content;
    std::string reason;
    ASSERT_EQ(model::case_files::read_journal(folder, content, reason), model::case_files::JournalRead::ok) << reason;
    ASSERT_EQ(content.analysis.cases.size(), 1u);
    EXPECT_EQ(content.analysis.cases[0].record.end_time, 12.5f);
    EXPECT_EQ(content.summary.cases_entered, 1);
  }
  // The keeper gone, a commit journals nothing.
  fs::remove(folder / model::case_files::journal_name);
  model::case_files::FileFailure failure;
  ASSERT_TRUE(context.cases.commit(state, 1, context.cases.facts(1), {}, failure));
  EXPECT_FALSE(fs::exists(folder / model::case_files::journal_name));
  EXPECT_TRUE(toolkit.messages.empty());
}

}  // namespace
