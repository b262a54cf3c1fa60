// Faults of a template's layout that a person would see on screen: controls on top of each
// other, texts that do not fit their place, controls outside the dialog or across a frame.
#pragma once

#include <string>
#include <vector>

#include "ui/qt/qt_dialog.h"

namespace ui::qt {

// One line per fault, naming the controls by identifier (or by label for unaddressed ones).
std::vector<std::string> layout_faults(const QtDialog& dialog);

}  // namespace ui::qt
