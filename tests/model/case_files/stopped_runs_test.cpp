// The folders of runs that stopped without ending: those with saved data wait to be offered
// back, newest first; set aside they last a week; a damaged journal is never taken for data.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/case_files/journal.h"
#include "model/case_files/run_folder.h"
#include "support/stopped_run.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace cf = model::case_files;
using testing_support::TempCurrentDir;
using testing_support::write_file;

fs::path plant_stopped_run(const fs::path& start, const std::string& name, std::int64_t saved_at, int cases) {
  return testing_support::plant_stopped_run(start, name, saved_at, cases, "Dat/" + name + ".inc");
}

void age(const fs::path& path, std::chrono::hours by) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - by);
}

TEST(StoppedRuns, SavedDataOutlivesTheSweepAndIsOfferedNewestFirst) {
  TempCurrentDir dir;
  const fs::path older = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  const fs::path newer = plant_stopped_run(dir.path(), "200-bbbbbb", 2'000, 3);
  // Killed at the Time Points prompt: nothing entered, nothing offered.
  const fs::path empty = dir.path() / ".brantel" / "300-cccccc";
  write_file(empty / cf::run_lock_name, "");
  model::ProgramState prompt_answered;
  prompt_answered.max_time_points = 100;
  write_file(empty / cf::journal_name, cf::journal_text(prompt_answered, {}));

  std::string reason;
  const cf::RunFolder run = cf::RunFolder::create(dir.path(), reason);
  ASSERT_FALSE(run.path().empty()) << reason;
  EXPECT_FALSE(fs::exists(empty));
  EXPECT_FALSE(fs::exists(dir.path() / ".brantel" / cf::abandoned_folder_name)) << "removed, not set aside";
  ASSERT_TRUE(fs::exists(older / "1TP.dat"));

  const std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].folder(), newer);
  EXPECT_EQ(runs[0].journal.summary.cases_entered, 3);
  EXPECT_EQ(runs[0].journal.summary.loading_file, "Dat/200-bbbbbb.inc");
  EXPECT_EQ(runs[1].folder(), older);
  // Our own live run is not a stopped one.
  for (const cf::StoppedRun& r : runs) EXPECT_NE(r.folder(), run.path());
}

TEST(StoppedRuns, ARunStillAliveOrHeldByAnotherStartIsNotOffered) {
  TempCurrentDir dir;
  const fs::path alive = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  const int lock = ::open((alive / cf::run_lock_name).c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
  // A folder held while it is offered is not offered to a second start at the same time.
  EXPECT_TRUE(cf::find_stopped_runs(dir.path()).empty());
  ::close(lock);
  {
    const std::vector<cf::StoppedRun> first = cf::find_stopped_runs(dir.path());
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(cf::find_stopped_runs(dir.path()).empty());
  }
  EXPECT_EQ(cf::find_stopped_runs(dir.path()).size(), 1u);
}

TEST(StoppedRuns, TakenOverTheCaseFilesAndJournalMoveAndTheFolderGoes) {
  TempCurrentDir dir;
  const fs::path stopped = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  write_file(stopped / ".1TP.dat.part-99999-abcdef", "half a save");
  const fs::path into = dir.path() / "new-run";
  fs::create_directories(into);
  std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 1u);
  std::string reason;
  ASSERT_TRUE(runs[0].take_over(into, dir.path(), reason)) << reason;
  EXPECT_FALSE(fs::exists(stopped));
  EXPECT_EQ(std::distance(fs::directory_iterator(into), fs::directory_iterator()), 2)
      << "the case file and the new journal: not the lock or a killed save's temporary";
  std::ifstream taken(into / "1TP.dat");
  std::string content((std::istreambuf_iterator<char>(taken)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "case data of 100-aaaaaa");
  cf::JournalContent journal;
  ASSERT_EQ(cf::read_journal(into, journal, reason), cf::JournalRead::ok) << reason;
  EXPECT_EQ(journal.state.n_loading_cases, 2);
}

TEST(StoppedRuns, ATakeOverThatFailsLeavesBothFoldersAsTheyWere) {
  TempCurrentDir dir;
  const fs::path stopped = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  write_file(stopped / "1init.dat", "more case data");
  const fs::path into = dir.path() / "new-run";
  fs::create_directories(into);
  // A folder where the journal must go: every case file is copied before the journal fails.
  fs::create_directories(into / cf::journal_name);
  std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 1u);
  std::string reason;
  EXPECT_FALSE(runs[0].take_over(into, dir.path(), reason));
  EXPECT_NE(reason.find(cf::journal_name), std::string::npos) << reason;
  EXPECT_FALSE(fs::exists(into / "1init.dat"));
  EXPECT_FALSE(fs::exists(into / "1TP.dat"));
  EXPECT_TRUE(fs::exists(stopped / "1init.dat"));
  EXPECT_TRUE(fs::exists(stopped / cf::journal_name));
}

TEST(StoppedRuns, SetAsideTheyAreKeptAWeekThenRemoved) {
  TempCurrentDir dir;
  plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  plant_stopped_run(dir.path(), "200-bbbbbb", 2'000, 1);
  std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 2u);
  std::string reason;
  for (cf::StoppedRun& run : runs) ASSERT_TRUE(run.abandon(reason)) << reason;
  const fs::path abandoned = dir.path() / ".brantel" / cf::abandoned_folder_name;
  ASSERT_TRUE(fs::exists(abandoned / "100-aaaaaa" / "1TP.dat"));
  ASSERT_TRUE(fs::exists(abandoned / "200-bbbbbb" / cf::journal_name));
  EXPECT_TRUE(cf::find_stopped_runs(dir.path()).empty());

  age(abandoned / "100-aaaaaa", std::chrono::hours(24 * 7 + 1));
  age(abandoned / "200-bbbbbb", std::chrono::hours(24 * 6));
  cf::remove_dead_run_folders(dir.path() / ".brantel");
  EXPECT_FALSE(fs::exists(abandoned / "100-aaaaaa"));
  EXPECT_TRUE(fs::exists(abandoned / "200-bbbbbb" / "1TP.dat"));
}

TEST(StoppedRuns, ADamagedJournalIsReportedNeverAppliedAndSetAsideBySweep) {
  TempCurrentDir dir;
  const fs::path folder = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  write_file(folder / cf::journal_name, "{\"format\": \"brantel journal\", \"version\": 1, \"saved_at\"");
  {
    const std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].status, cf::JournalRead::damaged);
    EXPECT_NE(runs[0].reason.find("JSON"), std::string::npos) << runs[0].reason;
    EXPECT_EQ(runs[0].journal.state.n_loading_cases, 0);
  }
  cf::remove_dead_run_folders(dir.path() / ".brantel");
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(dir.path() / ".brantel" / cf::abandoned_folder_name / "100-aaaaaa" / "1TP.dat"));
}

}  // namespace
