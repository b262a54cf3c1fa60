#include "motion/spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <numbers>

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

// The displacements at the sub-sample times inside one record step, each straight from the
// step's start: u(q) = u0 alpha[q] + v0 beta[q] + g0 gamma[q] + g1 delta[q]. The input is one
// line over the whole step, so the closed form holds to every sub-sample time and the samples
// do not depend on one another: a loop over them runs as vector instructions.
struct SubSamples {
  std::vector<double> alpha, beta, gamma, delta;

  SubSamples() = default;
  SubSamples(double omega, double zeta, double step, int subs) {
    for (int q = 1; q < subs; ++q) {
      const double tau = step * q / subs, f = tau / step;
      alpha.push_back(exact_end(omega, zeta, tau, 1, 0, 0, 0).u);
      beta.push_back(exact_end(omega, zeta, tau, 0, 1, 0, 0).u);
      gamma.push_back(exact_end(omega, zeta, tau, 0, 0, 1, 1 - f).u);
      delta.push_back(exact_end(omega, zeta, tau, 0, 0, 0, f).u);
    }
    // Whole chunks for the peak loop; zero coefficients give a displacement of zero.
    const std::size_t padded = (size() + chunk - 1) / chunk * chunk;
    for (auto* c : {&alpha, &beta, &gamma, &delta}) c->resize(padded, 0.0);
  }
  static constexpr std::size_t chunk = 4;
  std::size_t size() const { return alpha.size(); }
  double at(std::size_t q, double u0, double v0, double g0, double g1) const {
    return alpha[q] * u0 + beta[q] * v0 + (gamma[q] * g0 + delta[q] * g1);
  }
};

// One block of oscillators: the coefficients of a record step and of a sub-step, and what the
// bound on the response within a step needs.
struct Block {
  double a11[lanes]{}, a12[lanes]{}, a21[lanes]{}, a22[lanes]{};
  double b11[lanes]{}, b12[lanes]{}, b21[lanes]{}, b22[lanes]{};
  double inv_w2[lanes]{}, slope_term[lanes]{}, zeta_w[lanes]{}, inv_wd[lanes]{};
  SubSamples sub[lanes];
  int subs[lanes]{};
  // Infinity for a lane that never needs sub-samples (or holds no oscillator), else 0.
  double dense[lanes];
  // A block whose lanes need at most `direct_subs` sub-samples a step takes them at every step:
  // cheaper than the bound that would skip them. Zero coefficients stand for the missing ones.
  static constexpr int direct_subs = 3;
  bool direct = false;
  double da[direct_subs][lanes]{}, db[direct_subs][lanes]{}, dg[direct_subs][lanes]{}, dd[direct_subs][lanes]{};
  int count = 0;  // lanes in use
};

Block make_block(std::span<const double> periods, double zeta, double step) {
  Block b;
  std::fill(std::begin(b.dense), std::end(b.dense), std::numeric_limits<double>::infinity());
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
    b.subs[j] = sub_steps(periods[j], step);
    if (b.subs[j] > 1) b.sub[j] = SubSamples(w, zeta, step, b.subs[j]);
    if (b.subs[j] > 1) b.dense[j] = 0.0;
    for (std::size_t q = 0; q < std::min<std::size_t>(Block::direct_subs, b.sub[j].size()); ++q) {
      b.da[q][j] = b.sub[j].alpha[q], b.db[q][j] = b.sub[j].beta[q];
      b.dg[q][j] = b.sub[j].gamma[q], b.dd[q][j] = b.sub[j].delta[q];
    }
  }
  const int most = *std::max_element(b.subs, b.subs + b.count);
  b.direct = most > 1 && most <= Block::direct_subs + 1;
  return b;
}

