// The case data editors. Each works on a copy of the current case, which its SAVE commits to
// the case store, and returns when its dialog closes.
#pragma once

#include <string>
#include <vector>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs::editors {

void open_initial_values_editor(Context& context, ui::Dialog& loading_cases_dialog);
void open_discrete_loading_editor(Context& context, ui::Dialog& loading_cases_dialog);
// Entries 1..n_time_points of time_point_table, which the Discrete Loading editor opens, from the
// case's saved discrete loading as its case file reads back; the entries beyond them stay.
void open_saved_time_points(Context& context, int case_number, int n_time_points);
void open_sin_exp_editor(Context& context, ui::Dialog& loading_cases_dialog);
void open_accelerogram_editor(Context& context, ui::Dialog& loading_cases_dialog);
void open_diameters_editor(Context& context, ui::Dialog& loading_cases_dialog);
// The saved loading of case `case_number` as curves and a table; a message when it has none.
void plot_case_loading(Context& context, int case_number);
bool has_saved_loading(const Context& context, int case_number);

}  // namespace dialogs::editors
