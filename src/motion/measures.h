// Intensity measures of one acceleration component: peaks of the motion and of its integrals,
// Arias intensity, significant durations and cumulative absolute velocity.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace motion {

struct IntensityMeasures {
  double pga = 0.0;    // m/s2, largest magnitude of the acceleration
  double pgv = 0.0;    // m/s, of the velocity integrated from rest
  double pgd = 0.0;    // m, of the displacement integrated from rest
  double arias = 0.0;  // m/s, pi / (2 g) times the integral of a^2
  // s, between 5 % and 75 % (95 %) of the Arias intensity; none for a record without motion.
  std::optional<double> d5_75, d5_95;
  double cav = 0.0;  // m/s, integral of |a|
};

// `acceleration` in m/s2, uniformly sampled at `step` seconds. Velocity and displacement are
// the trapezoid rule applied to the record as read, from rest, with no baseline correction:
// processed records are corrected already, and a correction here would make their peaks differ
// from the provider's. Arias intensity and the Husid curve use the trapezoid rule on a^2, the
// curve being linear between samples; CAV is exact for the record linear between samples.
IntensityMeasures intensity_measures(const std::vector<double>& acceleration, double step);

// Why the measures are no numbers to print (they overflow); empty when every one is finite.
std::string measures_problem(const IntensityMeasures& measures);

}  // namespace motion
