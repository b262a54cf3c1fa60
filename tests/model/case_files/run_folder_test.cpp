// The sweep of ended runs deletes folders: it must only ever reach folders that are ours, never
// follow a link planted where a base folder is expected, nor use a base anyone else may change.
#include "model/case_files/run_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

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

}  // namespace
