#include "ui/qt/item_list.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "ui/qt/qt_text.h"

namespace ui::qt {

// ---------------------------------------------------------------------------------------------
// ItemModel

int ItemModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

QVariant ItemModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return text(index.row());
}

QString ItemModel::text(int row) const {
  if (row < 0 || row >= count_) return {};
  if (view_) return from_utf8(view_(row + 1));
  auto it = texts_.find(row);
  return it == texts_.end() ? QString() : it->second;
}

void ItemModel::set_count(int n) {
  n = std::max(n, 0);
  if (n > count_) {
    beginInsertRows(QModelIndex(), count_, n - 1);
    count_ = n;
    endInsertRows();
  } else if (n < count_) {
    beginRemoveRows(QModelIndex(), n, count_ - 1);
    texts_.erase(texts_.lower_bound(n), texts_.end());
    count_ = n;
    endRemoveRows();
  }
}

void ItemModel::set_text(int row, const QString& text) {
  if (row < 0 || view_) return;
  if (row >= count_) set_count(row + 1);
  if (text.isEmpty()) texts_.erase(row);
  else texts_[row] = text;
  changed(row, row);
}

void ItemModel::show_view(int count, Dialog::ItemText text_of) {
  beginResetModel();
  texts_.clear();
  count_ = std::max(count, 0);
  view_ = std::move(text_of);
  endResetModel();
}

void ItemModel::changed(int first_row, int last_row) {
  first_row = std::max(first_row, 0);
  last_row = std::min(last_row, count_ - 1);
  if (first_row > last_row) return;
  emit dataChanged(index(first_row), index(last_row), {Qt::DisplayRole});
}

// ---------------------------------------------------------------------------------------------
// ItemList

ItemList::ItemList(QWidget* parent) : QAbstractItemView(parent), model_(new ItemModel(this)) {
  setModel(model_);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectRows);
  setEditTriggers(NoEditTriggers);
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int ItemList::first_selected_row() const {
  int first = -1;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    if (first < 0 || range.top() < first) first = range.top();
  return first;
}

bool ItemList::is_selected(int row) const {
  return row >= 0 && row < count() && selectionModel()->isSelected(model_->index(row));
}

void ItemList::set_current_row(int row) {
  if (row < 0 || row >= count()) {
    selectionModel()->clear();
    return;
  }
  selectionModel()->setCurrentIndex(model_->index(row), QItemSelectionModel::ClearAndSelect);
  scrollTo(model_->index(row));
}

int ItemList::row_height() const { return std::max(fontMetrics().height() + 2, 1); }

int ItemList::top_row() const { return verticalScrollBar()->value(); }

int ItemList::visible_rows() const { return std::max(viewport()->height() / row_height(), 1); }

QRect ItemList::visualRect(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  // Rows far off the screen are put just beyond it, where a repaint touches nothing.
  const long long offset = std::clamp<long long>(static_cast<long long>(index.row()) - top_row(), -2,
                                                 visible_rows() + 2);
  return QRect(0, static_cast<int>(offset) * row_height(), viewport()->width(), row_height());
}

void ItemList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  const int row = index.row(), top = top_row(), rows = visible_rows();
  int target = top;
  switch (hint) {
    case PositionAtTop: target = row; break;
    case PositionAtBottom: target = row - rows + 1; break;
    case PositionAtCenter: target = row - rows / 2; break;
    case EnsureVisible:
      if (row < top) target = row;
      else if (row - top >= rows) target = row - rows + 1;
      break;
  }
  verticalScrollBar()->setValue(target);
}

QModelIndex ItemList::indexAt(const QPoint& point) const {
  if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width()) return {};
  const long long row = static_cast<long long>(top_row()) + point.y() / row_height();
  return row < count() ? model_->index(static_cast<int>(row)) : QModelIndex();
}

QModelIndex ItemList::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
  const int n = count();
  if (n == 0) return {};
  const long long row = current_row() < 0 ? 0 : current_row();
  long long target = row;
  switch (action) {
    case MoveUp:
    case MovePrevious: target = row - 1; break;
    case MoveDown:
    case MoveNext: target = row + 1; break;
    case MovePageUp: target = row - visible_rows(); break;
    case MovePageDown: target = row + visible_rows(); break;
    case MoveHome: target = 0; break;
    case MoveEnd: target = n - 1; break;
    default: break;
  }
  return model_->index(static_cast<int>(std::clamp<long long>(target, 0, n - 1)));
}

void ItemList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  const int n = count();
  const long long top = top_row(), h = row_height();
  const long long first = top + std::max(rect.top(), 0) / h;
  const long long last = std::min<long long>(top + std::max(rect.bottom(), 0) / h, n - 1);
  QItemSelection selection;
  if (first <= last) selection.select(model_->index(static_cast<int>(first)), model_->index(static_cast<int>(last)));
  selectionModel()->select(selection, command);
}

QRegion ItemList::visualRegionForSelection(const QItemSelection& selection) const {
  QRegion region;
  for (const QItemSelectionRange& range : selection) {
    const QRect top = visualRect(model_->index(range.top()));
    const QRect bottom = visualRect(model_->index(range.bottom()));
    region += top.united(bottom);
  }
  return region;
}

void ItemList::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const int h = row_height(), top = top_row();
  const int first = top + std::max(event->rect().top(), 0) / h;
  const long long last = std::min<long long>(static_cast<long long>(top) + event->rect().bottom() / h, count() - 1);
  const QModelIndex current = currentIndex();
  for (long long row = first; row <= last; ++row) {
    const QModelIndex index = model_->index(static_cast<int>(row));
    option.rect = QRect(0, static_cast<int>(row - top) * h, viewport()->width(), h);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
    if (index == current && hasFocus()) option.state |= QStyle::State_HasFocus;
    itemDelegate()->paint(&painter, option, index);
  }
}

void ItemList::updateGeometries() {
  const int rows = visible_rows();
  verticalScrollBar()->setRange(0, std::max(count() - rows, 0));
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setSingleStep(1);
  QAbstractItemView::updateGeometries();
}

void ItemList::scrollContentsBy(int, int) { viewport()->update(); }

void ItemList::resizeEvent(QResizeEvent* event) {
  QAbstractItemView::resizeEvent(event);
  updateGeometries();
}

}  // namespace ui::qt
