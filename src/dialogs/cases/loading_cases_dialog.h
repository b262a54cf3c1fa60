#pragma once

#include "dialogs/context.h"

namespace dialogs::cases {

// Runs the Loading Cases dialog (102); leaves its closing code in loading_cases_result.
int run_loading_cases_dialog(Context& context);

}  // namespace dialogs::cases
