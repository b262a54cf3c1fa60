#include "model/case_files/run_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

namespace model::case_files {

namespace fs = std::filesystem;

namespace {

constexpr auto young_folder_age = std::chrono::minutes(1);

// The run folder's lock file, opened (not locked); -1 when it cannot be opened.
int open_lock(const fs::path& folder, bool create) {
  const int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
  return ::open((folder / run_lock_name).c_str(), flags, 0600);
}

bool try_lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool young(const fs::path& folder) {
  std::error_code ec;
  const auto written = fs::last_write_time(folder, ec);
  return ec || fs::file_time_type::clock::now() - written < young_folder_age;
}

// The folders tried in turn for ".brantel": the start folder, the runtime folder, temp.
std::vector<fs::path> candidate_bases(const fs::path& start_folder) {
  std::vector<fs::path> bases{start_folder / ".brantel"};
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
    bases.push_back(fs::path(runtime) / "brantel");
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (!ec) bases.push_back(temp / ("brantel-" + std::to_string(::getuid())));
  return bases;
}

}  // namespace

void remove_dead_run_folders(const fs::path& runs) {
  std::error_code ec;
  for (fs::directory_iterator it(runs, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entry_ec;
    if (!it->is_directory(entry_ec) || it->is_symlink(entry_ec)) continue;
    const fs::path folder = it->path();
    // A run being made has a hidden name until it holds its lock.
    if (folder.filename().string().starts_with(".") && young(folder)) continue;
    const int fd = open_lock(folder, false);
    if (fd < 0) {
      if (errno == ENOENT && !young(folder)) fs::remove_all(folder, entry_ec);
      continue;
    }
    // Held while removing, so that no other run starting now removes it at the same time.
    if (try_lock(fd)) fs::remove_all(folder, entry_ec);
    ::close(fd);
  }
}

namespace {

// Makes `<base>/<pid>-XXXXXX` with its lock file locked; `lock_fd` holds the lock. The folder
// gets its name only once locked, so that a run sweeping `base` never takes it for a dead one.
// Twice at most: a run ending at this moment may remove `base` as empty between its making
// and our folder's.
bool make_run_folder(const fs::path& base, fs::path& made, int& lock_fd, std::string& reason) {
  const std::string run = std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::error_code ec;
    fs::create_directories(base, ec);
    if (ec) {
      reason = base.string() + ": " + ec.message();
      return false;
    }
    remove_dead_run_folders(base);
    std::string making = (base / ("." + run + "XXXXXX")).string();
    if (::mkdtemp(making.data()) == nullptr) {
      const int error = errno;
      reason = base.string() + ": " + std::strerror(error);
      if (error == ENOENT) continue;
      return false;
    }
    lock_fd = open_lock(making, true);
    const int error = errno;
    if (lock_fd >= 0 && try_lock(lock_fd)) {
      made = base / fs::path(making).filename().string().substr(1);
      fs::rename(making, made, ec);
      if (!ec) return true;
      reason = made.string() + ": " + ec.message();
    } else {
      reason = making + ": " + std::strerror(error);
    }
    if (lock_fd >= 0) ::close(lock_fd);
    lock_fd = -1;
    fs::remove_all(making, ec);
    return false;
  }
  return false;
}

}  // namespace

RunFolder RunFolder::create(const fs::path& start_folder, std::string& reason) {
  for (const fs::path& base : candidate_bases(start_folder)) {
    fs::path made;
    int lock_fd = -1;
    if (!make_run_folder(base, made, lock_fd, reason)) continue;
    reason.clear();
    std::error_code ec;
    return RunFolder(fs::absolute(made, ec).lexically_normal(), lock_fd);
  }
  return RunFolder();
}

RunFolder::~RunFolder() { release(); }

RunFolder::RunFolder(RunFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})), lock_fd_(std::exchange(other.lock_fd_, -1)) {}

RunFolder& RunFolder::operator=(RunFolder&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::exchange(other.path_, {});
    lock_fd_ = std::exchange(other.lock_fd_, -1);
  }
  return *this;
}

void RunFolder::release() {
  if (!path_.empty()) {
    std::error_code ec;
    fs::remove_all(path_, ec);
    // The folder of the runs goes too when this was the last run in it (fails when not).
    if (!ec) fs::remove(path_.parent_path(), ec);
  }
  if (lock_fd_ >= 0) ::close(lock_fd_);
  path_.clear();
  lock_fd_ = -1;
}

}  // namespace model::case_files
