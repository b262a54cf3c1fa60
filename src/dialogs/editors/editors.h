// The case data editors. Each works on case_records[current_case] and on that case's scratch
// files, and returns when its dialog closes.
#pragma once

#include <string>
#include <vector>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace editors {

void open_initial_values_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_discrete_loading_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_sin_exp_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_accelerogram_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
void open_diameters_editor(app::Context& context, ui::Dialog& loading_cases_dialog);
// The saved loading of case `case_number` as curves and a table; a message when it has none.
void plot_case_loading(app::Context& context, int case_number);
bool has_saved_loading(const model::ProgramState& state, int case_number);

}  // namespace editors
