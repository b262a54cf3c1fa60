// The private folder of one run, where its case files live: created at start, held by a lock
// while the run lives, removed at exit. A folder of its own means no file box, refused file or
// change of the current directory moves the case files, two runs never share them, and a run
// never sees the files of another.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/regular_file.h"
#include "model/case_files/journal.h"
#include "model/limits.h"

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
  RunFolder(std::filesystem::path path, int base_fd, int folder_fd, int lock_fd);
  void release();

  std::filesystem::path path_;
  int base_fd_ = -1;    // the folder of the runs, as checked when the run folder was made
  int folder_fd_ = -1;  // the run folder itself: every file of the run is opened relative to it
  int lock_fd_ = -1;
};

// An open descriptor of a run's folder, to open its files relative to without following links:
// the one a live RunFolder holds when `folder` is its path, so that a folder on the way
// replaced since (a link, another user's folder) is never reached; otherwise `folder` opened
// now (the current directory when empty). -1 with errno set when it cannot be opened.
files::Descriptor open_run_folder(const std::string& folder);

// The names, sizes and times of the files in the open run folder `folder_fd` but `skipped`
// and those whose names start with a dot, a line each in the order of their names: a SAVE that
// rewrote a case file changes it. Empty when the folder cannot be listed.
std::string case_file_fingerprint(int folder_fd, std::string_view skipped);

// The name of the lock file inside every run folder.
inline constexpr const char* run_lock_name = ".lock";

// Removes the run folders under `runs` (a ".brantel" folder) whose lock no live run holds.
// A folder without its lock file is left alone for a minute: its run may be making it.
// A dead run's folder whose journal holds saved data stays to be offered back; one whose
// journal cannot be read goes to `abandoned/`, where folders older than a week are removed.
void remove_dead_run_folders(const std::filesystem::path& runs);

// The folder below a ".brantel" folder where the folders of runs not taken back are kept.
inline constexpr const char* abandoned_folder_name = "abandoned";
using model::abandoned_kept_for;

// Why a take-over failed: the file, and the system's reason or the size limit.
struct TakeOverFailure {
  std::string file;
  std::string reason;
  bool too_large = false;  // the file is larger than files::max_text_file_bytes
};

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
  // its journal there, naming this folder as taken, and only then removes this folder: from
  // the journal on, no start offers this run again. On a failure `into` is left as it was.
  bool take_over(const std::filesystem::path& into, const std::filesystem::path& start_folder,
                 TakeOverFailure& failure);
  // Removes the folder (a run another one took over).
  void remove();

 private:
  void release();
  std::filesystem::path base_;
  std::string name_;
  int lock_fd_ = -1;
};

// A run set aside in abandoned/ (No at the recovery question, or a damaged journal), as
// `brantel --recover-list` lists it.
struct SetAsideRun {
  std::string name;                // its folder's name in abandoned/
  std::filesystem::path folder;
  JournalRead status = JournalRead::ok;  // ok or damaged
  std::string reason;                    // why the journal is damaged
  JournalSummary summary;                // when ok
  std::int64_t set_aside_at = 0;         // seconds since the epoch: removed abandoned_kept_for later
};

// The runs of `start_folder` set aside, newest first (those of a shared folder only when their
// journal names `start_folder`).
std::vector<SetAsideRun> find_set_aside_runs(const std::filesystem::path& start_folder);

enum class ClaimFailure {
  no_such_run,  // none of that name (or not a run's name at all)
  held,         // another program holds it now
  damaged,      // its journal cannot be read: `reason` says why
};

// The run of `start_folder` named `name`, stopped or set aside, held, with its journal read
// whole: a run set aside is first moved back beside the stopped runs, so that a start that
// stops now offers it again. Empty with `failure` (and `reason`) when it cannot be had.
std::optional<StoppedRun> claim_run(const std::filesystem::path& start_folder, const std::string& name,
                                    ClaimFailure& failure, std::string& reason);

// The stopped runs of `start_folder`, newest first, in every folder that may hold its runs.
// A damaged journal is reported only from the start folder's own ".brantel" (in a shared
// folder nothing says whose it was).
std::vector<StoppedRun> find_stopped_runs(const std::filesystem::path& start_folder);

}  // namespace model::case_files
