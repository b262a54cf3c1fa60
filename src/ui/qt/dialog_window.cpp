#include "ui/qt/dialog_window.h"

#include <QKeyEvent>

namespace ui::qt {

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (on_escape) on_escape();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::reject() {
  if (on_close_box) on_close_box();
}

}  // namespace ui::qt
