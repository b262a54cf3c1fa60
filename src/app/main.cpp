// The BRANTEL program: the dialogs in the process current directory.
#include <QApplication>
#include <iostream>

#include "app/command_line.h"
#include "app/program.h"
#include "ui/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  // Answered before the application object exists: they need no display.
  if (const auto code = app::answer_command_line(argc, argv, std::cout)) return *code;
  QApplication application(argc, argv);
  // Lets the desktop show the menu entry's icon and name for the windows.
  QApplication::setDesktopFileName(QStringLiteral("brantel"));
  auto toolkit = ui::qt::make_qt_toolkit();
  return app::run_program(*toolkit);
}
