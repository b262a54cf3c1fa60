#include "files/record_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

namespace files {

namespace {

// Room for n characters, left as it is: the caller fills all of it at once.
std::shared_ptr<char[]> uninitialized_text(std::size_t n) { return std::shared_ptr<char[]>(new char[n == 0 ? 1 : n]); }

}  // namespace

// Only a regular file is read (see regular_file.h); `why` says what stopped it. The
// content is read straight into its final place, which is not cleared first: a large loading
// file is read once, not copied again through a buffer.
namespace {

using Opener = std::function<FileRead(const std::function<bool(int, std::size_t)>&)>;

bool read_records_from(const Opener& open_and_read, text::RecordSource& out, FileRead* why, std::size_t max_bytes) {
  std::shared_ptr<char[]> bytes;
  std::size_t size = 0;
  const FileRead read = open_and_read([&](int fd, std::size_t expected) {
    bytes = uninitialized_text(expected);
    std::size_t capacity = expected;
    char probe[4096];
    for (;;) {
      // A full buffer is probed through a small one first: the file usually ends there, and
      // only a file that grew since its size was taken pays for a larger copy.
      char* target = size < capacity ? bytes.get() + size : probe;
      const ssize_t n = ::read(fd, target, size < capacity ? capacity - size : sizeof probe);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) return true;
      // A file that another program keeps appending to would otherwise be read without end.
      if (static_cast<std::size_t>(n) > max_bytes - size) {
        errno = EFBIG;
        return false;
      }
      if (target == probe) {
        capacity = std::min(max_bytes, size + static_cast<std::size_t>(n) + capacity / 2);
        std::shared_ptr<char[]> larger = uninitialized_text(capacity);
        if (size > 0) std::memcpy(larger.get(), bytes.get(), size);
        std::memcpy(larger.get() + size, probe, static_cast<std::size_t>(n));
        bytes = std::move(larger);
      }
      size += static_cast<std::size_t>(n);
    }
  });
  if (why) *why = read;
  if (read.status != FileReadStatus::ok) return false;
  out = text::RecordSource::adopt(std::move(bytes), size);
  return true;
}

}  // namespace

bool read_records(const std::string& path, text::RecordSource& out, FileRead* why, std::size_t max_bytes) {
  return read_records_from(
      [&](const std::function<bool(int, std::size_t)>& read) { return read_regular_file_with(path, read, max_bytes); },
      out, why, max_bytes);
}

bool read_records_at(int folder_fd, const std::string& name, text::RecordSource& out, FileRead* why,
                     std::size_t max_bytes) {
  return read_records_from(
      [&](const std::function<bool(int, std::size_t)>& read) {
        return read_regular_file_with_at(folder_fd, name, read, max_bytes);
      },
      out, why, max_bytes);
}

}  // namespace files
