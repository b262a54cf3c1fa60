// "Select Geometry File": choose the model file, read its counts and units, show them.
#pragma once

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs::general {

// Callback of "Select Geometry File" of the General Data dialog. A file that cannot be read is reported
// and changes nothing: the previous geometry data, the display and n_loading_cases stay.
void select_geometry_file(Context& context, ui::Dialog& dialog);

// Shows the chosen geometry file, its counts and the number of cases, and opens the common
// data for changes, as a successful choice does.
void show_geometry(ui::Dialog& dialog, const model::GeneralData& general);

}  // namespace dialogs::general
