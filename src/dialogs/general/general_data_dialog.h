#pragma once

#include "dialogs/context.h"

namespace dialogs::general {

// Runs the General Data dialog (101); leaves its closing code in general_data_result.
int run_general_data_dialog(Context& context);

}  // namespace dialogs::general
