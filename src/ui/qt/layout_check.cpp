#include "ui/qt/layout_check.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "ui/qt/qt_text.h"

namespace ui::qt {

namespace {

std::string name_of(const ControlTemplate& control) {
  if (control.id != no_id) return std::to_string(control.id);
  std::string label = control.label.substr(0, control.label.find('\n'));
  return "\"" + label + "\"";
}

QRect rect_of(const ControlTemplate& control) {
  return QRect(control.rect.x, control.rect.y, control.rect.width, control.rect.height);
}

// Width and height the control's text needs inside its own rectangle.
QSize needed_size(const ControlTemplate& control, QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    const QFontMetrics metrics(label->font());
    QRect lines = metrics.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft, label->text());
    return lines.size();
  }
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    const QSize icon = button->icon().isNull() ? QSize(0, 0) : button->iconSize();
    if (button->text().isEmpty()) return icon + QSize(8, 8);
    const QFontMetrics metrics(button->font());
    const QSize text = metrics.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft,
                                            plain_text(button->text())).size();
    return QSize(text.width() + (icon.isEmpty() ? 12 : icon.width() + 20),
                 std::max(text.height() + 4, icon.height() + 8));
  }
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    const QFontMetrics metrics(group->font());
    return QSize(metrics.horizontalAdvance(group->title()) + 20, 0);
  }
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    const QFontMetrics metrics(combo->font());
    int widest = 0;
    for (const std::string& item : control.items)
      widest = std::max(widest, metrics.horizontalAdvance(from_utf8(item)));
    return QSize(widest + 30, metrics.height() + 4);
  }
  return QSize(0, 0);
}

void check_text_fits(const ControlTemplate& control, QWidget* widget, std::vector<std::string>& faults) {
  const QSize need = needed_size(control, widget);
  const QRect have = rect_of(control);
  if (need.width() > have.width() || need.height() > have.height())
    faults.push_back("control " + name_of(control) + ": text needs " + std::to_string(need.width()) +
                     " x " + std::to_string(need.height()) + ", has " + std::to_string(have.width()) +
                     " x " + std::to_string(have.height()));
}

void check_pair(const ControlTemplate& a, const ControlTemplate& b, std::vector<std::string>& faults) {
  const QRect ra = rect_of(a), rb = rect_of(b);
  if (!ra.intersects(rb)) return;
  const bool a_group = a.kind == ControlKind::group_box, b_group = b.kind == ControlKind::group_box;
  if (a_group != b_group) {
    const QRect& frame = a_group ? ra : rb;
    const QRect& inner = a_group ? rb : ra;
    if (frame.contains(inner)) return;
    faults.push_back("control " + name_of(a_group ? b : a) + " crosses the frame of group " +
                     name_of(a_group ? a : b));
    return;
  }
  if (a_group && (ra.contains(rb) || rb.contains(ra))) return;
  faults.push_back("controls " + name_of(a) + " and " + name_of(b) + " overlap");
}

}  // namespace

std::vector<std::string> layout_faults(const QtDialog& dialog) {
  std::vector<std::string> faults;
  const DialogTemplate& t = dialog.dialog_template();
  const QRect area(0, 0, t.width, t.height);
  for (std::size_t i = 0; i < t.controls.size(); ++i) {
    const ControlTemplate& control = t.controls[i];
    if (!area.contains(rect_of(control)))
      faults.push_back("control " + name_of(control) + " lies outside the dialog");
    check_text_fits(control, dialog.widget_at(i), faults);
    for (std::size_t j = i + 1; j < t.controls.size(); ++j) check_pair(control, t.controls[j], faults);
  }
  return faults;
}

}  // namespace ui::qt
