#include "model/case_files/run_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <cerrno>
#include <limits>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/folder_at.h"

namespace model::case_files {

namespace fs = std::filesystem;
using files::Descriptor;
using namespace detail;

void remove_dead_run_folders(const fs::path& runs) {
  Descriptor base(open_base(runs));
  if (!refusal_of_base(base.get(), runs).empty()) return;
  remove_dead_run_folders_at(base.get());
}

namespace {

// Makes a folder `<prefix>XXXXXX` below `base_fd` as mkdtemp would, but relative to the open
// base, so that the base cannot be swapped for a link between its check and this.
bool make_hidden_folder_at(int base_fd, const std::string& prefix, std::string& made) {
  static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = prefix;
    for (int i = 0; i < 6; ++i) made += letters[random() % (sizeof letters - 1)];
    if (::mkdirat(base_fd, made.c_str(), 0700) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// Makes `<base>/<pid>-XXXXXX` with its lock file locked; `lock_fd` holds the lock. The folder
// gets its name only once locked, so that a run sweeping `base` never takes it for a dead one.
// Twice at most: a run ending at this moment may remove `base` as empty between its making
// and our folder's.
struct Held {
  int base = -1, folder = -1;
};

bool make_run_folder(const Base& candidate, fs::path& made_path, Held& fds, int& lock_fd, std::string& reason) {
  const fs::path& base = candidate.path;
  const std::string run = std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::error_code ec;
    // Made for us alone; one made by someone else, or that others may write to, is refused below.
    bool made = ::mkdir(base.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) made = fs::create_directories(base, ec);
    if (ec) {
      reason = base.string() + ": " + ec.message();
      return false;
    }
    Descriptor base_fd(open_base(base));
    if (made && base_fd.get() >= 0) make_ours_alone(base_fd.get());
    reason = refusal_of_base(base_fd.get(), base);
    if (!reason.empty()) return false;
    remove_dead_run_folders_at(base_fd.get());
    std::string making;
    if (!make_hidden_folder_at(base_fd.get(), "." + run, making)) {
      const int error = errno;
      reason = base.string() + ": " + std::strerror(error);
      if (error == ENOENT) continue;
      return false;
    }
    Descriptor folder(open_folder_at(base_fd.get(), making.c_str()));
    lock_fd = folder.get() < 0 || !make_ours_alone(folder.get())
                  ? -1
                  : ::openat(folder.get(), run_lock_name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    const int error = errno;
    if (lock_fd >= 0 && try_lock(lock_fd)) {
      const std::string name = making.substr(1);
      if (::renameat(base_fd.get(), making.c_str(), base_fd.get(), name.c_str()) == 0) {
        made_path = base / name;
        fds.base = base_fd.release();
        fds.folder = folder.release();
        return true;
      }
      reason = (base / name).string() + ": " + std::strerror(errno);
    } else {
      reason = (base / making).string() + ": " + std::strerror(error);
    }
    if (lock_fd >= 0) ::close(lock_fd);
    lock_fd = -1;
    remove_tree_at(base_fd.get(), making.c_str());
    return false;
  }
  return false;
}

}  // namespace

RunFolder RunFolder::create(const fs::path& start_folder, std::string& reason) {
  std::string reasons;
  for (const Base& base : candidate_bases(start_folder)) {
    fs::path made;
    Held held;
    int lock_fd = -1;
    if (!make_run_folder(base, made, held, lock_fd, reason)) {
      reasons += (reasons.empty() ? "" : "\n") + reason;
      continue;
    }
    reason.clear();
    std::error_code ec;
    return RunFolder(fs::absolute(made, ec).lexically_normal(), held.base, held.folder, lock_fd);
  }
  reason = reasons;
  return RunFolder();
}

namespace {

// The run folders this process holds, by path: few (one in the program), looked up at each
// file of a run.
std::mutex held_folders_mutex;
std::vector<std::pair<std::string, int>> held_folders;

}  // namespace

files::Descriptor open_run_folder(const std::string& folder) {
  {
    const std::lock_guard<std::mutex> lock(held_folders_mutex);
    for (const auto& [path, fd] : held_folders)
      // A descriptor of its own, not a duplicate: a listing through a duplicate would move
      // the held one's place in the folder, and the next listing would find it at the end.
      if (path == folder) return files::Descriptor(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  return files::Descriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

RunFolder::RunFolder(fs::path path, int base_fd, int folder_fd, int lock_fd)
    : path_(std::move(path)), base_fd_(base_fd), folder_fd_(folder_fd), lock_fd_(lock_fd) {
  const std::lock_guard<std::mutex> lock(held_folders_mutex);
  held_folders.emplace_back(path_.string(), folder_fd_);
}

RunFolder::~RunFolder() { release(); }

RunFolder::RunFolder(RunFolder&& other) noexcept
    : path_(std::exchange(other.path_, {})),
      base_fd_(std::exchange(other.base_fd_, -1)),
      folder_fd_(std::exchange(other.folder_fd_, -1)),
      lock_fd_(std::exchange(other.lock_fd_, -1)) {}

RunFolder& RunFolder::operator=(RunFolder&& other) noexcept {
  if (this != &other) {
    release();
    path_ = std::exchange(other.path_, {});
    base_fd_ = std::exchange(other.base_fd_, -1);
    folder_fd_ = std::exchange(other.folder_fd_, -1);
    lock_fd_ = std::exchange(other.lock_fd_, -1);
  }
  return *this;
}

void RunFolder::release() {
  if (folder_fd_ >= 0) {
    const std::lock_guard<std::mutex> lock(held_folders_mutex);
    std::erase_if(held_folders, [this](const auto& held) { return held.second == folder_fd_; });
  }
  if (!path_.empty() && base_fd_ >= 0) {
    // Through the folder of the runs as it was when the run's folder was made: whatever has
    // taken the place of either since is not touched.
    const std::string name = path_.filename().string();
    remove_tree_at(base_fd_, name.c_str());
    struct stat st {};
    // The folder of the runs goes too when this was the last run in it (fails when not).
    if (::fstatat(base_fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      std::error_code ec;
      fs::remove(path_.parent_path(), ec);
    }
  }
  for (int* fd : {&base_fd_, &folder_fd_, &lock_fd_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  path_.clear();
}

StoppedRun::StoppedRun(fs::path base, std::string name, int lock_fd)
    : base_(std::move(base)), name_(std::move(name)), lock_fd_(lock_fd) {}

StoppedRun::~StoppedRun() { release(); }

StoppedRun::StoppedRun(StoppedRun&& other) noexcept
    : status(other.status),
      reason(std::move(other.reason)),
      journal(std::move(other.journal)),
      stopped_at(other.stopped_at),
      base_(std::move(other.base_)),
      name_(std::move(other.name_)),
      lock_fd_(std::exchange(other.lock_fd_, -1)) {}

StoppedRun& StoppedRun::operator=(StoppedRun&& other) noexcept {
  if (this != &other) {
    release();
    status = other.status;
    reason = std::move(other.reason);
    journal = std::move(other.journal);
    stopped_at = other.stopped_at;
    base_ = std::move(other.base_);
    name_ = std::move(other.name_);
    lock_fd_ = std::exchange(other.lock_fd_, -1);
  }
  return *this;
}

void StoppedRun::release() {
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
}

bool StoppedRun::abandon(std::string& why) {
  const Descriptor base(open_base(base_));
  if (base.get() < 0) {
    why = base_.string() + ": " + std::strerror(errno);
    return false;
  }
  const bool moved = abandon_at(base.get(), name_, why);
  release();
  return moved;
}

void StoppedRun::remove() {
  const Descriptor base(open_base(base_));
  if (base.get() >= 0 && lock_fd_ >= 0) remove_tree_at(base.get(), name_.c_str());
  release();
}

std::string case_file_fingerprint(int folder_fd, std::string_view skipped) {
  std::vector<std::string> entries;
  const int copy = folder_fd < 0 ? -1 : ::dup(folder_fd);
  DIR* listing = copy < 0 ? nullptr : ::fdopendir(copy);
  if (listing == nullptr) {
    if (copy >= 0) ::close(copy);
    return {};
  }
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    struct stat st {};
    if (name.starts_with(".") || name == skipped ||
        ::fstatat(::dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    entries.push_back(std::string(name) + ' ' + std::to_string(st.st_size) + ' ' +
                      std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec));
  }
  ::closedir(listing);
  std::sort(entries.begin(), entries.end());
  std::string all;
  for (const std::string& e : entries) all += e + '\n';
  return all;
}

}  // namespace model::case_files
