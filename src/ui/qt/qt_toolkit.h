// The Qt face of the dialog toolkit. The only folder of the program that includes Qt.
#pragma once

#include <memory>

#include "ui/line_notes.h"
#include "ui/toolkit.h"

namespace ui::qt {

// Needs a QApplication that lives longer than the toolkit. `make_notes` makes the notes the
// file viewer shows beside the lines of the files it is asked to show (none when empty).
std::unique_ptr<Toolkit> make_qt_toolkit(LineNotesMaker make_notes = {});

}  // namespace ui::qt
