// The BRANTEL program: the dialogs in the process current directory, no arguments.
#include <QApplication>

#include "app/program.h"
#include "ui/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  auto toolkit = ui::qt::make_qt_toolkit();
  return app::run_program(*toolkit);
}
