// Start-up, the wizard loop between General Data and Loading Cases, and the clean-up.
#pragma once

#include <optional>
#include <string>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace app {

// The whole run in the process current directory, or in the working folder made from the
// samples when the user asks for one there; returns the process exit code. `run_to_recover`
// names a stopped or set-aside run to take back at once (`brantel --recover RUN`).
int run_program(ui::Toolkit& toolkit, const std::optional<std::string>& run_to_recover = std::nullopt);

// The folders, the language, the images, then the Time Points prompt.
void start_up(dialogs::Context& context);
// start_up without the prompt: a run taken back after a crash has its maximum of time points.
void prepare_start(dialogs::Context& context);
void run_wizard(dialogs::Context& context);
void clean_up(const std::string& case_folder = {});

}  // namespace app
