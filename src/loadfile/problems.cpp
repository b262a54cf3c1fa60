#include "loadfile/problems.h"

#include <algorithm>

namespace loadfile {

std::string_view severity_word(Severity severity) {
  return severity == Severity::error ? "error" : "warning";
}

std::string problem_line(const Problem& problem) {
  return problem.file + ":" + std::to_string(problem.line) + ": " + std::string(severity_word(problem.severity)) +
         ": " + (problem.at_end ? "the file ends here: " : "") + problem.english;
}

bool has_errors(const ProblemList& problems) {
  return std::any_of(problems.begin(), problems.end(),
                     [](const Problem& p) { return p.severity == Severity::error; });
}

}  // namespace loadfile
