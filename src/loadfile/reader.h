#pragma once

#include <string>

#include "app/context.h"
#include "ui/toolkit.h"

namespace loadfile {

// Reads an old loading file into the committed general data, the damping block, the loaded
// case records, the diameter table and the case scratch files. false (after a message naming
// the file, the line and what was expected) when the file cannot be read.
bool load_old_loading_file(app::Context& context, ui::Dialog& general_data_dialog,
                           const std::string& path);

}  // namespace loadfile
