// Pieces of the Import dialog and its Processing window that need none of their state.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "motion/reader.h"

namespace dialogs::editors {

// A typed number: empty when the text is blank; `bad` when it holds anything but one finite
// number.
std::optional<double> typed_number(const std::string& text, bool& bad);

// The file's first lines as the Import dialog lists them: numbered, marked H (header) or D
// (data, as `read` found it), control characters blanked, cut to a width.
std::vector<std::string> preview_lines(const std::string& path, const motion::ReadResult& read);

// A reader's mark of a record that is not processed (uncorrected acceleration).
bool raw_record(const motion::ReadResult& read);

// The unit an acceleration was read in, and who said so: a summary line, or nothing.
std::string unit_line(const Context& context, const motion::Record& record);
// A record the case stops short of: what comes after its End Time never reaches the solver.
std::string end_time_note(const Context& context, const motion::Record& record, double end_time);
// Which of `components` of the node range `columns` value columns load from `first` (0 for X),
// and the columns left over.
std::string applied_to(int columns, int first, int components);

}  // namespace dialogs::editors
