// Runs one editor under the scripted toolkit, as the Loading Cases dialog opens it, so a test
// states the user's actions and what the dialog shows in the replay language.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "dialogs/context.h"
#include "support/session.h"
#include "ui/script/script_toolkit.h"

namespace editor_tests {

struct EditorRun {
  int error_line = 0;  // 0: the script ran to its end with the editor closed
  std::string error;
  std::string transcript;
};

using OpenEditor = std::function<void(dialogs::Context&, ui::Dialog&)>;

// `cases` (when given) are the run's sections, lent to the editor and given back: several runs
// then edit one analysis, as one program run does. Otherwise the case files stand for them.
inline EditorRun run_editor(model::ProgramState& state, const std::string& script, const OpenEditor& open,
                            model::case_files::CaseStore* cases = nullptr) {
  ui::script::ParseResult parsed = ui::script::parse_script(script);
  EditorRun run;
  if (parsed.error_line) {
    run.error_line = parsed.error_line;
    run.error = "script: " + parsed.error;
    return run;
  }
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(std::move(parsed), transcript);
  dialogs::Context context{toolkit, state};
  // Without `cases` each run starts from the case files in the folder, as a run taken back
  // does: a test states the saved data as those files, and a later run sees what an earlier
  // one saved.
  if (cases)
    context.cases = std::move(*cases);
  else
    context.cases.take_files(state.case_folder);
  try {
    auto loading_cases = toolkit.create_dialog(102);
    open(context, *loading_cases);
    toolkit.finish();
  } catch (const ui::script::ScriptError& e) {
    run.error_line = e.line();
    run.error = e.what();
  }
  if (cases) *cases = std::move(context.cases);
  run.transcript = transcript.str();
  return run;
}

// The session's cases are lent to the editor and given back. With `sections_from_files` their
// sections are first taken from the case files in the folder, as a run taken back does: a test
// states the saved data as those files, and a later run sees what an earlier one saved.
inline EditorRun run_editor(testing_support::Session& session, const std::string& script, const OpenEditor& open,
                            bool sections_from_files = true) {
  if (sections_from_files) session.cases.take_files(session.case_folder);
  return run_editor(static_cast<model::ProgramState&>(session), script, open, &session.cases);
}

// "line N: WHAT" or "" when the run succeeded, for readable failures.
inline std::string failure(const EditorRun& run) {
  return run.error_line || !run.error.empty()
             ? "line " + std::to_string(run.error_line) + ": " + run.error
             : std::string();
}

}  // namespace editor_tests
