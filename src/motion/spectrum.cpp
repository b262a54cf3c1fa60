#include "motion/spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <numbers>
#include <tuple>

namespace motion {
namespace {

// Periods are processed in blocks of this many lanes, the state of a block held in local arrays
// of a fixed size: the compiler keeps them in registers and turns each lane loop into vector
// instructions, which a loop over a run-time number of periods does not get at -O2.
constexpr int lanes = 16;

struct EndState {
  double u = 0, v = 0;
};

// The closed form over one step: the particular solution of the linear input plus the damped
// free vibration that meets the initial state.
EndState exact_end(double omega, double zeta, double h, double u0, double v0, double g0, double g1) {
  const double w2 = omega * omega;
  const double wd = omega * std::sqrt(1.0 - zeta * zeta);
  const double s = (g1 - g0) / h;
  const double p0 = -g0 / w2 + 2.0 * zeta * s / (w2 * omega);
  const double dp = -s / w2;
  const double x0 = u0 - p0, xd0 = v0 - dp;
  const double e = std::exp(-zeta * omega * h), c = std::cos(wd * h), sn = std::sin(wd * h);
  const double x = e * (x0 * c + (xd0 + zeta * omega * x0) / wd * sn);
  const double xd = e * (xd0 * c - (w2 * x0 + zeta * omega * xd0) / wd * sn);
  return {p0 + dp * h + x, dp + xd};
}

// The displacement and velocity at the sub-sample times inside one record step, each straight
// from the step's start: u(q) = u0 alpha[q] + v0 beta[q] + g0 gamma[q] + g1 delta[q], and v(q)
// alike. The input is one line over the whole step, so the closed form holds to every sub-sample
// time and the samples do not depend on one another.
struct SubSamples {
  std::vector<double> alpha, beta, gamma, delta;
  std::vector<double> alpha_v, beta_v, gamma_v, delta_v;

