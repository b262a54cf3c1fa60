// The dialog toolkit the program logic talks to. Dialog logic never sees the widget library:
// the Qt toolkit shows dialogs to people, the scripted toolkit runs them from a script.
#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/plot.h"

namespace ui {

using ControlId = int;

// Every dialog's button that closes it with code 1 (OK, DONE, E X I T, Import), and its Cancel,
// which closes it with code 2.
inline constexpr ControlId ok_button = 1;
inline constexpr ControlId cancel_button = 2;

// The dialogs, numbered as the replay scripts' "in" statements name them.
enum class DialogId : int {
  general_data = 101,
  loading_cases = 102,
  initial_values = 103,
  discrete_loading = 104,
  sin_exp = 105,
  accelerogram = 106,
  time_points = 108,
  diameters = 110,
  import_time_history = 111,
  response_spectrum = 112,
  processing = 113,
  spectral_match = 114,
  suite = 120,
};

// The controls of one dialog: an enum class whose values are the control numbers the replay
// scripts use, tied to its dialog by a `dialog_of` function found beside it. Dialog logic names
// controls only through these, so a control number is written once, in its dialog's table.
template <typename E>
concept Controls = std::is_enum_v<E> && !std::is_convertible_v<E, int> &&
                   std::is_same_v<std::underlying_type_t<E>, ControlId> && requires(E e) {
                     { dialog_of(e) } -> std::same_as<DialogId>;
                   };

template <Controls E>
constexpr ControlId id(E control) {
  return static_cast<ControlId>(control);
}

// Characters of edit `id` that its dialog converts (its template's row says); 0 when none.
std::size_t field_length(DialogId dialog, ControlId id);
template <Controls E>
std::size_t field_length(E control) {
  return field_length(dialog_of(control), id(control));
}

enum class Icon { information, error, warning, question };
enum class Buttons {
  ok,
  yes_no,             // Enter answers Yes
  yes_no_default_no,  // Yes throws data away: Enter answers No, so a stray key loses nothing
};
enum class Answer { ok, yes, no };
enum class ImageKind { icon, bitmap };

// An image loaded by a toolkit; a null image (file missing or unreadable) shows nothing.
class Image {
 public:
  struct Data {
    virtual ~Data() = default;
  };
  Image() = default;
  explicit Image(std::shared_ptr<const Data> data) : data_(std::move(data)) {}
  bool null() const { return data_ == nullptr; }
  const Data* data() const { return data_.get(); }

 private:
  std::shared_ptr<const Data> data_;
};

struct FileFilter {
  std::string label;    // "Loading files (*.inc)"
  std::string pattern;  // "*.inc"
};

struct OpenFileRequest {
  std::vector<FileFilter> filters;
  int selected_filter = 1;         // 1-based
  std::string default_extension;   // without the dot
  std::string title;
  std::string initial_folder;
};

// One modal dialog built from a template.
class Dialog {
 public:
  using Callback = std::function<void(Dialog&, ControlId)>;
  virtual ~Dialog() = default;

  // The callback runs when the user uses the control; id == the template id: once when the
  // dialog's window exists. Values set by the program never run a callback.
  virtual void on(ControlId id, Callback callback) = 0;
  // 1: close() from a callback or a default OK button without callback; 2: Cancel or close box.
  virtual int run_modal() = 0;
  virtual void close(int code = 1) = 0;
  // Edit: its text; static: its caption; list or drop-down with item k >= 1: item k's text.
  virtual void set_text(ControlId id, std::string_view text, int item = 0) = 0;
  // The first `length` characters of an edit field's text, blank-padded to `length`.
  virtual std::string text(ControlId id, std::size_t length) const = 0;
  // Lists and drop-downs: the number of items; the items that go take their selection along.
  virtual void set_item_count(ControlId id, int n) = 0;
  // A list as a view of the dialog's data: it has `count` items and asks `text_of(k)` for the
  // text of item k (1-based) when it shows or reads that item, so that a list of a billion
  // potential entries costs nothing until it is looked at. It replaces what the list held and
  // selects nothing; set_item_count changes the count later, set_text is not used on it.
  using ItemText = std::function<std::string(int item)>;
  virtual void show_items(ControlId id, int count, ItemText text_of) = 0;
  // Items first..last of a view now read differently; the view asks their texts again.
  virtual void items_changed(ControlId id, int first, int last) = 0;
  virtual void select(ControlId id, int item) = 0;  // 1-based, 0 = none
  virtual int selection(ControlId id) const = 0;    // 1-based, 0 = none
  virtual void set_enabled(ControlId id, bool on) = 0;
  virtual void update() = 0;
  virtual void set_image(ControlId id, const Image& image) = 0;
  virtual void set_window_icon(const Image& image) = 0;
  // The curves of a chart control, and its picture as a PNG file (false: not written).
  virtual void set_chart(ControlId id, const ChartContent& content) { (void)id, (void)content; }
  virtual bool save_chart_picture(ControlId id, const std::string& path) { return (void)id, (void)path, false; }
  // A static text shown as an error (red), or as ordinary text again.
  virtual void set_alert(ControlId id, bool on) { (void)id, (void)on; }

