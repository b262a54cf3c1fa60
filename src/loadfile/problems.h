// What a reader could not take from a file, line by line: shown to the user after LOAD, and
// printed one per line by tools that check files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace loadfile {

enum class Severity {
  error,    // values of the file were not taken, or were taken as something else
  warning,  // every value was taken, but the file is not as the program writes it
};

// What a problem is about, where a reader of the list acts on it rather than only telling it.
enum class ProblemKind {
  other,
  case_codes_all_zero,  // a case's tolerance, iteration limit, time step and end time all 0, or
                        // the header line by which the writer marks a file holding such a case
};

struct Problem {
  std::string file;      // the file the line belongs to
  std::size_t line = 0;  // 1-based; for "the file ends", its last line
  Severity severity = Severity::error;
  std::string english;   // what is wrong, without the file and the line
  std::string romanian;
  bool at_end = false;   // the file ended at `line` before what the text expects
  ProblemKind kind = ProblemKind::other;

  const std::string& text(bool in_romanian) const { return in_romanian ? romanian : english; }
};

using ProblemList = std::vector<Problem>;

std::string_view severity_word(Severity severity);

// "FILE:LINE: error: TEXT", the form compilers use, so that editors can jump to the line.
std::string problem_line(const Problem& problem);

bool has_errors(const ProblemList& problems);

}  // namespace loadfile
