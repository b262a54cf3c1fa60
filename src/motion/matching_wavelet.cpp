// The wavelet and the responses of oscillators to it: what the linear step is built from.
#include <algorithm>
#include <cmath>

#include "motion/matching.h"
#include "motion/matching_internal.h"

namespace motion {

using detail::Grid;

double Wavelet::value(double x) const { return std::cos(omega_d * x) * std::exp(-(x / gamma) * (x / gamma)); }

Wavelet make_wavelet(double period, double zeta) {
  const double omega = 2.0 * std::numbers::pi / period;
  const double root = std::sqrt(1.0 - zeta * zeta);
  Wavelet w;
  w.omega_d = omega * root;
  w.gamma = 1.178 * std::pow(1.0 / period, -0.93);
  w.shift = std::atan2(root, zeta) / w.omega_d;
  return w;
}

namespace detail {

Placed place(double period, double zeta, double centre, double step) {
  Placed p{make_wavelet(period, zeta), 0, {}};
  p.first = static_cast<long>(std::floor((centre - p.shape.reach()) / step));
  const long last = static_cast<long>(std::ceil((centre + p.shape.reach()) / step));
  for (long k = p.first; k <= last; ++k) p.values.push_back(p.shape.value(static_cast<double>(k) * step - centre));
  return p;
}

// From rest at the first sample, or (`from_zero`) at the sample before it, the input rising from
// zero as it does within a longer record. After the last value the input is zero, and the free
// vibration is carried to the target in one exact step.
double response_of(const double* values, std::size_t count, long first, const Grid& g, long target, bool from_zero) {
  const std::size_t start = from_zero ? 0 : 1;
  long at = (first - static_cast<long>(1 - start)) * g.subs;
  if (target <= at || count == 0) return 0.0;
  double u = 0, v = 0;
  for (std::size_t k = start; k <= count && at < target; ++k) {
    const double a0 = k > 0 ? values[k - 1] : 0.0, a1 = k < count ? values[k] : 0.0;
    for (int q = 1; q <= g.subs && at < target; ++q, ++at)
      g.advance(u, v, a0 + (a1 - a0) * (q - 1) / g.subs, a0 + (a1 - a0) * q / g.subs);
  }
  if (at < target) {
    const OscillatorStep free = oscillator_step(g.omega, g.zeta, static_cast<double>(target - at) * g.h);
    u = free.a11 * u + free.a12 * v;
  }
  return u;
}

// The hat rises from the sample before and falls to the one after. The recurrence is linear and
// the same at every step, so the response at a time to any input sampled on the record's step is
// the sum of its samples times this at their lags: one pass of the recurrence gives an
// oscillator its response to every wavelet, where a pass a wavelet would cost as many passes as
// there are wavelets.
std::vector<double> hat_response(const Grid& g, long lag_max) {
  std::vector<double> out(static_cast<std::size_t>(std::max(lag_max + g.subs, 0L)) + 1, 0.0);
  double u = 0, v = 0;
  const double s = g.subs;
  for (std::size_t m = 1; m < out.size(); ++m) {
    const long q = static_cast<long>(m);
    if (q <= g.subs)
      g.advance(u, v, static_cast<double>(q - 1) / s, static_cast<double>(q) / s);
    else if (q <= 2 * g.subs)
      g.advance(u, v, 1.0 - static_cast<double>(q - 1 - g.subs) / s, 1.0 - static_cast<double>(q - g.subs) / s);
    else
      g.advance(u, v, 0.0, 0.0);
    out[m] = u;
  }
  return out;
}

std::vector<std::vector<double>> padded(const std::vector<std::vector<double>>& components, std::size_t before,
                                        std::size_t after) {
  std::vector<std::vector<double>> out;
  for (const auto& c : components) {
    std::vector<double> p(before, 0.0);
    p.insert(p.end(), c.begin(), c.end());
    p.resize(p.size() + after, 0.0);
    out.push_back(std::move(p));
  }
  return out;
}

}  // namespace detail

PeakResponse peak_response(const std::vector<std::vector<double>>& components, double step, double period, double zeta) {
  const Grid g(period, zeta, step);
  const std::size_t n = components.front().size();
  const bool pair = components.size() > 1;
  const double* a = components[0].data();
  const double* b = pair ? components[1].data() : nullptr;
  double u1 = 0, v1 = 0, u2 = 0, v2 = 0, best = -1;
  PeakResponse peak;
  long at = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const double a0 = a[i - 1], a1 = a[i];
    const double b0 = pair ? b[i - 1] : 0.0, b1 = pair ? b[i] : 0.0;
    for (int q = 1; q <= g.subs; ++q) {
      ++at;
      const double f0 = static_cast<double>(q - 1) / g.subs, f1 = static_cast<double>(q) / g.subs;
      g.advance(u1, v1, a0 + (a1 - a0) * f0, a0 + (a1 - a0) * f1);
      if (pair) g.advance(u2, v2, b0 + (b1 - b0) * f0, b0 + (b1 - b0) * f1);
      const double r2 = u1 * u1 + u2 * u2;
      if (r2 > best) {
        best = r2;
        peak.time = static_cast<double>(at) * g.h;
        peak.value = std::sqrt(r2);
        peak.direction = peak.value > 0 ? std::array<double, 2>{u1 / peak.value, u2 / peak.value} : std::array<double, 2>{1.0, 0.0};
      }
    }
  }
  return peak;
}

double response_at(std::span<const double> acceleration, double step, double period, double zeta, double time) {
  const Grid g(period, zeta, step);
  return detail::response_of(acceleration.data(), acceleration.size(), 0, g, std::lround(time / g.h), false);
}

void add_wavelets(std::vector<std::vector<double>>& components, double step, double zeta,
                  std::span<const AddedWavelet> wavelets) {
  for (const AddedWavelet& w : wavelets) {
    const detail::Placed p = detail::place(w.period, zeta, w.centre, step);
    for (std::size_t c = 0; c < components.size(); ++c) {
      const double scale = w.amplitude * w.direction[c];
      if (scale == 0.0) continue;
      for (std::size_t k = 0; k < p.values.size(); ++k) {
        const long at = p.first + static_cast<long>(k);
        if (at >= 0 && at < static_cast<long>(components[c].size())) components[c][static_cast<std::size_t>(at)] += scale * p.values[k];
      }
    }
  }
}

}  // namespace motion
