#include "ui/qt/replay/qt_replay.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

#include "text/fixed_text.h"
#include "ui/dialog_template.h"
#include "ui/qt/button_face.h"
#include "ui/qt/chart_control.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/replay/qt_controls.h"
#include "ui/qt/screenshot.h"
#include "ui/script/expectation.h"

namespace ui::qt::replay {

namespace {

using script::Key;
using script::Statement;
using K = Statement::Kind;

// Nothing to act on for this long means the program waits for something no statement gives.
constexpr qint64 idle_limit_ms = 10000;
constexpr qint64 activation_wait_ms = 20;

class Driver {
 public:
  Driver(script::ParseResult script, std::ostream& transcript)
      : statements_(std::move(script.statements)), last_line_(script.last_line), transcript_(transcript) {
    workspace_ = utf8(QDir::currentPath());
    wants_listing_ = std::any_of(statements_.begin(), statements_.end(),
                                 [](const Statement& s) { return s.kind == K::expect_box_lists; });
    idle_.start();
  }

  void start() {
    set_progress_observer([this](QWidget& bar, int done, int steps, bool finished) { progress(bar, done, steps, finished); });
    schedule(0);
  }

  void finish() {
    if (next_ < statements_.size()) fail(statements_[next_].line, "statements left after the program ended");
  }

 private:
  // One step at a time: each step schedules the next before it acts, so that the next one runs
  // in whichever modal loop the action opens.
  void schedule(int ms) { QTimer::singleShot(ms, &anchor_, [this] { step(); }); }
  void step();
  bool ready(const DialogWindow& window) const {
    return window.isVisible() && window.created && QThread::currentThread()->loopLevel() == window.loop_level;
  }

  [[noreturn]] void fail(int line, const std::string& what) {
    transcript_.flush();
    std::cerr << "error: line " << line << ": " << what << std::endl;
    std::_Exit(1);
  }

  void execute(const Statement& s, DialogWindow& window);
  QWidget* control(const Statement& s, DialogWindow& window, ControlId id);
  void usable(const Statement& s, DialogWindow& window, QWidget* w);
  void type(const Statement& s, DialogWindow& window);
  void pick(const Statement& s, DialogWindow& window, bool lists_only);
  void choose_in_drop_down(const Statement& s, QComboBox* combo, int item);
  void press(const Statement& s, DialogWindow& window);
  void key(const Statement& s, DialogWindow& window);
  void focus(const Statement& s, DialogWindow& window);
  void expect(const Statement& s, DialogWindow& window);
  void expect_message(const Statement& s);
  void expect_box(const Statement& s);

  void take_picture(QDialog& window, const QString& what);
  void answer_message(QMessageBox& box);
  void wait_for(const Statement& s);
  void answer_file_box(QFileDialog& box);
  void close_viewer(QDialog& viewer);
  void close_plot(QDialog& plot);
  void progress(QWidget& bar, int done, int steps, bool finished);
  std::string expanded(const std::string& text) const { return script::with_workspace(text, workspace_); }
  std::string where(DialogWindow& window) const { return " in dialog " + std::to_string(template_id(window)); }

  struct Message {
    std::string title, text;
    bool checked = false;
  };

