#include "ui/script/script_toolkit.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "text/fixed_text.h"

namespace fs = std::filesystem;

namespace ui::script {

namespace {

std::string control_name(ControlId id) { return "control " + std::to_string(id); }

struct ScriptImage : Image::Data {
  std::string path;
  explicit ScriptImage(std::string p) : path(std::move(p)) {}
};

}  // namespace

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
    control.items = c.items;
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
    if (static_cast<int>(c->items.size()) < item) c->items.resize(item);
    c->items[item - 1] = std::string(text);
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
}

void ScriptDialog::select(ControlId id, int item) {
  if (Control* c = find(id)) c->selection = item;
}

int ScriptDialog::selection(ControlId id) const {
  const Control* c = control(id);
  return c ? c->selection : 0;
}

void ScriptDialog::set_enabled(ControlId id, bool on) {
  if (Control* c = find(id)) c->enabled = on;
}

void ScriptDialog::set_image(ControlId id, const Image& image) {
  if (Control* c = find(id)) c->has_image = !image.null();
}

void ScriptDialog::run_callback(ControlId id) {
  auto it = callbacks_.find(id);
  if (it == callbacks_.end()) return;
  Callback callback = it->second;  // the callback may register callbacks anew
  callback(*this, id);
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
  c.text = text;
  // A digits-only field refuses the other keys, so they never reach its text.
  if (c.digits_only) std::erase_if(c.text, [](char ch) { return ch < '0' || ch > '9'; });
  run_callback(id);
}

void ScriptDialog::user_close_box() {
  const Control* cancel = control(2);
  if (cancel && !cancel->enabled) return;
  close(2);
}

void ScriptDialog::user_pick(int line, ControlId id, int item) {
  Control& c = usable(line, id, ControlKind::list_box, "a list or drop-down");
  if (item < 1 || item > static_cast<int>(c.items.size()))
    throw ScriptError(line, control_name(id) + " has no item " + std::to_string(item) + " (it has " +
                                std::to_string(c.items.size()) + ")");
  c.selection = item;
  run_callback(id);
}

void ScriptDialog::user_press(int line, ControlId id) {
  usable(line, id, ControlKind::push_button, "a push button");
  if (callbacks_.count(id)) run_callback(id);
  else if (id == 1 || id == 2) close(id);
}

// ---------------------------------------------------------------------------------------------
// ScriptToolkit

ScriptToolkit::ScriptToolkit(ParseResult script, std::ostream& transcript)
    : statements_(std::move(script.statements)), last_line_(script.last_line), transcript_(transcript) {
  std::error_code ec;
  workspace_ = fs::current_path(ec).string();
}

std::string ScriptToolkit::expanded(const std::string& expected) const {
  static constexpr std::string_view token = "@WORKSPACE@";
  std::string out = expected;
  for (std::size_t at = out.find(token); at != std::string::npos; at = out.find(token, at + workspace_.size()))
    out.replace(at, token.size(), workspace_);
  return out;
}

ScriptToolkit::~ScriptToolkit() = default;

std::unique_ptr<Dialog> ScriptToolkit::create_dialog(int template_id) {
  const DialogTemplate* t = nullptr;
  for (const DialogTemplate* extra : extra_templates_)
    if (extra->id == template_id) t = extra;
  if (!t) t = find_template(template_id);
  if (!t) {
    const int line = next_ > 0 ? statements_[next_ - 1].line : 0;
    throw ScriptError(line, "the program asked for dialog " + std::to_string(template_id) +
                                ", which has no template");
  }
  return std::make_unique<ScriptDialog>(*this, *t);
}

void ScriptToolkit::closed(ScriptDialog* dialog) {
  open_dialogs_.erase(std::remove(open_dialogs_.begin(), open_dialogs_.end(), dialog), open_dialogs_.end());
}

void ScriptToolkit::run_until_closed(ScriptDialog& dialog) {
  while (!dialog.is_closed()) {
    if (next_ >= statements_.size())
      throw ScriptError(last_line_, "the script ended while dialog " + std::to_string(dialog.template_id()) +
                                        " is open");
    execute(statements_[next_++]);
  }
}

void ScriptToolkit::finish() {
  if (next_ < statements_.size())
    throw ScriptError(statements_[next_].line, "statements left after the program ended");
}

ScriptDialog& ScriptToolkit::innermost(const Statement& s) {
  if (open_dialogs_.empty()) throw ScriptError(s.line, "no dialog is open");
  return *open_dialogs_.back();
}

