// Runs one node-range editor under the scripted toolkit, in a fresh current directory, on a
// program state made for the test.
#pragma once

#include <sstream>
#include <string>

#include "app/context.h"
#include "app/state.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace node_editor_test {

// A model of `n_nodes` nodes with `n_cases` cases, case `current` selected, nothing saved yet.
inline app::ProgramState model(int n_nodes, int n_dof, int n_cases = 3, int current = 1) {
  app::ProgramState s;
  s.n_nodes = n_nodes;
  s.n_dof = n_dof;
  s.max_time_points = 100;
  s.length_unit = "m";
  s.force_unit = "kN";
  s.n_loading_cases = n_cases;
  s.current_case = current;
  s.case_records.assign(n_cases, app::CaseRecord{});
  s.written_case_records.assign(n_cases, app::CaseRecord{});
  s.loaded_case_records.assign(n_cases, app::CaseRecord{});
  s.case_processed.assign(n_cases, false);
  s.loading_saved.assign(n_cases, false);
  s.initial_values_saved.assign(n_cases, false);
  return s;
}

struct Outcome {
  int error_line = 0;  // 0: the script ran to its end with the dialog closed
  std::string error;
  std::string transcript;  // one line per message box
};

using Editor = void (*)(app::Context&, ui::Dialog&);

// The editor opens as the Loading Cases dialog opens it; the script must close it.
inline Outcome run(app::ProgramState& state, Editor editor, const std::string& script) {
  Outcome out;
  auto parsed = ui::script::parse_script(script);
  if (parsed.error_line != 0) {
    out.error_line = parsed.error_line;
    out.error = "script: " + parsed.error;
    return out;
  }
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(std::move(parsed), transcript);
  app::Context context{toolkit, state};
  try {
    auto loading_cases = toolkit.create_dialog(102);
    editor(context, *loading_cases);
    toolkit.finish();
  } catch (const ui::script::ScriptError& e) {
    out.error_line = e.line();
    out.error = e.what();
  }
  out.transcript = transcript.str();
  return out;
}

}  // namespace node_editor_test

// A script that ran to its end: prints the failing line and what failed otherwise.
#define EXPECT_RAN(outcome) \
  EXPECT_EQ((outcome).error_line, 0) << "line " << (outcome).error_line << ": " << (outcome).error
