// The BRANTEL program: the dialogs in the process current directory.
#include <QApplication>
#include <iostream>
#include <string_view>

#include "app/command_line.h"
#include "app/program.h"
#include "loadfile/check_command.h"
#include "dialogs/loading_file_notes.h"
#include "motion/motion_command.h"
#include "ui/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  // Commands for scripts and the options below run before any window system is touched, so
  // they need no display.
  if (argc >= 2 && std::string_view(argv[1]) == "motion")
    return motion::run_motion_command({argv + 2, argv + argc}, std::cout, std::cerr);
  if (argc >= 2 && std::string_view(argv[1]) == "check")
    return loadfile::run_check_command({argv + 2, argv + argc}, std::cout, std::cerr);
  if (const auto code = app::answer_command_line(argc, argv, std::cout)) return *code;
  QApplication application(argc, argv);
  // Lets the desktop show the menu entry's icon and name for the windows.
  QApplication::setDesktopFileName(QStringLiteral("brantel"));
  // "View" labels the loading file's records and marks the check's problems.
  auto toolkit = ui::qt::make_qt_toolkit(dialogs::make_loading_file_notes);
  return app::run_program(*toolkit);
}
