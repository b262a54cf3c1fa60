#include "model/case_files/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace model::case_files {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t flush_threshold = AtomicFile::buffer_size;

// A symbolic link is replaced through its destination, not by a plain file.
std::string resolved_target(const std::string& target) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
  const fs::path resolved = fs::weakly_canonical(target, ec);
  return ec ? target : resolved.string();
}

mode_t creation_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

SyncCall sync_call = ::fsync;

// Devices and file systems that cannot sync say so with these; the data is written all the same.
bool sync_failed(int fd) {
  return sync_call(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP;
}

void sync_folder(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  sync_call(fd);
  ::close(fd);
}

constexpr std::string_view temporary_marker = ".part-";
constexpr std::size_t unique_suffix_length = 6;  // mkstemp's XXXXXX

// The process that made a temporary file of an atomic save, by its name; 0 for other names.
long temporary_owner(std::string_view name) {
  if (!name.starts_with('.')) return 0;
  const std::size_t marker = name.rfind(temporary_marker);
  if (marker == std::string_view::npos || marker == 0) return 0;
  const std::string_view rest = name.substr(marker + temporary_marker.size());
  long pid = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
  const std::size_t digits = static_cast<std::size_t>(end - rest.data());
  if (error != std::errc() || digits == 0 || rest.size() != digits + 1 + unique_suffix_length ||
      rest[digits] != '-')
    return 0;
  return pid;
}

// A process that exists, possibly another user's (EPERM).
bool process_alive(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

SyncCall set_sync_call(SyncCall call) { return std::exchange(sync_call, call); }

std::string temporary_prefix(std::string_view target_name, long pid) {
  return "." + std::string(target_name) + std::string(temporary_marker) + std::to_string(pid) + "-";
}

void remove_abandoned_temporaries(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    const long pid = temporary_owner(it->path().filename().string());
    std::error_code entry_ec;
    if (pid > 0 && pid != ::getpid() && !process_alive(pid) && it->is_regular_file(entry_ec))
      fs::remove(it->path(), entry_ec);
  }
}

bool replace_file(const std::string& path, std::string_view content, std::string& reason) {
  return replace_file(path, [content](AtomicFile& file) { file.write(content); }, reason);
}

bool replace_file(const std::string& path, const std::function<void(AtomicFile&)>& write, std::string& reason) {
  AtomicFile file(path);
  if (file.open() == OutputStatus::ok) {
    write(file);
    if (file.finish() == OutputStatus::ok) return true;
  }
  reason = std::strerror(file.error_number());
  return false;
}

bool replace_file_at(int folder_fd, const std::string& name, const std::function<void(AtomicFile&)>& write,
                     std::string& reason) {
  AtomicFile file(folder_fd, name);
  if (file.open() == OutputStatus::ok) {
    write(file);
    if (file.finish() == OutputStatus::ok) return true;
  }
  reason = file.error_number() != 0 ? std::strerror(file.error_number())
                                    : "it is " + std::string(files::kind_words(file.target_kind(), false)) +
                                          ", not a regular file";
  return false;
}

AtomicFile::AtomicFile(std::string target) : target_(resolved_target(target)) {}

AtomicFile::AtomicFile(int folder_fd, std::string name)
    : target_(std::move(name)),
      folder_fd_(folder_fd < 0 ? -1 : ::fcntl(folder_fd, F_DUPFD_CLOEXEC, 0)),
      in_folder_(true) {}

AtomicFile::~AtomicFile() {
  abandon();
  if (folder_fd_ >= 0) ::close(folder_fd_);
}

OutputStatus AtomicFile::fail(OutputStatus status, int error) {
  if (status_ == OutputStatus::ok) {
    status_ = status;
    error_ = error;
  }
  return status_;
}

void AtomicFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (temporary_.empty()) return;
  if (folder_fd_ >= 0) ::unlinkat(folder_fd_, temporary_.c_str(), 0);
  else ::unlink(temporary_.c_str());
}

