// What every dialog routine works with: the toolkit that shows it and the program state.
#pragma once

#include <string>
#include <string_view>

#include "app/state.h"
#include "ui/toolkit.h"

namespace app {

struct Context {
  ui::Toolkit& toolkit;
  ProgramState& state;

  // A message box in the language of the moment: `romanian` when romanian_messages holds.
  ui::Answer message(std::string_view english, std::string_view romanian, std::string_view title,
                     ui::Icon icon, ui::Buttons buttons = ui::Buttons::ok) {
    return toolkit.message_box(romanian_messages(state) ? romanian : english, title, icon, buttons);
  }
};

}  // namespace app
