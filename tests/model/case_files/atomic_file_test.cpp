// The one writer of every file: a save killed half-way leaves the previous file whole, and the
// next save into the same folder removes the temporary file of the process that is gone.
#include "model/case_files/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

// The temporary file of `pid`'s save of `target` in the current folder, empty when none.
fs::path temporary_of(const std::string& target, pid_t pid) {
  const std::string prefix = model::case_files::temporary_prefix(target, pid);
  for (const fs::directory_entry& entry : fs::directory_iterator("."))
    if (entry.path().filename().string().starts_with(prefix)) return entry.path();
  return {};
}

// Writes up to 400 MB of loading records into `target`, slowly enough to be caught half-way.
[[noreturn]] void save_big_file(const std::string& target) {
  model::case_files::AtomicFile out(target);
  if (out.open() != model::case_files::OutputStatus::ok) _exit(2);
  const std::string record(118, '7');
  for (int i = 0; i < 400 * 8192; ++i) out.write_record(record);
  _exit(out.finish() == model::case_files::OutputStatus::ok ? 0 : 3);
}

TEST(AtomicFile, KilledSaveKeepsTheOldFileAndTheNextSaveRemovesItsTemporary) {
  TempCurrentDir dir;
  write_file("big.inc", "old loading file\r\n");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) save_big_file("big.inc");

  // Killed once its temporary file holds several megabytes.
  fs::path temporary;
  std::error_code ec;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    temporary = temporary_of("big.inc", child);
    if (!temporary.empty() && fs::file_size(temporary, ec) > (8u << 20) && !ec) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save ended before it could be killed";
  ASSERT_FALSE(temporary.empty());
  EXPECT_EQ(read_file("big.inc"), "old loading file\r\n");
  EXPECT_TRUE(fs::exists(temporary));

  // A save of a live process is left alone: here the test runner's parent.
  const fs::path live = model::case_files::temporary_prefix("other.inc", getppid()) + "Ab12Cd";
  write_file(live, "being written");
  std::string reason;
  ASSERT_TRUE(model::case_files::replace_file("1TP.dat", "END_OF_CASE1\r\n", reason)) << reason;
  EXPECT_FALSE(fs::exists(temporary)) << "the killed save's temporary stays";
  EXPECT_TRUE(fs::exists(live));
  EXPECT_EQ(read_file("1TP.dat"), "END_OF_CASE1\r\n");
  EXPECT_EQ(read_file("big.inc"), "old loading file\r\n");
}

}  // namespace

TEST(AtomicFile, LargeTextBetweenSmallOnesKeepsItsPlace) {
  TempCurrentDir dir;
  const std::string large(3u << 20, 'x');
  model::case_files::AtomicFile file("big.inc");
  ASSERT_EQ(file.open(), model::case_files::OutputStatus::ok);
  file.write_record("first");
  file.write(large);
  file.write("last\r\n");
  ASSERT_EQ(file.finish(), model::case_files::OutputStatus::ok);
  EXPECT_EQ(read_file("big.inc"), "first\r\n" + large + "last\r\n");
}

namespace {

// What each sync saw: a regular file's size (-1 for a folder) and what the target held then.
struct SyncSeen {
  long long size;
  std::string target;
};
std::vector<SyncSeen> syncs;
int sync_error = 0;  // 0: the sync succeeds

int watching_sync(int fd) {
  struct stat st {};
  ::fstat(fd, &st);
  syncs.push_back({S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1,
                   fs::exists("loading.inc") ? read_file("loading.inc") : std::string("<none>")});
  if (sync_error == 0) return 0;
  errno = sync_error;
  return -1;
}

class SyncedSave : public testing::Test {
 protected:
  void SetUp() override {
    syncs.clear();
    sync_error = 0;
    previous_ = model::case_files::set_sync_call(watching_sync);
  }
  void TearDown() override { model::case_files::set_sync_call(previous_); }
  static model::case_files::OutputStatus save(const std::string& content) {
    model::case_files::AtomicFile out("loading.inc");
    if (out.open() != model::case_files::OutputStatus::ok) return out.finish();
    out.write(content);
    return out.finish();
  }
  TempCurrentDir dir_;
  model::case_files::SyncCall previous_ = nullptr;
};

}  // namespace

// Every byte is on the disk before the new file takes the old one's place, and the folder's
// entry after it: a crash at any moment leaves one whole file.
TEST_F(SyncedSave, TheWholeFileIsSyncedBeforeItReplacesTheTargetAndTheFolderAfter) {
  write_file("loading.inc", "old\r\n");
  const std::string content(3 << 20, '5');  // beyond the write buffer
  ASSERT_EQ(save(content), model::case_files::OutputStatus::ok);
  ASSERT_EQ(syncs.size(), 2u);
  EXPECT_EQ(syncs[0].size, static_cast<long long>(content.size()));
  EXPECT_EQ(syncs[0].target, "old\r\n");
  EXPECT_EQ(syncs[1].size, -1);
  EXPECT_EQ(syncs[1].target.size(), content.size());
}

// A disk that reports an I/O error on the sync may have lost bytes: the save fails and the old
// file stays; a file system that cannot sync at all still gets the file.
TEST_F(SyncedSave, AFailedSyncKeepsTheOldFileAndAnUnsupportedOneDoesNot) {
  write_file("loading.inc", "old\r\n");
  sync_error = EIO;
  model::case_files::AtomicFile out("loading.inc");
  ASSERT_EQ(out.open(), model::case_files::OutputStatus::ok);
  out.write("new\r\n");
  EXPECT_EQ(out.finish(), model::case_files::OutputStatus::cannot_write);
  EXPECT_EQ(out.error_number(), EIO);
  EXPECT_EQ(read_file("loading.inc"), "old\r\n");
  sync_error = EINVAL;
  EXPECT_EQ(save("new\r\n"), model::case_files::OutputStatus::ok);
  EXPECT_EQ(read_file("loading.inc"), "new\r\n");
}
