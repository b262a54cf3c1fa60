#include "ui/qt/qt_dialog.h"

#include "ui/qt/chart_control.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "ui/qt/button_face.h"
#include "ui/qt/chart_control.h"
#include "ui/qt/field_feedback.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_image.h"
#include "ui/qt/qt_text.h"

namespace ui::qt {

namespace {

constexpr ControlId ok_button = 1;
constexpr ControlId cancel_button = 2;
constexpr int template_font_pixels = 12;

// What the program sets runs no callback: a list's selection changes are signalled by its
// selection model, which has to be held too.
class Blocker {
 public:
  explicit Blocker(QWidget* w)
      : widget_(w), model_(qobject_cast<ItemList*>(w) ? qobject_cast<ItemList*>(w)->selectionModel() : nullptr) {}

 private:
  QSignalBlocker widget_;
  QSignalBlocker model_;
};

// The row an arrow, Home or End key takes the list to from `row`, among `count`.
int row_after_key(int key, int row, int count) {
  switch (key) {
    case Qt::Key_Up: return std::max(row - 1, 0);
    case Qt::Key_Down: return std::min(row + 1, count - 1);
    case Qt::Key_Home: return 0;
    case Qt::Key_End: return count - 1;
    default: return -1;
  }
}

// Remembers the selected row when a mouse press reaches a list, so that a press on the row that
// is already selected can still count as the user's choice. When the keyboard arrives at a list
// without a current row, it puts it on the first row without choosing it, so that Space and
// the arrows always have a row to start from, even after the program cleared the selection.
// An arrow that cannot move (the only row, the last row) chooses the row it stays on, as it
// would choose the row it moved to.
class ListWatcher : public QObject {
 public:
  explicit ListWatcher(ItemList* list) : QObject(list), list_(list), viewport_(list->viewport()) {
    viewport_->installEventFilter(this);
    list->installEventFilter(this);
  }
  int selected_before_press = -1;

 protected:
  // Only the event's type and the watched object's address are looked at first: the list
  // sends events of its own while it is being destroyed.
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        if (watched == viewport_) selected_before_press = list_->first_selected_row();
        return false;
      case QEvent::FocusIn:
        if (watched == list_ && static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason &&
            !list_->currentIndex().isValid() && list_->count() > 0)
          list_->selectionModel()->setCurrentIndex(list_->model()->index(0, 0), QItemSelectionModel::NoUpdate);
        return false;
      case QEvent::KeyPress:
        return watched == list_ && stays_and_chooses(static_cast<QKeyEvent*>(event));
      default: return false;
    }
  }

  bool stays_and_chooses(const QKeyEvent* event) {
    const int row = list_->current_row();
    if (row < 0 || event->modifiers() != Qt::NoModifier) return false;
    if (row_after_key(event->key(), row, list_->count()) != row || list_->is_selected(row)) return false;
    list_->selectionModel()->select(list_->currentIndex(), QItemSelectionModel::ClearAndSelect);
    return true;
  }

 private:
  ItemList* list_;
  QObject* viewport_;
};

QWidget* make_push_button(const ControlTemplate& control, QWidget* parent) {
  auto* button = new QPushButton(button_text(control.label), parent);
  // Enter is answered by DialogWindow: Qt would otherwise make the first button after the
  // focused edit the default, so that Enter in a field could press, say, a "0s" button.
  button->setAutoDefault(false);
  button->setDefault(control.default_button);
  return button;
}

// Statics show file paths; one too long for its place can still be read whole in the tool tip.
void show_caption(QLabel* label, const QString& text) {
  label->setText(text);
  const bool fits = label->fontMetrics().horizontalAdvance(text) <= label->width() || text.contains('\n');
  label->setToolTip(fits ? QString() : text);
}

