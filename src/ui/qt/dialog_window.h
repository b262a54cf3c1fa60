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

  // Everything that ends the modal run goes through here, so the code is always ours.
  void end(int code) { QDialog::done(code); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // QDialog turns the close box (and nothing else of ours) into reject().
  void reject() override;
};

}  // namespace ui::qt
