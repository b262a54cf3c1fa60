// "Suite..." of the Loading Cases dialog: the analysis as Create would write it, once per
// ground-motion record, each record in place of the accelerogram of one case and scaled onto
// a design spectrum; the spectra, their mean and the target shown before anything is written.
#pragma once

#include "dialogs/context.h"

namespace dialogs::cases {

// Runs dialog 120 for accelerogram case `case_number` of the analysis in the state.
void run_suite_dialog(Context& context, int case_number);

}  // namespace dialogs::cases