QWidget* make_static(const ControlTemplate&, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QWidget* make_group_box(const ControlTemplate& control, QWidget* parent) {
  auto* group = new QGroupBox(button_text(control.label), parent);
  // The controls inside are the dialog's children, not the group's: the frame stays behind
  // them and must not take their clicks.
  group->setAttribute(Qt::WA_TransparentForMouseEvents);
  group->setFocusPolicy(Qt::NoFocus);
  return group;
}

QWidget* make_list(const ControlTemplate& control, QWidget* parent) {
  auto* list = new ItemList(parent);
  for (std::size_t i = 0; i < control.items.size(); ++i)
    list->items()->set_text(static_cast<int>(i), from_utf8(control.items[i]));
  return list;
}

QWidget* make_drop_down(const ControlTemplate& control, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(false);
  for (const std::string& item : control.items) combo->addItem(from_utf8(item));
  combo->setCurrentIndex(-1);
  return combo;
}

// A digits-only field refuses every other key, as the fields of element numbers do.
QWidget* make_edit(const ControlTemplate& control, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  if (control.digits_only)
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  return edit;
}

QWidget* make_control(const ControlTemplate& control, QWidget* parent) {
  switch (control.kind) {
    case ControlKind::push_button: return make_push_button(control, parent);
    case ControlKind::edit: return make_edit(control, parent);
    case ControlKind::static_text: return make_static(control, parent);
    case ControlKind::list_box: return make_list(control, parent);
    case ControlKind::drop_down: return make_drop_down(control, parent);
    case ControlKind::group_box: return make_group_box(control, parent);
    case ControlKind::chart: return make_chart_control(parent);
  }
  return new QWidget(parent);
}

// An item that goes takes its selection with it; Qt would select a neighbour instead.
void resize_list(ItemList* list, int n) {
  const bool selection_goes = list->first_selected_row() >= n || list->current_row() >= n;
  list->items()->set_count(n);
  if (selection_goes) list->set_current_row(-1);
}

void resize_combo(QComboBox* combo, int n) {
  const bool selection_goes = combo->currentIndex() >= n;
  while (combo->count() > n) combo->removeItem(combo->count() - 1);
  while (combo->count() < n) combo->addItem(QString());
  if (selection_goes) combo->setCurrentIndex(-1);
}

}  // namespace

QtDialog::QtDialog(const DialogTemplate& dialog_template, QWidget* parent)
    : template_(dialog_template), window_(new DialogWindow(parent)) {
  window_->setWindowTitle(from_utf8(template_.title));
  window_->setObjectName(QStringLiteral("dialog_%1").arg(template_.id));
  window_->setFixedSize(template_.width, template_.height);
  window_->setModal(true);
  // The templates place controls in pixels; a text size in pixels keeps every label in its
  // place whatever font size the desktop prefers.
  QFont font = window_->font();
  font.setPixelSize(template_font_pixels);
  window_->setFont(font);
  for (const ControlTemplate& control : template_.controls) widgets_.push_back(make_widget(control));
  // Group frames are drawn behind whatever they surround, wherever the template lists them.
  for (std::size_t i = 0; i < widgets_.size(); ++i)
    if (template_.controls[i].kind == ControlKind::group_box) widgets_[i]->lower();
  set_tab_order();
  give_mnemonics();
  window_->on_escape = [this] { escape(); };
  window_->on_enter = [this] { enter(); };
  window_->on_close_box = [this] { close_box(); };
}

QtDialog::~QtDialog() { delete window_.data(); }

QWidget* QtDialog::make_widget(const ControlTemplate& control) {
  QWidget* widget = make_control(control, window_);
  const Rect& r = control.rect;
  widget->setGeometry(r.x, r.y, r.width, r.height);
  if (auto* label = qobject_cast<QLabel*>(widget)) show_caption(label, from_utf8(control.label));
  widget->setObjectName(QString::number(control.id));
  widget->setAccessibleName(from_utf8(control.label));
  widget->setEnabled(control.enabled);
  connect_user_actions(control, widget);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) watch_conversion(edit, field_format(template_.id, control.id));
  return widget;
}

void QtDialog::connect_user_actions(const ControlTemplate& control, QWidget* widget) {
  const ControlId id = control.id;
  if (id == no_id) return;
  if (auto* button = qobject_cast<QPushButton*>(widget))
    QObject::connect(button, &QPushButton::clicked, window_, [this, id] { press_button(id); });
  else if (auto* edit = qobject_cast<QLineEdit*>(widget))
    QObject::connect(edit, &QLineEdit::textEdited, window_, [this, id] { fire(id); });
  else if (auto* combo = qobject_cast<QComboBox*>(widget))
    QObject::connect(combo, &QComboBox::activated, window_, [this, id] { fire(id); });
  else if (auto* list = qobject_cast<ItemList*>(widget))
    connect_list(id, list);
}

