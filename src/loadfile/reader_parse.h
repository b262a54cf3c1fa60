// Taking the records of an old loading file apart, without touching the disk or the dialogs:
// the caller decides what to keep, which files to write and which message to show.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "loadfile/problems.h"
#include "loadfile/record_trace.h"
#include "model/state.h"
#include "text/free_form.h"

namespace loadfile {

// What the file should have held where reading stopped; the messages name it.
enum class Expected {
  operator_code,          // the first line that is not a comment
  coefficients,           // G2
  case_count,             // G3, 0 to 99
  damping_code,           // C1, 0 to 4
  tolerance,              // C2
  case_parameters,        // C3
  loading_type,           // C3 holds a code that is no loading type
  initial_conditions,     // C4 and its end line
  initial_accelerations,  // the record(s) after the C4 end line of an accelerogram case
  niu,                    // C5
  damping_values,         // C6
  diameters,              // C7 and "end_Diameters"
  zeta,                   // C8
  initial_loading,        // C9 and its end line
  loading_parameters,     // C10
  loading_data,           // C11 and its end line
  node_ranges_limit,      // a section holds more node ranges than the model has nodes
};

struct ReadFault {
  Expected expected = Expected::operator_code;
  int case_number = 0;    // 0 outside the case blocks
  std::size_t line = 0;   // 1-based line that could not be read; at the end: the number of lines
  bool at_end = false;    // the file ended before it
};

enum class ReadOutcome {
  complete,         // every case block was read
  fault,            // reading stopped at `fault`; what was read before it is in the state
  too_many_points,  // a loading has more time points than max_time_points: keep nothing
};

// One case scratch file as the reader writes it: lines ended by CR LF. Read into a folder,
// the lines went to `part` as they were made (a long accelerogram is not held twice in
// memory, as the loading file and as its case file); otherwise they are in `content`.
struct ScratchFile {
  std::string name;
  std::string content;
  std::string part;           // the file in the folder that holds the lines, when streamed
  bool write_failed = false;  // the part could not be written whole
};

struct ReadResult {
  ReadOutcome outcome = ReadOutcome::complete;
  ReadFault fault;
  // Files whose section was read to its end line, in the order they were completed, and empty
  // files for the cases that were abandoned or not reached, so that no case file of an earlier
  // LOAD or editor is taken for this file's data.
  std::vector<ScratchFile> scratch_files;
  // What was read but not as the program writes it, in the order of the lines; the file names
  // are left empty for the caller. A fault that stopped the reading is not among them.
  ProblemList problems;
};

// Reads the loading file records into the fields of `state` that the file carries (operator
// block, number of cases, loaded_case_records, damping block, diameter table, time_point_table,
// accel_table, accel_direction) and builds the scratch files of its cases. `state` must
// already hold n_nodes, n_elements, n_dof, max_time_points and the language. `observer`, when
// given, is told what each record was taken for; such a reading is for what the records say
// and builds no case file (their names are listed, their contents left empty).
// With a folder ("" = the current directory) each case file is streamed into a part file
// there; the caller renames the parts over the case files or removes them.
ReadResult read_loading_records(text::RecordSource& source, model::ProgramState& state,
                                ReadObserver* observer = nullptr);
ReadResult read_loading_records(text::RecordSource& source, model::ProgramState& state,
                                const std::string& part_folder);

// The shortest text of at most 10 characters that reads back as `value`: how a coefficient
// read from the file becomes the typed text the General Data dialog shows.
std::string coefficient_text(double value);

}  // namespace loadfile
