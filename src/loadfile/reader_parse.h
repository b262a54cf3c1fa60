// Taking the records of an old loading file apart, without touching the disk or the dialogs:
// the caller decides what to keep, which files to write and which message to show.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "loadfile/problems.h"
#include "loadfile/record_trace.h"
#include "model/analysis.h"
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
  fault,            // reading stopped at `fault`; what was read before it is in the analysis
  too_many_points,  // a loading has more time points than max_time_points: keep nothing
};

// What the reader takes from the program: the model's counts (in `general`), the limit of
// time points of one loading, the language of the end lines the sections keep, the direction
// of a one-direction accelerogram (the file does not say it), and the values a file may leave
// as they were: a file that stops early, or a damping block that names only some values.
struct ReadStart {
  model::GeneralData general;
  model::Damping damping;
  model::AccelDirection accel_direction = model::AccelDirection::none;
  int max_time_points = 0;
  bool romanian = false;
};

struct ReadResult {
  // `start`'s data with what the file gave. A case given up (an unreadable C2, C3 or C10) or not
  // reached keeps no section from the point it was given up: those are written as end lines.
  model::Analysis analysis;
  bool cases_read = false;  // the number of cases was read: analysis.cases holds them
  ReadOutcome outcome = ReadOutcome::complete;
  ReadFault fault;
  // What was read but not as the program writes it, in the order of the lines; the file names
  // are left empty for the caller. A fault that stopped the reading is not among them.
  ProblemList problems;
};

// Reads the loading file records into an analysis. `observer`, when given, is told what each
// record was taken for; such a reading is for what the records say and keeps neither the texts
// to write the file again nor the points of the loadings (the cases keep their counts).
ReadResult read(text::RecordSource& source, const ReadStart& start, ReadObserver* observer = nullptr);
ReadResult read(std::string_view bytes, const ReadStart& start, ReadObserver* observer = nullptr);

}  // namespace loadfile
