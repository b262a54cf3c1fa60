// The Qt face of the dialog toolkit. The only folder of the program that includes Qt.
#pragma once

#include <memory>

#include "ui/toolkit.h"

namespace ui::qt {

// Needs a QApplication that lives longer than the toolkit.
std::unique_ptr<Toolkit> make_qt_toolkit();

}  // namespace ui::qt
