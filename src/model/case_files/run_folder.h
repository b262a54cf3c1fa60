// The private folder of one run, where its case files live: created at start, held by a lock
// while the run lives, removed at exit. A folder of its own means no file box, refused file or
// change of the current directory moves the case files, two runs never share them, and a run
// never sees the files of another.
#pragma once

#include <filesystem>
#include <string>

namespace model::case_files {

class RunFolder {
 public:
  // Creates `<start_folder>/.brantel/<run>/`, or, when the start folder is not writable, the
  // same under $XDG_RUNTIME_DIR/brantel or the temporary folder; first removes the folders of
  // runs that have ended without removing theirs (their lock is free). An empty path with
  // `reason` set when no folder can be made.
  static RunFolder create(const std::filesystem::path& start_folder, std::string& reason);

  RunFolder() = default;
  ~RunFolder();  // removes the folder and its files, which frees the lock
  RunFolder(RunFolder&& other) noexcept;
  RunFolder& operator=(RunFolder&& other) noexcept;
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // Absolute; empty when there is none.
  const std::filesystem::path& path() const { return path_; }

 private:
  RunFolder(std::filesystem::path path, int lock_fd) : path_(std::move(path)), lock_fd_(lock_fd) {}
  void release();

  std::filesystem::path path_;
  int lock_fd_ = -1;
};

// The name of the lock file inside every run folder.
inline constexpr const char* run_lock_name = ".lock";

// Removes the run folders under `runs` (a ".brantel" folder) whose lock no live run holds.
// A folder without its lock file is left alone for a minute: its run may be making it.
void remove_dead_run_folders(const std::filesystem::path& runs);

}  // namespace model::case_files
