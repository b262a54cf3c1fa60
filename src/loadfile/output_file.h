// A text file written as a whole or not at all. The records go to a temporary file in the
// target's folder, which replaces the target only when every byte has reached the disk, so a
// failed write (missing folder, full disk, I/O error) never leaves a half-written file or
// destroys the previous one. A target that exists but is not a regular file (a device, a FIFO,
// a folder, a socket) is refused: it is never opened for writing, nor replaced.
#pragma once

#include <string>
#include <string_view>

#include "text/regular_file.h"

namespace loadfile {

enum class OutputStatus {
  ok,
  cannot_create,  // the target or its temporary file cannot be created or opened
  cannot_write,   // a write or the flush to the disk failed
  cannot_close,   // closing or putting the file in place of the target failed
  not_regular,    // the target names a device, FIFO, folder or socket: nothing was written
};

class OutputFile {
 public:
  explicit OutputFile(std::string target);
  ~OutputFile();  // an unfinished file is abandoned: the temporary file is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  OutputStatus open();
  // One record, CR LF appended. After a failure further records are dropped; finish() reports it.
  void write_record(std::string_view record);
  OutputStatus finish();

  // The errno of the first failure, 0 when none.
  int error_number() const { return error_; }
  // What the target names; not `regular` only after not_regular.
  text::FileKind target_kind() const { return kind_; }

 private:
  bool flush();
  OutputStatus fail(OutputStatus status, int error);
  void abandon();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  text::FileKind kind_ = text::FileKind::regular;
  std::string buffer_;
  int error_ = 0;
  OutputStatus status_ = OutputStatus::ok;
};

}  // namespace loadfile
