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
  // The case's direction of each component ("X", "Y", "Z"); a pair X, Y is scaled on its
  // RotD100, as the suite and `brantel spectrum` scale it.
  std::vector<std::string> names{};
  // What "Apply factor" multiplies, in the language of the moment.
  std::string applies_to{};
  // The longest period a processed record's high-pass leaves usable; none: not filtered.
  std::optional<double> usable_period{};
  // "Match" is offered: the caller takes a matched record in place of its points.
  bool matchable = false;
};

// What the user chose in the window: a factor ("Apply factor"), or the record as matched
// ("Apply" in the Spectral Match window): every component of the source, in its unit, at its
// step from its first point, longer than the source by the match's padding.
struct SpectrumChoice {
  std::optional<double> factor;
  std::vector<std::vector<double>> matched;
};
SpectrumChoice run_spectrum_window(Context& context, const SpectrumSource& source);

// Runs dialog 112. The factor when the user pressed "Apply factor", as shown: nine significant
// digits, as suite.csv gives it (rounded up under the min90 rule, which must not fall below its
// target).
std::optional<double> run_spectrum_dialog(Context& context, const SpectrumSource& source);

// A factor outside 0.25 to 4 changes a record's character more than its size: the words that
// say so, in the language of the moment; empty for a factor within.
std::string unusual_factor_note(const Context& context, double factor);

// The factor as it is shown and applied: the number its nine-digit text reads as.
double shown_factor(double factor, bool round_up);

}  // namespace dialogs::editors
