#pragma once

#include "loadfile/session.h"

namespace loadfile {

// Writes loading_file from the program state, written_case_records and the case scratch files,
// and reports the outcome in a "Create Message". true when the file was written.
bool write_loading_file(Session& context);

}  // namespace loadfile
