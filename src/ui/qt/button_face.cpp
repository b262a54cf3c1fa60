#include "ui/qt/button_face.h"

#include <QFontMetrics>
#include <QPushButton>

#include "ui/qt/qt_text.h"

namespace ui::qt {

namespace {

constexpr int smallest_useful_icon = 16;
constexpr char mnemonic_property[] = "brantel_mnemonic";

// The label as drawn: "&" doubled so that it shows, and the button's letter marked.
QString face_text(const QPushButton* button, const QString& label) {
  const QChar letter = button->property(mnemonic_property).toChar();
  QString text;
  bool marked = letter.isNull();
  for (QChar c : label) {
    if (!marked && c.toUpper() == letter) {
      text += QLatin1Char('&');
      marked = true;
    }
    text += c;
    if (c == QLatin1Char('&')) text += c;
  }
  return text;
}

bool mnemonic_candidate(QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; }

// The largest size the image holds that fits the room; otherwise its smallest, shrunk to fit.
QSize best_icon_size(const QIcon& image, const QSize& room) {
  QList<QSize> sizes = image.availableSizes();
  if (sizes.isEmpty() || room.width() <= 0 || room.height() <= 0) return QSize(0, 0);
  QSize best, smallest = sizes.front();
  for (const QSize& s : sizes) {
    if (s.width() * s.height() < smallest.width() * smallest.height()) smallest = s;
    if (s.width() <= room.width() && s.height() <= room.height() &&
        (!best.isValid() || s.width() * s.height() > best.width() * best.height()))
      best = s;
  }
  return best.isValid() ? best : smallest.scaled(room, Qt::KeepAspectRatio);
}

QSize text_size(const QPushButton* button, const QString& label) {
  const QFontMetrics metrics(button->font());
  return metrics.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, label).size();
}

}  // namespace

void show_button_face(QPushButton* button, const QString& label, const QIcon& image) {
  button->setAccessibleName(label);
  button->setIcon(image);
  if (image.isNull()) {
    button->setText(face_text(button, label));
    button->setToolTip(QString());
    return;
  }
  const QSize text = text_size(button, label);
  const QSize beside_text(button->width() - text.width() - 20, button->height() - 8);
  const QSize with_text = best_icon_size(image, beside_text);
  if (!label.isEmpty() && with_text.width() >= smallest_useful_icon &&
      with_text.height() >= smallest_useful_icon && text.height() <= button->height() - 4) {
    button->setText(face_text(button, label));
    button->setToolTip(QString());
    button->setIconSize(with_text);
    return;
  }
  button->setText(QString());
  button->setToolTip(label);
  button->setIconSize(best_icon_size(image, QSize(button->width() - 8, button->height() - 8)));
}

QString button_label(const QPushButton* button) { return button->accessibleName(); }

void set_mnemonic(QPushButton* button, QChar letter) {
  button->setProperty(mnemonic_property, letter.toUpper());
  if (!button->text().isEmpty()) button->setText(face_text(button, button_label(button)));
}

void give_mnemonics(const std::vector<QPushButton*>& buttons) {
  QString taken;
  for (QPushButton* button : buttons) {
    const QString label = button_label(button).toUpper();
    QChar chosen;
    for (int pass = 0; pass < 2 && chosen.isNull(); ++pass)
      for (qsizetype i = 0; i < label.size() && chosen.isNull(); ++i) {
        const bool word_start = i == 0 || !label[i - 1].isLetterOrNumber();
        if ((pass == 1 || word_start) && mnemonic_candidate(label[i]) && !taken.contains(label[i]))
          chosen = label[i];
      }
    if (chosen.isNull()) continue;
    taken += chosen;
    set_mnemonic(button, chosen);
  }
}

}  // namespace ui::qt