// Lets a test run two replays in one folder in a set order: one waits, mid-run, for a file
// that the test makes when the other has done its part.
void ScriptToolkit::wait_for(const Statement& s) {
  const fs::path path = fs::path(workspace_) / s.text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  std::error_code ec;
  while (!fs::exists(path, ec)) {
    if (std::chrono::steady_clock::now() > deadline)
      throw ScriptError(s.line, script::quoted(s.text) + " did not appear within 120 seconds");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ScriptToolkit::execute(const Statement& s) {
  using K = Statement::Kind;
  switch (s.kind) {
    case K::file:
    case K::file_cancel: file_answers_.push_back(s); return;
    case K::answer: yes_no_answers_.push_back(s); return;
    case K::expect_message:
    case K::expect_no_message: expect_message(s); return;
    case K::wait: wait_for(s); return;
    default: break;
  }
  ScriptDialog& dialog = innermost(s);
  switch (s.kind) {
    case K::in:
      if (dialog.template_id() != s.id)
        throw ScriptError(s.line, "dialog " + std::to_string(dialog.template_id()) + " is open, not " +
                                      std::to_string(s.id));
      return;
    case K::type: dialog.user_type(s.line, s.id, s.text); return;
    case K::pick: dialog.user_pick(s.line, s.id, s.number); return;
    case K::press: dialog.user_press(s.line, s.id); return;
    case K::close: dialog.user_close_box(); return;
    default: execute_expectation(s, dialog); return;
  }
}

void ScriptToolkit::execute_expectation(const Statement& s, ScriptDialog& dialog) {
  using K = Statement::Kind;
  const ScriptDialog::Control* c = dialog.control(s.id);
  if (!c) throw ScriptError(s.line, "no control " + std::to_string(s.id) + " in dialog " +
                                        std::to_string(dialog.template_id()));
  auto fail = [&](const std::string& got) {
    throw ScriptError(s.line, "control " + std::to_string(s.id) + ": expected " + got);
  };
  switch (s.kind) {
    case K::expect_text: {
      const std::string_view shown = text::trim_right(c->text);
      if (shown != expanded(s.text)) fail(script::quoted(s.text) + ", found " + script::quoted(shown));
      return;
    }
    case K::expect_item: {
      if (s.number < 1 || s.number > static_cast<int>(c->items.size()))
        fail("item " + std::to_string(s.number) + ", found " + std::to_string(c->items.size()) + " items");
      const std::string_view item = text::trim_right(c->items[s.number - 1]);
      if (item != s.text) fail("item " + std::to_string(s.number) + " " + script::quoted(s.text) + ", found " + script::quoted(item));
      return;
    }
    case K::expect_items:
      if (static_cast<int>(c->items.size()) != s.number)
        fail(std::to_string(s.number) + " items, found " + std::to_string(c->items.size()));
      return;
    case K::expect_selected:
      if (c->selection != s.number)
        fail("selection " + std::to_string(s.number) + ", found " + std::to_string(c->selection));
      return;
    case K::expect_enabled:
      if (!c->enabled) fail("enabled, found disabled");
      return;
    case K::expect_disabled:
      if (c->enabled) fail("disabled, found enabled");
      return;
    default: return;
  }
}

void ScriptToolkit::expect_message(const Statement& s) {
  auto unchecked = std::find_if(messages_.begin(), messages_.end(), [](const ShownMessage& m) { return !m.checked; });
  if (s.kind == Statement::Kind::expect_no_message) {
    if (unchecked != messages_.end())
      throw ScriptError(s.line, "unchecked message " + script::quoted(unchecked->title) + " " + script::quoted(unchecked->text));
    return;
  }
  if (unchecked == messages_.end())
    throw ScriptError(s.line, "expected message " + script::quoted(s.text) + " " + script::quoted(s.text2) + ", none shown");
  if (unchecked->title != s.text || unchecked->text != expanded(s.text2))
    throw ScriptError(s.line, "expected message " + script::quoted(s.text) + " " + script::quoted(s.text2) + ", found " +
                                  script::quoted(unchecked->title) + " " + script::quoted(unchecked->text));
  unchecked->checked = true;
}

Answer ScriptToolkit::message_box(std::string_view text, std::string_view title, Icon icon, Buttons buttons) {
  messages_.push_back({std::string(title), std::string(text), icon});
  transcript_ << "message " << script::quoted(title) << ' ' << script::quoted(text) << '\n';
  if (buttons == Buttons::ok) return Answer::ok;
  // The answer may stand right after the action that shows the box.
  while (yes_no_answers_.empty() && next_ < statements_.size() &&
         statements_[next_].kind == Statement::Kind::answer)
    execute(statements_[next_++]);
  if (yes_no_answers_.empty())
    throw ScriptError(next_ > 0 ? statements_[next_ - 1].line : 0,
                      "a Yes/No box with no queued answer: " + script::quoted(text));
  const Statement answer = yes_no_answers_.front();
  yes_no_answers_.pop_front();
  return answer.number ? Answer::yes : Answer::no;
}

bool ScriptToolkit::open_file_box(const OpenFileRequest& request, std::string& path_buffer) {
  file_requests_.push_back(request);
  while (file_answers_.empty() && next_ < statements_.size() &&
         (statements_[next_].kind == Statement::Kind::file || statements_[next_].kind == Statement::Kind::file_cancel))
    execute(statements_[next_++]);
  if (file_answers_.empty())
    throw ScriptError(next_ > 0 ? statements_[next_ - 1].line : 0,
                      "an open-file box " + script::quoted(request.title) + " with no queued answer");
  const Statement answer = file_answers_.front();
  file_answers_.pop_front();
  if (answer.kind == Statement::Kind::file_cancel) return false;
  std::error_code ec;
  const fs::path chosen = (fs::current_path(ec) / answer.text).lexically_normal();
  const fs::path folder = chosen.parent_path();
  if (!fs::is_directory(folder, ec))
    throw ScriptError(answer.line, "the folder of " + script::quoted(answer.text) + " does not exist");
  fs::current_path(folder, ec);
  path_buffer = chosen.string();
  return true;
}

Image ScriptToolkit::load_image(const std::string& path, ImageKind, int, int) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) == 0 || ec) return Image();
  return Image(std::make_shared<ScriptImage>(path));
}

void ScriptToolkit::start_program_and_wait(const std::string&, const std::string& argument) {
  viewed_.push_back(argument);
  transcript_ << "view " << script::quoted(argument) << '\n';
}

}  // namespace ui::script
