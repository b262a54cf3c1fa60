// As-you-type feedback on the edits that hold numbers: a red frame and a tooltip saying what
// will be stored when the text would not be taken whole. Typing is never blocked.
#pragma once

#include <QLineEdit>

#include "ui/field_kinds.h"

namespace ui::qt {

// Watches the edit from now on (the user's typing); `mark_conversion` also serves texts that
// the program sets.
void watch_conversion(QLineEdit* edit, const FieldFormat& format);
void mark_conversion(QLineEdit* edit);

}  // namespace ui::qt
