// The notes "View" shows beside a loading file: each line's label and the check's problems,
// made by LOAD's reader on a thread of its own, against the model the header names when it is
// found.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ui/line_notes.h"

namespace dialogs {

std::unique_ptr<ui::LineNotes> make_loading_file_notes(std::string_view content, const std::string& path,
                                                       std::size_t n_lines);

}  // namespace dialogs
