// The one writer of every file the program writes: a file written as a whole or not at all.
// The bytes go to a temporary file in the target's folder, which replaces the target only when
// every byte has reached the disk (flush, fsync, rename), so a failed write (missing folder,
// full disk, I/O error, a killed process) never leaves a half-written file or destroys the
// previous one. A target that exists but is not a regular file (a device, a FIFO, a folder, a
// socket) is refused: it is never opened for writing, nor replaced.
//
// The temporary file is named ".<target name>.part-<pid>-XXXXXX": unique to the process, and
// saying which process made it, so that the next save into the same folder removes the
// temporaries of processes that are gone (a save that was killed).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "files/regular_file.h"

namespace model::case_files {

enum class OutputStatus {
  ok,
  cannot_create,  // the target or its temporary file cannot be created or opened
  cannot_write,   // a write or the flush to the disk failed
  cannot_close,   // closing or putting the file in place of the target failed
  not_regular,    // the target names a device, FIFO, folder or socket: nothing was written
  declined,       // the finished file was not approved: the target was left as it was
};

class AtomicFile {
 public:
  // Bytes gathered before a write to the file; write() passes a text at least this long
  // straight on. Large enough that a 50 MB file takes few system calls, small enough not to matter.
  static constexpr std::size_t buffer_size = 1 << 20;

  explicit AtomicFile(std::string target);
  // The file `name` in the folder open at `folder_fd` (kept open by the AtomicFile), as a run
  // writes its own files: neither the target nor its temporary is reached through a link, and
  // a link where the target should be is refused as a file that is not regular.
  AtomicFile(int folder_fd, std::string name);
  ~AtomicFile();  // an unfinished file is abandoned: the temporary file is removed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  OutputStatus open();
  // One record, CR LF appended. After a failure further records are dropped; finish() reports it.
  void write_record(std::string_view record);
  // Bytes as they are.
  void write(std::string_view bytes);
  // `approve` (when given) sees the finished file at its temporary path before it replaces the
  // target; false abandons it.
  using Approval = std::function<bool(const std::string& finished_path)>;
  OutputStatus finish(const Approval& approve = {});

  // The errno of the first failure, 0 when none.
  int error_number() const { return error_; }
  // What the target names; not `regular` only after not_regular.
  files::FileKind target_kind() const { return kind_; }

 private:
  bool flush();
  OutputStatus open_at();
  OutputStatus fail(OutputStatus status, int error);
  void abandon();

  std::string target_;  // the name in folder_fd_ when that is open
  int folder_fd_ = -1;
  bool in_folder_ = false;  // made with a folder descriptor
  std::string temporary_;
  int fd_ = -1;
  files::FileKind kind_ = files::FileKind::regular;
  std::string buffer_;
  int error_ = 0;
  OutputStatus status_ = OutputStatus::ok;
};

// The temporary file name of a save of `target_name` by process `pid` (before mkstemp's suffix).
std::string temporary_prefix(std::string_view target_name, long pid);
// Removes, in `folder`, the temporaries whose process is gone. Those of live processes, and
// every other file, stay.
void remove_abandoned_temporaries(const std::filesystem::path& folder);

// The call that makes a file's or a folder's bytes durable (fsync). A save is only as safe as
// this call: tests replace it to see that a file is synced before it takes the target's place,
// and what a failing sync does. Returns the call it replaces.
using SyncCall = int (*)(int fd);
SyncCall set_sync_call(SyncCall call);

// Replaces the file at `path` with `content` through an AtomicFile. false with a short
// `reason` when it fails; the previous file is then whole.
bool replace_file(const std::string& path, std::string_view content, std::string& reason);
// The same with the bytes `write` puts into the opened file, so that a large file need not be
// held whole in memory first.
bool replace_file(const std::string& path, const std::function<void(AtomicFile&)>& write, std::string& reason);
// The file `name` of the folder open at `folder_fd`, as AtomicFile(folder_fd, name) writes it.
bool replace_file_at(int folder_fd, const std::string& name, const std::function<void(AtomicFile&)>& write,
                     std::string& reason);

}  // namespace model::case_files
