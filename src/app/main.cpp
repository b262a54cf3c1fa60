// The BRANTEL program: the dialogs in the process current directory.
#include <QApplication>
#include <iostream>

#include "app/cli/dispatch.h"
#include "suite/suite.h"
#include "app/program.h"
#include "dialogs/loading_file_notes.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/spectra_picture_png.h"

int main(int argc, char** argv) {
  // Commands for scripts, --help and --version are answered before any window system is
  // touched, so they need no display.
  suite::set_spectra_picture_renderer(ui::qt::spectra_picture_png);
  if (const auto code = app::cli::run_command_line({argv + 1, argv + argc}, std::cout, std::cerr)) return *code;
  QApplication application(argc, argv);
  // The widget library has taken its own options out of argv; the dialogs take none.
  const std::span<const char* const> leftover{argv + 1, argv + argc};
  if (const auto code = app::cli::refuse_leftover_arguments(leftover, std::cerr)) return *code;
  // Lets the desktop show the menu entry's icon and name for the windows.
  QApplication::setDesktopFileName(QStringLiteral("brantel"));
  // "View" labels the loading file's records and marks the check's problems.
  auto toolkit = ui::qt::make_qt_toolkit(dialogs::make_loading_file_notes);
  return app::run_program(*toolkit, app::cli::run_to_recover(leftover));
}