OutputStatus AtomicFile::open_at() {
  if (folder_fd_ < 0) return fail(OutputStatus::cannot_create, EBADF);
  buffer_.reserve(flush_threshold + 4096);
  struct stat existing {};
  if (::fstatat(folder_fd_, target_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(existing.st_mode)) {
    kind_ = S_ISLNK(existing.st_mode) ? files::FileKind::other : files::file_kind_of_mode(existing.st_mode);
    return fail(OutputStatus::not_regular, 0);
  }
  static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporary_prefix(target_, ::getpid());
    for (std::size_t i = 0; i < unique_suffix_length; ++i) name += letters[random() % (sizeof letters - 1)];
    fd_ = ::openat(folder_fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      temporary_ = std::move(name);
      return OutputStatus::ok;
    }
    if (errno != EEXIST) break;
  }
  return fail(OutputStatus::cannot_create, errno);
}

OutputStatus AtomicFile::open() {
  if (in_folder_) return open_at();
  if (target_.empty()) return fail(OutputStatus::cannot_create, ENOENT);
  buffer_.reserve(flush_threshold + 4096);
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    kind_ = files::file_kind(target_);
    return fail(OutputStatus::not_regular, 0);
  }
  // A read-only loading file stays read-only, even though its folder would let us replace it.
  if (exists && ::access(target_.c_str(), W_OK) != 0) return fail(OutputStatus::cannot_create, errno);
  const fs::path target(target_);
  remove_abandoned_temporaries(target.parent_path());
  std::string pattern =
      (target.parent_path() / (temporary_prefix(target.filename().string(), ::getpid()) + "XXXXXX"))
          .string();
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return fail(OutputStatus::cannot_create, errno);
  temporary_ = pattern;
  if (::fchmod(fd_, exists ? (existing.st_mode & 07777) : creation_mode()) != 0)
    return fail(OutputStatus::cannot_create, errno);
  return OutputStatus::ok;
}

void AtomicFile::write_record(std::string_view record) {
  if (status_ != OutputStatus::ok) return;
  buffer_.append(record);
  buffer_.append("\r\n");
  if (buffer_.size() >= flush_threshold) flush();
}

void AtomicFile::write(std::string_view bytes) {
  if (status_ != OutputStatus::ok) return;
  // A text as large as the buffer goes to the file as it is: copying it first only costs.
  if (bytes.size() >= flush_threshold && fd_ >= 0) {
    if (!buffer_.empty() && !flush()) return;
    if (!write_all(fd_, bytes.data(), bytes.size())) fail(OutputStatus::cannot_write, errno);
    return;
  }
  buffer_.append(bytes);
  if (buffer_.size() >= flush_threshold) flush();
}

bool AtomicFile::flush() {
  if (fd_ < 0 || status_ != OutputStatus::ok) return false;
  const bool written = write_all(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
  if (!written) fail(OutputStatus::cannot_write, errno);
  return written;
}

OutputStatus AtomicFile::finish(const Approval& approve) {
  if (fd_ < 0 && status_ == OutputStatus::ok) return fail(OutputStatus::cannot_create, EBADF);
  if (!flush()) return status_;
  if (sync_failed(fd_)) return fail(OutputStatus::cannot_write, errno);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return fail(OutputStatus::cannot_close, errno);
  // A run's own files need no approval: nothing but the run reads them.
  if (in_folder_) {
    struct stat now {};
    if (::fstatat(folder_fd_, target_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(now.st_mode)) {
      kind_ = files::FileKind::other;
      return fail(OutputStatus::not_regular, 0);
    }
    if (::renameat(folder_fd_, temporary_.c_str(), folder_fd_, target_.c_str()) != 0)
      return fail(OutputStatus::cannot_close, errno);
    temporary_.clear();
    sync_call(folder_fd_);
    return OutputStatus::ok;
  }
  if (approve && !approve(temporary_)) return fail(OutputStatus::declined, 0);
  // The target may have been replaced by a device or a FIFO while the file was being written.
  if (const files::FileKind now = files::file_kind(target_);
      now != files::FileKind::regular && now != files::FileKind::missing) {
    kind_ = now;
    return fail(OutputStatus::not_regular, 0);
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(OutputStatus::cannot_close, errno);
  temporary_.clear();
  sync_folder(target_);
  return OutputStatus::ok;
}

}  // namespace model::case_files
