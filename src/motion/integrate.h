// Velocity and displacement of an acceleration record, for a preview of what it does to a
// structure: trapezoid rule from rest, with an optional removal of the mean.
#pragma once

#include <vector>

namespace motion {

// v[0] = 0, v[i] = v[i-1] + step (a[i] + a[i-1]) / 2.
std::vector<double> integrate_trapezoid(const std::vector<double>& values, double step);

// The values less their mean: a small offset of a record makes its displacement drift away
// as t squared and hides the motion in the plot.
std::vector<double> without_mean(const std::vector<double>& values);

}  // namespace motion
