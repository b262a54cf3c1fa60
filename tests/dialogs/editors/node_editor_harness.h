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
inline testing_support::Session model(int n_nodes, int n_dof, int n_cases = 3, int current = 1) {
  testing_support::Session s;
  s.general().n_nodes = n_nodes;
  s.general().n_dof = n_dof;
  s.max_time_points = 100;
  s.general().length_unit = "m";
  s.general().force_unit = "kN";
  s.general().n_loading_cases = n_cases;
  s.current_case = current;
  s.cases.set_count(n_cases);
  for (int k = 1; k <= n_cases; ++k) s.loaded(k);
  return s;
}

// A node range whose first three components (X, Y, Z) are given.
inline model::NodeRange xyz_range(int first, int last, float x, float y = 0, float z = 0) {
  return model::NodeRange{first, last, {x, y, z, 0, 0, 0}};
}

using Outcome = editor_tests::EditorRun;
using Editor = void (*)(dialogs::Context&, ui::Dialog&);

// The editor opens as the Loading Cases dialog opens it; the script must close it. With
// `sections_from_files` the sections are those of the case files in the folder.
inline Outcome run(testing_support::Session& session, Editor editor, const std::string& script,
                   bool sections_from_files = true) {
  return editor_tests::run_editor(session, script, editor, sections_from_files);
}

}  // namespace node_editor_test

// A script that ran to its end: prints the failing line and what failed otherwise.
#define EXPECT_RAN(outcome) \
  EXPECT_EQ((outcome).error_line, 0) << "line " << (outcome).error_line << ": " << (outcome).error