  SubSamples() = default;
  SubSamples(double omega, double zeta, double step, int subs) {
    for (int q = 1; q < subs; ++q) {
      const double tau = step * q / subs, f = tau / step;
      const EndState a = exact_end(omega, zeta, tau, 1, 0, 0, 0), b = exact_end(omega, zeta, tau, 0, 1, 0, 0);
      const EndState c = exact_end(omega, zeta, tau, 0, 0, 1, 1 - f), d = exact_end(omega, zeta, tau, 0, 0, 0, f);
      alpha.push_back(a.u), beta.push_back(b.u), gamma.push_back(c.u), delta.push_back(d.u);
      alpha_v.push_back(a.v), beta_v.push_back(b.v), gamma_v.push_back(c.v), delta_v.push_back(d.v);
    }
  }
  std::size_t size() const { return alpha.size(); }
  EndState at(std::size_t q, double u0, double v0, double g0, double g1) const {
    return {alpha[q] * u0 + beta[q] * v0 + (gamma[q] * g0 + delta[q] * g1),
            alpha_v[q] * u0 + beta_v[q] * v0 + (gamma_v[q] * g0 + delta_v[q] * g1)};
  }
};

// The largest |H(s)| for s in [0, 1] of the cubic with H(0) = ua, H'(0) = ta, H(1) = ub,
// H'(1) = tb: the Hermite cubic of an interval of length tau through its ends' displacements and
// velocities times tau. It differs from the response by at most max |u''''| tau^4 / 384, and
// u'''' is the free vibration's times w^4: within (w tau)^4 / 384 of its amplitude, 7.7e-7 of it
// at a 48th of a period.
[[gnu::always_inline]] inline double hermite_peak(double ua, double ta, double ub, double tb) {
  const double c2 = 3.0 * (ub - ua) - 2.0 * ta - tb, c3 = 2.0 * (ua - ub) + ta + tb;
  double best = std::max(std::abs(ua), std::abs(ub));
  auto consider = [&](double s) {
    if (s > 0.0 && s < 1.0) best = std::max(best, std::abs(((c3 * s + c2) * s + ta) * s + ua));
  };
  // H'(s) = ta + 2 c2 s + 3 c3 s^2, its roots found without cancellation.
  const double a = 3.0 * c3, b = 2.0 * c2, c = ta;
  if (a == 0.0) {
    if (b != 0.0) consider(-c / b);
    return best;
  }
  const double discriminant = b * b - 4.0 * a * c;
  if (discriminant < 0.0) return best;
  const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
  consider(q / a);
  if (q != 0.0) consider(c / q);
  return best;
}

// One block of oscillators: the coefficients of a record step, and what the bounds on the
// response within a step need.
struct Block {
  double a11[lanes]{}, a12[lanes]{}, a21[lanes]{}, a22[lanes]{};
  double b11[lanes]{}, b12[lanes]{}, b21[lanes]{}, b22[lanes]{};
  double inv_w2[lanes]{}, slope_term[lanes]{}, zeta_w[lanes]{}, inv_wd[lanes]{};
  // (w^2 h^2 / 8)^2 for the record step h: the square of what the free vibration's curvature
  // can add to the larger end of a step, per squared amplitude.
  double bend2[lanes]{};
  // w^2 tau^2 / 8 for a sub-step tau.
  double sub_bend[lanes]{};
  double omega[lanes]{};
  SubSamples sub[lanes];
  int subs[lanes]{};
  // Infinity for a lane that holds no oscillator, else 0.
  double idle[lanes];
  int count = 0;  // lanes in use
};

Block make_block(std::span<const double> periods, double zeta, double step) {
  Block b;
  std::fill(std::begin(b.idle), std::end(b.idle), std::numeric_limits<double>::infinity());
  b.count = static_cast<int>(periods.size());
  for (int j = 0; j < b.count; ++j) {
    const double w = 2.0 * std::numbers::pi / periods[j];
    const OscillatorStep c = oscillator_step(w, zeta, step);
    b.a11[j] = c.a11, b.a12[j] = c.a12, b.a21[j] = c.a21, b.a22[j] = c.a22;
    b.b11[j] = c.b11, b.b12[j] = c.b12, b.b21[j] = c.b21, b.b22[j] = c.b22;
    b.inv_w2[j] = 1.0 / (w * w);
    b.slope_term[j] = 2.0 * zeta / (w * w * w);
    b.zeta_w[j] = zeta * w;
    b.inv_wd[j] = 1.0 / (w * std::sqrt(1.0 - zeta * zeta));
    const double bend = w * w * step * step / 8.0;
    b.bend2[j] = bend * bend;
    b.omega[j] = w;
    b.subs[j] = sub_steps(periods[j], step);
    b.sub_bend[j] = bend / (static_cast<double>(b.subs[j]) * b.subs[j]);
    if (b.subs[j] > 1) b.sub[j] = SubSamples(w, zeta, step, b.subs[j]);
    b.idle[j] = 0.0;
  }
  return b;
}

// The peak of |u| within one record step of one lane, from the state at its start (u0, v0) and
// end (u1, v1): on the Hermite cubic of each sub-step that could hold more than `peak`, where
// `radius` bounds the free vibration. Kept out of line: the rare call must not cost the lane
// loops their registers.
[[gnu::noinline]] double step_peak(const Block& b, int j, double u0, double v0, double u1, double v1, double g0,
                                   double g1, double step, double radius, double peak) {
  const SubSamples& sub = b.sub[j];
  const double tau = step / b.subs[j], reach = b.sub_bend[j] * radius;
  double ua = u0, va = v0;
  for (std::size_t q = 0; q <= sub.size(); ++q) {
    const EndState e = q < sub.size() ? sub.at(q, u0, v0, g0, g1) : EndState{u1, v1};
    // Beyond the chord by no more than the curvature allows: such a sub-step cannot raise the peak.
    if (std::max(std::abs(ua), std::abs(e.u)) + reach > peak)
      peak = std::max(peak, hermite_peak(ua, tau * va, e.u, tau * e.v));
    ua = e.u;
    va = e.v;
  }
  return peak;
}

// Squared radius of the free vibration within a step, and the larger end of the particular
// solution: |u(t)| <= particular + radius anywhere in the step, since the damped free vibration
// never exceeds its initial amplitude.
struct StepBound {
  double particular = 0, radius2 = 0;
};

inline StepBound step_bound(const Block& b, int j, double u0, double v0, double g0, double g1, double step) {
  const double s = (g1 - g0) / step;
  const double p0 = -g0 * b.inv_w2[j] + s * b.slope_term[j];
  const double p1 = p0 - s * step * b.inv_w2[j];
  const double x0 = u0 - p0, xd0 = v0 + s * b.inv_w2[j];
  const double y = (xd0 + b.zeta_w[j] * x0) * b.inv_wd[j];
  return {std::max(std::abs(p0), std::abs(p1)), x0 * x0 + y * y};
}

// The record steps carry the state exactly for every lane at once. A step is looked into only
// when one of two bounds says its response could exceed the peak so far: the particular
// solution plus the free vibration's amplitude (tight where the period is short beside the
// step), or the larger end plus what the free vibration's curvature can add between the ends
// (tight where the period is long). Any other step cannot change the result. The AVX2 clone runs
// the same operations (no fused multiply-add), so every machine gets the same bits.
__attribute__((target_clones("avx2", "default"))) void block_peaks(const Block& b, std::span<const double> a,
                                                                   double step, double* peak_out) {
  double u[lanes]{}, v[lanes]{}, pk[lanes]{};
  for (std::size_t i = 1; i < a.size(); ++i) {
    const double g0 = a[i - 1], g1 = a[i];
    const double s = (g1 - g0) / step;
    double u0[lanes], v0[lanes], margin[lanes], radius2[lanes];
    for (int j = 0; j < lanes; ++j) {
      const double p0 = -g0 * b.inv_w2[j] + s * b.slope_term[j];
      const double p1 = p0 - s * step * b.inv_w2[j];
      const double x0 = u[j] - p0, xd0 = v[j] + s * b.inv_w2[j];
      const double y = (xd0 + b.zeta_w[j] * x0) * b.inv_wd[j];
      const double r2 = x0 * x0 + y * y;
      const double un = b.a11[j] * u[j] + b.a12[j] * v[j] + (b.b11[j] * g0 + b.b12[j] * g1);
      const double vn = b.a21[j] * u[j] + b.a22[j] * v[j] + (b.b21[j] * g0 + b.b22[j] * g1);
      const double pkn = std::max(pk[j], std::abs(un));
      // Negative when a bound reaches past the peak: d < 0, or the free vibration reaches past d.
      const double d1 = pkn - std::max(std::abs(p0), std::abs(p1));
      const double d2 = pkn - std::max(std::abs(u[j]), std::abs(un));
      margin[j] = std::max(std::min(d1, d1 * d1 - r2), d2 * d2 - b.bend2[j] * r2) + b.idle[j];
      radius2[j] = r2;
      u0[j] = u[j];
      v0[j] = v[j];
      u[j] = un;
      v[j] = vn;
      pk[j] = pkn;
    }
    int refine = 0;
    for (int j = 0; j < lanes; ++j) refine |= margin[j] < 0.0;
    if (refine) {
      for (int j = 0; j < lanes; ++j)
        if (margin[j] < 0.0)
          pk[j] = step_peak(b, j, u0[j], v0[j], u[j], v[j], g0, g1, step, std::sqrt(radius2[j]), pk[j]);
    }
  }
  for (int j = 0; j < b.count; ++j) peak_out[j] = pk[j];
}

struct Directions {
  double cosine[180], sine[180];
  Directions() {
    for (int d = 0; d < 180; ++d) {
      cosine[d] = std::cos(d * std::numbers::pi / 180.0);
      sine[d] = std::sin(d * std::numbers::pi / 180.0);
    }
    // Directions 0 and 90 are components 1 and 2 exactly.
    cosine[90] = 0.0;
    sine[0] = 0.0;
    sine[90] = 1.0;
  }
};

const Directions& directions() {
  static const Directions table;
  return table;
}

// The direction peaks of one oscillator and the least of them. A stretch of the response
// strays from its chord by no more than `reach` in any direction, so a direction is raised only
// where one of the stretch's ends projects beyond (least - reach): within
// acos((least - reach) / distance) of that end's own direction.
// Tracking only the largest peak (RotD100), the bar is that largest peak instead of the least:
// a direction is looked at only where it could beat it, so far fewer are, and the largest is
// the same number, found by the same operations on the same stretch and direction.
class DirectionTracker {
 public:
  explicit DirectionTracker(bool largest_only = false) : largest_only_(largest_only) {}
  // What a stretch must reach beyond to raise a peak that counts.
  double bar() const { return largest_only_ ? most_ : least_; }

