// The private folder of one run, where its case files live: created at start, held by a lock
// while the run lives, removed at exit. A folder of its own means no file box, refused file or
// change of the current directory moves the case files, two runs never share them, and a run
// never sees the files of another.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/case_files/journal.h"

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
// A dead run's folder whose journal holds saved data stays to be offered back; one whose
// journal cannot be read goes to `abandoned/`, where folders older than a week are removed.
void remove_dead_run_folders(const std::filesystem::path& runs);

// The folder below a ".brantel" folder where the folders of runs not taken back are kept.
inline constexpr const char* abandoned_folder_name = "abandoned";
// How long an abandoned run's folder is kept.
inline constexpr auto abandoned_kept_for = std::chrono::hours(24 * 7);

// A run of this start folder that stopped without ending (a crash, a kill, a power cut) and
// left saved data, or a journal that cannot be read. Holds the folder's lock while it lives,
// so that no other program starting now takes it or sweeps it away.
class StoppedRun {
 public:
  StoppedRun(std::filesystem::path base, std::string name, int lock_fd);
  ~StoppedRun();
  StoppedRun(StoppedRun&& other) noexcept;
  StoppedRun& operator=(StoppedRun&& other) noexcept;
  StoppedRun(const StoppedRun&) = delete;
  StoppedRun& operator=(const StoppedRun&) = delete;

  std::filesystem::path folder() const { return base_ / name_; }
  const std::string& name() const { return name_; }
  JournalRead status = JournalRead::ok;  // ok or damaged
  std::string reason;                     // why the journal is damaged
  JournalContent journal;                 // when ok
  std::int64_t stopped_at = 0;            // the journal's time, or the folder's when damaged

  // Moves the folder to `<base>/abandoned/<run>/`, dated now. false with `reason` when it failed.
  bool abandon(std::string& why);
  // Copies the case files into `into` (the new run's folder, started in `start_folder`), writes
  // its journal there, and only then removes this folder. On a failure `into` is left as it was.
  bool take_over(const std::filesystem::path& into, const std::filesystem::path& start_folder, std::string& why);

 private:
  void release();
  std::filesystem::path base_;
  std::string name_;
  int lock_fd_ = -1;
};

// The stopped runs of `start_folder`, newest first, in every folder that may hold its runs.
// A damaged journal is reported only from the start folder's own ".brantel" (in a shared
// folder nothing says whose it was).
std::vector<StoppedRun> find_stopped_runs(const std::filesystem::path& start_folder);

}  // namespace model::case_files
