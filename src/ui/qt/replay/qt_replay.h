// The replay on the real Qt dialogs: the statements of a replay script carried out as the
// input a person sends (mouse clicks on rows, items and buttons, keys typed into fields, the
// file box's name field typed into), and the expectations read from the widgets.
#pragma once

#include <functional>
#include <ostream>

#include "ui/script/script.h"
#include "ui/toolkit.h"

namespace ui::qt::replay {

// Runs `program` on the Qt toolkit, driven by `script`; needs a QApplication. Writes one line
// per message box and per viewed file to `transcript`, as the scripted replay does. Returns 0
// when the script ran to its end together with the program. A statement that cannot be carried
// out ends the process at once with "error: line N: WHAT" and exit code 1: the program's modal
// loops cannot be unwound from outside.
int replay_on_qt(script::ParseResult script, std::ostream& transcript,
                 const std::function<void(Toolkit&)>& program);

}  // namespace ui::qt::replay
