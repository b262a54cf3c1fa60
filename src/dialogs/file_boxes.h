// The requests of the program's open-file boxes: one kind of file offered first, "All files"
// second, opening in the folder of the model's data files.
#pragma once

#include "model/state.h"
#include "ui/toolkit.h"

namespace app {

// A loading file, "*.inc": chosen to be read (General Data) or to be created (Loading Cases).
ui::OpenFileRequest loading_file_box_request(const model::ProgramState& state);

// A geometry file, "*.dat".
ui::OpenFileRequest geometry_file_box_request(const model::ProgramState& state);

}  // namespace app
