#include "loadfile/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace loadfile {

namespace {

namespace fs = std::filesystem;

// Large enough that a 50 MB file takes few system calls, small enough not to matter.
constexpr std::size_t flush_threshold = 1 << 20;

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

// Devices and file systems that cannot sync say so with these; the data is written all the same.
bool sync_failed(int fd) {
  return ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP;
}

void sync_folder(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

OutputFile::OutputFile(std::string target) : target_(resolved_target(target)) {}

OutputFile::~OutputFile() { abandon(); }

OutputStatus OutputFile::fail(OutputStatus status, int error) {
  if (status_ == OutputStatus::ok) {
    status_ = status;
    error_ = error;
  }
  return status_;
}

void OutputFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

OutputStatus OutputFile::open() {
  if (target_.empty()) return fail(OutputStatus::cannot_create, ENOENT);
  buffer_.reserve(flush_threshold + 4096);
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    kind_ = text::file_kind(target_);
    return fail(OutputStatus::not_regular, 0);
  }
  // A read-only loading file stays read-only, even though its folder would let us replace it.
  if (exists && ::access(target_.c_str(), W_OK) != 0) return fail(OutputStatus::cannot_create, errno);
  const fs::path target(target_);
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return fail(OutputStatus::cannot_create, errno);
  temporary_ = pattern;
  if (::fchmod(fd_, exists ? (existing.st_mode & 07777) : creation_mode()) != 0)
    return fail(OutputStatus::cannot_create, errno);
  return OutputStatus::ok;
}

void OutputFile::write_record(std::string_view record) {
  if (status_ != OutputStatus::ok) return;
  buffer_.append(record);
  buffer_.append("\r\n");
  if (buffer_.size() >= flush_threshold) flush();
}

bool OutputFile::flush() {
  if (fd_ < 0 || status_ != OutputStatus::ok) return false;
  const bool written = write_all(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
  if (!written) fail(OutputStatus::cannot_write, errno);
  return written;
}

OutputStatus OutputFile::finish() {
  if (fd_ < 0 && status_ == OutputStatus::ok) return fail(OutputStatus::cannot_create, EBADF);
  if (!flush()) return status_;
  if (sync_failed(fd_)) return fail(OutputStatus::cannot_write, errno);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return fail(OutputStatus::cannot_close, errno);
  // The target may have been replaced by a device or a FIFO while the file was being written.
  if (const text::FileKind now = text::file_kind(target_);
      now != text::FileKind::regular && now != text::FileKind::missing) {
    kind_ = now;
    return fail(OutputStatus::not_regular, 0);
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(OutputStatus::cannot_close, errno);
  temporary_.clear();
  sync_folder(target_);
  return OutputStatus::ok;
}

}  // namespace loadfile
