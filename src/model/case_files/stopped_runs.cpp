// Runs that stopped without ending: found, claimed, taken over; and the runs set aside.
#include "model/case_files/run_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <string_view>
#include <utility>
#include <vector>

#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/folder_at.h"

namespace model::case_files {

namespace fs = std::filesystem;
using files::Descriptor;
using namespace detail;

bool StoppedRun::take_over(const fs::path& into, const fs::path& start_folder, TakeOverFailure& failure) {
  const Descriptor base(open_base(base_));
  const Descriptor folder(base.get() < 0 ? -1 : open_folder_at(base.get(), name_.c_str()));
  DIR* entries = folder.get() < 0 ? nullptr : ::fdopendir(::dup(folder.get()));
  if (entries == nullptr) {
    failure = {(base_ / name_).string(), std::strerror(errno)};
    return false;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    // The lock, the journal (the new run writes its own) and the temporaries of killed saves.
    if (!name.starts_with(".") && name != journal_name) names.emplace_back(name);
  }
  ::closedir(entries);
  const Descriptor into_fd(open_run_folder(into.string()));
  if (into_fd.get() < 0) {
    failure = {into.string(), std::strerror(errno)};
    return false;
  }
  // Half a copy would pass for this run's own files: what was copied goes again on a failure.
  auto give_up = [&](const std::string& name, std::size_t copied, std::string why) {
    if (why.empty()) why = std::strerror(errno);
    failure.file = name;
    failure.reason = std::move(why);
    for (std::size_t i = 0; i < copied; ++i) ::unlinkat(into_fd.get(), names[i].c_str(), 0);
    return false;
  };
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string content, why;
    // A case file is a text file like any other: one beyond the limit is no case file of ours.
    if (!read_file_at(folder.get(), names[i].c_str(), content, files::max_text_file_bytes)) {
      failure.too_large = errno == EFBIG;
      return give_up(names[i], i, {});
    }
    if (!replace_file_at(into_fd.get(), names[i], [&content](AtomicFile& file) { file.write(content); }, why))
      return give_up(names[i], i, why);
  }
  // The new journal names this folder as taken: from the moment it is in place, the next start
  // offers the new run alone, even when this folder outlives a kill before its removal below.
  Journal journal_of_into(into, start_folder.string());
  journal_of_into.take_over_from(name_);
  std::string why;
  ProgramState state;
  CaseStore cases;
  restore_journaled_state(journal, state, cases);
  if (!journal_of_into.record(state, cases, 0, why)) return give_up(journal_name, names.size(), why);
  remove_tree_at(base.get(), name_.c_str());
  struct stat st {};
  if (::fstatat(base.get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) abandon_at(base.get(), name_, why);
  release();
  return true;
}

std::vector<StoppedRun> find_stopped_runs(const fs::path& start_folder) {
  std::vector<StoppedRun> runs;
  std::vector<bool> offered_runs;
  const std::string start = start_folder.lexically_normal().string();
  bool own_base = true;
  for (const Base& candidate : candidate_bases(start_folder)) {
    const Descriptor base(open_base(candidate.path));
    const bool usable = refusal_of_base(base.get(), candidate.path).empty();
    const bool own = std::exchange(own_base, false);
    if (!usable) continue;
    for (const std::string& name : folder_names(base.get())) {
      if (name.starts_with(".") || name == abandoned_folder_name) continue;
      const Descriptor folder(open_folder_at(base.get(), name.c_str()));
      struct stat st {};
      if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))
        continue;
      const int fd = ::openat(folder.get(), run_lock_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
      if (fd < 0) continue;
      if (!try_lock(fd)) {
        ::close(fd);
        continue;
      }
      StoppedRun run(candidate.path, name, fd);
      run.status = read_journal_at(folder.get(), run.journal, run.reason);
      run.stopped_at = run.status == JournalRead::ok ? run.journal.summary.saved_at : st.st_mtim.tv_sec;
      const bool offered =
          run.status == JournalRead::ok
              // The start folder's own runs stay its own when the folder is moved or renamed.
              ? (own || fs::path(run.journal.summary.start_folder).lexically_normal().string() == start) &&
                    holds_saved_data(run.journal.analysis.general)
              : run.status == JournalRead::damaged && own;
      // A taker of another start folder is read only for the run it names as taken.
      if (offered || (run.status == JournalRead::ok && !run.journal.summary.taken_from.empty())) {
        runs.push_back(std::move(run));
        offered_runs.push_back(offered);
      }
    }
  }
  // A run killed while it took another over left both folders: the one it took is gone for
  // every start from the moment the taker's journal names it.
  std::vector<std::string> taken;
  for (const StoppedRun& run : runs)
    if (run.status == JournalRead::ok && !run.journal.summary.taken_from.empty())
      taken.push_back(run.journal.summary.taken_from);
  std::vector<StoppedRun> kept;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (std::find(taken.begin(), taken.end(), runs[i].name()) != taken.end()) runs[i].remove();
    else if (offered_runs[i]) kept.push_back(std::move(runs[i]));
  }
  runs = std::move(kept);
  std::stable_sort(runs.begin(), runs.end(),
                   [](const StoppedRun& a, const StoppedRun& b) { return a.stopped_at > b.stopped_at; });
  return runs;
}

