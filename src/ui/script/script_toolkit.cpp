#include "ui/script/script_toolkit.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

#include "text/fixed_text.h"
#include "ui/script/expectation.h"

namespace fs = std::filesystem;

namespace ui::script {

namespace {

struct ScriptImage : Image::Data {
  std::string path;
  explicit ScriptImage(std::string p) : path(std::move(p)) {}
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// ScriptToolkit

ScriptToolkit::ScriptToolkit(ParseResult script, std::ostream& transcript)
    : statements_(std::move(script.statements)), last_line_(script.last_line), transcript_(transcript) {
  std::error_code ec;
  workspace_ = fs::current_path(ec).string();
}

std::string ScriptToolkit::expanded(const std::string& expected) const {
  return with_workspace(expected, workspace_);
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
    case K::recover: recover_answers_.push_back(s); return;
    case K::expect_message:
    case K::expect_no_message: expect_message(s); return;
    case K::expect_box_folder:
    case K::expect_box_lists:
    case K::expect_box_offers: expect_box(s); return;
    case K::wait: wait_for(s); return;
    case K::progress_cancel: throw ScriptError(s.line, "no progress bar to cancel");
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
    case K::key: dialog.user_key(s.line, s.key); return;
    case K::focus: dialog.user_focus(s.line, s.id); return;
    case K::click: dialog.user_click(s.line, s.id, s.number); return;
    case K::expect_focus:
      if (const std::string problem = script::focus_mismatch(s.id, dialog.focused()); !problem.empty())
        throw ScriptError(s.line, problem);
      return;
    default: execute_expectation(s, dialog); return;
  }
}

namespace {

// A control of the scripted face as an expectation sees it.
class ScriptControlView final : public script::ControlView {
 public:
  explicit ScriptControlView(const ScriptDialog::Control& c) : c_(c) {}
  std::string text() const override { return c_.text; }
  int item_count() const override { return c_.items.count(); }
  std::string item(int n) const override { return c_.items.text(n); }
  int curves() const override { return c_.curves; }
  int selection() const override { return c_.selection; }
  bool enabled() const override { return c_.enabled; }

