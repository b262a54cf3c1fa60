// The folder a run killed mid-work leaves behind: its free lock, its journal and a case file.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/session.h"
#include "model/case_files/journal.h"
#include "model/case_files/run_folder.h"
#include "support/temp_dir.h"

namespace testing_support {

// `<start>/.brantel/<name>/` of a run that had `cases` cases added and, when `loading_file` is
// not empty, that file chosen; its journal dated `saved_at` (seconds since the epoch).
inline std::filesystem::path plant_stopped_run(const std::filesystem::path& start, const std::string& name,
                                               std::int64_t saved_at, int cases,
                                               const std::string& loading_file = "") {
  namespace cf = model::case_files;
  const std::filesystem::path folder = start / ".brantel" / name;
  write_file(folder / cf::run_lock_name, "");
  testing_support::Session s;
  s.max_time_points = 100;
  s.general().n_loading_cases = cases;
  s.loading_file() = loading_file;
  cf::CaseStore& store = s.cases;
  store.set_count(cases);
  for (int k = 1; k <= cases; ++k) store.at(k).processed = true;
  cf::JournalSummary summary;
  summary.saved_at = saved_at;
  summary.start_folder = start.string();
  write_file(folder / cf::journal_name, cf::journal_text(s, store, summary));
  write_file(folder / "1TP.dat", "case data of " + name);
  // As a run makes it: ours alone, whatever the umask.
  std::filesystem::permissions(start / ".brantel", std::filesystem::perms::owner_all);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  std::filesystem::last_write_time(folder, std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  return folder;
}

}  // namespace testing_support
