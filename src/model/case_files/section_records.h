// The records of a case's sections, from the analysis in memory: the same lines make the case
// file that SAVE leaves in the run's folder and the section of the loading file. Each section
// is written in the layout it was made in (model/analysis.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/analysis.h"

namespace model::case_files {

inline constexpr std::size_t copied_line_length = 132;

// A case-file line as the loading file holds it: cut to 132 characters, trailing blanks removed.
std::string_view copied_line(std::string_view line);

enum class LineForm {
  case_file,     // each line as it is made
  loading_file,  // each line as copied_line makes it
};

// Each appends the section's lines to `out`, every one ended by CR LF, its end line included.
void append_initial_conditions(std::string& out, const InitialConditions& section, const GeneralData& g,
                               LineForm form);
void append_initial_loadings(std::string& out, const RangeSection& section, const GeneralData& g, LineForm form);
// `case_type` is the loading type of the case record, which decides the layout of a loaded
// accelerogram made without its texts.
void append_loading(std::string& out, const Loading& loading, LoadingType case_type, int case_number,
                    const GeneralData& g, LineForm form);

}  // namespace model::case_files
