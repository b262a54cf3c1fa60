// A text file written as a whole or not at all. The records go to a temporary file in the
// target's folder, which replaces the target only when every byte has reached the disk, so a
// failed write (missing folder, full disk, I/O error) never leaves a half-written file or
// destroys the previous one. A target that exists but is not a regular file (a device such as
// /dev/full) is written in place: renaming over it would replace the device.
#pragma once

#include <string>
#include <string_view>

namespace loadfile {

enum class OutputStatus {
  ok,
  cannot_create,  // the target or its temporary file cannot be created or opened
  cannot_write,   // a write or the flush to the disk failed
  cannot_close,   // closing or putting the file in place of the target failed
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
  // True when the target is written in place (a device), so a failure may have changed it.
  bool writes_in_place() const { return in_place_; }

 private:
  bool flush();
  OutputStatus fail(OutputStatus status, int error);
  void abandon();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool in_place_ = false;
  std::string buffer_;
  int error_ = 0;
  OutputStatus status_ = OutputStatus::ok;
};

}  // namespace loadfile
