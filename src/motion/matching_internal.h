// What the parts of the matcher share: an oscillator stepped on the spectra's sub-step grid, a
// wavelet laid on the record's samples, and the response of an oscillator to a few samples.
#pragma once

#include <cstddef>
#include <map>
#include <utility>
#include <numbers>
#include <vector>

#include "motion/matching.h"
#include "motion/spectrum.h"

namespace motion::detail {

// One oscillator on the grid the spectra use: `subs` sub-steps a record step, input linear
// between samples, so that a peak found here is the peak the spectrum of the record finds.
struct Grid {
  double omega = 0.0, zeta = 0.0, h = 0.0;
  int subs = 1;
  OscillatorStep c;
  Grid(double period, double damping, double step)
      : omega(2.0 * std::numbers::pi / period),
        zeta(damping),
        h(step / sub_steps(period, step)),
        subs(sub_steps(period, step)),
        c(oscillator_step(omega, damping, h)) {}
  void advance(double& u, double& v, double g0, double g1) const {
    const double un = c.a11 * u + c.a12 * v + (c.b11 * g0 + c.b12 * g1);
    v = c.a21 * u + c.a22 * v + (c.b21 * g0 + c.b22 * g1);
    u = un;
  }
};

// A wavelet sampled on the record's step: values[k] stands at sample first + k.
struct Placed {
  Wavelet shape;
  long first = 0;
  std::vector<double> values;
};
Placed place(double period, double zeta, double centre, double step);

// The response of the oscillator to a unit hat at one sample, at each sub-step from the hat's
// start up to `lag_max` sub-steps after the sample: entry m is at lag m - subs.
std::vector<double> hat_response(const Grid& g, long lag_max);

// The response at sub-step `target` to `values` at samples first, first + 1, ..., from rest.
double response_of(const double* values, std::size_t count, long first, const Grid& g, long target, bool from_zero);

// What a linear step finds on one record: the oscillators' peaks and the entries of C, by
// period. A step the relaxation takes back leaves the record as it was, and the next step asks
// for the same peaks and entries but those of the one period the greedy pass adds: kept here,
// they are not computed again. Cleared whenever the record changes.
struct StepCache {
  std::map<double, PeakResponse> peaks;
  std::map<std::pair<double, double>, double> responses;  // (period i, period j) -> C[i][j]
  void clear() { peaks.clear(), responses.clear(); }
};
std::vector<AddedWavelet> plan_step(const std::vector<std::vector<double>>& components, double step,
                                    std::span<const double> periods, std::span<const double> target_sd, double zeta,
                                    double relaxation, StepCache& cache);

// The components with `before` and `after` samples of rest added.
std::vector<std::vector<double>> padded(const std::vector<std::vector<double>>& components, std::size_t before,
                                        std::size_t after);

// Takes from a drifting component a polynomial baseline that brings it to rest at its end; a
// component within the drift limits is left as it is.
void end_at_rest(std::vector<double>& acceleration, double step);

}  // namespace motion::detail
