// The read-only viewer that shows a loading file where the program would start an editor.
#pragma once

#include <QString>

#include "ui/line_notes.h"

class QWidget;

namespace ui::qt {

// Modal; returns when the user closes it. A file that cannot be read gives a message instead.
// `make_notes` (may be empty) makes what is shown beside the lines.
void show_text_file(const QString& path, const LineNotesMaker& make_notes, QWidget* parent);

}  // namespace ui::qt
