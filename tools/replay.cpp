// brantel-replay SCRIPT: the whole program, driven by a script of user actions, in the
// current directory. Exit 0 when the script ran to its end together with the program.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/program.h"
#include "ui/script/script_toolkit.h"

namespace {

int fail(int line, const std::string& what) {
  std::cerr << "error: line " << line << ": " << what << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: brantel-replay SCRIPT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "error: cannot open " << argv[1] << '\n';
    return 2;
  }
  std::ostringstream content;
  content << in.rdbuf();
  ui::script::ParseResult script = ui::script::parse_script(content.str());
  if (script.error_line != 0) return fail(script.error_line, script.error);

  ui::script::ScriptToolkit toolkit(std::move(script), std::cout);
  try {
    app::run_program(toolkit);
    toolkit.finish();
  } catch (const ui::script::ScriptError& e) {
    std::cout.flush();
    return fail(e.line(), e.what());
  }
  return 0;
}
