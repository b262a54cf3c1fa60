// Folders and files below an open folder, never through a link.
#include "model/case_files/folder_at.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <string_view>
#include <utility>
#include <vector>

#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/run_folder.h"

namespace model::case_files::detail {

namespace fs = std::filesystem;
using files::Descriptor;

namespace {

constexpr auto young_folder_age = std::chrono::minutes(1);

bool young(const struct stat& st) {
  const auto written = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
  return std::chrono::system_clock::now() - written < young_folder_age;
}

}  // namespace

int open_folder_at(int parent, const char* name) {
  return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool try_lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool others_may_write(const struct stat& st) { return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

bool make_ours_alone(int fd) { return ::fchmod(fd, 0700) == 0; }

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

// The whole of a small file below an open folder, never through a link; false when it is
// missing (errno ENOENT) or cannot be read, or grows beyond `limit`.
bool read_file_at(int folder, const char* name, std::string& content, std::size_t limit) {
  Descriptor fd(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (fd.get() < 0) return false;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    errno = EINVAL;
    return false;
  }
  // A file larger than the limit is not read at all: reading it first would fill the memory.
  if (static_cast<std::uintmax_t>(st.st_size) > limit) {
    errno = EFBIG;
    return false;
  }
  content.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > limit) {
      errno = EFBIG;
      return false;
    }
  }
}

namespace {

constexpr std::size_t journal_read_limit = 16u << 20;

}  // namespace

JournalRead read_journal_at(int folder, JournalContent& content, std::string& reason) {
  std::string text;
  if (!read_file_at(folder, journal_name, text, journal_read_limit)) {
    if (errno == ENOENT) return JournalRead::missing;
    reason = std::string("it cannot be read: ") + std::strerror(errno);
    return JournalRead::damaged;
  }
  return parse_journal(text, content, reason);
}

namespace {

// Opens (making it when missing) the folder of abandoned runs below `base_fd`: ours, no link.
int open_abandoned_folder(int base_fd) {
  const bool made = ::mkdirat(base_fd, abandoned_folder_name, 0700) == 0;
  if (!made && errno != EEXIST) return -1;
  const int fd = open_folder_at(base_fd, abandoned_folder_name);
  struct stat st {};
  if (fd >= 0 && made) make_ours_alone(fd);
  if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))) {
    ::close(fd);
    errno = EPERM;
    return -1;
  }
  return fd;
}

}  // namespace

// Moves the folder `name` below `base_fd` into abandoned/, dated now so that its week starts
// today (a rename keeps the folder's own time).
bool abandon_at(int base_fd, const std::string& name, std::string& reason) {
  const Descriptor abandoned(open_abandoned_folder(base_fd));
  if (abandoned.get() < 0) {
    reason = std::string(abandoned_folder_name) + ": " + std::strerror(errno);
    return false;
  }
  std::string target = name;
  for (int attempt = 1; ::renameat(base_fd, name.c_str(), abandoned.get(), target.c_str()) != 0; ++attempt) {
    if ((errno != EEXIST && errno != ENOTEMPTY) || attempt > 100) {
      reason = name + ": " + std::strerror(errno);
      return false;
    }
    target = name + "-" + std::to_string(attempt);
  }
  ::utimensat(abandoned.get(), target.c_str(), nullptr, AT_SYMLINK_NOFOLLOW);
  return true;
}

namespace {

// Removes the abandoned folders older than a week.
void remove_old_abandoned_at(int base_fd) {
  const Descriptor abandoned(open_folder_at(base_fd, abandoned_folder_name));
  if (abandoned.get() < 0) return;
  DIR* entries = ::fdopendir(::dup(abandoned.get()));
  if (entries == nullptr) return;
  std::vector<std::string> old;
  const auto now = std::chrono::system_clock::now();
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    struct stat st {};
    if (name == "." || name == ".." ||
        ::fstatat(abandoned.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != ::getuid())
      continue;
    if (now - std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec) > abandoned_kept_for)
      old.emplace_back(name);
  }
  ::closedir(entries);
  for (const std::string& name : old) remove_tree_at(abandoned.get(), name.c_str());
}

}  // namespace

// Why `base` must not hold run folders, empty when it may: only a folder of our own, reached
// without a link, that nobody else can write to.
std::string refusal_of_base(int fd, const fs::path& base) {
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
  if (others_may_write(st))
    return base.string() + " may be changed by others: it is not used for the case files";
  return {};
}

int open_base(const fs::path& base) {
  return ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names in the folder open at `fd`, without "." and "..".
std::vector<std::string> folder_names(int fd) {
  std::vector<std::string> names;
  const int listing = ::dup(fd);
  DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
  if (entries == nullptr) {
    if (listing >= 0) ::close(listing);
    return names;
  }
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(entries);  // closes the duplicate too
  return names;
}

// Sweeps the base open at `base_fd`.
void remove_dead_run_folders_at(int base_fd) {
  const std::vector<std::string> names = folder_names(base_fd);
  remove_old_abandoned_at(base_fd);
  for (const std::string& name : names) {
    if (name == abandoned_folder_name) continue;
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
    if (try_lock(fd)) {
      JournalContent journal;
      std::string reason;
      switch (read_journal_at(folder.get(), journal, reason)) {
        case JournalRead::ok:
          // Saved data waits for the start that offers it back.
          if (!holds_saved_data(journal.analysis.general)) remove_tree_at(base_fd, name.c_str());
          break;
        case JournalRead::damaged: abandon_at(base_fd, name, reason); break;
        case JournalRead::missing: remove_tree_at(base_fd, name.c_str()); break;
      }
    }
    ::close(fd);
  }
}

// The folders tried in turn for ".brantel": the start folder, the runtime folder, temp; the
// last two are shared with other users' programs, the first often with a group.
std::vector<Base> candidate_bases(const fs::path& start_folder) {
  std::vector<Base> bases{{start_folder / ".brantel"}};
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
    bases.push_back({fs::path(runtime) / "brantel"});
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (!ec) bases.push_back({temp / ("brantel-" + std::to_string(::getuid()))});
  return bases;
}

}  // namespace model::case_files::detail