// The callback runs once the selection has changed, so that it reads the new one; moving the
// current row alone (the keyboard arriving at the list) chooses nothing. A list the user
// emptied (Ctrl+click) has chosen nothing either.
void QtDialog::connect_list(ControlId id, ItemList* list) {
  QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, window_, [this, id, list] {
    if (list->first_selected_row() >= 0) fire(id);
  });
  auto* watcher = new ListWatcher(list);
  QObject::connect(list, &QAbstractItemView::pressed, window_, [this, id, watcher](const QModelIndex& index) {
    if (index.row() == watcher->selected_before_press) fire(id);
  });
}

void QtDialog::give_mnemonics() {
  std::vector<QPushButton*> buttons;
  for (QWidget* widget : widgets_)
    if (auto* button = qobject_cast<QPushButton*>(widget)) buttons.push_back(button);
  ui::qt::give_mnemonics(buttons);
}

// The keyboard starts at the first control it can reach, in the template's order.
void QtDialog::focus_first() {
  for (QWidget* widget : widgets_)
    if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled())
      return widget->setFocus(Qt::TabFocusReason);
}

void QtDialog::set_tab_order() {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets_) {
    if (widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

QWidget* QtDialog::widget(ControlId id) const {
  if (id == no_id) return nullptr;
  for (std::size_t i = 0; i < widgets_.size(); ++i)
    if (template_.controls[i].id == id) return widgets_[i];
  return nullptr;
}

void QtDialog::on(ControlId id, Callback callback) { callbacks_[id] = std::move(callback); }

void QtDialog::fire(ControlId id) {
  auto it = callbacks_.find(id);
  if (it == callbacks_.end() || !it->second) return;
  // A copy: the callback may register callbacks again, replacing the one that runs.
  Callback callback = it->second;
  ui::run_user_callback(callback, *this, id);
}

void QtDialog::press_button(ControlId id) {
  if (callbacks_.count(id)) fire(id);
  else if (id == ok_button || id == cancel_button) end(id);
}

// Enter presses the focused button, or else the template's default button.
void QtDialog::enter() {
  if (auto* focused = qobject_cast<QPushButton*>(window_->focusWidget()); focused && focused->isEnabled()) {
    focused->click();
    return;
  }
  for (std::size_t i = 0; i < widgets_.size(); ++i)
    if (template_.controls[i].default_button && widgets_[i]->isEnabled())
      if (auto* button = qobject_cast<QPushButton*>(widgets_[i])) return button->click();
}

bool QtDialog::may_leave() { return !leave_check_ || leave_check_(*this); }

// Esc is the Cancel button when there is one, and the close box otherwise.
void QtDialog::escape() {
  QWidget* cancel = widget(cancel_button);
  if (cancel && !cancel->isEnabled()) return;
  if (!may_leave()) return;
  if (!cancel) end(cancel_button);
  else press_button(cancel_button);
}

// A disabled Cancel also holds the close box: the dialog has said the user may not go back.
void QtDialog::close_box() {
  QWidget* cancel = widget(cancel_button);
  if (cancel && !cancel->isEnabled()) return;
  if (may_leave()) end(cancel_button);
}

void QtDialog::end(int code) {
  if (running_) window_->end(code);
  else pending_close_ = code;
}

int QtDialog::run_modal() {
  if (pending_close_) {
    int code = *pending_close_;
    pending_close_.reset();
    return code;
  }
  window_->created = false;
  QTimer::singleShot(0, window_, [this] {
    window_->loop_level = QThread::currentThread()->loopLevel();
    if (!created_call_done_) {
      created_call_done_ = true;
      focus_first();
      fire(template_.id);
    }
    window_->created = true;
  });
  running_ = true;
  int code = window_->exec();
  running_ = false;
  return code == QDialog::Rejected ? cancel_button : code;
}

void QtDialog::close(int code) { end(code); }

void QtDialog::set_text(ControlId id, std::string_view text, int item) {
  QWidget* w = widget(id);
  const QString value = from_utf8(text);
  const Blocker blocker(w);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(value);
    edit->setCursorPosition(0);  // the start of a long number is the part that matters
    mark_conversion(edit);       // the blocked signals do not reach the feedback
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    show_caption(label, value);
  } else if (auto* button = qobject_cast<QPushButton*>(w)) {
    show_button_face(button, value, button->icon());
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(button_text(text));
  } else if (auto* list = qobject_cast<ItemList*>(w); list && item >= 1) {
    list->items()->set_text(item - 1, value);
  } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && item >= 1) {
    if (combo->count() < item) resize_combo(combo, item);
    combo->setItemText(item - 1, value);
  }
}

