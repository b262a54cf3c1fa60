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
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>

#include "app/program.h"
#include "ui/qt/item_list.h"
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

// As the user does it: the name typed into the box's file name field. (selectFile leaves a
// focused field alone, so it depends on timing.)
void type_file_name(QFileDialog* box, const QString& file) {
  if (auto* edit = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(file);
  else box->selectFile(file);
}

Step on_file_box(QString file) {
  return [file](QWidget* top) -> Action {
    auto* box = qobject_cast<QFileDialog*>(top);
    if (!box || !box->isVisible()) return {};
    return [box, file] {
      type_file_name(box, file);
      static_cast<QDialog*>(box)->accept();
    };
  };
}

void choose_first_item(QDialog* dialog, int id) {
  auto* list = dialog->findChild<ui::qt::ItemList*>(QString::number(id));
  if (!list || list->count() == 0) return;
  const QPoint at = list->visualRect(list->items()->index(0)).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &release);
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
    } else if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
      // A message on the way (a confirmation, say) is read and answered with its default.
      std::fprintf(stderr, "tour: message \"%s\"\n", box->text().toLocal8Bit().constData());
      QPushButton* answer = box->defaultButton();
      QTimer::singleShot(0, box, [box, answer] { answer ? answer->click() : box->accept(); });
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
  const QDir out(out_dir);
  int saved = 0;
  auto picture = [&](QDialog* d, const char* name) {
    const QString file = out.filePath(QString::fromLatin1(name));
    if (!ui::qt::window_picture(d).save(file)) return;
    std::printf("%s\n", file.toLocal8Bit().constData());
    ++saved;
  };
  Tour tour({
      on_dialog(108, [](QDialog* d) { click(d, 1); }),
      on_dialog(101, [](QDialog* d) { click(d, 1109); }),
      on_file_box(copy.filePath(QStringLiteral("Dat/frame.dat"))),
      on_dialog(101, [&](QDialog* d) {
        type_into(d, 1006, QStringLiteral("3"));
        picture(d, "general_data_in_use.png");
        click(d, 1079);
      }),
      on_dialog(101, [](QDialog* d) { click(d, 1); }),
      on_dialog(102, [&](QDialog* d) {
        choose_first_item(d, 1011);
        const std::pair<int, const char*> values[] = {{1107, "0.0001"}, {1106, "20"}, {1013, "0.01"},
                                                      {1014, "12."},    {1019, "-9.81"}, {1017, "0.05"}};
        for (const auto& [id, text] : values) type_into(d, id, QString::fromLatin1(text));
        picture(d, "loading_cases_in_use.png");
        click(d, 1);
      }),
  });
  auto toolkit = ui::qt::make_qt_toolkit();
  app::run_program(*toolkit);
  fs::current_path(start);
  return saved == 2 && tour.completed();
}
