// Runs one node-range editor under the scripted toolkit, in a fresh current directory, on a
// program state made for the test.
#pragma once

#include <string>

#include "dialogs/context.h"
#include "editor_script_run.h"
#include "model/state.h"
#include "support/temp_dir.h"

namespace node_editor_test {

// A model of `n_nodes` nodes with `n_cases` cases, case `current` selected, nothing saved yet.
inline model::ProgramState model(int n_nodes, int n_dof, int n_cases = 3, int current = 1) {
  model::ProgramState s;
  s.general.n_nodes = n_nodes;
  s.general.n_dof = n_dof;
  s.max_time_points = 100;
  s.general.length_unit = "m";
  s.general.force_unit = "kN";
  s.general.n_loading_cases = n_cases;
  s.current_case = current;
  s.case_records.assign(n_cases, model::CaseRecord{});
  s.loaded_case_records.assign(n_cases, model::CaseRecord{});
  s.case_processed.assign(n_cases, false);
  s.loading_saved.assign(n_cases, false);
  s.initial_values_saved.assign(n_cases, false);
  return s;
}

// A node range whose first three components (X, Y, Z) are given.
inline model::NodeRange xyz_range(int first, int last, float x, float y = 0, float z = 0) {
  return model::NodeRange{first, last, {x, y, z, 0, 0, 0}};
}

using Outcome = editor_tests::EditorRun;
using Editor = void (*)(dialogs::Context&, ui::Dialog&);

// The editor opens as the Loading Cases dialog opens it; the script must close it.
inline Outcome run(model::ProgramState& state, Editor editor, const std::string& script,
                   model::case_files::CaseStore* cases = nullptr) {
  return editor_tests::run_editor(state, script, editor, cases);
}

}  // namespace node_editor_test

// A script that ran to its end: prints the failing line and what failed otherwise.
#define EXPECT_RAN(outcome) \
  EXPECT_EQ((outcome).error_line, 0) << "line " << (outcome).error_line << ": " << (outcome).error
