// The run's journal: beside the case files each SAVE writes, one file in the run's folder holds
// the rest of the analysis (general data, damping block and diameters, the loading file's name,
// each case's record and facts) and the run's own facts, written whole or not at all each time
// it changes. After a crash the case files and the journal together rebuild the analysis and
// the program state; a journal that cannot be read whole is refused whole. A journal of the
// first version, which kept the cases as lists beside each other, is still read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/analysis.h"
#include "model/case_files/case_store.h"
#include "model/state.h"

namespace model::case_files {

inline constexpr const char* journal_name = "journal.json";
// Raised whenever a field changes meaning; a journal of a version not listed here is refused.
inline constexpr int journal_version = 2;
inline constexpr int journal_version_with_case_lists = 1;

// A loading file the run wrote or read last, as it then stood: a run taken back may replace it
// without asking only while it is still so.
struct OwnLoadingFile {
  std::string path;           // canonical
  std::int64_t written_ns = 0;  // the file's modification time, nanoseconds of its clock
  std::int64_t size = 0;

  friend bool operator==(const OwnLoadingFile&, const OwnLoadingFile&) = default;
};

// What a run had entered when its journal was last written, as the recovery question names it.
struct JournalSummary {
  std::int64_t saved_at = 0;    // seconds since the epoch: the last change
  std::string start_folder;     // the folder the run was started in
  int cases_entered = 0;        // cases added, or read from an old loading file
  std::string loading_file;     // trimmed; empty when none was named
  // A Create that succeeded after the last change (seconds since the epoch); none when the
  // data entered since then is in no loading file.
  std::optional<std::int64_t> created_at;
  std::vector<OwnLoadingFile> own_loading_files;
  // The folder name of the stopped run this one took over, written until that folder is gone;
  // empty for other journals.
  std::string taken_from;
};

struct JournalContent {
  JournalSummary summary;
  ProgramState state;  // the journaled part; folders, dialog results and editor tables stay default
  // The document: general data, damping, the accelerogram direction and each case's record and
  // facts, case k at cases[k - 1]; the sections are in the case files.
  Analysis analysis;
  Field<260> loading_file;
  int case_count = 0;  // the cases the Loading Cases dialog had made
};

enum class JournalRead {
  ok,
  missing,  // no journal: the run saved nothing
  damaged,  // unreadable, not JSON, another version, a field missing or of the wrong kind
};

// Reads `folder`'s journal. On `damaged`, `reason` says what is wrong and `content` is untouched.
JournalRead read_journal(const std::filesystem::path& folder, JournalContent& content, std::string& reason);

// The journal's text for a state and its document; `parse_journal` is its inverse.
std::string journal_text(const ProgramState& state, const CaseStore& cases, const JournalSummary& summary);
JournalRead parse_journal(std::string_view text, JournalContent& content, std::string& reason);

// Copies the journaled fields of `from` into `into` and its document into `cases` (the cases'
// sections stay), leaving the run's own (folders, ...) alone: the one place that rebuilds a
// program state and its document from a journal.
void restore_journaled_state(const JournalContent& from, ProgramState& into, CaseStore& cases);

// Whether a run entered anything worth offering back: a geometry file chosen or a number of
// cases saved (no case file is written before that).
bool holds_saved_data(const GeneralData& general);

// Keeps one run folder's journal up to date. `record` is cheap when nothing changed: it compares
// the journal's text and a fingerprint of the case files with the last ones written.
class Journal {
 public:
  Journal() = default;
  Journal(std::filesystem::path folder, std::string start_folder);

  // Writes the journal when the state or the case files changed since the last write.
  // `creations` counts the run's Creates that succeeded: a new one marks the data as written
  // into the loading file, until the next change. false with `reason` when the write failed
  // (the previous journal is then whole).
  // `own_files` are the loading files the run may replace without asking.
  bool record(const ProgramState& state, const CaseStore& cases, int creations, std::string& reason,
              const std::vector<OwnLoadingFile>& own_files = {});

  const std::filesystem::path& folder() const { return folder_; }
  // The next journal names `run` as the stopped run this one took over.
  void take_over_from(std::string run) { taken_from_ = std::move(run); }

 private:
  std::filesystem::path folder_;
  std::string start_folder_;
  std::string taken_from_;
  std::string last_state_image_;
  std::vector<OwnLoadingFile> last_own_files_;
  std::string last_fingerprint_;
  int last_creations_ = 0;
  std::optional<std::int64_t> created_at_;
  bool written_ = false;
};

}  // namespace model::case_files
