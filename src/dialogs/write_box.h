// The boxes that name a file to write (exports, saved settings): a save box, never an open
// box; the analysis' own files refused, whatever name they are chosen by; any other file that
// is there replaced only once the user has said so.
#pragma once

#include <string>
#include <vector>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs {

// Names a file to write in a save box. false when the box is cancelled, when the name is one of
// the analysis' files or of `never_replaced` (said), or when the file is there and the user
// will not have it replaced; the messages have `title`. The current directory is as it was.
bool choose_file_to_write(Context& context, const ui::OpenFileRequest& request,
                          const std::vector<std::string>& never_replaced, std::string& path, const std::string& title);

// Whether `paths` may be written: none of them the analysis' files or `never_replaced` (said),
// and those that are there replaced only with the user's Yes (one question for all of them).
bool may_write(Context& context, const std::vector<std::string>& paths, const std::vector<std::string>& never_replaced,
               const std::string& title);

}  // namespace dialogs