  QObject anchor_;
  std::vector<Statement> statements_;
  std::size_t next_ = 0;
  int last_line_ = 0;
  int line_ = 0;  // of the statement carried out last
  std::ostream& transcript_;
  std::string workspace_;
  bool wants_listing_ = false;
  std::deque<Statement> file_answers_;
  std::deque<Statement> yes_no_answers_;
  std::deque<Statement> recover_answers_;
  std::vector<Message> messages_;
  bool box_shown_ = false;
  script::BoxSeen box_;
  QElapsedTimer idle_;
  std::vector<int> acting_levels_;  // the loop levels of the steps under way
  // BRANTEL_REPLAY_PICTURES names a folder that receives a picture of each dialog named by an
  // `in` statement and of each message box, numbered in order, for looking at a run.
  QString pictures_ = qEnvironmentVariable("BRANTEL_REPLAY_PICTURES");
  int pictures_taken_ = 0;
};

void Driver::take_picture(QDialog& window, const QString& what) {
  if (pictures_.isEmpty()) return;
  QDir().mkpath(pictures_);
  const QString name = QStringLiteral("%1-%2.png").arg(++pictures_taken_, 3, 10, QLatin1Char('0')).arg(what);
  window_picture(&window).save(QDir(pictures_).filePath(name));
}

void Driver::step() {
  // Input events may process pending events without a new modal loop: the next statement
  // waits until the action has returned, or until it opened a modal window of its own.
  const int level = QThread::currentThread()->loopLevel();
  if (!acting_levels_.empty() && level <= acting_levels_.back()) return schedule(1);
  struct Acting {
    std::vector<int>& levels;
    Acting(std::vector<int>& l, int level) : levels(l) { levels.push_back(level); }
    ~Acting() { levels.pop_back(); }
  } acting(acting_levels_, level);
  QWidget* top = QApplication::activeModalWidget();
  // A progress bar is answered between its steps (progress()), never from here.
  if (top && top->objectName() == QLatin1String("progress_window")) return schedule(1);
  // Keys reach a window only once it is active, as a person finds it: a new window is
  // activated by the platform a moment after it shows.
  // A window with no owner (the file box) is left to the window manager, which the
  // offscreen platform does not have: it is asked for.
  if (top && top->isVisible() && QApplication::activeWindow() != top) {
    if (idle_.elapsed() > activation_wait_ms) top->activateWindow();
    if (idle_.elapsed() > idle_limit_ms) fail(line_, "the window on top never became active");
    return schedule(1);
  }
  if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
    idle_.restart();
    schedule(0);
    return answer_message(*box);
  }
  if (auto* files = qobject_cast<QFileDialog*>(top); files && files->isVisible()) {
    idle_.restart();
    answer_file_box(*files);  // schedules the next step itself, after the box has been read
    return;
  }
  auto* window = qobject_cast<DialogWindow*>(top);
  if (window && ready(*window)) {
    idle_.restart();
    if (next_ >= statements_.size())
      fail(last_line_, "the script ended while dialog " + std::to_string(template_id(*window)) + " is open");
    const Statement s = statements_[next_++];
    line_ = s.line;
    schedule(0);
    return execute(s, *window);
  }
  if (auto* plot = qobject_cast<QDialog*>(top);
      plot && plot->isVisible() && plot->objectName() == QLatin1String("plot_window")) {
    idle_.restart();
    schedule(0);
    return close_plot(*plot);
  }
  if (auto* viewer = qobject_cast<QDialog*>(top); viewer && !window && viewer->isVisible()) {
    idle_.restart();
    schedule(0);
    return close_viewer(*viewer);
  }
  if (idle_.elapsed() > idle_limit_ms) fail(line_, "no dialog to act on: the program waits for something else");
  schedule(1);
}

void Driver::execute(const Statement& s, DialogWindow& window) {
  switch (s.kind) {
    case K::file:
    case K::file_cancel: file_answers_.push_back(s); return;
    case K::answer: yes_no_answers_.push_back(s); return;
    case K::recover: recover_answers_.push_back(s); return;
    case K::progress_cancel: fail(s.line, "no progress bar to cancel");
    case K::expect_message:
    case K::expect_no_message: return expect_message(s);
    case K::expect_box_folder:
    case K::expect_box_lists:
    case K::expect_box_offers: return expect_box(s);
    case K::wait: return wait_for(s);
    case K::in:
      if (template_id(window) != s.id)
        fail(s.line, "dialog " + std::to_string(template_id(window)) + " is open, not " + std::to_string(s.id));
      return take_picture(window, QStringLiteral("dialog-%1").arg(s.id));
    case K::type: return type(s, window);
    case K::pick: return pick(s, window, false);
    case K::click: return pick(s, window, true);
    case K::press: return press(s, window);
    case K::close: window.close(); return;  // what the window manager's close box sends
    case K::key: return key(s, window);
    case K::focus: return focus(s, window);
    default: return expect(s, window);
  }
}

QWidget* Driver::control(const Statement& s, DialogWindow& window, ControlId id) {
  auto* w = window.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
  if (!w || id == no_id) fail(s.line, "no control " + std::to_string(id) + where(window));
  return w;
}

void Driver::usable(const Statement& s, DialogWindow& window, QWidget* w) {
  if (!w->isEnabled()) fail(s.line, "control " + std::to_string(s.id) + where(window) + " is disabled");
}

// As a person types: into the field (clicked first unless the keyboard is already there), all
// of its text selected, then the new text key by key.
void Driver::type(const Statement& s, DialogWindow& window) {
  auto* edit = qobject_cast<QLineEdit*>(control(s, window, s.id));
  if (!edit) fail(s.line, "control " + std::to_string(s.id) + where(window) + " is not an edit field");
  usable(s, window, edit);
  if (QApplication::focusWidget() != edit) QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  if (s.text.empty()) {
    if (!edit->text().isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    return;
  }
  QTest::keyClicks(edit, from_utf8(s.text));
}

void Driver::pick(const Statement& s, DialogWindow& window, bool lists_only) {
  QWidget* w = control(s, window, s.id);
  auto* list = qobject_cast<ItemList*>(w);
  auto* combo = qobject_cast<QComboBox*>(w);
  if (!list && (!combo || lists_only))
    fail(s.line, "control " + std::to_string(s.id) + where(window) + (lists_only ? " is not a list" : " is not a list or drop-down"));
  usable(s, window, w);
  const int n = item_count(w);
  if (s.number < 1 || s.number > n)
    fail(s.line, "control " + std::to_string(s.id) + " has no item " + std::to_string(s.number) + " (it has " +
                     std::to_string(n) + ")");
  if (combo) return choose_in_drop_down(s, combo, s.number);
  const QModelIndex index = list->items()->index(s.number - 1);
  list->scrollTo(index);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(index).center());
}

// A click opens the drop-down's list, a click on the item chooses it.
void Driver::choose_in_drop_down(const Statement& s, QComboBox* combo, int item) {
  QTest::mouseClick(combo, Qt::LeftButton);
  QAbstractItemView* view = combo->view();
  if (!view->isVisible()) fail(s.line, "the list of drop-down " + std::to_string(s.id) + " did not open");
  const QModelIndex index = combo->model()->index(item - 1, combo->modelColumn(), combo->rootModelIndex());
  view->scrollTo(index);
  const QPoint at = view->visualRect(index).center();
  QTest::mouseMove(view->viewport(), at);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  // The list ignores a click that comes sooner after it opened than a double click would, as
  // the end of the click that opened it; a person's second click comes later.
  QElapsedTimer waited;
  waited.start();
  while (view->isVisible() && waited.elapsed() < QApplication::doubleClickInterval() + 200) {
    QTest::qWait(50);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  if (view->isVisible()) fail(s.line, "the list of drop-down " + std::to_string(s.id) + " stayed open after the click");
}

void Driver::press(const Statement& s, DialogWindow& window) {
  auto* button = qobject_cast<QPushButton*>(control(s, window, s.id));
  if (!button) fail(s.line, "control " + std::to_string(s.id) + where(window) + " is not a push button");
  usable(s, window, button);
  QTest::mouseClick(button, Qt::LeftButton);
}

// The key goes to the focused control, and from there to the dialog when the control leaves it.
void Driver::key(const Statement& s, DialogWindow& window) {
  QWidget* focused = window.focusWidget();
  const Key k = s.key;
  const bool moves_or_chooses = k == Key::space || k == Key::up || k == Key::down || k == Key::home || k == Key::end;
  if (moves_or_chooses) {
    if (!focused) return;  // nothing has the focus: the key goes nowhere
    const std::string what = "key " + std::string(script::key_name(k)) + " on control " + std::to_string(control_id(focused));
    if (qobject_cast<QPushButton*>(focused) && k != Key::space) fail(s.line, what + ", a push button");
    if (qobject_cast<QComboBox*>(focused) && k == Key::space)
      fail(s.line, what + ": a drop-down opens on SPACE; use UP/DOWN");
    if (qobject_cast<QLineEdit*>(focused)) fail(s.line, what + ", an edit field: use type");
  }
  QTest::keyClick(focused ? focused : &window, qt_key(k));
}

void Driver::focus(const Statement& s, DialogWindow& window) {
  QWidget* w = control(s, window, s.id);
  if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled())
    fail(s.line, "control " + std::to_string(s.id) + " cannot take the focus");
  w->setFocus(Qt::TabFocusReason);
}

void Driver::expect(const Statement& s, DialogWindow& window) {
  if (s.kind == K::expect_focus) {
    if (const std::string problem = script::focus_mismatch(s.id, control_id(window.focusWidget())); !problem.empty())
      fail(s.line, problem);
    return;
  }
  const QtControlView view(control(s, window, s.id));
  if (const std::string problem = script::control_mismatch(s, expanded(s.text), view); !problem.empty())
    fail(s.line, problem);
}

void Driver::expect_message(const Statement& s) {
  if (const std::string problem = script::message_mismatch(s, expanded(s.text2), messages_); !problem.empty())
    fail(s.line, problem);
}

void Driver::expect_box(const Statement& s) {
  if (!box_shown_) fail(s.line, "no open-file box has been shown");
  const script::BoxCheck check = script::box_check(s, expanded(s.text), box_);
  if (!check.holds) fail(s.line, check.problem);
}

// Lets a test run replays side by side in one folder (or kill one at a known point): the
// program stays where it is, its windows painted, until the file exists.
void Driver::wait_for(const Statement& s) {
  const QString path = QDir(from_utf8(workspace_)).absoluteFilePath(from_utf8(s.text));
  if (!QTest::qWaitFor([&path] { return QFileInfo::exists(path); }, 120'000))
    fail(s.line, script::quoted(s.text) + " did not appear within 120 seconds");
}

// Boxes with OK are acknowledged; a Yes/No box takes the answer queued, or the one that stands
// right after the action that showed it.
void Driver::answer_message(QMessageBox& box) {
  const std::string title = utf8(box.windowTitle()), text = utf8(box.text());
  messages_.push_back({title, text});
  transcript_ << "message " << script::quoted(title) << ' ' << script::quoted(text) << '\n';
  take_picture(box, QStringLiteral("message"));
  QAbstractButton* yes = box.button(QMessageBox::Yes);
  if (!yes) {
    QAbstractButton* ok = box.button(QMessageBox::Ok);
    QTest::mouseClick(ok ? ok : box.buttons().value(0), Qt::LeftButton);
    return;
  }
  const bool recovery = title == ui::recovery_title;
  const K kind = recovery ? K::recover : K::answer;
  std::deque<Statement>& answers = recovery ? recover_answers_ : yes_no_answers_;
  while (answers.empty() && next_ < statements_.size() && statements_[next_].kind == kind)
    answers.push_back(statements_[next_++]);
  if (answers.empty())
    fail(line_, std::string(recovery ? "the recovery question with no queued recover statement: "
                                     : "a Yes/No box with no queued answer: ") +
                    script::quoted(text));
  const Statement answer = answers.front();
  answers.pop_front();
  QTest::mouseClick(answer.number ? yes : box.button(QMessageBox::No), Qt::LeftButton);
}

// The path is typed into the box's name field, as a full path: a script's paths are relative to
// the current folder of the moment, the box's own folder may be another.
void Driver::answer_file_box(QFileDialog& box) {
  box_shown_ = true;
  box_.folder = script::folder_text(utf8(box.directory().absolutePath()));
  auto* name = box.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  box_.name = name ? utf8(name->text()) : std::string();
  if (wants_listing_) box_.listing = listed_files(box);
  schedule(0);
  while (file_answers_.empty() && next_ < statements_.size() &&
         (statements_[next_].kind == K::file || statements_[next_].kind == K::file_cancel))
    file_answers_.push_back(statements_[next_++]);
  if (file_answers_.empty())
    fail(line_, "an open-file box " + script::quoted(utf8(box.windowTitle())) + " with no queued answer");
  const Statement answer = file_answers_.front();
  file_answers_.pop_front();
  line_ = answer.line;
  if (answer.kind == K::file_cancel) {
    auto* buttons = box.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    return;
  }
  const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(from_utf8(answer.text)));
  if (!name) fail(answer.line, "the open-file box has no name field");
  QString typed = path;
  if (!answer.more.empty()) {
    // Several files: into their folder first, then their names quoted in the one name field.
    const QString folder = QFileInfo(path).absolutePath();
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, folder + QLatin1Char('/'));
    QTest::keyClick(name, Qt::Key_Return);
    if (!QTest::qWaitFor([&] { return QDir(box.directory()).absolutePath() == folder; }, listing_wait_ms))
      fail(answer.line, "the open-file box did not go into " + utf8(folder));
    typed = QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
    for (const std::string& more : answer.more)
      typed += QStringLiteral(" \"%1\"").arg(QFileInfo(QDir::current().absoluteFilePath(from_utf8(more))).fileName());
  }
  QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(name, typed);
  if (QCompleter* completer = name->completer(); completer && completer->popup()->isVisible())
    completer->popup()->hide();
  QTest::keyClick(name, Qt::Key_Return);
}

// A `progress cancel N` just after the action that started the bar presses its Cancel once N
// steps are done; the bar's end is recorded as the scripted face records it.
void Driver::progress(QWidget& bar, int done, int steps, bool finished) {
  idle_.restart();
  if (finished) {
    transcript_ << "progress " << script::quoted(utf8(bar.windowTitle())) << ' ' << done << " of " << steps << '\n';
    return;
  }
  if (next_ >= statements_.size() || statements_[next_].kind != K::progress_cancel || statements_[next_].id != done) return;
  line_ = statements_[next_++].line;
  if (auto* dialog = qobject_cast<QDialog*>(&bar)) take_picture(*dialog, QStringLiteral("progress"));
  auto* cancel = bar.findChild<QPushButton*>();
  if (!cancel) fail(line_, "the progress bar has no Cancel button");
  QTest::mouseClick(cancel, Qt::LeftButton);
}

// The text viewer: the file it shows is named in its title.
void Driver::close_viewer(QDialog& viewer) {
  transcript_ << "view " << script::quoted(utf8(viewer.windowTitle())) << '\n';
  auto* buttons = viewer.findChild<QDialogButtonBox*>();
  if (buttons && buttons->button(QDialogButtonBox::Close))
    QTest::mouseClick(buttons->button(QDialogButtonBox::Close), Qt::LeftButton);
  else
    viewer.reject();
}

}  // namespace

// The plot window: its title and number of time points, as the scripted face records them;
// closed by Esc, as a person leaves it.
void Driver::close_plot(QDialog& plot) {
  transcript_ << "plot " << script::quoted(utf8(plot.property("plot_title").toString())) << ' '
              << plot.property("plot_points").toULongLong() << '\n';
  take_picture(plot, QStringLiteral("plot"));
  QTest::keyClick(&plot, Qt::Key_Escape);
  if (plot.isVisible()) plot.reject();
}

int replay_on_qt(script::ParseResult script, std::ostream& transcript,
                 const std::function<void(Toolkit&)>& program) {
  static int argc = 1;
  static char name[] = "brantel-replay";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Driver driver(std::move(script), transcript);
  std::unique_ptr<Toolkit> toolkit = make_qt_toolkit();
  driver.start();
  program(*toolkit);
  driver.finish();
  transcript.flush();
  return 0;
}

}  // namespace ui::qt::replay
