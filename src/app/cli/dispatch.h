// The program's command line, answered before any window system is touched: the commands for
// scripts (`brantel check`, `brantel motion`, ...), --help and --version.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace app::cli {

// `args` are the words after the program's name. Returns the exit code when they name a
// command or ask for the help or the version, or nothing when the dialogs should open: no
// words, or a first word that is an option of the widget library (-platform, -style, ...).
// The program takes no file, so a first word that is not an option is a command, and one the
// program does not know exits 64 with the usage on `err`.
std::optional<int> run_command_line(std::span<const char* const> args, std::ostream& out, std::ostream& err);

// The run named by `--recover RUN` when those are the words, for the dialogs to take back.
std::optional<std::string> run_to_recover(std::span<const char* const> args);

// The words the widget library left of the command line: only `--recover RUN` is meant for the
// dialogs, so any other exits 64 with the usage. Returns nothing when `leftover` is empty or
// is `--recover RUN`.
std::optional<int> refuse_leftover_arguments(std::span<const char* const> leftover, std::ostream& err);

}  // namespace app::cli
