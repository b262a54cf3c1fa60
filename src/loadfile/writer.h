// Writing the loading file: the bytes from the analysis in memory, and (until every dialog works
// on the analysis) the file from the program state and the case files. The outcome comes back
// as data; the dialogs decide what the user is told.
#pragma once

#include <string>
#include <vector>

#include "files/regular_file.h"
#include "loadfile/records.h"
#include "model/analysis.h"
#include "model/case_files/atomic_file.h"
#include "model/state.h"

namespace loadfile {

// What the file says besides the analysis: the moment it was written, the path its end record
// names and the language of its comment lines, end record and end lines of empty sections.
struct Header {
  Timestamp date;
  std::string loading_file{};
  bool romanian = false;
};

// Cases the outcome names besides the file.
struct CaseNotes {
  std::vector<int> incomplete;              // tolerance, iterations, time step and end time all 0
  std::vector<int> without_initial_values;  // an initial conditions or loading section empty
  std::vector<int> without_loading_data;
};

// The loading file of `analysis`, every byte of it.
std::string write(const model::Analysis& analysis, const Header& header);
// The cases that the file of `analysis` writes without data, for the outcome message.
CaseNotes case_notes(const model::Analysis& analysis);

struct WriteFailure {
  model::case_files::OutputStatus status = model::case_files::OutputStatus::ok;
  std::string scratch_file;  // set when a case file could not be read
  int error = 0;
  files::FileKind kind = files::FileKind::regular;  // what the target names (not_regular)
};

struct WriteReport {
  bool written = false;
  std::string path;  // the target as the file's end record names it
  CaseNotes notes;
  WriteFailure failure;
};

// Writes loading_file from the program state, written_case_records and the case files; the
// target is replaced only when the whole new file is on the disk.
// `approve` (when given) sees the whole new file before it replaces the target; false leaves
// the target as it was (failure.status declined).
WriteReport write_loading_file(const model::ProgramState& state, const Header& header,
                               const model::case_files::AtomicFile::Approval& approve = {});

}  // namespace loadfile
