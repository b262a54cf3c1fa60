// What every dialog routine works with: the toolkit that shows it, the program state and the
// images of the buttons, loaded once at start-up.
#pragma once

#include "loadfile/session.h"
#include "ui/toolkit.h"

namespace app {

struct Images {
  ui::Image open_icon, input_file2_icon, notepad_icon, input_file1_icon, save_changes_icon,
      load_bitmap, loading_bitmap;
};

struct Context : loadfile::Session {
  Images images{};
};

}  // namespace app
