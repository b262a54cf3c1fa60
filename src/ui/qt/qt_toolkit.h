// The Qt face of the dialog toolkit. The only folder of the program that includes Qt.
#pragma once

#include <functional>
#include <memory>

#include "ui/line_notes.h"
#include "ui/toolkit.h"

class QWidget;

namespace ui::qt {

// Needs a QApplication that lives longer than the toolkit. `make_notes` makes the notes the
// file viewer shows beside the lines of the files it is asked to show (none when empty).
std::unique_ptr<Toolkit> make_qt_toolkit(LineNotesMaker make_notes = {});

// Told after each step under a progress bar, and once more when the bar goes (finished), so
// that the Qt replay can press its Cancel as a person would at a known moment. `bar` is the
// progress window (a QProgressDialog).
using ProgressObserver = std::function<void(QWidget& bar, int done, int steps, bool finished)>;
void set_progress_observer(ProgressObserver observer);

}  // namespace ui::qt
