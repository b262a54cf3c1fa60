// Shared by the Qt tests: the application object, user input sent as events, and a script of
// steps run against whichever modal window is on top while a modal call blocks the test.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <deque>
#include <functional>

namespace qt_test {

// A button's text as drawn: its Alt+letter marker taken out, a doubled "&" shown as one.
inline QString drawn_text(QString text) {
  text.replace(QLatin1String("&&"), QChar(0x1));
  text.remove(QLatin1Char('&'));
  return text.replace(QChar(0x1), QLatin1Char('&'));
}

// The letter after the marker, or a null character.
inline QChar mnemonic_of(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toUpper();
    ++i;
  }
  return {};
}

inline void ensure_application() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  (void)application;
}

inline void press_key(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

inline void type_text(QWidget* target, const QString& text) {
  for (QChar c : text) press_key(target, c.unicode(), QString(c));
}

inline void click_at(QWidget* target, QPoint position) {
  const QPointF local(position), global(target->mapToGlobal(position));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// As the user does it: the name typed into the file box's name field. (QFileDialog::selectFile
// leaves a focused field alone, so it would depend on timing.)
inline void type_file_name(QFileDialog* box, const QString& file) {
  if (auto* edit = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(file);
  else box->selectFile(file);
}

// Steps that run one after the other, each as soon as a modal window of its type is on top.
// A step that never finds its window within a few seconds, or a window left open after the last
// step, fails the script and is closed, so that a broken dialog cannot hang the test run.
class ModalScript {
 public:
  ModalScript() {
    clock_.start();
    schedule();
  }

  template <typename Window>
  ModalScript& when(std::function<void(Window*)> action) {
    steps_.push_back([action](QWidget* top) -> std::function<void()> {
      auto* window = qobject_cast<Window*>(top);
      if (!window || !window->isVisible()) return {};
      return [action, window] { action(window); };
    });
    return *this;
  }

  bool finished() const { return steps_.empty() && !timed_out_; }

 private:
  // A new timer for every look: an action may open a modal window, whose event loop must still
  // run the next look while the action's own is blocked in it.
  void schedule() { QTimer::singleShot(5, &guard_, [this] { poll(); }); }

  void poll() {
    schedule();
    QWidget* top = QApplication::activeModalWidget();
    if (!top) return;
    if (auto action = steps_.empty() ? std::function<void()>() : steps_.front()(top)) {
      steps_.pop_front();
      clock_.restart();
      action();  // last: it may run the following steps in a nested event loop
    } else if (clock_.elapsed() > 5000) {
      timed_out_ = true;
      if (auto* dialog = qobject_cast<QDialog*>(top)) dialog->done(0);
    }
  }

  std::deque<std::function<std::function<void()>(QWidget*)>> steps_;
  QObject guard_;  // its end cancels the pending look
  QElapsedTimer clock_;
  bool timed_out_ = false;
};

}  // namespace qt_test