  // The stretch of length tau from the states (x, y) at its start to those at its end.
  void see(const EndState& xa, const EndState& ya, const EndState& xb, const EndState& yb, double tau, double reach) {
    const double floor = bar() - reach;
    const double ra2 = xa.u * xa.u + ya.u * ya.u, rb2 = xb.u * xb.u + yb.u * yb.u;
    if (floor > 0.0 && std::max(ra2, rb2) <= floor * floor) return;
    // The directions each end can raise, as one arc of whole degrees.
    double first = 0.0, last = 0.0;
    bool any = false;
    for (const auto& [x, y, r2] : {std::tuple{xa.u, ya.u, ra2}, std::tuple{xb.u, yb.u, rb2}}) {
      if (floor > 0.0 && r2 <= floor * floor) continue;
      const double half = floor > 0.0 ? std::acos(floor / std::sqrt(r2)) * 180.0 / std::numbers::pi : 90.0;
      double centre = std::atan2(y, x) * 180.0 / std::numbers::pi;
      if (any) centre += 180.0 * std::round(((first + last) / 2 - centre) / 180.0);  // the nearer of +-180
      first = any ? std::min(first, centre - half) : centre - half;
      last = any ? std::max(last, centre + half) : centre + half;
      any = true;
    }
    const int from = static_cast<int>(std::floor(first)) - 1;
    const int to = std::min(static_cast<int>(std::ceil(last)) + 1, from + 179);
    const Directions& t = directions();
    bool least_raised = false;
    for (int d = from; d <= to; ++d) {
      const int k = ((d % 180) + 180) % 180;
      const double c = t.cosine[k], s = t.sine[k];
      const double pa = xa.u * c + ya.u * s, pb = xb.u * c + yb.u * s;
      if (std::max(std::abs(pa), std::abs(pb)) + reach <= (largest_only_ ? most_ : peaks_[k])) continue;
      const double peak = hermite_peak(pa, tau * (xa.v * c + ya.v * s), pb, tau * (xb.v * c + yb.v * s));
      if (peak > peaks_[k]) {
        least_raised = least_raised || peaks_[k] == least_;
        peaks_[k] = peak;
        most_ = std::max(most_, peak);
      }
    }
    if (least_raised && !largest_only_) {
      // Four running minima: no chain of 180 dependent comparisons.
      double m[4] = {peaks_[0], peaks_[1], peaks_[2], peaks_[3]};
      for (std::size_t k = 4; k < peaks_.size(); k += 4)
        for (std::size_t r = 0; r < 4; ++r) m[r] = std::min(m[r], peaks_[k + r]);
      least_ = std::min(std::min(m[0], m[1]), std::min(m[2], m[3]));
    }
  }
  double most() const { return most_; }
  const DirectionPeaks& peaks() const { return peaks_; }