 private:
  const ScriptDialog::Control& c_;
};

}  // namespace

void ScriptToolkit::execute_expectation(const Statement& s, ScriptDialog& dialog) {
  const ScriptDialog::Control* c = dialog.control(s.id);
  if (!c) throw ScriptError(s.line, "no control " + std::to_string(s.id) + " in dialog " +
                                        std::to_string(dialog.template_id()));
  if (const std::string problem = script::control_mismatch(s, expanded(s.text), ScriptControlView(*c)); !problem.empty())
    throw ScriptError(s.line, problem);
}

void ScriptToolkit::expect_message(const Statement& s) {
  if (const std::string problem = script::message_mismatch(s, expanded(s.text2), messages_); !problem.empty())
    throw ScriptError(s.line, problem);
}

void ScriptToolkit::expect_box(const Statement& s) {
  if (file_requests_.empty()) throw ScriptError(s.line, "no open-file box has been shown");
  const BoxCheck check = box_check(s, expanded(s.text), {box_folder_, box_listing_, box_name_});
  if (!check.holds) throw ScriptError(s.line, check.problem);
}

namespace {

// Where a file box opens: the folder of the name it offers, when that is a full path to an
// existing folder; otherwise the request's folder.
fs::path box_folder(const OpenFileRequest& request, const std::string& preset) {
  std::error_code ec;
  const fs::path offered(std::string(text::trim_right(preset)));
  if (offered.is_absolute() && fs::is_directory(offered.parent_path(), ec)) return offered.parent_path();
  return fs::path(request.initial_folder);
}

// The files a box shows under its preselected filter, by name, blank-separated: hidden files
// and folders are not among them.
std::string box_listing(const OpenFileRequest& request, const fs::path& folder) {
  std::vector<std::string> patterns;
  if (request.selected_filter >= 1 && request.selected_filter <= static_cast<int>(request.filters.size())) {
    const std::string& all = request.filters[request.selected_filter - 1].pattern;
    for (std::size_t start = 0; start <= all.size();) {
      const std::size_t end = std::min(all.find(';', start), all.size());
      patterns.push_back(all.substr(start, end - start));
      start = end + 1;
    }
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with('.') || entry.is_directory(ec)) continue;
    if (std::any_of(patterns.begin(), patterns.end(),
                    [&](const std::string& p) { return box_pattern_matches(p, name); }))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += (listing.empty() ? "" : " ") + name;
  return listing;
}

}  // namespace

Answer ScriptToolkit::message_box(std::string_view text, std::string_view title, Icon icon, Buttons buttons) {
  messages_.push_back({std::string(title), std::string(text), icon});
  transcript_ << "message " << script::quoted(title) << ' ' << script::quoted(text) << '\n';
  if (buttons == Buttons::ok) return Answer::ok;
  const bool recovery = title == recovery_title;
  const Statement::Kind kind = recovery ? Statement::Kind::recover : Statement::Kind::answer;
  std::deque<Statement>& answers = recovery ? recover_answers_ : yes_no_answers_;
  // The answer may stand right after the action that shows the box.
  while (answers.empty() && next_ < statements_.size() && statements_[next_].kind == kind)
    execute(statements_[next_++]);
  if (answers.empty())
    throw ScriptError(next_ > 0 ? statements_[next_ - 1].line : 0,
                      std::string(recovery ? "the recovery question with no queued recover statement: "
                                           : "a Yes/No box with no queued answer: ") +
                          script::quoted(text));
  const Statement answer = answers.front();
  answers.pop_front();
  return answer.number ? Answer::yes : Answer::no;
}

// The queued answer to a file or folder box; the `file` statements that follow the last action
// are taken as answered in order.
Statement ScriptToolkit::next_file_answer(const std::string& box) {
  while (file_answers_.empty() && next_ < statements_.size() &&
         (statements_[next_].kind == Statement::Kind::file || statements_[next_].kind == Statement::Kind::file_cancel))
    execute(statements_[next_++]);
  if (file_answers_.empty())
    throw ScriptError(next_ > 0 ? statements_[next_ - 1].line : 0, box + " with no queued answer");
  const Statement answer = file_answers_.front();
  file_answers_.pop_front();
  return answer;
}

bool ScriptToolkit::open_file_box(const OpenFileRequest& request, std::string& path_buffer) {
  file_requests_.push_back(request);
  const fs::path shown_folder = box_folder(request, path_buffer);
  box_folder_ = folder_text(shown_folder.lexically_normal().string());
  box_listing_ = box_listing(request, shown_folder);
  box_name_ = path_buffer.empty() ? std::string() : fs::path(std::string(text::trim_right(path_buffer))).filename().string();
  const Statement answer = next_file_answer("an open-file box " + script::quoted(request.title));
  if (answer.kind == Statement::Kind::file_cancel) return false;
  if (!answer.more.empty()) throw ScriptError(answer.line, "this box takes one file");
  std::error_code ec;
  const fs::path chosen = (fs::current_path(ec) / answer.text).lexically_normal();
  const fs::path folder = chosen.parent_path();
  if (!fs::is_directory(folder, ec))
    throw ScriptError(answer.line, "the folder of " + script::quoted(answer.text) + " does not exist");
  fs::current_path(folder, ec);
  path_buffer = chosen.string();
  return true;
}

// Answered as an open-file box is: the name may be one that is not there yet.
bool ScriptToolkit::save_file_box(const OpenFileRequest& request, std::string& path_buffer) {
  return open_file_box(request, path_buffer);
}

// The files of one `file` statement, all in one folder, as a person selects them in one box.
bool ScriptToolkit::open_files_box(const OpenFileRequest& request, std::vector<std::string>& paths) {
  file_requests_.push_back(request);
  std::string none;
  const fs::path shown_folder = box_folder(request, none);
  box_folder_ = folder_text(shown_folder.lexically_normal().string());
  box_listing_ = box_listing(request, shown_folder);
  box_name_.clear();
  const Statement answer = next_file_answer("an open-file box " + script::quoted(request.title));
  if (answer.kind == Statement::Kind::file_cancel) return false;
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  paths.clear();
  std::vector<std::string> names{answer.text};
  names.insert(names.end(), answer.more.begin(), answer.more.end());
  for (const std::string& name : names) {
    const fs::path chosen = (here / name).lexically_normal();
    if (!paths.empty() && chosen.parent_path() != fs::path(paths.front()).parent_path())
      throw ScriptError(answer.line, "the files of one box are in one folder");
    if (!fs::is_directory(chosen.parent_path(), ec))
      throw ScriptError(answer.line, "the folder of " + script::quoted(name) + " does not exist");
    paths.push_back(chosen.string());
  }
  fs::current_path(fs::path(paths.front()).parent_path(), ec);
  return true;
}

// The steps run until a `progress cancel N` just after the action that started them says
// Cancel, once N steps are done.
int ScriptToolkit::run_steps(const Progress& progress, const Step& step) {
  std::optional<int> cancel_after;
  if (next_ < statements_.size() && statements_[next_].kind == Statement::Kind::progress_cancel)
    cancel_after = statements_[next_++].id;
  int done = 0;
  while (done < progress.steps && !(cancel_after && done >= *cancel_after)) step(done++);
  transcript_ << "progress " << script::quoted(progress.title) << ' ' << done << " of " << progress.steps << '\n';
  return done;
}

// Answered by a `file` statement too; the folder may be new, but its parent must exist.
bool ScriptToolkit::choose_folder(const std::string& title, const std::string& initial_folder, std::string& path) {
  OpenFileRequest request;
  request.title = title;
  request.initial_folder = initial_folder;
  file_requests_.push_back(request);
  const Statement answer = next_file_answer("a folder box " + script::quoted(title));
  if (answer.kind == Statement::Kind::file_cancel) return false;
  std::error_code ec;
  const fs::path chosen = (fs::current_path(ec) / answer.text).lexically_normal();
  if (!fs::is_directory(chosen.parent_path(), ec))
    throw ScriptError(answer.line, "the folder above " + script::quoted(answer.text) + " does not exist");
  path = chosen.string();
  return true;
}

Image ScriptToolkit::load_image(const std::string& path, ImageKind, int, int) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) == 0 || ec) return Image();
  return Image(std::make_shared<ScriptImage>(path));
}

void ScriptToolkit::show_text_file(const std::string& path) {
  viewed_.push_back(path);
  transcript_ << "view " << script::quoted(path) << '\n';
}

void ScriptToolkit::show_plot(const PlotRequest& request) {
  plots_.push_back(request);
  transcript_ << "plot " << script::quoted(request.title) << ' ' << request.point_count() << '\n';
}

}  // namespace ui::script
