#include "ui/qt/dialog_window.h"

#include <QKeyEvent>

namespace ui::qt {

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (on_escape) on_escape();
    event->accept();
    return;
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (on_enter) on_enter();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::reject() {
  if (on_close_box) on_close_box();
}

}  // namespace ui::qt
