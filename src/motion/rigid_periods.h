// Oscillators too stiff for a record to say anything about: periods below two of its time
// steps, beyond the highest frequency the samples hold. Their response is the ground's own
// motion: PSA is the peak ground acceleration (of the component, of the pair's direction),
// SD = PSA / w^2 and PSV = PSA / w. Computing them step by step would take ever more sub-steps
// for ever shorter periods and, near zero, overflow into numbers that are none.
#pragma once

#include <vector>

#include "motion/spectrum.h"

namespace motion {

// Periods below this many time steps of the record are rigid.
inline constexpr double rigid_below_steps = 2.0;

// compute_spectra, the rigid periods given by the rule above.
std::vector<SpectrumCurve> spectra_with_rigid_periods(const std::vector<std::vector<double>>& components, double step,
                                                      const SpectrumRequest& request);

}  // namespace motion
