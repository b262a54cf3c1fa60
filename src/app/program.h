// Start-up, the wizard loop between General Data and Loading Cases, and the clean-up.
#pragma once

#include <string>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace app {

// The whole run in the process current directory, or in the working folder made from the
// samples when the user asks for one there; returns the process exit code.
int run_program(ui::Toolkit& toolkit);

void start_up(dialogs::Context& context);
void run_wizard(dialogs::Context& context);
void clean_up(const std::string& case_folder = {});

}  // namespace app
