// Only regular files are read or written. A device such as /dev/zero never ends, a FIFO blocks
// the program until some other process writes to it, and a folder or a socket holds no text:
// each is refused with a message that says what the path names.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace files {

// A file descriptor closed on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor();
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // The descriptor, no longer closed here.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

enum class FileKind {
  missing,    // nothing by that name (or a folder on the way is missing)
  regular,    // an ordinary file: the only kind that is read or written
  directory,  // a folder
  fifo,       // a named pipe
  device,     // a character or block device
  socket,     // a Unix-domain socket
  other,      // anything else the system may have
};

// What the path names now, following symbolic links.
FileKind file_kind(const std::string& path);
// The kind of a file of mode `mode` (struct stat's st_mode).
FileKind file_kind_of_mode(unsigned mode);

// The kind as the messages say it: "a folder", "un director", ...
std::string_view kind_words(FileKind kind, bool romanian);

enum class FileReadStatus {
  ok,           // the whole file (read_file_head: its first bytes) is in `content`
  missing,      // there is no such file
  not_regular,  // the path names a folder, device, FIFO or socket: nothing was read from it
  cannot_read,  // permission, I/O error and the like; `error` holds the errno
  too_large,    // the file is (or grew while read to) more than the limit: nothing is kept
};

// The most a text file read whole may hold: loading files and geometry files of the largest
// models are tens of megabytes, and a file thousands of times larger is no such file (a sparse
// file, a log that another program keeps appending to) but would take all memory.
inline constexpr std::size_t max_text_file_bytes = std::size_t{1} << 30;

// The limit as messages say it: "1 GiB (1073741824 bytes)".
std::string size_limit_words(std::size_t limit);

struct FileRead {
  FileReadStatus status = FileReadStatus::ok;
  FileKind kind = FileKind::regular;
  int error = 0;
};

// Reads a regular file whole. The file is opened without blocking and its kind checked on the
// open descriptor, so neither a FIFO that nobody writes to nor a path replaced between a check and
// the open can hang or feed the reader. A file of more than `max_bytes`, or one that grows past
// them while read, is too_large and nothing of it is kept: a table or record cut short at the
// limit would read as a shorter one.
FileRead read_regular_file(const std::string& path, std::string& content,
                           std::size_t max_bytes = std::numeric_limits<std::size_t>::max());

// The first `n_bytes` of a regular file at most (fewer when it is shorter), opened as
// read_regular_file opens it: for readers that only look at how a file begins.
FileRead read_file_head(const std::string& path, std::string& head, std::size_t n_bytes);

// The file `name` of the folder open at `folder_fd`, opened without following a link (a link
// is `other`), then read as read_regular_file_with reads a path.
FileRead read_regular_file_with_at(int folder_fd, const std::string& name,
                                   const std::function<bool(int fd, std::size_t size)>& read,
                                   std::size_t max_bytes = std::numeric_limits<std::size_t>::max());

// Opens a regular file as read_regular_file does and hands the open, blocking descriptor and
// the file's size to `read`, for readers that keep the bytes in storage of their own. `read`
// returns false on a read error, with errno set (EFBIG: the file grew beyond `max_bytes`).
// A file larger than `max_bytes` when opened is not handed to `read`: too_large.
FileRead read_regular_file_with(const std::string& path,
                                const std::function<bool(int fd, std::size_t size)>& read,
                                std::size_t max_bytes = std::numeric_limits<std::size_t>::max());

}  // namespace files