 private:
  bool largest_only_ = false;
  DirectionPeaks peaks_{};
  double least_ = 0.0, most_ = 0.0;
};

// Both responses step by step; a step is looked into only when a bound on the response vector
// within it (as for one component) reaches past the least direction peak.
DirectionTracker pair_peaks(std::span<const double> a1, std::span<const double> a2, double step, double period,
                            double zeta, bool largest_only) {
  const double periods[1] = {period};
  const Block b = make_block(periods, zeta, step);
  const OscillatorStep c = oscillator_step(2.0 * std::numbers::pi / period, zeta, step);
  const double bend = std::sqrt(b.bend2[0]), tau = step / b.subs[0];
  const SubSamples& sub = b.sub[0];
  DirectionTracker tracker(largest_only);
  EndState x, y;  // components 1 and 2
  const std::size_t n = std::min(a1.size(), a2.size());
  for (std::size_t i = 1; i < n; ++i) {
    const double f0 = a1[i - 1], f1 = a1[i], g0 = a2[i - 1], g1 = a2[i];
    const EndState xn{c.a11 * x.u + c.a12 * x.v + (c.b11 * f0 + c.b12 * f1),
                      c.a21 * x.u + c.a22 * x.v + (c.b21 * f0 + c.b22 * f1)};
    const EndState yn{c.a11 * y.u + c.a12 * y.v + (c.b11 * g0 + c.b12 * g1),
                      c.a21 * y.u + c.a22 * y.v + (c.b21 * g0 + c.b22 * g1)};
    const StepBound s1 = step_bound(b, 0, x.u, x.v, f0, f1, step);
    const StepBound s2 = step_bound(b, 0, y.u, y.v, g0, g1, step);
    const double radius = std::sqrt(s1.radius2 + s2.radius2);
    const double ends = std::sqrt(std::max(x.u * x.u + y.u * y.u, xn.u * xn.u + yn.u * yn.u));
    const double particular = std::sqrt(s1.particular * s1.particular + s2.particular * s2.particular);
    const double reach = std::min(particular + radius, ends + bend * radius);
    if (reach > tracker.bar()) {
      EndState xa = x, ya = y;
      for (std::size_t q = 0; q <= sub.size(); ++q) {
        const EndState xb = q < sub.size() ? sub.at(q, x.u, x.v, f0, f1) : xn;
        const EndState yb = q < sub.size() ? sub.at(q, y.u, y.v, g0, g1) : yn;
        tracker.see(xa, ya, xb, yb, tau, b.sub_bend[0] * radius);
        xa = xb;
        ya = yb;
      }
    }
    x = xn;
    y = yn;
  }
  return tracker;
}

}  // namespace

OscillatorStep oscillator_step(double omega, double zeta, double step) {
  const EndState u = exact_end(omega, zeta, step, 1, 0, 0, 0);
  const EndState v = exact_end(omega, zeta, step, 0, 1, 0, 0);
  const EndState g0 = exact_end(omega, zeta, step, 0, 0, 1, 0);
  const EndState g1 = exact_end(omega, zeta, step, 0, 0, 0, 1);
  return {u.u, v.u, u.v, v.v, g0.u, g1.u, g0.v, g1.v};
}

int sub_steps(double period, double step) {
  return std::max(1, static_cast<int>(std::ceil(samples_per_period * step / period - 1e-9)));
}

std::vector<double> log_periods(double first, double last, std::size_t count) {
  std::vector<double> periods(count);
  for (std::size_t k = 0; k < count; ++k)
    periods[k] = count == 1 ? first
                            : first * std::pow(last / first, static_cast<double>(k) / static_cast<double>(count - 1));
  if (count > 1) periods.back() = last;
  return periods;
}

std::vector<double> default_periods() { return log_periods(0.01, 10.0, 100); }

std::vector<double> peak_displacements(std::span<const double> acceleration, double step,
                                       std::span<const double> periods, double zeta) {
  // Neighbouring periods need alike sub-samples, so a block of them shares one way of stepping.
  std::vector<std::size_t> order(periods.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return periods[x] < periods[y]; });
  std::vector<double> peaks(periods.size(), 0.0);
  for (std::size_t k = 0; k < order.size(); k += lanes) {
    const std::size_t count = std::min<std::size_t>(lanes, order.size() - k);
    double block_periods[lanes], block_out[lanes];
    for (std::size_t j = 0; j < count; ++j) block_periods[j] = periods[order[k + j]];
    block_peaks(make_block({block_periods, count}, zeta, step), acceleration, step, block_out);
    for (std::size_t j = 0; j < count; ++j) peaks[order[k + j]] = block_out[j];
  }
  return peaks;
}