std::string QtDialog::text(ControlId id, std::size_t length) const {
  QWidget* w = widget(id);
  QString value;
  if (auto* edit = qobject_cast<QLineEdit*>(w)) value = edit->text();
  else if (auto* label = qobject_cast<QLabel*>(w)) value = label->text();
  else if (auto* button = qobject_cast<QPushButton*>(w)) value = button_label(button);
  else if (auto* group = qobject_cast<QGroupBox*>(w)) value = plain_text(group->title());
  else if (auto* combo = qobject_cast<QComboBox*>(w)) value = combo->currentText();
  else if (auto* list = qobject_cast<ItemList*>(w); list && list->current_row() >= 0)
    value = list->items()->text(list->current_row());
  return padded_utf8(value, length);
}

void QtDialog::set_item_count(ControlId id, int n) {
  QWidget* w = widget(id);
  const Blocker blocker(w);
  if (auto* list = qobject_cast<ItemList*>(w)) resize_list(list, std::max(n, 0));
  else if (auto* combo = qobject_cast<QComboBox*>(w)) resize_combo(combo, std::max(n, 0));
}

void QtDialog::show_items(ControlId id, int count, ItemText text_of) {
  auto* list = qobject_cast<ItemList*>(widget(id));
  if (!list) return;
  const Blocker blocker(list);
  list->items()->show_view(count, std::move(text_of));
}

void QtDialog::items_changed(ControlId id, int first, int last) {
  if (auto* list = qobject_cast<ItemList*>(widget(id))) list->items()->changed(first - 1, last - 1);
}

void QtDialog::select(ControlId id, int item) {
  QWidget* w = widget(id);
  const Blocker blocker(w);
  if (auto* list = qobject_cast<ItemList*>(w)) {
    list->set_current_row(item >= 1 && item <= list->count() ? item - 1 : -1);
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setCurrentIndex(item >= 1 && item <= combo->count() ? item - 1 : -1);
  }
}

int QtDialog::selection(ControlId id) const {
  QWidget* w = widget(id);
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentIndex() + 1;
  auto* list = qobject_cast<ItemList*>(w);
  return list ? list->first_selected_row() + 1 : 0;
}

void QtDialog::set_enabled(ControlId id, bool on) {
  if (QWidget* w = widget(id)) w->setEnabled(on);
}

void QtDialog::set_alert(ControlId id, bool on) {
  auto* label = qobject_cast<QLabel*>(widget(id));
  if (!label) return;
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, on ? QColor(0xb0, 0x00, 0x20) : window_->palette().color(QPalette::WindowText));
  label->setPalette(palette);
}

void QtDialog::update() {
  if (window_->isVisible()) window_->repaint();
}

void QtDialog::set_image(ControlId id, const Image& image) {
  auto* button = qobject_cast<QPushButton*>(widget(id));
  if (!button) return;
  const QtImageData* data = qt_image_data(image);
  show_button_face(button, button_label(button), data ? data->icon : QIcon());
}

void QtDialog::set_chart(ControlId id, const ChartContent& content) { show_chart(widget(id), content); }

bool QtDialog::save_chart_picture(ControlId id, const std::string& path) {
  return qt::save_chart_picture(widget(id), from_utf8(path));
}

void QtDialog::set_window_icon(const Image& image) {
  const QtImageData* data = qt_image_data(image);
  window_->setWindowIcon(data ? data->icon : QIcon());
}

}  // namespace ui::qt
