#include "ui/qt/screenshot.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

namespace ui::qt {

namespace {

constexpr int title_height = 30;
constexpr int border = 1;

void draw_title_bar(QPainter& painter, const QDialog& window, int width) {
  const QRect bar(border, border, width - 2 * border, title_height);
  painter.fillRect(bar, QColor(0x2f, 0x4a, 0x6d));
  int text_left = bar.left() + 10;
  const QIcon icon = window.windowIcon();
  if (!icon.isNull()) {
    painter.drawPixmap(text_left, bar.top() + (title_height - 16) / 2, icon.pixmap(16, 16));
    text_left += 22;
  }
  QFont font = window.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(text_left, bar.top(), bar.right() - text_left, title_height),
                   Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
}

}  // namespace

QImage dialog_picture(QtDialog& dialog) {
  dialog.window()->show();
  return window_picture(dialog.window());
}

QImage window_picture(QDialog* window) {
  QApplication::processEvents();
  const QPixmap client = window->grab();
  const QSize size = client.deviceIndependentSize().toSize();
  QImage picture(size.width() + 2 * border, size.height() + title_height + 2 * border,
                 QImage::Format_ARGB32);
  picture.fill(QColor(0x1f, 0x33, 0x4d));
  QPainter painter(&picture);
  draw_title_bar(painter, *window, picture.width());
  painter.drawPixmap(border, border + title_height, client);
  return picture;
}

}  // namespace ui::qt
