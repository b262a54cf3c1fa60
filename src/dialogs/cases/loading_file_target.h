// What "Select" and "Create" may name as the loading file: a loading file is replaced whole, so
// a name that holds something else (the geometry file in use, a file of the user's own) must
// never be taken by a slip in the file box.
#pragma once

#include <string>

#include "dialogs/context.h"

namespace dialogs::cases {

// Whether `path` names the geometry file of the run (the same file by another spelling too).
bool is_geometry_file(const model::GeneralData& general, const std::string& path);

// Whether the file begins with the first header line a loading file has (either language).
bool has_loading_file_header(const std::string& path);

// "Select": false, after a message, when `path` is the geometry file in use or names a folder,
// device, FIFO or socket.
bool loading_file_name_allowed(Context& context, const std::string& path);

// "Create": false when the file must not be written: it is the geometry file in use (message),
// or it exists, holds something, and is no loading file or one this run neither loaded nor
// created (or that changed since), and the user does not want it replaced.
bool may_write_loading_file(Context& context, const std::string& path);

}  // namespace dialogs::cases