std::vector<DirectionPeaks> direction_peaks(std::span<const double> acceleration1,
                                            std::span<const double> acceleration2, double step,
                                            std::span<const double> periods, double zeta) {
  std::vector<DirectionPeaks> peaks;
  peaks.reserve(periods.size());
  for (const double period : periods)
    peaks.push_back(pair_peaks(acceleration1, acceleration2, step, period, zeta, false).peaks());
  return peaks;
}

std::vector<double> rotd100_peaks(std::span<const double> acceleration1, std::span<const double> acceleration2,
                                  double step, std::span<const double> periods, double zeta) {
  std::vector<double> peaks;
  peaks.reserve(periods.size());
  for (const double period : periods)
    peaks.push_back(pair_peaks(acceleration1, acceleration2, step, period, zeta, true).most());
  return peaks;
}

double rotd(const DirectionPeaks& peaks, double percentile) {
  DirectionPeaks sorted = peaks;
  std::sort(sorted.begin(), sorted.end());
  const double rank = std::clamp(percentile, 0.0, 100.0) / 100.0 * (sorted.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(rank));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (rank - below) * (sorted[above] - sorted[below]);
}

std::string spectrum_request_problem(const SpectrumRequest& request) {
  if (request.periods.empty()) return "no periods";
  for (const double t : request.periods)
    if (!(t > 0.0) || !std::isfinite(t)) return "periods must be positive";
  if (request.dampings.empty()) return "no damping";
  for (const double z : request.dampings)
    if (!(z >= 0.0 && z < 1.0)) return "damping ratios must be at least 0 and below 1";
  for (const double p : request.rotd_percentiles)
    if (!(p >= 0.0 && p <= 100.0)) return "RotD percentiles must be from 0 to 100";
  return {};
}

