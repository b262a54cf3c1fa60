// The list control of the Qt face: a model that holds only the texts in use (or asks the
// dialog logic for them) and a view that lays rows out by arithmetic. QListView walks every
// row when it lays a list out (a list of 10^8 rows took 5.5 s and 1.2 GB here), so a list of
// a billion potential entries needs a view whose cost follows the rows on screen.
#pragma once

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QString>
#include <map>

#include "ui/toolkit.h"

namespace ui::qt {

class ItemModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  int count() const { return count_; }
  QString text(int row) const;  // 0-based; blank beyond the texts set
  void set_count(int n);
  void set_text(int row, const QString& text);  // grows the list to hold the row
  void show_view(int count, Dialog::ItemText text_of);
  void changed(int first_row, int last_row);

 private:
  int count_ = 0;
  std::map<int, QString> texts_;  // rows with a text other than blank
  Dialog::ItemText view_;
};

// A single-selection list of one-line rows, scrolled one row at a time.
class ItemList final : public QAbstractItemView {
  Q_OBJECT

 public:
  explicit ItemList(QWidget* parent);

  ItemModel* items() const { return model_; }
  int count() const { return model_->count(); }
  int current_row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
  int first_selected_row() const;
  void set_current_row(int row);  // -1: none, and nothing selected
  bool is_selected(int row) const;
  int row_height() const;

  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;
  // Typing a letter in a list would search every row; the items here are numbers anyway.
  void keyboardSearch(const QString&) override {}
  // Qt's own answer asks the place of every changed row; a change of a billion rows would take
  // minutes. The rows on screen are all there is to repaint.
  void dataChanged(const QModelIndex&, const QModelIndex&, const QList<int>& = QList<int>()) override {
    viewport()->update();
  }

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override { return 0; }
  // Positions are given in the viewport's own coordinates: row * height would overflow an int.
  int verticalOffset() const override { return 0; }
  bool isIndexHidden(const QModelIndex&) const override { return false; }
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void paintEvent(QPaintEvent* event) override;
  void updateGeometries() override;
  void scrollContentsBy(int, int) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int top_row() const;
  int visible_rows() const;  // whole rows the viewport holds, at least 1
  ItemModel* model_;
};

}  // namespace ui::qt
