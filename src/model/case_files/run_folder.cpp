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

namespace model::case_files {

namespace fs = std::filesystem;
using files::Descriptor;

namespace {

constexpr auto young_folder_age = std::chrono::minutes(1);

// A folder below `parent`, never through a link.
int open_folder_at(int parent, const char* name) {
  return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool try_lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

// A folder of ours that the group or anyone may write to could have had anything put into it
// or swapped: its content is not ours to trust.
bool others_may_write(const struct stat& st) { return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

// A folder we have just made is for us alone, whatever the umask (a group's shared folder
// has 002, and 077 would leave it unusable).
bool make_ours_alone(int fd) { return ::fchmod(fd, 0700) == 0; }

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

constexpr std::size_t journal_read_limit = 16u << 20;

JournalRead read_journal_at(int folder, JournalContent& content, std::string& reason) {
  std::string text;
  if (!read_file_at(folder, journal_name, text, journal_read_limit)) {
    if (errno == ENOENT) return JournalRead::missing;
    reason = std::string("it cannot be read: ") + std::strerror(errno);
    return JournalRead::damaged;
  }
  return parse_journal(text, content, reason);
}

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
          if (!holds_saved_data(journal.state)) remove_tree_at(base_fd, name.c_str());
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
struct Base {
  fs::path path;
};
std::vector<Base> candidate_bases(const fs::path& start_folder) {
  std::vector<Base> bases{{start_folder / ".brantel"}};
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
    bases.push_back({fs::path(runtime) / "brantel"});
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (!ec) bases.push_back({temp / ("brantel-" + std::to_string(::getuid()))});
  return bases;
}

}  // namespace

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

bool StoppedRun::take_over(const fs::path& into, const fs::path& start_folder, TakeOverFailure& failure) {
  const Descriptor base(open_base(base_));
  const Descriptor folder(base.get() < 0 ? -1 : open_folder_at(base.get(), name_.c_str()));
  DIR* entries = folder.get() < 0 ? nullptr : ::fdopendir(::dup(folder.get()));
  if (entries == nullptr) {
    failure = {(base_ / name_).string(), std::strerror(errno)};
    return false;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    // The lock, the journal (the new run writes its own) and the temporaries of killed saves.
    if (!name.starts_with(".") && name != journal_name) names.emplace_back(name);
  }
  ::closedir(entries);
  const Descriptor into_fd(open_run_folder(into.string()));
  if (into_fd.get() < 0) {
    failure = {into.string(), std::strerror(errno)};
    return false;
  }
  // Half a copy would pass for this run's own files: what was copied goes again on a failure.
  auto give_up = [&](const std::string& name, std::size_t copied, std::string why) {
    if (why.empty()) why = std::strerror(errno);
    failure.file = name;
    failure.reason = std::move(why);
    for (std::size_t i = 0; i < copied; ++i) ::unlinkat(into_fd.get(), names[i].c_str(), 0);
    return false;
  };
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string content, why;
    // A case file is a text file like any other: one beyond the limit is no case file of ours.
    if (!read_file_at(folder.get(), names[i].c_str(), content, files::max_text_file_bytes)) {
      failure.too_large = errno == EFBIG;
      return give_up(names[i], i, {});
    }
    if (!replace_file_at(into_fd.get(), names[i], [&content](AtomicFile& file) { file.write(content); }, why))
      return give_up(names[i], i, why);
  }
  // The new journal names this folder as taken: from the moment it is in place, the next start
  // offers the new run alone, even when this folder outlives a kill before its removal below.
  Journal journal_of_into(into, start_folder.string());
  journal_of_into.take_over_from(name_);
  std::string why;
  if (!journal_of_into.record(journal.state, 0, why)) return give_up(journal_name, names.size(), why);
  remove_tree_at(base.get(), name_.c_str());
  struct stat st {};
  if (::fstatat(base.get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) abandon_at(base.get(), name_, why);
  release();
  return true;
}

std::vector<StoppedRun> find_stopped_runs(const fs::path& start_folder) {
  std::vector<StoppedRun> runs;
  std::vector<bool> offered_runs;
  const std::string start = start_folder.lexically_normal().string();
  bool own_base = true;
  for (const Base& candidate : candidate_bases(start_folder)) {
    const Descriptor base(open_base(candidate.path));
    const bool usable = refusal_of_base(base.get(), candidate.path).empty();
    const bool own = std::exchange(own_base, false);
    if (!usable) continue;
    for (const std::string& name : folder_names(base.get())) {
      if (name.starts_with(".") || name == abandoned_folder_name) continue;
      const Descriptor folder(open_folder_at(base.get(), name.c_str()));
      struct stat st {};
      if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))
        continue;
      const int fd = ::openat(folder.get(), run_lock_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
      if (fd < 0) continue;
      if (!try_lock(fd)) {
        ::close(fd);
        continue;
      }
      StoppedRun run(candidate.path, name, fd);
      run.status = read_journal_at(folder.get(), run.journal, run.reason);
      run.stopped_at = run.status == JournalRead::ok ? run.journal.summary.saved_at : st.st_mtim.tv_sec;
      const bool offered =
          run.status == JournalRead::ok
              // The start folder's own runs stay its own when the folder is moved or renamed.
              ? (own || fs::path(run.journal.summary.start_folder).lexically_normal().string() == start) &&
                    holds_saved_data(run.journal.state)
              : run.status == JournalRead::damaged && own;
      // A taker of another start folder is read only for the run it names as taken.
      if (offered || (run.status == JournalRead::ok && !run.journal.summary.taken_from.empty())) {
        runs.push_back(std::move(run));
        offered_runs.push_back(offered);
      }
    }
  }
  // A run killed while it took another over left both folders: the one it took is gone for
  // every start from the moment the taker's journal names it.
  std::vector<std::string> taken;
  for (const StoppedRun& run : runs)
    if (run.status == JournalRead::ok && !run.journal.summary.taken_from.empty())
      taken.push_back(run.journal.summary.taken_from);
  std::vector<StoppedRun> kept;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (std::find(taken.begin(), taken.end(), runs[i].name()) != taken.end()) runs[i].remove();
    else if (offered_runs[i]) kept.push_back(std::move(runs[i]));
  }
  runs = std::move(kept);
  std::stable_sort(runs.begin(), runs.end(),
                   [](const StoppedRun& a, const StoppedRun& b) { return a.stopped_at > b.stopped_at; });
  return runs;
}

namespace {

// The folder of runs set aside below an open base, when it is ours alone.
int open_set_aside_folder(int base_fd) {
  const int fd = base_fd < 0 ? -1 : open_folder_at(base_fd, abandoned_folder_name);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A run folder below `parent`: ours alone, never through a link.
int open_own_run_folder(int parent, const std::string& name, struct stat& st) {
  const int fd = open_folder_at(parent, name.c_str());
  if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool started_in(const JournalSummary& summary, const std::string& start) {
  return fs::path(summary.start_folder).lexically_normal().string() == start;
}

}  // namespace

std::vector<SetAsideRun> find_set_aside_runs(const fs::path& start_folder) {
  std::vector<SetAsideRun> runs;
  const std::string start = start_folder.lexically_normal().string();
  bool own_base = true;
  for (const Base& candidate : candidate_bases(start_folder)) {
    const bool own = std::exchange(own_base, false);
    const Descriptor base(open_base(candidate.path));
    if (!refusal_of_base(base.get(), candidate.path).empty()) continue;
    const Descriptor abandoned(open_set_aside_folder(base.get()));
    if (abandoned.get() < 0) continue;
    for (const std::string& name : folder_names(abandoned.get())) {
      struct stat st {};
      const Descriptor folder(open_own_run_folder(abandoned.get(), name, st));
      if (folder.get() < 0) continue;
      SetAsideRun run;
      JournalContent journal;
      run.status = read_journal_at(folder.get(), journal, run.reason);
      if (run.status == JournalRead::missing) continue;
      // In a shared folder only a journal says whose a run was.
      if (!own && (run.status != JournalRead::ok || !started_in(journal.summary, start))) continue;
      run.name = name;
      run.folder = candidate.path / abandoned_folder_name / name;
      run.summary = std::move(journal.summary);
      run.set_aside_at = st.st_mtim.tv_sec;
      runs.push_back(std::move(run));
    }
  }
  std::stable_sort(runs.begin(), runs.end(),
                   [](const SetAsideRun& a, const SetAsideRun& b) { return a.set_aside_at > b.set_aside_at; });
  return runs;
}

std::optional<StoppedRun> claim_run(const fs::path& start_folder, const std::string& name, ClaimFailure& failure,
                                    std::string& reason) {
  failure = ClaimFailure::no_such_run;
  if (name.empty() || name.starts_with(".") || name.find('/') != std::string::npos || name == abandoned_folder_name)
    return std::nullopt;
  for (StoppedRun& run : find_stopped_runs(start_folder)) {
    if (run.name() != name) continue;
    if (run.status == JournalRead::ok) return std::move(run);
    failure = ClaimFailure::damaged;
    reason = run.reason;
    return std::nullopt;
  }
  const std::string start = start_folder.lexically_normal().string();
  bool own_base = true;
  for (const Base& candidate : candidate_bases(start_folder)) {
    const bool own = std::exchange(own_base, false);
    const Descriptor base(open_base(candidate.path));
    if (!refusal_of_base(base.get(), candidate.path).empty()) continue;
    const Descriptor abandoned(open_set_aside_folder(base.get()));
    struct stat st {};
    const Descriptor folder(abandoned.get() < 0 ? -1 : open_own_run_folder(abandoned.get(), name, st));
    if (folder.get() < 0) continue;
    Descriptor lock(::openat(folder.get(), run_lock_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (lock.get() < 0) continue;
    if (!try_lock(lock.get())) {
      failure = ClaimFailure::held;
      return std::nullopt;
    }
    JournalContent journal;
    std::string why;
    const JournalRead read = read_journal_at(folder.get(), journal, why);
    if (read == JournalRead::missing || (!own && (read != JournalRead::ok || !started_in(journal.summary, start))))
      continue;
    if (read != JournalRead::ok) {
      failure = ClaimFailure::damaged;
      reason = why;
      return std::nullopt;
    }
    // Back beside the stopped runs, under a name no run there has.
    std::string target = name;
    for (int attempt = 1; ::renameat(abandoned.get(), name.c_str(), base.get(), target.c_str()) != 0; ++attempt) {
      if ((errno != EEXIST && errno != ENOTEMPTY) || attempt > 100) {
        failure = ClaimFailure::damaged;
        reason = std::strerror(errno);
        return std::nullopt;
      }
      target = name + "-" + std::to_string(attempt);
    }
    StoppedRun run(candidate.path, target, lock.release());
    run.journal = std::move(journal);
    run.stopped_at = run.journal.summary.saved_at;
    return run;
  }
  return std::nullopt;
}

}  // namespace model::case_files
