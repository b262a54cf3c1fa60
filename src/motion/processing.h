// Record processing: from a raw acceleration record to one whose velocity and displacement end
// at rest. Mean (or line) removed, Hann taper, zeros at both ends, zero-phase Butterworth gains
// applied once in the frequency domain, then a polynomial baseline fitted to the displacement.
// Velocity and displacement are the trapezoid rule from rest, as the intensity measures have
// them, so that what is checked here is what the measures and the solver's input show.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace motion {

// The ends of a component's velocity and displacement, and their peaks, integrated from rest.
struct Drift {
  double final_velocity = 0.0;      // in the acceleration's unit times s
  double final_displacement = 0.0;  // in the acceleration's unit times s2
  double pgv = 0.0;
  double pgd = 0.0;
};

Drift drift_of(std::span<const double> acceleration, double step);

// What a processed record may keep: |final velocity| <= 1 % of PGV, |final displacement| <= 5 %
// of PGD. A record without motion (PGV and PGD 0) is within them.
inline constexpr double velocity_drift_limit = 0.01;
inline constexpr double displacement_drift_limit = 0.05;
bool within_drift_limits(const Drift& drift);

// Takes from `acceleration` the second derivative of the polynomial c2 t^2 + ... + c6 t^6 (t from
// the first point) fitted by least squares to its displacement. The polynomial has no constant or
// linear term, so the record still starts at rest. The fit is to the displacement the trapezoid
// rule gives, with the polynomial's part integrated by the same rule: a drift of that form is
// removed to rounding. Fewer than 6 points, or a step that is not positive: nothing is done.
void remove_poly6_baseline(std::span<double> acceleration, double step);

}  // namespace motion
