// One function per dialog template, each defined in its own file of this folder.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

const DialogTemplate& general_data();      // 101
const DialogTemplate& loading_cases();     // 102
const DialogTemplate& initial_values();    // 103
const DialogTemplate& discrete_loading();  // 104
const DialogTemplate& sin_exp();           // 105
const DialogTemplate& accelerogram();      // 106
const DialogTemplate& time_points();       // 108
const DialogTemplate& diameters();         // 110
const DialogTemplate& import_time_history();  // 111
const DialogTemplate& response_spectrum();    // 112

}  // namespace ui::templates
