// The scripted face's dialog: the controls a template makes, what the program sets in them, and
// what a replayed user does to them.
#include "ui/script/script_toolkit.h"

#include <algorithm>
#include <string>

#include "text/fixed_text.h"

namespace ui::script {

namespace {

std::string control_name(ControlId id) { return "control " + std::to_string(id); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// ScriptDialog::Items

std::string ScriptDialog::Items::text(int item) const {
  if (item < 1 || item > count_) return {};
  if (view_) return view_(item);
  auto it = texts_.find(item);
  return it == texts_.end() ? std::string() : it->second;
}

void ScriptDialog::Items::set(int item, std::string text) {
  if (item < 1 || view_) return;
  count_ = std::max(count_, item);
  if (text.empty()) texts_.erase(item);
  else texts_[item] = std::move(text);
}

void ScriptDialog::Items::resize(int n) {
  count_ = n;
  texts_.erase(texts_.upper_bound(n), texts_.end());
}

void ScriptDialog::Items::view(int n, ItemText text_of) {
  texts_.clear();
  count_ = n;
  view_ = std::move(text_of);
}

// ---------------------------------------------------------------------------------------------
// ScriptDialog

ScriptDialog::ScriptDialog(ScriptToolkit& toolkit, const DialogTemplate& t) : toolkit_(toolkit), template_(t) {
  for (const ControlTemplate& c : t.controls) {
    if (c.id == no_id) continue;
    Control& control = controls_[c.id];
    control.kind = c.kind;
    control.enabled = c.enabled;
    control.digits_only = c.digits_only;
    if (c.kind == ControlKind::push_button || c.kind == ControlKind::static_text ||
        c.kind == ControlKind::group_box)
      control.text = c.label;
    for (std::size_t i = 0; i < c.items.size(); ++i) control.items.set(static_cast<int>(i) + 1, c.items[i]);
  }
}

ScriptDialog::~ScriptDialog() {
  if (running_) toolkit_.closed(this);
}

void ScriptDialog::on(ControlId id, Callback callback) { callbacks_[id] = std::move(callback); }

int ScriptDialog::run_modal() {
  closed_ = false;
  running_ = true;
  toolkit_.opened(this);
  if (focused_ == no_id) focus_next();
  run_callback(template_.id);
  if (!closed_) toolkit_.run_until_closed(*this);
  running_ = false;
  toolkit_.closed(this);
  return code_;
}

void ScriptDialog::close(int code) {
  closed_ = true;
  code_ = code;
}

ScriptDialog::Control* ScriptDialog::find(ControlId id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const ScriptDialog::Control* ScriptDialog::control(ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

void ScriptDialog::set_text(ControlId id, std::string_view text, int item) {
  Control* c = find(id);
  if (!c) return;
  if (item >= 1) {
    c->items.set(item, std::string(text));
  } else {
    c->text = std::string(text);
  }
}

std::string ScriptDialog::text(ControlId id, std::size_t length) const {
  const Control* c = control(id);
  return text::padded(c ? std::string_view(c->text) : std::string_view(), length);
}

void ScriptDialog::set_item_count(ControlId id, int n) {
  Control* c = find(id);
  if (!c) return;
  c->items.resize(std::max(n, 0));
  if (c->selection > n) c->selection = 0;
  if (c->current > n) c->current = 0;
}

void ScriptDialog::show_items(ControlId id, int count, ItemText text_of) {
  Control* c = find(id);
  if (!c) return;
  c->items.view(std::max(count, 0), std::move(text_of));
  c->selection = c->current = 0;
}

void ScriptDialog::select(ControlId id, int item) {
  if (Control* c = find(id)) c->selection = c->current = item;
}

int ScriptDialog::selection(ControlId id) const {
  const Control* c = control(id);
  return c ? c->selection : 0;
}

void ScriptDialog::set_enabled(ControlId id, bool on) {
  Control* c = find(id);
  if (!c) return;
  c->enabled = on;
  if (!on && focused_ == id) focus_next();
}

// A chart only shows: the keyboard passes it by, as on the Qt dialogs.
bool ScriptDialog::focusable(ControlId id) const {
  const Control* c = control(id);
  return c && c->enabled && c->kind != ControlKind::static_text && c->kind != ControlKind::group_box &&
         c->kind != ControlKind::chart;
}

void ScriptDialog::focus_next() {
  const std::vector<ControlTemplate>& order = template_.controls;
  if (order.empty()) return;
  std::size_t at = order.size() - 1;  // with no focus yet, the search starts at the first control
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i].id == focused_ && focused_ != no_id) at = i;
  for (std::size_t k = 1; k <= order.size(); ++k) {
    const ControlId id = order[(at + k) % order.size()].id;
    if (id != no_id && focusable(id)) return take_focus(id, true);
  }
  focused_ = no_id;
}

// The keyboard puts a list on its first item when it arrives there; that chooses nothing.
void ScriptDialog::take_focus(ControlId id, bool by_keyboard) {
  focused_ = id;
  Control* c = find(id);
  if (by_keyboard && c && c->kind == ControlKind::list_box && c->current == 0 && !c->items.empty())
    c->current = 1;
}

void ScriptDialog::set_chart(ControlId id, const ChartContent& content) {
  if (Control* c = find(id)) c->curves = static_cast<int>(content.series.size());
}

void ScriptDialog::set_image(ControlId id, const Image& image) {
  if (Control* c = find(id)) c->has_image = !image.null();
}

void ScriptDialog::run_callback(ControlId id) {
  auto it = callbacks_.find(id);
  if (it == callbacks_.end()) return;
  Callback callback = it->second;  // the callback may register callbacks anew
  ui::run_user_callback(callback, *this, id);
}

ScriptDialog::Control& ScriptDialog::usable(int line, ControlId id, ControlKind kind, const char* what) {
  Control* c = find(id);
  const std::string where = " in dialog " + std::to_string(template_.id);
  if (!c) throw ScriptError(line, "no " + control_name(id) + where);
  if (c->kind != kind && !(kind == ControlKind::list_box && c->kind == ControlKind::drop_down))
    throw ScriptError(line, control_name(id) + where + " is not " + what);
  if (!c->enabled) throw ScriptError(line, control_name(id) + where + " is disabled");
  return *c;
}

void ScriptDialog::user_type(int line, ControlId id, const std::string& text) {
  Control& c = usable(line, id, ControlKind::edit, "an edit field");
  take_focus(id, false);
  // The field's text is selected, then typed over. A digits-only field refuses the other keys;
  // when it refuses them all, the selected text stays. Clearing an empty field changes nothing.
  std::string typed = text;
  if (c.digits_only) std::erase_if(typed, [](char ch) { return ch < '0' || ch > '9'; });
  if (typed.empty() && (!text.empty() || c.text.empty())) return;
  c.text = typed;
  run_callback(id);
}

bool ScriptDialog::may_leave() { return !leave_check_ || leave_check_(*this); }

void ScriptDialog::user_close_box() {
  const Control* cancel = control(2);
  if (cancel && !cancel->enabled) return;
  if (may_leave()) close(2);
}

// Esc is the Cancel button when there is one, and the close box otherwise.
void ScriptDialog::user_escape() {
  const Control* cancel = control(2);
  if (cancel && !cancel->enabled) return;
  if (!may_leave()) return;
  if (cancel && callbacks_.count(2)) run_callback(2);
  else close(2);
}

// Enter presses the focused button, or else the template's default button.
void ScriptDialog::user_enter(int line) {
  const Control* c = control(focused_);
  if (c && c->kind == ControlKind::push_button) return user_press(line, focused_);
  for (const ControlTemplate& t : template_.controls)
    if (t.default_button && control(t.id) && control(t.id)->enabled) return user_press(line, t.id);
}

void ScriptDialog::user_focus(int line, ControlId id) {
  if (!control(id)) throw ScriptError(line, "no " + control_name(id) + " in dialog " + std::to_string(template_.id));
  if (!focusable(id)) throw ScriptError(line, control_name(id) + " cannot take the focus");
  take_focus(id, true);
}

void ScriptDialog::user_click(int line, ControlId id, int item) {
  Control& c = usable(line, id, ControlKind::list_box, "a list");
  if (c.kind != ControlKind::list_box) throw ScriptError(line, control_name(id) + " is not a list");
  user_pick(line, id, item);
}

void ScriptDialog::user_key(int line, Key key) {
  if (key == Key::esc) return user_escape();
  if (key == Key::tab) return focus_next();
  if (key == Key::enter) return user_enter(line);
  Control* c = find(focused_);
  if (!c) return;  // nothing has the focus: the key goes nowhere
  const std::string what = "key " + std::string(key_name(key)) + " on " + control_name(focused_);
  switch (c->kind) {
    case ControlKind::push_button:
      if (key != Key::space) throw ScriptError(line, what + ", a push button");
      return user_press(line, focused_);
    case ControlKind::list_box: return list_key(line, *c, key);
    case ControlKind::drop_down:
      if (key == Key::space) throw ScriptError(line, what + ": a drop-down opens on SPACE; use UP/DOWN");
      return drop_down_key(*c, key);
    default: throw ScriptError(line, what + ", an edit field: use type");
  }
}

// SPACE chooses the item the keyboard is on; the arrows, Home and End move and choose where
// they arrive, and where they cannot move they choose the item they stay on.
void ScriptDialog::list_key(int, Control& c, Key key) {
  const int n = c.items.count();
  if (n == 0) return;
  int target = c.current == 0 ? 1 : c.current;
  if (c.current != 0) {
    if (key == Key::up) target = std::max(c.current - 1, 1);
    else if (key == Key::down) target = c.current < n ? c.current + 1 : n;
    else if (key == Key::home) target = 1;
    else if (key == Key::end) target = n;
  }
  c.current = target;
  if (c.selection == target) return;
  c.selection = target;
  run_callback(focused_);
}

void ScriptDialog::drop_down_key(Control& c, Key key) {
  const int n = c.items.count();
  int target = c.selection;
  if (key == Key::up) target = c.selection - 1;
  else if (key == Key::down) target = c.selection + 1;
  else if (key == Key::home) target = 1;
  else if (key == Key::end) target = n;
  if (target < 1 || target > n || target == c.selection) return;
  c.selection = target;
  run_callback(focused_);
}

void ScriptDialog::user_pick(int line, ControlId id, int item) {
  Control& c = usable(line, id, ControlKind::list_box, "a list or drop-down");
  if (item < 1 || item > c.items.count())
    throw ScriptError(line, control_name(id) + " has no item " + std::to_string(item) + " (it has " +
                                std::to_string(c.items.count()) + ")");
  c.selection = item;
  c.current = item;
  take_focus(id, false);
  run_callback(id);
}

void ScriptDialog::user_press(int line, ControlId id) {
  usable(line, id, ControlKind::push_button, "a push button");
  take_focus(id, false);
  if (callbacks_.count(id)) run_callback(id);
  else if (id == 1 || id == 2) close(id);
}

}  // namespace ui::script
