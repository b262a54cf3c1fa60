// The records of the loading file, each built as its text (without the line end) from the
// program state. The writer puts them in order; the reader and the tests use the same builders
// so that a record has one layout in the whole program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/analysis.h"
#include "model/case_files/section_records.h"
#include "model/record_words.h"
#include "model/state.h"

namespace loadfile {

inline constexpr std::size_t header_line_length = 100;
inline constexpr std::size_t end_record_length = 256;
inline constexpr std::size_t path_field_length = model::max_path_bytes;

using model::diameters_end;

// A path as the file shows it: at most 255 characters, ending before the first NUL or after
// the last non-blank character, whichever comes first.
std::string path_text(std::string_view path_field);

enum class HeaderKind {
  normal,              // the six comment lines
  case_data_in_error,  // lines 1 to 3, the three error lines, lines 5 and 6
};

// The comment lines of the header in the language of the state, each cut at 100 characters
// and trimmed.
std::vector<std::string> header_records(const model::GeneralData& g, bool romanian, HeaderKind kind);

std::string operator_record(const model::GeneralData& g);      // G1: all 10 characters
std::string coefficients_record(const model::GeneralData& g);  // G2
std::string case_count_record(int n_loading_cases);           // G3

std::string damping_code_record(const model::Damping& d);         // C1
std::string tolerance_record(const model::CaseRecord& c);         // C2
std::string case_parameters_record(const model::CaseRecord& c);   // C3
// C5 to C8 in order: niu, the damping values, the diameter records closed by "end_Diameters",
// zeta; none without damping. The same for every case of one file.
std::vector<std::string> damping_records(const model::Damping& d, bool new_operator, int n_elements);
std::string diameter_record(const model::DiameterGroup& group, int n_elements);  // one C7 record
// C10: omega and phi (sinusoidal), omega (exponential), nothing for the other loading types.
std::vector<std::string> loading_parameter_records(const model::CaseRecord& c);

// A moment of the local clock, as the last record shows it.
struct Timestamp {
  int day = 1, month = 1, year = 1970, hour = 0, minute = 0, second = 0;
};

// `loading_file`: the path field of the file written (path_text makes it the file's text).
std::string end_record(std::string_view loading_file, bool romanian);
std::string date_record(const Timestamp& t);

// A case-file line as the loading file holds it.
using model::case_files::copied_line;
using model::case_files::copied_line_length;

// The terminators that end the copied sections, worded as the editors write them.
std::string_view initial_conditions_terminator(bool romanian);
std::string_view initial_loading_terminator(bool romanian);
std::string loading_data_terminator(int case_number);
// The free-form record of the three initial accelerations that follows the initial conditions
// terminator of an accelerogram case.
std::string initial_acceleration_record(const model::CaseRecord& c);

// A case never filled in: tolerance, iteration limit, time step and end time all zero.
bool incomplete_case(const model::CaseRecord& c);
// The error header is used when any case 1..n_loading_cases is missing or incomplete.
HeaderKind header_kind(const model::Analysis& a);

}  // namespace loadfile
