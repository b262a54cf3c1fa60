#include "ui/qt/replay/qt_controls.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <vector>

#include "ui/qt/button_face.h"
#include "ui/qt/chart_control.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_text.h"

namespace ui::qt::replay {

std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }

int template_id(const QWidget& window) {
  return window.objectName().mid(QStringLiteral("dialog_").size()).toInt();
}

ControlId control_id(const QWidget* widget) { return widget ? widget->objectName().toInt() : no_id; }

QString shown_text(QWidget* w) {
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QPushButton*>(w)) return button_label(button);
  if (auto* group = qobject_cast<QGroupBox*>(w)) return plain_text(group->title());
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  if (auto* list = qobject_cast<ItemList*>(w); list && list->current_row() >= 0) return list->items()->text(list->current_row());
  return {};
}

int item_count(QWidget* w) {
  if (auto* list = qobject_cast<ItemList*>(w)) return list->count();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->count();
  return 0;
}

QString item_text(QWidget* w, int item) {
  if (auto* list = qobject_cast<ItemList*>(w)) return list->items()->text(item - 1);
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->itemText(item - 1);
  return {};
}

int selected_item(QWidget* w) {
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentIndex() + 1;
  auto* list = qobject_cast<ItemList*>(w);
  return list ? list->first_selected_row() + 1 : 0;
}

Qt::Key qt_key(script::Key key) {
  switch (key) {
    case script::Key::esc: return Qt::Key_Escape;
    case script::Key::tab: return Qt::Key_Tab;
    case script::Key::space: return Qt::Key_Space;
    case script::Key::enter: return Qt::Key_Return;
    case script::Key::up: return Qt::Key_Up;
    case script::Key::down: return Qt::Key_Down;
    case script::Key::home: return Qt::Key_Home;
    case script::Key::end: return Qt::Key_End;
  }
  return Qt::Key_unknown;
}

std::string listed_files(QFileDialog& box) {
  auto* view = box.findChild<QListView*>(QStringLiteral("listView"));
  if (!view || !view->model()) return {};
  QAbstractItemModel* model = view->model();
  (void)QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) > 0; }, listing_wait_ms);
  std::vector<std::string> names;
  const QModelIndex root = view->rootIndex();
  for (int row = 0; row < model->rowCount(root); ++row) {
    const QModelIndex index = model->index(row, 0, root);
    if (!(model->flags(index) & Qt::ItemIsEnabled)) continue;
    if (QFileInfo(index.data(QFileSystemModel::FilePathRole).toString()).isDir()) continue;
    names.push_back(utf8(index.data(QFileSystemModel::FileNameRole).toString()));
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += (listing.empty() ? "" : " ") + name;
  return listing;
}

int QtControlView::curves() const { return chart_curve_count(w_); }

}  // namespace ui::qt::replay
