// brantel-replay [--qt] SCRIPT: the whole program, driven by a script of user actions, in the
// current directory. Exit 0 when the script ran to its end together with the program.
// --qt carries the statements out on the real Qt dialogs, as input events.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

#include "app/program.h"
#include "ui/script/script_toolkit.h"
#ifdef BRANTEL_REPLAY_QT
#include "suite/suite.h"
#include "ui/qt/replay/qt_replay.h"
#include "ui/qt/spectra_picture_png.h"
#endif

namespace {

int fail(int line, const std::string& what) {
  std::cerr << "error: line " << line << ": " << what << '\n';
  return 1;
}

int replay_scripted(ui::script::ParseResult script) {
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

}  // namespace

int main(int argc, char** argv) {
  const bool qt = argc == 3 && std::string_view(argv[1]) == "--qt";
  if (argc != 2 && !qt) {
    std::cerr << "usage: brantel-replay [--qt] SCRIPT\n";
    return 2;
  }
  const char* path = argv[argc - 1];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "error: cannot open " << path << '\n';
    return 2;
  }
  std::ostringstream content;
  content << in.rdbuf();
  ui::script::ParseResult script = ui::script::parse_script(content.str());
  if (script.error_line != 0) return fail(script.error_line, script.error);
#ifdef BRANTEL_REPLAY_QT
  // The program draws the suite's picture in both faces, as it does when started.
  suite::set_spectra_picture_renderer(ui::qt::spectra_picture_png);
#endif
  if (!qt) return replay_scripted(std::move(script));
#ifdef BRANTEL_REPLAY_QT
  return ui::qt::replay::replay_on_qt(std::move(script), std::cout, [](ui::Toolkit& toolkit) { app::run_program(toolkit); });
#else
  std::cerr << "error: this brantel-replay was built without the Qt toolkit\n";
  return 2;
#endif
}