// Kept out of line: the rare call must not cost the lane loops their registers.
[[gnu::noinline]] double sub_sample_peak(const SubSamples& c, double u0, double v0, double g0, double g1) {
  double part[SubSamples::chunk]{};
  for (std::size_t q = 0; q < c.size(); q += SubSamples::chunk)
    for (std::size_t r = 0; r < SubSamples::chunk; ++r)
      part[r] = std::max(part[r], std::abs(c.at(q + r, u0, v0, g0, g1)));
  return *std::max_element(std::begin(part), std::end(part));
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

// The record steps carry the state exactly for every lane at once. Where a lane's samples are
// sparser than `samples_per_period`, a step is sub-sampled only when the bound says its
// response could exceed the peak so far: any other step cannot change the result. The AVX2
// clone runs the same operations (no fused multiply-add), so every machine gets the same bits.
__attribute__((target_clones("avx2", "default"))) void block_peaks(const Block& b, std::span<const double> a,
                                                                   double step, double* peak_out) {
  double u[lanes]{}, v[lanes]{}, pk[lanes]{};
  const bool sparse = std::any_of(b.subs, b.subs + b.count, [](int subs) { return subs > 1; });
  for (std::size_t i = 1; i < a.size(); ++i) {
    const double g0 = a[i - 1], g1 = a[i];
    if (!sparse) {
      for (int j = 0; j < lanes; ++j) {
        const double un = b.a11[j] * u[j] + b.a12[j] * v[j] + (b.b11[j] * g0 + b.b12[j] * g1);
        const double vn = b.a21[j] * u[j] + b.a22[j] * v[j] + (b.b21[j] * g0 + b.b22[j] * g1);
        u[j] = un;
        v[j] = vn;
        pk[j] = std::max(pk[j], std::abs(un));
      }
      continue;
    }
    if (b.direct) {
      for (int j = 0; j < lanes; ++j) {
        const double s0 = b.da[0][j] * u[j] + b.db[0][j] * v[j] + (b.dg[0][j] * g0 + b.dd[0][j] * g1);
        const double s1 = b.da[1][j] * u[j] + b.db[1][j] * v[j] + (b.dg[1][j] * g0 + b.dd[1][j] * g1);
        const double s2 = b.da[2][j] * u[j] + b.db[2][j] * v[j] + (b.dg[2][j] * g0 + b.dd[2][j] * g1);
        pk[j] = std::max(pk[j], std::max(std::max(std::abs(s0), std::abs(s1)), std::abs(s2)));
        const double un = b.a11[j] * u[j] + b.a12[j] * v[j] + (b.b11[j] * g0 + b.b12[j] * g1);
        const double vn = b.a21[j] * u[j] + b.a22[j] * v[j] + (b.b21[j] * g0 + b.b22[j] * g1);
        u[j] = un;
        v[j] = vn;
        pk[j] = std::max(pk[j], std::abs(un));
      }
      continue;
    }
    const double s = (g1 - g0) / step;
    double u0[lanes], v0[lanes], margin[lanes];
    for (int j = 0; j < lanes; ++j) {
      const double p0 = -g0 * b.inv_w2[j] + s * b.slope_term[j];
      const double p1 = p0 - s * step * b.inv_w2[j];
      const double x0 = u[j] - p0, xd0 = v[j] + s * b.inv_w2[j];
      const double y = (xd0 + b.zeta_w[j] * x0) * b.inv_wd[j];
      // Negative when the step can exceed the peak: d < 0, or the free vibration reaches past d.
      const double d = pk[j] - std::max(std::abs(p0), std::abs(p1));
      margin[j] = std::min(d, d * d - (x0 * x0 + y * y)) + b.dense[j];
      u0[j] = u[j];
      v0[j] = v[j];
      const double un = b.a11[j] * u[j] + b.a12[j] * v[j] + (b.b11[j] * g0 + b.b12[j] * g1);
      const double vn = b.a21[j] * u[j] + b.a22[j] * v[j] + (b.b21[j] * g0 + b.b22[j] * g1);
      u[j] = un;
      v[j] = vn;
      pk[j] = std::max(pk[j], std::abs(un));
    }
    int refine = 0;
    for (int j = 0; j < lanes; ++j) refine |= margin[j] < 0.0;
    if (refine) {
      for (int j = 0; j < lanes; ++j)
        if (margin[j] < 0.0) pk[j] = std::max(pk[j], sub_sample_peak(b.sub[j], u0[j], v0[j], g0, g1));
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

// The direction peaks of one oscillator and the least of them: a response point no farther
// from the origin than that least peak cannot raise any direction, and one farther away only
// the directions within acos(least / distance) of its own.
class DirectionTracker {
 public:
  void see(double x, double y) {
    const double r2 = x * x + y * y;
    if (r2 <= least_ * least_) return;
    const Directions& t = directions();
    const double r = std::sqrt(r2);
    const double centre = std::atan2(y, x) * 180.0 / std::numbers::pi;
    const double half = std::acos(std::min(1.0, least_ / r)) * 180.0 / std::numbers::pi;
    const int first = static_cast<int>(std::floor(centre - half)) - 1;
    const int last = std::min(static_cast<int>(std::ceil(centre + half)) + 1, first + 179);
    bool least_raised = false;
    for (int d = first; d <= last; ++d) {
      const int k = ((d % 180) + 180) % 180;
      const double projection = std::abs(x * t.cosine[k] + y * t.sine[k]);
      if (projection > peaks_[k]) {
        peaks_[k] = projection;
        least_raised = least_raised || k == least_at_;
      }
    }
    if (least_raised) {
      least_at_ = static_cast<int>(std::min_element(peaks_.begin(), peaks_.end()) - peaks_.begin());
      least_ = peaks_[least_at_];
    }
  }
  double least() const { return least_; }
  const DirectionPeaks& peaks() const { return peaks_; }

 private:
  DirectionPeaks peaks_{};
  double least_ = 0.0;
  int least_at_ = 0;
};

DirectionPeaks pair_peaks(std::span<const double> a1, std::span<const double> a2, double step, double period,
                          double zeta) {
  const double periods[1] = {period};
  const Block b = make_block(periods, zeta, step);
  const OscillatorStep c = oscillator_step(2.0 * std::numbers::pi / period, zeta, step);
  DirectionTracker tracker;
  double u1 = 0, v1 = 0, u2 = 0, v2 = 0;
  const std::size_t n = std::min(a1.size(), a2.size());
  for (std::size_t i = 1; i < n; ++i) {
    if (b.subs[0] > 1) {
      const StepBound s1 = step_bound(b, 0, u1, v1, a1[i - 1], a1[i], step);
      const StepBound s2 = step_bound(b, 0, u2, v2, a2[i - 1], a2[i], step);
      const double reach = std::hypot(s1.particular, s2.particular) + std::sqrt(s1.radius2 + s2.radius2);
      if (reach > tracker.least()) {
        const SubSamples& sub = b.sub[0];
        for (std::size_t q = 0; q < sub.size(); ++q)
          tracker.see(sub.at(q, u1, v1, a1[i - 1], a1[i]), sub.at(q, u2, v2, a2[i - 1], a2[i]));
      }
    }
    const double n1 = c.a11 * u1 + c.a12 * v1 + (c.b11 * a1[i - 1] + c.b12 * a1[i]);
    v1 = c.a21 * u1 + c.a22 * v1 + (c.b21 * a1[i - 1] + c.b22 * a1[i]);
    u1 = n1;
    const double n2 = c.a11 * u2 + c.a12 * v2 + (c.b11 * a2[i - 1] + c.b12 * a2[i]);
    v2 = c.a21 * u2 + c.a22 * v2 + (c.b21 * a2[i - 1] + c.b22 * a2[i]);
    u2 = n2;
    tracker.see(u1, u2);
  }
  return tracker.peaks();
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
  for (const double period : periods) peaks.push_back(pair_peaks(acceleration1, acceleration2, step, period, zeta));
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
    if (components.size() < 2) continue;
    const std::size_t first = curves.size() - components.size();
    if (!request.rotd_percentiles.empty()) {
      const auto pairs = direction_peaks(components[0], components[1], step, periods, zeta);
      for (const double p : request.rotd_percentiles) {
        std::vector<double> sd;
        for (const auto& peaks : pairs) sd.push_back(rotd(peaks, p));
        char name[32];
        std::snprintf(name, sizeof name, "rotd%g", p);
        add(name, zeta, std::move(sd));
      }
    }
    std::vector<double> sd;
    for (std::size_t k = 0; k < periods.size(); ++k) sd.push_back(std::sqrt(curves[first].sd[k] * curves[first + 1].sd[k]));
    add("geomean", zeta, std::move(sd));
  }
  return curves;
}

}  // namespace motion
