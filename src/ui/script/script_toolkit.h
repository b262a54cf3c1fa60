// The scripted toolkit: dialogs kept in memory and driven by a replay script instead of a user.
// The same dialog logic runs under it as under Qt, so a scenario tests the real program.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/script/script.h"
#include "ui/toolkit.h"

namespace ui::script {

// A statement that cannot be carried out, or an expectation that does not hold. It unwinds
// the program's dialogs; the replay reports it with the script's line.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

struct ShownMessage {
  std::string title;
  std::string text;
  Icon icon;
  bool checked = false;
};

class ScriptDialog;

class ScriptToolkit : public Toolkit {
 public:
  // The transcript receives one line per message box, per viewer request and per plot.
  ScriptToolkit(ParseResult script, std::ostream& transcript);
  ~ScriptToolkit() override;

  std::unique_ptr<Dialog> create_dialog(int template_id) override;
  Answer message_box(std::string_view text, std::string_view title, Icon icon, Buttons buttons) override;
  bool open_file_box(const OpenFileRequest& request, std::string& path_buffer) override;
  bool save_file_box(const OpenFileRequest& request, std::string& path_buffer) override;
  bool open_files_box(const OpenFileRequest& request, std::vector<std::string>& paths) override;
  int run_steps(const Progress& progress, const Step& step) override;
  bool choose_folder(const std::string& title, const std::string& initial_folder, std::string& path) override;
  Image load_image(const std::string& path, ImageKind kind, int width, int height) override;
  void show_text_file(const std::string& path) override;
  void show_plot(const PlotRequest& request) override;

  // Templates of this toolkit only, found before the program's own (for tests of the toolkit).
  void add_template(const DialogTemplate& t) { extra_templates_.push_back(&t); }

  // After the program has ended: throws when statements are left over.
  void finish();

  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<std::string>& viewed() const { return viewed_; }
  const std::vector<PlotRequest>& plots() const { return plots_; }
  const std::vector<OpenFileRequest>& file_requests() const { return file_requests_; }

  // Runs statements until `dialog` is closed (the modal loop of the scripted dialogs).
  void run_until_closed(ScriptDialog& dialog);
  void opened(ScriptDialog* dialog) { open_dialogs_.push_back(dialog); }
  void closed(ScriptDialog* dialog);

 private:
  void execute(const Statement& s);
  void wait_for(const Statement& s);
  void execute_expectation(const Statement& s, ScriptDialog& dialog);
  ScriptDialog& innermost(const Statement& s);
  void expect_message(const Statement& s);
  Statement next_file_answer(const std::string& box);
  void expect_box(const Statement& s);

  // Expected texts name the folder the replay started in as @WORKSPACE@.
  std::string expanded(const std::string& expected) const;

  std::string workspace_;
  std::vector<const DialogTemplate*> extra_templates_;
  std::vector<Statement> statements_;
  std::size_t next_ = 0;
  int last_line_ = 0;
  std::ostream& transcript_;
  std::vector<ScriptDialog*> open_dialogs_;
  std::deque<Statement> file_answers_;
  std::deque<Statement> yes_no_answers_;
  std::deque<Statement> recover_answers_;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> viewed_;
  std::vector<PlotRequest> plots_;
  std::vector<OpenFileRequest> file_requests_;
  // The folder the last open-file box opened in, the files it listed there and the name it
  // offered.
  std::string box_folder_;
  std::string box_listing_;
  std::string box_name_;
};

// One dialog in memory: the template's controls with their values.
class ScriptDialog : public Dialog {
 public:
  // The items of a list or drop-down. Only the texts set are kept, every other item is blank;
  // a view asks its texts of the program when they are read.
  class Items {
   public:
    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::string text(int item) const;  // 1-based; blank beyond the texts set
    void set(int item, std::string text);  // grows the list to hold the item
    void resize(int n);
    void view(int n, ItemText text_of);

   private:
    int count_ = 0;
    std::map<int, std::string> texts_;
    ItemText view_;
  };

  struct Control {
    ControlKind kind;
    std::string text;  // edit text or caption
    Items items;       // list and drop-down items
    int selection = 0;
    int current = 0;  // lists: the item the keyboard is on (0: none)
    bool enabled = true;
    bool has_image = false;
    int curves = 0;  // of a chart
    bool digits_only = false;
  };

  ScriptDialog(ScriptToolkit& toolkit, const DialogTemplate& t);
  ~ScriptDialog() override;

  void on(ControlId id, Callback callback) override;
  int run_modal() override;
  void close(int code = 1) override;
  void set_text(ControlId id, std::string_view text, int item = 0) override;
  std::string text(ControlId id, std::size_t length) const override;
  void set_item_count(ControlId id, int n) override;
  void show_items(ControlId id, int count, ItemText text_of) override;
  void items_changed(ControlId, int, int) override {}  // a view is read afresh every time
  void select(ControlId id, int item) override;
  int selection(ControlId id) const override;
  void set_enabled(ControlId id, bool on) override;
  void update() override {}
  void set_image(ControlId id, const Image& image) override;
  void set_window_icon(const Image& image) override { has_window_icon_ = !image.null(); }
  void set_chart(ControlId id, const ChartContent& content) override;
  void on_leave(LeaveCheck check) override { leave_check_ = std::move(check); }

  int template_id() const { return template_.id; }
  bool is_closed() const { return closed_; }
  bool has_window_icon() const { return has_window_icon_; }
  ControlId focused() const { return focused_; }
  // nullptr when the template has no such control.
  const Control* control(ControlId id) const;

  // User actions; each runs the control's callback. Throw ScriptError when impossible.
  void user_type(int line, ControlId id, const std::string& text);
  void user_pick(int line, ControlId id, int item);
  void user_press(int line, ControlId id);
  // Does nothing while Cancel is disabled: the program disables it so the user cannot go back.
  void user_close_box();
  void user_click(int line, ControlId id, int item);
  void user_focus(int line, ControlId id);
  void user_key(int line, Key key);

 private:
  Control& usable(int line, ControlId id, ControlKind kind, const char* what);
  Control* find(ControlId id);
  void run_callback(ControlId id);
  bool may_leave();
  void user_escape();
  void user_enter(int line);
  void list_key(int line, Control& c, Key key);
  void drop_down_key(Control& c, Key key);
  // Focus moves as the keyboard moves it: through the enabled buttons, edits, lists and
  // drop-downs in the template's order.
  bool focusable(ControlId id) const;
  void focus_next();
  void take_focus(ControlId id, bool by_keyboard);

  ScriptToolkit& toolkit_;
  const DialogTemplate& template_;
  std::map<ControlId, Control> controls_;
  std::map<ControlId, Callback> callbacks_;
  bool running_ = false;
  bool closed_ = false;
  int code_ = 0;
  bool has_window_icon_ = false;
  ControlId focused_ = no_id;
  LeaveCheck leave_check_;
};

}  // namespace ui::script
