// The read-only viewer that shows a loading file where the program would start an editor.
#pragma once

#include <QString>

class QWidget;

namespace ui::qt {

// Modal; returns when the user closes it. A file that cannot be read gives a message instead.
void show_text_file(const QString& path, QWidget* parent);

}  // namespace ui::qt
