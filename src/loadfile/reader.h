#pragma once

#include <string>

#include "loadfile/session.h"
#include "ui/toolkit.h"

namespace loadfile {

enum class LoadOutcome {
  loaded,        // every case block was read and its scratch files written
  failed,        // a message named the file, the line and what was expected; what was read
                 // before stays in the state and in the scratch files of the sections read
  program_ends,  // a loading has more time points than max_time_points: the message was
                 // shown, nothing was changed, and the run must end
};

// Reads an old loading file into the committed general data, the damping block, the loaded
// case records, the diameter table and the case scratch files, and shows the messages.
// An empty path asks for one on the console.
LoadOutcome load_loading_file(Session& context, const std::string& path);

// The General Data dialog's entry: true when the file was loaded. When the run must end the
// dialog is closed as by its Cancel button, so the wizard ends the program the ordinary way.
bool load_old_loading_file(Session& context, ui::Dialog& general_data_dialog,
                           const std::string& path);

}  // namespace loadfile
