// The sweep of ended runs deletes folders: it must only ever reach folders that are ours, never
// follow a link planted where a base folder is expected, nor use a base anyone else may change.
#include "support/session.h"
#include "model/case_files/run_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "model/case_files/case_store.h"
#include "model/case_files/scratch_files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempCurrentDir;
using testing_support::write_file;

// Sets an environment variable for one test; the previous value comes back after it.
class EnvironmentValue {
 public:
  EnvironmentValue(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~EnvironmentValue() {
    if (previous_) ::setenv(name_, previous_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// Sets the process umask for one test.
class Umask {
 public:
  explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
  ~Umask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

mode_t mode_of(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// A folder that looks like the folder of a run that ended long ago: no lock, old.
fs::path plant_old_folder(const fs::path& parent) {
  const fs::path folder = parent / "123-abcdef";
  write_file(folder / "precious.txt", "the user's data");
  fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(2));
  return folder;
}

bool inside(const fs::path& path, const fs::path& folder) {
  const fs::path p = fs::weakly_canonical(path), f = fs::weakly_canonical(folder);
  return std::mismatch(f.begin(), f.end(), p.begin(), p.end()).first == f.end();
}

TEST(RunFolder, DeadRunsOfOurOwnBaseAreSwept) {
  TempCurrentDir dir;
  const fs::path dead = plant_old_folder(dir.path() / ".brantel");
  std::string reason;
  const model::case_files::RunFolder run = model::case_files::RunFolder::create(dir.path(), reason);
  ASSERT_FALSE(run.path().empty()) << reason;
  EXPECT_TRUE(inside(run.path(), dir.path() / ".brantel"));
  EXPECT_FALSE(fs::exists(dead));
}

TEST(RunFolder, LinkedOrForeignBasesAreNeverSweptNorUsed) {
  TempCurrentDir dir;
  const fs::path victim = dir.path() / "victim";
  const fs::path planted = plant_old_folder(victim);
  const fs::path temp = dir.path() / "tmp";
  fs::create_directories(temp);
  EnvironmentValue no_runtime("XDG_RUNTIME_DIR", std::nullopt);
  EnvironmentValue tmpdir("TMPDIR", temp.string());
  const fs::path start = dir.path() / "start";
  fs::create_directories(start);
  const fs::path shared = temp / ("brantel-" + std::to_string(::getuid()));

  // Both the start folder's base and the temporary fallback lead into the victim.
  fs::create_directory_symlink(victim, start / ".brantel");
  fs::create_directory_symlink(victim, shared);
  std::string reason;
  {
    const model::case_files::RunFolder run = model::case_files::RunFolder::create(start, reason);
    EXPECT_TRUE(run.path().empty()) << run.path();
  }
  EXPECT_TRUE(fs::exists(planted / "precious.txt"));
  EXPECT_NE(reason.find("symbolic link"), std::string::npos) << reason;
  model::case_files::remove_dead_run_folders(start / ".brantel");
  EXPECT_TRUE(fs::exists(planted / "precious.txt"));

  // A real folder in the shared temporary folder that others may write to, or that another
  // user made, is not ours to sweep either.
  fs::remove(start / ".brantel");
  write_file(start / ".brantel", "a file where the base would be");
  fs::remove(shared);
  const fs::path in_shared = plant_old_folder(shared);
  ::chmod(shared.c_str(), 0777);
  {
    const model::case_files::RunFolder run = model::case_files::RunFolder::create(start, reason);
    EXPECT_TRUE(run.path().empty()) << run.path();
  }
  EXPECT_TRUE(fs::exists(in_shared / "precious.txt"));
  EXPECT_NE(reason.find("others"), std::string::npos) << reason;

  ::chmod(shared.c_str(), 0700);
  ASSERT_EQ(::chown(shared.c_str(), 65534, 65534) == 0, ::getuid() == 0);
  if (::getuid() == 0) {
    {
      const model::case_files::RunFolder run = model::case_files::RunFolder::create(start, reason);
      EXPECT_TRUE(run.path().empty()) << run.path();
    }
    EXPECT_TRUE(fs::exists(in_shared / "precious.txt"));
    EXPECT_NE(reason.find("owned"), std::string::npos) << reason;
    ASSERT_EQ(::chown(shared.c_str(), ::getuid(), ::getgid()), 0);
  }

  // Made ours again, it is used and swept as it should be.
  const model::case_files::RunFolder run = model::case_files::RunFolder::create(start, reason);
  ASSERT_FALSE(run.path().empty()) << reason;
  EXPECT_TRUE(inside(run.path(), shared));
  EXPECT_FALSE(fs::exists(in_shared));
  EXPECT_TRUE(fs::exists(planted / "precious.txt"));
}

// A run folder swapped for a link to another folder after the base was checked is not
// followed: the link goes, what it points to stays.
TEST(RunFolder, LinkInsideTheBaseIsRemovedNotFollowed) {
  TempCurrentDir dir;
  const fs::path planted = plant_old_folder(dir.path() / "victim");
  fs::create_directories(dir.path() / ".brantel");
  fs::create_directory_symlink(planted, dir.path() / ".brantel" / "999-zzzzzz");
  model::case_files::remove_dead_run_folders(dir.path() / ".brantel");
  EXPECT_TRUE(fs::exists(planted / "precious.txt"));
}

// In a folder shared by a group (setgid, umask 002) our folders are still ours alone; a
// folder of ours that others may write to is not used.
TEST(RunFolder, OurFoldersAreForUsAloneWhateverTheUmask) {
  TempCurrentDir dir;
  const fs::path temp = dir.path() / "tmp";
  fs::create_directories(temp);
  EnvironmentValue no_runtime("XDG_RUNTIME_DIR", std::nullopt);
  EnvironmentValue tmpdir("TMPDIR", temp.string());
  const fs::path start = dir.path() / "start";
  fs::create_directories(start);
  ASSERT_EQ(::chmod(start.c_str(), 02775), 0);
  namespace cf = model::case_files;
  for (const mode_t mask : {mode_t{002}, mode_t{0277}}) {
    Umask umask(mask);
    std::string reason;
    {
      const cf::RunFolder run = cf::RunFolder::create(start, reason);
      ASSERT_FALSE(run.path().empty()) << reason;
      ASSERT_TRUE(inside(run.path(), start / ".brantel"));
      EXPECT_EQ(mode_of(start / ".brantel"), 0700) << "umask " << mask;
      EXPECT_EQ(mode_of(run.path()), 0700) << "umask " << mask;
      // A run whose journal cannot be read is set aside in abandoned/, made ours alone too.
      const fs::path dead = start / ".brantel" / "77-dead";
      write_file(dead / cf::run_lock_name, "");
      write_file(dead / cf::journal_name, "{");
      ::chmod(dead.c_str(), 0700);
      fs::last_write_time(dead, fs::file_time_type::clock::now() - std::chrono::hours(2));
      cf::remove_dead_run_folders(start / ".brantel");
      ASSERT_TRUE(fs::exists(start / ".brantel" / cf::abandoned_folder_name / "77-dead"));
      EXPECT_EQ(mode_of(start / ".brantel" / cf::abandoned_folder_name), 0700) << "umask " << mask;
    }
    fs::remove_all(start / ".brantel");
  }

  // Made group-writable by someone, the folder of the runs is refused and the run goes elsewhere;
  // so is a run folder that others may write to, and an abandoned/ folder.
  Umask umask(002);
  fs::create_directories(start / ".brantel");
  ASSERT_EQ(::chmod((start / ".brantel").c_str(), 0770), 0);
  const fs::path planted = start / ".brantel" / "100-aaaaaa";
  write_file(planted / cf::run_lock_name, "");
  std::string reason;
  {
    const cf::RunFolder run = cf::RunFolder::create(start, reason);
    ASSERT_FALSE(run.path().empty()) << reason;
    EXPECT_TRUE(inside(run.path(), temp)) << run.path();
  }
  ASSERT_EQ(::chmod((start / ".brantel").c_str(), 0700), 0);
  EXPECT_TRUE(fs::exists(planted / cf::run_lock_name));
  testing_support::Session entered;
  entered.max_time_points = 10;
  entered.general().n_loading_cases = 1;
  write_file(planted / cf::journal_name, cf::journal_text(entered, entered.cases, {}));
  ASSERT_EQ(::chmod(planted.c_str(), 0770), 0);
  EXPECT_TRUE(cf::find_stopped_runs(start).empty()) << "a run folder others may write to is offered";
  ASSERT_EQ(::chmod(planted.c_str(), 0700), 0);
  std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(start);
  ASSERT_EQ(runs.size(), 1u);
  fs::create_directories(start / ".brantel" / cf::abandoned_folder_name);
  ASSERT_EQ(::chmod((start / ".brantel" / cf::abandoned_folder_name).c_str(), 0777), 0);
  EXPECT_FALSE(runs[0].abandon(reason));
  EXPECT_TRUE(fs::exists(planted / cf::journal_name));
}

// Another member of the group, who may write to the start folder, swaps the folder of the runs
// for one of theirs in which the run's folder is a link to a folder holding links to the
// user's files. The run's files are written where the run made them, and the user's own file
// is not touched.
TEST(RunFolder, AnotherUserCannotRedirectTheFilesOfARun) {
  if (::getuid() != 0) GTEST_SKIP() << "a second user is needed: only root can act as one (setuid) in a test";
  TempCurrentDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const fs::path start = dir.path() / "start";
  fs::create_directories(start);
  ASSERT_EQ(::chmod(start.c_str(), 0777), 0);
  write_file(start / "notes.txt", "the user's notes");
  namespace cf = model::case_files;
  std::string reason;
  const cf::RunFolder run = cf::RunFolder::create(start, reason);
  ASSERT_FALSE(run.path().empty()) << reason;
  const std::string name = run.path().filename().string();

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(1);
    // Into our folder of runs directly: refused.
    if (::symlink("/", (start / ".brantel" / "planted").c_str()) == 0) ::_exit(10);
    if (::rename((start / ".brantel").c_str(), (start / ".brantel-moved").c_str()) != 0) ::_exit(20);
    if (::mkdir((start / "theirs").c_str(), 0777) != 0) ::_exit(21);
    for (const char* file : {"1TPsin.dat", "journal.json"})
      if (::symlink((start / "notes.txt").c_str(), (start / "theirs" / file).c_str()) != 0) ::_exit(22);
    if (::mkdir((start / ".brantel").c_str(), 0777) != 0) ::_exit(23);
    if (::symlink((start / "theirs").c_str(), (start / ".brantel" / name).c_str()) != 0) ::_exit(24);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 10) << "another user could write into our folder of runs";
  ASSERT_EQ(WEXITSTATUS(status), 0) << "the second user's swap failed at step " << WEXITSTATUS(status);

  testing_support::Session s;
  s.general().n_nodes = 9, s.general().n_dof = 2, s.general().n_loading_cases = 1;
  s.case_folder = run.path().string();
  cf::CaseStore& store = s.cases;
  cf::FileFailure failure;
  model::Loading loading;
  loading.data = model::AmplitudeLoading{model::LoadingType::sinusoidal, {{1, 2, {4.f}}}};
  EXPECT_TRUE(store.save_loading(s, 1, model::LoadingKind::sinusoidal, loading, failure)) << failure.reason;
  cf::Journal journal(run.path(), start.string());
  EXPECT_TRUE(journal.record(s, store, 0, reason)) << reason;
  EXPECT_EQ(testing_support::read_file(start / "notes.txt"), "the user's notes");
  const fs::path real = start / ".brantel-moved" / name;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real / "1TPsin.dat")));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real / cf::journal_name)));
  cf::delete_case_scratch_files(true, s.case_folder);
  EXPECT_FALSE(fs::exists(real / "1TPsin.dat"));
  EXPECT_TRUE(fs::is_symlink(start / "theirs" / "1TPsin.dat"));
}

}  // namespace
