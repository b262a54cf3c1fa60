// Whole-file writes of the small data files that the editors keep between runs of a dialog.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Replaces the file at `path` with `content`. The bytes go to `path` + ".part" first, which is
// renamed over the target only when every byte was written and the file closed, so a failed
// write leaves the previous file whole. false with a short `reason` when it fails.
bool replace_file(const std::string& path, std::string_view content, std::string& reason);

// Creates the file empty when it does not exist; an existing file is left as it is.
void create_if_missing(const std::string& path);

}  // namespace common
