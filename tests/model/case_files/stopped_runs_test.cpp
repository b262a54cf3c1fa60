// The folders of runs that stopped without ending: those with saved data wait to be offered
// back, newest first; set aside they last a week; a damaged journal is never taken for data.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "support/session.h"
#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
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
  testing_support::Session prompt_answered;
  prompt_answered.max_time_points = 100;
  write_file(empty / cf::journal_name, cf::journal_text(prompt_answered, prompt_answered.cases, {}));

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
  cf::TakeOverFailure failure;
  ASSERT_TRUE(runs[0].take_over(into, dir.path(), failure)) << failure.reason;
  std::string reason;
  EXPECT_FALSE(fs::exists(stopped));
  EXPECT_EQ(std::distance(fs::directory_iterator(into), fs::directory_iterator()), 2)
      << "the case file and the new journal: not the lock or a killed save's temporary";
  std::ifstream taken(into / "1TP.dat");
  std::string content((std::istreambuf_iterator<char>(taken)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "case data of 100-aaaaaa");
  cf::JournalContent journal;
  ASSERT_EQ(cf::read_journal(into, journal, reason), cf::JournalRead::ok) << reason;
  EXPECT_EQ(journal.analysis.general.n_loading_cases, 2);
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
  cf::TakeOverFailure failure;
  EXPECT_FALSE(runs[0].take_over(into, dir.path(), failure));
  EXPECT_EQ(failure.file, cf::journal_name);
  EXPECT_FALSE(failure.too_large);
  EXPECT_FALSE(fs::exists(into / "1init.dat"));
  EXPECT_FALSE(fs::exists(into / "1TP.dat"));
  EXPECT_TRUE(fs::exists(stopped / "1init.dat"));
  EXPECT_TRUE(fs::exists(stopped / cf::journal_name));
}

// A case file as large as no run writes (a sparse file, a file grown by another program) is
// refused before a byte of it is read: the take-over fails with the limit named, nothing moves.
TEST(StoppedRuns, ACaseFileBeyondTheTextFileLimitIsRefusedUnread) {
  TempCurrentDir dir;
  const fs::path stopped = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  const fs::path huge = stopped / "2TPacc.dat";
  write_file(huge, "");
  fs::resize_file(huge, files::max_text_file_bytes + 1);
  const fs::path into = dir.path() / "new-run";
  fs::create_directories(into);
  std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 1u);
  cf::TakeOverFailure failure;
  EXPECT_FALSE(runs[0].take_over(into, dir.path(), failure));
  EXPECT_TRUE(failure.too_large);
  EXPECT_EQ(failure.file, "2TPacc.dat");
  EXPECT_TRUE(fs::is_empty(into));
  EXPECT_TRUE(fs::exists(stopped / cf::journal_name));
  EXPECT_EQ(fs::file_size(huge), files::max_text_file_bytes + 1);
}

// The kill lands once the new run's journal is in place, before the stopped run's folder goes:
// the next start offers the new run alone, and the folder it took is removed.
TEST(StoppedRuns, AKillDuringATakeOverNeverOffersTheTakenRunAgain) {
  TempCurrentDir dir;
  const fs::path stopped = plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  static fs::path journal_of_into;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
    std::string reason;
    const cf::RunFolder run = cf::RunFolder::create(dir.path(), reason);
    if (runs.size() != 1 || run.path().empty()) ::_exit(2);
    journal_of_into = run.path() / cf::journal_name;
    cf::set_sync_call([](int fd) { return fs::exists(journal_of_into) ? ::raise(SIGKILL) : ::fsync(fd); });
    cf::TakeOverFailure failure;
    runs[0].take_over(run.path(), dir.path(), failure);
    ::_exit(3);  // not reached
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "exit " << WEXITSTATUS(status);
  ASSERT_TRUE(fs::exists(stopped / cf::journal_name)) << "the kill came after the stopped run's folder went";

  const std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].folder(), stopped);
  EXPECT_EQ(runs[0].journal.summary.cases_entered, 2);
  EXPECT_EQ(testing_support::read_file(runs[0].folder() / "1TP.dat"), "case data of 100-aaaaaa");
  EXPECT_FALSE(fs::exists(stopped));
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

