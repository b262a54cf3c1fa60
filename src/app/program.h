// Start-up, the wizard loop between General Data and Loading Cases, and the clean-up.
#pragma once

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace app {

// The whole run in the process current directory; returns the process exit code.
int run_program(ui::Toolkit& toolkit);

void start_up(Context& context);
void run_wizard(Context& context);
void clean_up();

}  // namespace app
