// Elastic response spectra of acceleration records: the peak relative displacement of linear
// single-degree-of-freedom oscillators driven by the record, taken as linear between samples.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace motion {

// The response is taken at least this many times a period; between two such samples its peak is
// found on the cubic through their displacements and velocities, which differs from the response
// by at most (2 pi / 48)^4 / 384 = 7.7e-7 of the free vibration's amplitude (of the order of
// PGA / w^2). Steps whose bounds show they cannot hold a new peak are passed over. The peaks are
// the exact response's to within 0.1% while PSA is above a few thousandths of PGA.
inline constexpr int samples_per_period = 48;

// The exact step of one oscillator (natural circular frequency `omega`, damping ratio `zeta` in
// [0, 1)) over `step` seconds, for a ground acceleration linear between the step's ends:
// u' = a11 u + a12 v + b11 g0 + b12 g1, v' = a21 u + a22 v + b21 g0 + b22 g1, for
// u'' + 2 zeta omega u' + omega^2 u = -g(t).
struct OscillatorStep {
  double a11 = 0, a12 = 0, a21 = 0, a22 = 0, b11 = 0, b12 = 0, b21 = 0, b22 = 0;
};
OscillatorStep oscillator_step(double omega, double zeta, double step);

// Sub-steps of one record step that give at least `samples_per_period` samples of an
// oscillator of period `period`.
int sub_steps(double period, double step);

// The default periods: 100 values from 0.01 s to 10 s, evenly spaced in log.
std::vector<double> default_periods();
// `count` periods from `first` to `last` evenly spaced in log (first and last included).
std::vector<double> log_periods(double first, double last, std::size_t count);

// The peak relative displacement (m when the record is in m/s2) of each oscillator of period
// periods[k] (s, positive) and damping ratio `zeta` (0 <= zeta < 1) for a record of uniform
// `step` starting at rest. PSV = w SD and PSA = w^2 SD follow from it.
std::vector<double> peak_displacements(std::span<const double> acceleration, double step,
                                       std::span<const double> periods, double zeta);

// Peaks of the response of two horizontal components in every whole-degree direction:
// peaks[k][d] = max over t of |u1(t) cos d + u2(t) sin d| for period k; d = 0 is component 1,
// d = 90 component 2.
using DirectionPeaks = std::array<double, 180>;
std::vector<DirectionPeaks> direction_peaks(std::span<const double> acceleration1,
                                            std::span<const double> acceleration2, double step,
                                            std::span<const double> periods, double zeta);

// The largest of each period's direction peaks, RotD100: the same numbers as
// rotd(direction_peaks(...)[k], 100), found looking only where a direction could beat it.
std::vector<double> rotd100_peaks(std::span<const double> acceleration1, std::span<const double> acceleration2,
                                  double step, std::span<const double> periods, double zeta);

// The `percentile` (0..100) of the 180 direction peaks, linear between ranks: RotD0 is the
// least, RotD100 the largest, RotD50 the mean of the two middle values.
double rotd(const DirectionPeaks& peaks, double percentile);

// One component's spectrum, or a combination of two horizontal ones.
struct SpectrumCurve {
  std::string component;  // "1", "2", "3", "rotd50", "rotd100", "geomean", ...
  double damping = 0.05;  // ratio
  std::vector<double> sd;  // m
  std::vector<double> psv;  // m/s
  std::vector<double> psa;  // m/s2
};

struct SpectrumRequest {
  std::vector<double> periods = default_periods();
  std::vector<double> dampings{0.05};  // ratios
  std::vector<double> rotd_percentiles{50.0, 100.0};  // for a pair of horizontal components
  // The horizontal pair (0-based components) that RotD and the geometric mean combine; none, or
  // a component the record does not have: no combination.
  std::optional<std::array<std::size_t, 2>> pair = std::array<std::size_t, 2>{0, 1};
};

// The spectra of one to three components in m/s2 of uniform `step`: for each damping, one curve
// per component, then (for the request's pair) RotDnn for each requested percentile and the
// geometric mean of the pair.
std::vector<SpectrumCurve> compute_spectra(const std::vector<std::vector<double>>& components, double step,
                                           const SpectrumRequest& request);

// The reason a request cannot be computed; empty when it can.
std::string spectrum_request_problem(const SpectrumRequest& request);

}  // namespace motion