// Set aside, a run is listed with the date it goes, and can be claimed back by its name: it
// returns beside the stopped runs, held, until it is taken over.
TEST(StoppedRuns, SetAsideTheyAreListedAndCanBeClaimedBackByName) {
  TempCurrentDir dir;
  plant_stopped_run(dir.path(), "100-aaaaaa", 1'000, 2);
  plant_stopped_run(dir.path(), "200-bbbbbb", 2'000, 1);
  {
    std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(dir.path());
    std::string reason;
    for (cf::StoppedRun& run : runs) ASSERT_TRUE(run.abandon(reason)) << reason;
  }
  const fs::path abandoned = dir.path() / ".brantel" / cf::abandoned_folder_name;
  write_file(abandoned / "300-broken" / cf::run_lock_name, "");
  write_file(abandoned / "300-broken" / cf::journal_name, "{");
  fs::permissions(abandoned / "300-broken", fs::perms::owner_all);
  age(abandoned / "100-aaaaaa", std::chrono::hours(30));
  age(abandoned / "300-broken", std::chrono::hours(50));
  const std::vector<cf::SetAsideRun> set_aside = cf::find_set_aside_runs(dir.path());
  ASSERT_EQ(set_aside.size(), 3u);
  EXPECT_EQ(set_aside[0].name, "200-bbbbbb");
  EXPECT_EQ(set_aside[0].folder, abandoned / "200-bbbbbb");
  EXPECT_EQ(set_aside[0].summary.cases_entered, 1);
  EXPECT_EQ(set_aside[1].name, "100-aaaaaa");
  EXPECT_EQ(set_aside[2].status, cf::JournalRead::damaged);
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  EXPECT_NEAR(static_cast<double>(set_aside[1].set_aside_at), static_cast<double>(now - 30 * 3600), 5);

  cf::ClaimFailure failure;
  std::string reason;
  EXPECT_FALSE(cf::claim_run(dir.path(), "999-zzzzzz", failure, reason));
  EXPECT_EQ(failure, cf::ClaimFailure::no_such_run);
  EXPECT_FALSE(cf::claim_run(dir.path(), "../abandoned/100-aaaaaa", failure, reason));
  EXPECT_EQ(failure, cf::ClaimFailure::no_such_run);
  EXPECT_FALSE(cf::claim_run(dir.path(), "300-broken", failure, reason));
  EXPECT_EQ(failure, cf::ClaimFailure::damaged);
  EXPECT_NE(reason.find("JSON"), std::string::npos) << reason;
  {
    const int lock = ::open((abandoned / "200-bbbbbb" / cf::run_lock_name).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(cf::claim_run(dir.path(), "200-bbbbbb", failure, reason));
    EXPECT_EQ(failure, cf::ClaimFailure::held);
    ::close(lock);
  }

  std::optional<cf::StoppedRun> run = cf::claim_run(dir.path(), "100-aaaaaa", failure, reason);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->folder(), dir.path() / ".brantel" / "100-aaaaaa");
  EXPECT_EQ(run->journal.summary.cases_entered, 2);
  EXPECT_FALSE(fs::exists(abandoned / "100-aaaaaa"));
  EXPECT_TRUE(cf::find_stopped_runs(dir.path()).empty()) << "held while claimed";
  const fs::path into = dir.path() / "new-run";
  fs::create_directories(into);
  cf::TakeOverFailure take_failure;
  ASSERT_TRUE(run->take_over(into, dir.path(), take_failure)) << take_failure.reason;
  EXPECT_EQ(testing_support::read_file(into / "1TP.dat"), "case data of 100-aaaaaa");
  EXPECT_EQ(cf::find_set_aside_runs(dir.path()).size(), 2u);
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
    EXPECT_EQ(runs[0].journal.analysis.general.n_loading_cases, 0);
  }
  cf::remove_dead_run_folders(dir.path() / ".brantel");
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(dir.path() / ".brantel" / cf::abandoned_folder_name / "100-aaaaaa" / "1TP.dat"));
}

}  // namespace
