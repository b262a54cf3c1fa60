#include "ui/qt/window_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ui::qt {

void fit_to_screen(QWidget& window, QSize wanted) {
  QScreen* screen = window.parentWidget() ? window.parentWidget()->screen() : window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QSize room = screen->availableGeometry().size() - QSize(frame_width_allowance, frame_height_allowance);
    wanted = wanted.boundedTo(room);
  }
  window.resize(wanted.expandedTo(window.minimumSizeHint()));
}

}  // namespace ui::qt