std::vector<SpectrumCurve> compute_spectra(const std::vector<std::vector<double>>& components, double step,
                                           const SpectrumRequest& request) {
  std::vector<SpectrumCurve> curves;
  const auto& periods = request.periods;
  auto add = [&](std::string name, double zeta, std::vector<double> sd) {
    SpectrumCurve curve{std::move(name), zeta, std::move(sd), {}, {}};
    for (std::size_t k = 0; k < periods.size(); ++k) {
      const double w = 2.0 * std::numbers::pi / periods[k];
      curve.psv.push_back(w * curve.sd[k]);
      curve.psa.push_back(w * w * curve.sd[k]);
    }
    curves.push_back(std::move(curve));
  };
  for (const double zeta : request.dampings) {
    for (std::size_t c = 0; c < components.size(); ++c)
      add(std::to_string(c + 1), zeta, peak_displacements(components[c], step, periods, zeta));
    const auto& pair = request.pair;
    if (!pair || (*pair)[0] == (*pair)[1] || std::max((*pair)[0], (*pair)[1]) >= components.size()) continue;
    const std::size_t first = curves.size() - components.size();
    if (request.rotd_percentiles == std::vector<double>{100.0}) {
      add("rotd100", zeta, rotd100_peaks(components[(*pair)[0]], components[(*pair)[1]], step, periods, zeta));
    } else if (!request.rotd_percentiles.empty()) {
      const auto pairs = direction_peaks(components[(*pair)[0]], components[(*pair)[1]], step, periods, zeta);
      for (const double p : request.rotd_percentiles) {
        std::vector<double> sd;
        for (const auto& peaks : pairs) sd.push_back(rotd(peaks, p));
        char name[32];
        std::snprintf(name, sizeof name, "rotd%g", p);
        add(name, zeta, std::move(sd));
      }
    }
    std::vector<double> sd;
    const SpectrumCurve &one = curves[first + (*pair)[0]], &two = curves[first + (*pair)[1]];
    for (std::size_t k = 0; k < periods.size(); ++k) sd.push_back(std::sqrt(one.sd[k] * two.sd[k]));
    add("geomean", zeta, std::move(sd));
  }
  return curves;
}

}  // namespace motion
