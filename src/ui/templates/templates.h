// One function per dialog template, each defined in its own file of this folder.
#pragma once

#include "ui/dialog_template.h"
#include "ui/templates/diameters.h"
#include "ui/templates/sin_exp.h"
#include "ui/templates/general_data.h"
#include "ui/templates/initial_values.h"
#include "ui/templates/time_points.h"

namespace ui::templates {

const DialogTemplate& loading_cases();     // 102
const DialogTemplate& discrete_loading();  // 104
const DialogTemplate& accelerogram();      // 106
const DialogTemplate& import_time_history();  // 111
const DialogTemplate& response_spectrum();    // 112

}  // namespace ui::templates
