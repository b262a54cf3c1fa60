// The case data editors. Each works on case_records[current_case] and on that case's scratch
// files, and returns when its dialog closes.
#pragma once

#include <string>
#include <vector>

#include "app/context.h"
#include "ui/toolkit.h"

namespace editors {

void open_initial_values_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_discrete_loading_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_sin_exp_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_accelerogram_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_diameters_editor(app::Context& context, ui::Dialog& loading_cases_dialog);

// Reads a discrete loading scratch file (TP.dat layout) into `table`: n_time_points of the
// current case time points, each with the ranges under it; a record that fails as a node range
// is read again as the next time record. Entries the file does not reach keep what they hold;
// a short file ends the reading silently. false when the file cannot be opened. Used by the
// Loading Cases dialog before the discrete loading editor opens. The record builders and
// parsers of the node-range editors' scratch files are in editors/scratch_layouts.h.
bool read_discrete_loading_file(const std::string& path, app::ProgramState& state,
                                std::vector<app::TimePoint>& table);

}  // namespace editors
