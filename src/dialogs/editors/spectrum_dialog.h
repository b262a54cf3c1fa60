// The "Response Spectrum" window of the Import dialog and the Accelerogram editor: the 5%-damped
// (or other) spectra of a record's components over a log period axis, a design spectrum, the
// period range shaded and the factor that scales the record onto the design spectrum there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"

namespace dialogs::editors {

struct SpectrumSource {
  std::string name;  // of the record, for the window and the exported table
  double time_step = 0.0;  // s
  // One to three components, each multiplied by `metres_per_unit` to be in m/s2.
  std::vector<std::vector<double>> components;
  double metres_per_unit = 1.0;
};

// Runs dialog 112. The factor when the user pressed "Apply factor", as shown: four significant
// digits (rounded up under the min90 rule, which must not fall below its target).
std::optional<double> run_spectrum_dialog(Context& context, const SpectrumSource& source);

// The factor as it is shown and applied.
double shown_factor(double factor, bool round_up);

}  // namespace dialogs::editors
