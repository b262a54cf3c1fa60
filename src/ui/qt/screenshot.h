// A picture of a dialog as it stands on screen, with a plain title bar drawn around it so the
// picture reads as a window even where no window manager decorates it (offscreen).
#pragma once

#include <QImage>

#include "ui/qt/qt_dialog.h"

namespace ui::qt {

// Shows the dialog (not modally), lets it paint and returns its picture; the dialog stays shown.
QImage dialog_picture(QtDialog& dialog);
// The picture of a window that is already on screen.
QImage window_picture(QDialog* window);

}  // namespace ui::qt
