// The requests of the program's open-file boxes: one kind of file offered first, "All files"
// second, opening in the folder of the model's data files.
#pragma once

#include <string>
#include <string_view>

#include "model/state.h"
#include "ui/toolkit.h"

namespace dialogs {

// A loading file, "*.inc": chosen to be read (General Data) or to be created (Loading Cases).
ui::OpenFileRequest loading_file_box_request(const model::ProgramState& state);

// A geometry file, "*.dat".
ui::OpenFileRequest geometry_file_box_request(const model::ProgramState& state);

// Why a chosen path cannot be kept as it was chosen, in both languages; both empty when it can.
// A control character (a line feed above all) would split the record of the loading file that
// carries the path; a blank at its end would be dropped by the padded field that keeps it, and
// the name would then be another file's.
struct PathProblem {
  std::string english, romanian;
  bool empty() const { return english.empty(); }
};
PathProblem kept_path_problem(std::string_view path);

// The path as a message shows it: control characters as \n, \t or \xNN, in quotes.
std::string shown_path(std::string_view path);

}  // namespace dialogs
