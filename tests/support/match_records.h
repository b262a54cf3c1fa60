// Records for the matcher's tests: a few decaying sinusoids (a spectrum with peaks and troughs
// at several periods), and the same cut while still moving.
#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace testing_support {

inline std::vector<double> synthetic(double step, double duration, double phase) {
  std::vector<double> a;
  for (double t = 0; t <= duration; t += step)
    a.push_back(std::exp(-0.15 * t) * std::sin(std::numbers::pi * t / duration) *
                (2.0 * std::sin(2 * std::numbers::pi * t / 0.17 + phase) + 1.2 * std::sin(2 * std::numbers::pi * t / 0.9) +
                 0.7 * std::sin(2 * std::numbers::pi * t / 2.3 + 2 * phase)));
  return a;
}

// A constant push over the first 3 s that is never taken back: a final velocity of 0.3 m/s.
inline std::vector<double> drifting(double step, double duration, double phase) {
  std::vector<double> a = synthetic(step, duration, phase);
  for (std::size_t i = 0; static_cast<double>(i) * step < 3.0; ++i) a[i] += 0.1;
  return a;
}

}  // namespace testing_support
