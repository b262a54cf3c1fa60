// Writing the loading file: every byte of it from the analysis in memory. Putting the bytes on
// the disk, and what the user is told, belong to the dialogs.
#pragma once

#include <string>
#include <vector>

#include "loadfile/records.h"
#include "model/analysis.h"

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

}  // namespace loadfile