namespace {

// The folder of runs set aside below an open base, when it is ours alone.
int open_set_aside_folder(int base_fd) {
  const int fd = base_fd < 0 ? -1 : open_folder_at(base_fd, abandoned_folder_name);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A run folder below `parent`: ours alone, never through a link.
int open_own_run_folder(int parent, const std::string& name, struct stat& st) {
  const int fd = open_folder_at(parent, name.c_str());
  if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || others_may_write(st))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool started_in(const JournalSummary& summary, const std::string& start) {
  return fs::path(summary.start_folder).lexically_normal().string() == start;
}

// Each base a run of `start_folder` may have been set aside under, the start folder's own first
// (`own`), and only those that pass the checks of a base and hold a set-aside folder.
// `visit(candidate, own, base, set_aside)` returns false to end the walk.
template <class Visit>
void walk_set_aside_folders(const fs::path& start_folder, Visit visit) {
  bool own_base = true;
  for (const Base& candidate : candidate_bases(start_folder)) {
    const bool own = std::exchange(own_base, false);
    const Descriptor base(open_base(candidate.path));
    if (!refusal_of_base(base.get(), candidate.path).empty()) continue;
    const Descriptor set_aside(open_set_aside_folder(base.get()));
    if (set_aside.get() < 0) continue;
    if (!visit(candidate, own, base.get(), set_aside.get())) return;
  }
}

}  // namespace

std::vector<SetAsideRun> find_set_aside_runs(const fs::path& start_folder) {
  std::vector<SetAsideRun> runs;
  const std::string start = start_folder.lexically_normal().string();
  walk_set_aside_folders(start_folder, [&](const Base& candidate, bool own, int, int abandoned) {
    for (const std::string& name : folder_names(abandoned)) {
      struct stat st {};
      const Descriptor folder(open_own_run_folder(abandoned, name, st));
      if (folder.get() < 0) continue;
      SetAsideRun run;
      JournalContent journal;
      run.status = read_journal_at(folder.get(), journal, run.reason);
      if (run.status == JournalRead::missing) continue;
      // In a shared folder only a journal says whose a run was.
      if (!own && (run.status != JournalRead::ok || !started_in(journal.summary, start))) continue;
      run.name = name;
      run.folder = candidate.path / abandoned_folder_name / name;
      run.summary = std::move(journal.summary);
      run.set_aside_at = st.st_mtim.tv_sec;
      runs.push_back(std::move(run));
    }
    return true;
  });
  std::stable_sort(runs.begin(), runs.end(),
                   [](const SetAsideRun& a, const SetAsideRun& b) { return a.set_aside_at > b.set_aside_at; });
  return runs;
}

std::optional<StoppedRun> claim_run(const fs::path& start_folder, const std::string& name, ClaimFailure& failure,
                                    std::string& reason) {
  failure = ClaimFailure::no_such_run;
  if (name.empty() || name.starts_with(".") || name.find('/') != std::string::npos || name == abandoned_folder_name)
    return std::nullopt;
  for (StoppedRun& run : find_stopped_runs(start_folder)) {
    if (run.name() != name) continue;
    if (run.status == JournalRead::ok) return std::move(run);
    failure = ClaimFailure::damaged;
    reason = run.reason;
    return std::nullopt;
  }
  const std::string start = start_folder.lexically_normal().string();
  std::optional<StoppedRun> claimed;
  // Each return of false ends the walk with `failure` (and `claimed`) as they stand.
  walk_set_aside_folders(start_folder, [&](const Base& candidate, bool own, int base, int abandoned) {
    struct stat st {};
    const Descriptor folder(open_own_run_folder(abandoned, name, st));
    if (folder.get() < 0) return true;
    Descriptor lock(::openat(folder.get(), run_lock_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (lock.get() < 0) return true;
    if (!try_lock(lock.get())) {
      failure = ClaimFailure::held;
      return false;
    }
    JournalContent journal;
    std::string why;
    const JournalRead read = read_journal_at(folder.get(), journal, why);
    if (read == JournalRead::missing || (!own && (read != JournalRead::ok || !started_in(journal.summary, start))))
      return true;
    if (read != JournalRead::ok) {
      failure = ClaimFailure::damaged;
      reason = why;
      return false;
    }
    // Back beside the stopped runs, under a name no run there has.
    std::string target = name;
    for (int attempt = 1; ::renameat(abandoned, name.c_str(), base, target.c_str()) != 0; ++attempt) {
      if ((errno != EEXIST && errno != ENOTEMPTY) || attempt > 100) {
        failure = ClaimFailure::damaged;
        reason = std::strerror(errno);
        return false;
      }
      target = name + "-" + std::to_string(attempt);
    }
    claimed.emplace(candidate.path, target, lock.release());
    claimed->journal = std::move(journal);
    claimed->stopped_at = claimed->journal.summary.saved_at;
    return false;
  });
  return claimed;
}

}  // namespace model::case_files
