#pragma once

#include <string>

#include "loadfile/session.h"
#include "ui/toolkit.h"

namespace loadfile {

enum class LoadOutcome {
  loaded,        // the reading came to the end of the cases and their case files were written;
                 // what was read but not as the program writes it (an abandoned case, a section
                 // ended by no end line, ...) was listed in one message
  not_opened,    // the file could not be opened: a message said why, and nothing changed
  failed,        // a message named the file, the line and what was expected; what was read
                 // before stays in the state and in the scratch files of the sections read
  program_ends,  // a loading has more time points than max_time_points: the message was
                 // shown, nothing was changed, and the run must end
};

// Reads an old loading file into the committed general data, the damping block, the loaded
// case records, the diameter table and the case scratch files, and shows the messages: one
// list of the problems found, each with its line. Only a regular file is read.
// An empty path asks for one on the console.
LoadOutcome load_loading_file(Session& context, const std::string& path);

// The General Data dialog's entry. When the run must end the dialog is closed as by its
// Cancel button, so the wizard ends the program the ordinary way.
LoadOutcome load_old_loading_file(Session& context, ui::Dialog& general_data_dialog,
                                  const std::string& path);

}  // namespace loadfile
