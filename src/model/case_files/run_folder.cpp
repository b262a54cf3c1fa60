#include "model/case_files/run_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "text/regular_file.h"

namespace model::case_files {

namespace fs = std::filesystem;
using text::Descriptor;

namespace {

constexpr auto young_folder_age = std::chrono::minutes(1);

// A folder below `parent`, never through a link.
int open_folder_at(int parent, const char* name) {
  return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool try_lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool young(const struct stat& st) {
  const auto written = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
  return std::chrono::system_clock::now() - written < young_folder_age;
}

// Removes `name` below `parent` with everything in it, each step relative to an open folder:
// a link met anywhere is removed as a link, and what it points to is never reached.
void remove_tree_at(int parent, const char* name) {
  Descriptor folder(open_folder_at(parent, name));
  if (folder.get() >= 0) {
    if (DIR* entries = ::fdopendir(::dup(folder.get()))) {
      while (const dirent* entry = ::readdir(entries)) {
        const std::string_view child = entry->d_name;
        if (child == "." || child == "..") continue;
        struct stat st {};
        if (::fstatat(folder.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) remove_tree_at(folder.get(), entry->d_name);
        else ::unlinkat(folder.get(), entry->d_name, 0);
      }
      ::closedir(entries);
    }
  }
  if (::unlinkat(parent, name, AT_REMOVEDIR) != 0 && errno == ENOTDIR) ::unlinkat(parent, name, 0);
}

// Why `base` must not hold run folders, empty when it may: only a folder of our own, reached
// without a link, and in a shared place (`shared`) one that nobody else can write to.
std::string refusal_of_base(int fd, const fs::path& base, bool shared) {
  struct stat st {};
  if (fd < 0) {
    const int error = errno;
    if (::lstat(base.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      return base.string() + " is a symbolic link: it is not used for the case files";
    return base.string() + ": " + std::strerror(error);
  }
  if (::fstat(fd, &st) != 0) return base.string() + ": " + std::strerror(errno);
  if (st.st_uid != ::getuid())
    return base.string() + " is owned by another user: it is not used for the case files";
  if (shared && (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return base.string() + " may be changed by others: it is not used for the case files";
  return {};
}

int open_base(const fs::path& base) {
  return ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Sweeps the base open at `base_fd`.
void remove_dead_run_folders_at(int base_fd) {
  Descriptor listing(::dup(base_fd));
  DIR* entries = listing.get() >= 0 ? ::fdopendir(listing.get()) : nullptr;
  if (entries == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(entries);  // closes the duplicate too
  for (const std::string& name : names) {
    Descriptor folder(open_folder_at(base_fd, name.c_str()));
    struct stat st {};
    // Links and files are no run folders; nor is a folder another user made.
    if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::getuid()) continue;
    // A run being made has a hidden name until it holds its lock.
    if (name.starts_with(".") && young(st)) continue;
    const int fd = ::openat(folder.get(), run_lock_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
      if (errno == ENOENT && !young(st)) remove_tree_at(base_fd, name.c_str());
      continue;
    }
    // Held while removing, so that no other run starting now removes it at the same time.
    if (try_lock(fd)) remove_tree_at(base_fd, name.c_str());
    ::close(fd);
  }
}

// The folders tried in turn for ".brantel": the start folder, the runtime folder, temp; the
// last two are shared with other users' programs.
struct Base {
  fs::path path;
  bool shared;
};
std::vector<Base> candidate_bases(const fs::path& start_folder) {
  std::vector<Base> bases{{start_folder / ".brantel", false}};
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
    bases.push_back({fs::path(runtime) / "brantel", true});
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (!ec) bases.push_back({temp / ("brantel-" + std::to_string(::getuid())), true});
  return bases;
}

}  // namespace

void remove_dead_run_folders(const fs::path& runs) {
  Descriptor base(open_base(runs));
  if (!refusal_of_base(base.get(), runs, false).empty()) return;
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
bool make_run_folder(const Base& candidate, fs::path& made, int& lock_fd, std::string& reason) {
  const fs::path& base = candidate.path;
  const std::string run = std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::error_code ec;
    // A shared base is made for us alone; one made by someone else is refused below.
    if (::mkdir(base.c_str(), candidate.shared ? 0700 : 0777) != 0 && errno != EEXIST)
      fs::create_directories(base, ec);
    if (ec) {
      reason = base.string() + ": " + ec.message();
      return false;
    }
    const Descriptor base_fd(open_base(base));
    reason = refusal_of_base(base_fd.get(), base, candidate.shared);
    if (!reason.empty()) return false;
    remove_dead_run_folders_at(base_fd.get());
    std::string making;
    if (!make_hidden_folder_at(base_fd.get(), "." + run, making)) {
      const int error = errno;
      reason = base.string() + ": " + std::strerror(error);
      if (error == ENOENT) continue;
      return false;
    }
    const Descriptor folder(open_folder_at(base_fd.get(), making.c_str()));
    lock_fd = folder.get() < 0 ? -1
                               : ::openat(folder.get(), run_lock_name,
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    const int error = errno;
    if (lock_fd >= 0 && try_lock(lock_fd)) {
      const std::string name = making.substr(1);
      if (::renameat(base_fd.get(), making.c_str(), base_fd.get(), name.c_str()) == 0) {
        made = base / name;
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
    int lock_fd = -1;
    if (!make_run_folder(base, made, lock_fd, reason)) {
      reasons += (reasons.empty() ? "" : "\n") + reason;
      continue;
    }
    reason.clear();
    std::error_code ec;
    return RunFolder(fs::absolute(made, ec).lexically_normal(), lock_fd);
  }
  reason = reasons;
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
