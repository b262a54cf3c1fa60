// Runs the program's command line in process, as main() does before any window exists.
#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/dispatch.h"

namespace testing_support {

struct CommandRun {
  std::optional<int> code;  // nothing: the dialogs would open
  std::string out, err;
};

// `args` are the words after the program's name.
inline CommandRun run_brantel(const std::vector<std::string>& args) {
  std::vector<const char*> words;
  for (const std::string& a : args) words.push_back(a.c_str());
  std::ostringstream out, err;
  CommandRun run;
  run.code = app::cli::run_command_line(words, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace testing_support
