// The modal window of a template dialog: Esc and the close box are routed to the dialog's
// own rules instead of QDialog's plain "reject".
#pragma once

#include <QDialog>
#include <functional>

class QKeyEvent;

namespace ui::qt {

class DialogWindow : public QDialog {
  Q_OBJECT

 public:
  explicit DialogWindow(QWidget* parent) : QDialog(parent) {}

  std::function<void()> on_escape;
  std::function<void()> on_enter;
  std::function<void()> on_close_box;

  // Set in each modal run once the program's call for the window's creation has run: from then
  // on the dialog takes user input. `loop_level` is the level of its modal event loop
  // (QThread::loopLevel), which tells a test driver whether an event reached the dialog's own loop.
  bool created = false;
  int loop_level = -1;

  // Everything that ends the modal run goes through here, so the code is always ours.
  void end(int code) { QDialog::done(code); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // QDialog turns the close box (and nothing else of ours) into reject().
  void reject() override;
};

}  // namespace ui::qt