  // Asked when the user leaves by Esc or the close box, never by a Cancel button: false keeps
  // the dialog open. Esc and the close box are easily hit by mistake; Cancel is a choice.
  using LeaveCheck = std::function<bool(Dialog&)>;
  virtual void on_leave(LeaveCheck check) { (void)check; }

  // The same, naming controls by their dialog's enum; text() without a length reads as many
  // characters as the dialog converts.
  void on(DialogId shown, Callback callback) { on(static_cast<ControlId>(shown), std::move(callback)); }
  template <Controls E>
  void on(E control, Callback callback) { on(id(control), std::move(callback)); }
  template <Controls E>
  void set_text(E control, std::string_view text, int item = 0) { set_text(id(control), text, item); }
  template <Controls E>
  std::string text(E control, std::size_t length) const { return text(id(control), length); }
  template <Controls E>
  std::string text(E control) const { return text(id(control), field_length(dialog_of(control), id(control))); }
  template <Controls E>
  void set_item_count(E control, int n) { set_item_count(id(control), n); }
  template <Controls E>
  void show_items(E control, int count, ItemText text_of) { show_items(id(control), count, std::move(text_of)); }
  template <Controls E>
  void items_changed(E control, int first, int last) { items_changed(id(control), first, last); }
  template <Controls E>
  void select(E control, int item) { select(id(control), item); }
  template <Controls E>
  int selection(E control) const { return selection(id(control)); }
  template <Controls E>
  void set_enabled(E control, bool on) { set_enabled(id(control), on); }
  template <Controls E>
  void set_image(E control, const Image& image) { set_image(id(control), image); }
};

// Both faces run the callbacks of the user's actions through this, so that one observer sees
// every action once it is done: the program writes its journal there, whatever the action
// changed. `observer` empty: none. Returns the observer it replaces.
using ActionObserver = std::function<void()>;

// The title of the question that offers a stopped run back at start; replay scripts answer it
// with their own statement, so that no other Yes/No box can take that answer by mistake.
inline constexpr std::string_view recovery_title = "Recover Message";
ActionObserver set_action_observer(ActionObserver observer);
void run_user_callback(const Dialog::Callback& callback, Dialog& dialog, ControlId id);

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual std::unique_ptr<Dialog> create_dialog(int template_id) = 0;
  std::unique_ptr<Dialog> create_dialog(DialogId dialog) { return create_dialog(static_cast<int>(dialog)); }
  virtual Answer message_box(std::string_view text, std::string_view title, Icon icon,
                             Buttons buttons) = 0;
  // true when confirmed: `path_buffer` then holds the full path and the process current
  // directory is the chosen file's folder. `path_buffer` also presets the file name.
  virtual bool open_file_box(const OpenFileRequest& request, std::string& path_buffer) = 0;
  // A box that names a file to write: a save box under the request's title, in which a name
  // that is not there yet can be typed. It asks nothing about a file that is there: the
  // dialogs do (dialogs::choose_file_to_write), in both faces alike.
  virtual bool save_file_box(const OpenFileRequest& request, std::string& path_buffer) = 0;
  // Several files of one folder at once; true when confirmed: `paths` then holds their full
  // paths and the current directory is their folder. A face without it offers one file.
  virtual bool open_files_box(const OpenFileRequest& request, std::vector<std::string>& paths) {
    std::string path;
    if (!open_file_box(request, path)) return false;
    paths = {path};
    return true;
  }
  // Work in steps under a progress bar with a Cancel button, modal over the dialogs: step(k)
  // does step k (0-based) whole and returns the text shown after it; the user can cancel
  // between steps. The number of steps done: `steps` unless cancelled.
  struct Progress {
    std::string title;
    std::string text;  // shown before the first step
    int steps = 0;
  };
  using Step = std::function<std::string(int step)>;
  virtual int run_steps(const Progress& progress, const Step& step) {
    for (int k = 0; k < progress.steps; ++k) step(k);
    return progress.steps;
  }
  // true when confirmed: `path` then holds the chosen folder's full path, which may be new.
  // The current directory does not change.
  virtual bool choose_folder(const std::string& title, const std::string& initial_folder, std::string& path) = 0;
  // width/height 0: the file's own size.
  virtual Image load_image(const std::string& path, ImageKind kind, int width, int height) = 0;
  // Shows the text file at `path` read-only (blanks after the name, as a fixed-length field keeps
  // it, are no part of it) and returns when the user closes it.
  virtual void show_text_file(const std::string& path) = 0;
  // Shows a loading as curves and a table; returns when the user closes the window.
  virtual void show_plot(const PlotRequest& request) = 0;
};

}  // namespace ui
