// What the loading file's reader and writer work with: the toolkit that shows their messages
// and the program state. The dialogs' context is this plus what only dialogs need.
#pragma once

#include <string_view>

#include "model/state.h"
#include "ui/toolkit.h"

namespace loadfile {

struct Session {
  ui::Toolkit& toolkit;
  app::ProgramState& state;

  // A message box in the language of the moment: `romanian` when romanian_messages holds.
  ui::Answer message(std::string_view english, std::string_view romanian, std::string_view title,
                     ui::Icon icon, ui::Buttons buttons = ui::Buttons::ok) {
    return toolkit.message_box(app::romanian_messages(state) ? romanian : english, title, icon,
                               buttons);
  }
};

}  // namespace loadfile
