// The tour: the real program run in a copy of the example workspace, driven like a user would
// drive it, with pictures of dialogs that hold real data (for the README).
#include "screenshots_tour.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>

#include "app/program.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/screenshot.h"

namespace {

namespace fs = std::filesystem;

// Each step waits until its window is on top and then gives the action to run on it once.
using Action = std::function<void()>;
using Step = std::function<Action(QWidget* top)>;

Step on_dialog(int id, std::function<void(QDialog*)> action) {
  return [id, action](QWidget* top) -> Action {
    auto* dialog = qobject_cast<QDialog*>(top);
    if (!dialog || !dialog->isVisible() || dialog->objectName() != QStringLiteral("dialog_%1").arg(id))
      return {};
    return [action, dialog] { action(dialog); };
  };
}

Step on_file_box(QString file) {
  return [file](QWidget* top) -> Action {
    auto* box = qobject_cast<QFileDialog*>(top);
    if (!box || !box->isVisible()) return {};
    return [box, file] {
      box->selectFile(file);
      static_cast<QDialog*>(box)->accept();
    };
  };
}

void click(QDialog* dialog, int id) {
  if (auto* button = dialog->findChild<QPushButton*>(QString::number(id))) button->click();
}

void type_into(QDialog* dialog, int id, const QString& text) {
  auto* edit = dialog->findChild<QLineEdit*>(QString::number(id));
  if (!edit) return;
  edit->selectAll();
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

class Tour {
 public:
  explicit Tour(std::deque<Step> steps) : steps_(std::move(steps)) {
    clock_.start();
    schedule();
  }
  bool completed() const { return steps_.empty(); }

 private:
  // A new timer for every look, so that the looks go on inside the modal windows the actions open.
  void schedule() { QTimer::singleShot(20, &guard_, [this] { poll(); }); }

  void poll() {
    schedule();
    QWidget* top = QApplication::activeModalWidget();
    if (!top) return;
    if (Action action = steps_.empty() ? Action() : steps_.front()(top)) {
      steps_.pop_front();
      clock_.restart();
      action();
    } else if (clock_.elapsed() > 10000) {  // the program went another way: leave it
      std::fprintf(stderr, "tour: stopped at \"%s\"\n", top->windowTitle().toLocal8Bit().constData());
      if (auto* dialog = qobject_cast<QDialog*>(top)) dialog->done(2);
    }
  }
  std::deque<Step> steps_;
  QObject guard_;
  QElapsedTimer clock_;
};

}  // namespace

bool take_tour_pictures(const QString& out_dir, const std::string& workspace) {
  QTemporaryDir copy;
  std::error_code ec;
  fs::copy(workspace, copy.path().toStdString(), fs::copy_options::recursive, ec);
  if (!copy.isValid() || ec) return false;
  const fs::path start = fs::current_path();
  fs::current_path(copy.path().toStdString());
  const QString picture = QDir(out_dir).filePath(QStringLiteral("general_data_in_use.png"));
  bool saved = false;
  Tour tour({
      on_dialog(108, [](QDialog* d) { click(d, 1); }),
      on_dialog(101, [](QDialog* d) { click(d, 1109); }),
      on_file_box(copy.filePath(QStringLiteral("Dat/frame.dat"))),
      on_dialog(101, [&](QDialog* d) {
        type_into(d, 1006, QStringLiteral("3"));
        saved = ui::qt::window_picture(d).save(picture);
        click(d, 2);
      }),
  });
  auto toolkit = ui::qt::make_qt_toolkit();
  app::run_program(*toolkit);
  fs::current_path(start);
  if (saved) std::printf("%s\n", picture.toLocal8Bit().constData());
  return saved && tour.completed();
}
