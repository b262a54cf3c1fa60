// "Create" and "LOAD from Old File" as the user meets them: the loading file codec does the
// work, and here its outcome becomes the messages, in the language of the moment.
#pragma once

#include <string>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs {

// Whether the loading file at `path` is still as this run last loaded or created it: replacing
// it then loses nothing of another program's (or another run's in the same folder).
bool own_loading_file(const Context& context, const std::string& path);

// Writes the loading file the document names, dated now, and says in a "Create Message" what
// became of it. true when the file was written.
bool write_loading_file(Context& context);

enum class LoadOutcome {
  loaded,        // the reading came to the end of the cases and their case files were written;
                 // what was read but not as the program writes it (an abandoned case, a section
                 // ended by no end line, ...) was listed in one message
  not_opened,    // the file could not be opened: a message said why, and nothing changed
  failed,        // a message named the file, the line and what was expected; what was read
                 // before stays in the state and in the case files of the sections read
  kept_maximum,  // a loading has more time points than max_time_points and the user did
                 // not raise it: nothing was changed
};

// Reads an old loading file into the committed general data, the damping block, the loaded
// case records, the diameter table and the case files, and shows one list of the problems
// found, each with its line. Only a regular file is read. An empty path asks for one on the
// console. A loading with more time points than max_time_points offers to raise the maximum.
LoadOutcome load_loading_file(Context& context, const std::string& path);

}  // namespace dialogs
