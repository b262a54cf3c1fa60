#include "files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace files {

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

FileKind kind_of_mode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::regular;
  if (S_ISDIR(mode)) return FileKind::directory;
  if (S_ISFIFO(mode)) return FileKind::fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::device;
  if (S_ISSOCK(mode)) return FileKind::socket;
  return FileKind::other;
}

// Reads to the end, or to `max_bytes` and then one byte more to tell a file that ends there
// from one that goes on (EFBIG) when `whole` asks for the whole file.
bool read_all(int fd, std::string& content, std::size_t max_bytes, std::size_t size_hint, bool whole) {
  content.clear();
  content.reserve(std::min(max_bytes, size_hint));
  char buffer[1 << 16];
  for (;;) {
    const std::size_t room = max_bytes - content.size();
    if (room == 0 && !whole) return true;
    const std::size_t wanted = room == 0 ? 1 : std::min(sizeof buffer, room);
    const ssize_t n = ::read(fd, buffer, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (room == 0) {
      errno = EFBIG;
      return false;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

FileKind file_kind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileKind::missing;
  return kind_of_mode(st.st_mode);
}

std::string_view kind_words(FileKind kind, bool romanian) {
  switch (kind) {
    case FileKind::missing: return romanian ? "un fisier care nu exista" : "a file that does not exist";
    case FileKind::regular: return romanian ? "un fisier" : "a file";
    case FileKind::directory: return romanian ? "un director" : "a folder";
    case FileKind::fifo: return romanian ? "un FIFO (named pipe)" : "a FIFO (named pipe)";
    case FileKind::device: return romanian ? "un dispozitiv" : "a device";
    case FileKind::socket: return romanian ? "un socket" : "a socket";
    case FileKind::other: return romanian ? "un fisier special" : "a special file";
  }
  return {};
}

std::string size_limit_words(std::size_t limit) {
  const std::string bytes = std::to_string(limit) + " bytes";
  if (limit >= (std::size_t{1} << 30) && limit % (std::size_t{1} << 30) == 0)
    return std::to_string(limit >> 30) + " GiB (" + bytes + ")";
  if (limit >= (std::size_t{1} << 20) && limit % (std::size_t{1} << 20) == 0)
    return std::to_string(limit >> 20) + " MiB (" + bytes + ")";
  return bytes;
}

namespace {

// What cannot be opened: a socket cannot be opened at all, so say what it is.
FileRead open_failure(int error, FileKind kind) {
  FileRead result;
  result.error = error;
  result.kind = kind;
  if (kind == FileKind::missing) result.status = FileReadStatus::missing;
  else if (kind != FileKind::regular) result.status = FileReadStatus::not_regular;
  else result.status = FileReadStatus::cannot_read;
  return result;
}

FileRead read_open_file(const Descriptor& fd, const std::function<bool(int fd, std::size_t size)>& read,
                        std::size_t max_bytes);

}  // namespace

FileKind file_kind_of_mode(unsigned mode) { return kind_of_mode(static_cast<mode_t>(mode)); }

FileRead read_regular_file_with(const std::string& path,
                                const std::function<bool(int fd, std::size_t size)>& read,
                                std::size_t max_bytes) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return open_failure(errno, file_kind(path));
  return read_open_file(fd, read, max_bytes);
}

FileRead read_regular_file_with_at(int folder_fd, const std::string& name,
                                   const std::function<bool(int fd, std::size_t size)>& read,
                                   std::size_t max_bytes) {
  Descriptor fd(::openat(folder_fd, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) {
    const int error = errno;
    struct stat st {};
    if (::fstatat(folder_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return open_failure(error, FileKind::missing);
    return open_failure(error, S_ISLNK(st.st_mode) ? FileKind::other : kind_of_mode(st.st_mode));
  }
  return read_open_file(fd, read, max_bytes);
}

namespace {

FileRead read_open_file(const Descriptor& fd, const std::function<bool(int fd, std::size_t size)>& read,
                        std::size_t max_bytes) {
  FileRead result;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.error = errno;
    result.status = FileReadStatus::cannot_read;
    return result;
  }
  result.kind = kind_of_mode(st.st_mode);
  if (result.kind != FileKind::regular) {
    result.status = FileReadStatus::not_regular;
    return result;
  }
  if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
    result.status = FileReadStatus::too_large;
    return result;
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  if (!read(fd.get(), static_cast<std::size_t>(st.st_size))) {
    result.error = errno;
    result.status = result.error == EFBIG ? FileReadStatus::too_large : FileReadStatus::cannot_read;
  }
  return result;
}

}  // namespace

FileRead read_regular_file(const std::string& path, std::string& content, std::size_t max_bytes) {
  const FileRead result = read_regular_file_with(
      path, [&](int fd, std::size_t size) { return read_all(fd, content, max_bytes, size, true); }, max_bytes);
  if (result.status != FileReadStatus::ok) content.clear();
  return result;
}

FileRead read_file_head(const std::string& path, std::string& head, std::size_t n_bytes) {
  const FileRead result =
      read_regular_file_with(path, [&](int fd, std::size_t size) { return read_all(fd, head, n_bytes, size, false); });
  if (result.status != FileReadStatus::ok) head.clear();
  return result;
}

}  // namespace files
