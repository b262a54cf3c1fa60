// The options the program answers on the terminal, before any window exists.
#pragma once

#include <optional>
#include <ostream>

namespace app {

// Answers --help and --version (also -h). Returns the exit code when the option was answered,
// or nothing when the program should go on and show its dialogs. Other arguments are left to
// the widget library, which takes its own (-platform, -style, ...).
std::optional<int> answer_command_line(int argc, const char* const* argv, std::ostream& out);

}  // namespace app
