#include "motion/matching.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>

#include "motion/processing.h"
#include "motion/spectrum.h"
#include "motion/units.h"

namespace motion {

// How the match is kept stable
// ----------------------------
// Each iteration solves C b = dR: dR[i] is what oscillator i lacks at the time of its peak,
// C[i][j] the response of oscillator i at that time to wavelet j of unit amplitude, both along
// the direction of oscillator i's peak (for a pair, the direction of RotD100). The system is
// linear, but the peaks are not: after a step a peak may move to another time, or another
// cycle may overtake it. Four safeguards keep the iteration converging:
// - Thinning: oscillators of near periods peaking at near times give near-equal columns, and
//   C is then ill-conditioned: their amplitudes come out huge and of opposite signs. The
//   system is solved by QR with column pivoting; a column whose pivot is below
//   `pivot_threshold` of the largest adds nothing the kept ones do not give, and its wavelet is
//   left out (its target still counts, in the least-squares sense).
// - Greedy pass: the matching periods are sparser than the judging grid, and between them the
//   spectrum may stay off; each iteration the worst period of the judging grid joins the
//   matching periods, one wavelet more.
// - Relaxation: a step is kept only when it lowers the misfit on the judging grid; otherwise it
//   is taken back and the next one tried with half the relaxation factor (the fraction of the
//   solved amplitudes added). A kept step lets the factor grow back towards `relaxation_cap`.
//   A step whose largest wavelet would exceed the record's peak acceleration is shrunk to it.
//   When the factor has fallen below 1% the periods the greedy pass added are dropped and the
//   factor starts again (twice at most): those periods can pull against one another.
// - Padding: the record is padded with zeros at both ends so that no wavelet is cut (a cut
//   wavelet leaves a velocity step); the padding kept is only what the wavelets reach into.
// - The end: a component that drifts beyond the limits of record processing gets its polynomial
//   baseline, and a round of matching follows when that moved the spectrum out of tolerance.
namespace {

constexpr double pivot_threshold = 0.05;
constexpr int matching_periods_per_decade = 40;
// The largest fraction of a solved step taken: a whole step overshoots where peaks move.
constexpr double relaxation_cap = 0.7;
// At most this many rounds of matching and baseline correction: the correction moves the long
// periods a little, and a round after it matches them again.
constexpr int rounds = 3;

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

// The response at sub-step `target` (counted from sample 0) to `values` standing at samples
// first, first + 1, ..., zero elsewhere, from rest: at the first sample, or (`from_zero`) at
// the sample before it, the input rising from zero as it does within a longer record. After the last value the input is zero,
// and the free vibration is carried to the target in one exact step.
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

// The response of the oscillator to a unit hat at one sample (rising from the sample before,
// falling to the one after), from rest, at each sub-step from the hat's start: entry m is the
// response at lag m - subs sub-steps after the sample, for lags up to `lag_max`. The recurrence
// is linear and the same at every step, so the response at a time to any input sampled on the
// record's step is the sum of its samples times this at their lags: one pass of the recurrence
// an oscillator gives its response to every wavelet, where a pass a wavelet would cost as many
// passes as there are wavelets.
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

struct Placed {
  Wavelet shape;
  long first = 0;  // sample of the first value
  std::vector<double> values;
};

Placed place(double period, double zeta, double centre, double step) {
  Placed p{make_wavelet(period, zeta), 0, {}};
  p.first = static_cast<long>(std::floor((centre - p.shape.reach()) / step));
  const long last = static_cast<long>(std::ceil((centre + p.shape.reach()) / step));
  for (long k = p.first; k <= last; ++k) p.values.push_back(p.shape.value(static_cast<double>(k) * step - centre));
  return p;
}

// How far a component is from the drift limits: at most 1 within them.
double drift_ratio(const Drift& d) {
  const double v = d.pgv > 0 ? std::abs(d.final_velocity) / (velocity_drift_limit * d.pgv) : 0.0;
  const double u = d.pgd > 0 ? std::abs(d.final_displacement) / (displacement_drift_limit * d.pgd) : 0.0;
  return std::max(v, u);
}

// Record processing's polynomial baseline, where the component drifts. The polynomial is fitted
// to the whole displacement, real long-period motion included: on a record that ends at rest it
// takes some of that motion and leaves a drift, so it is kept only when it lowers the drift.
void end_at_rest(std::vector<double>& acceleration, double step) {
  const Drift before = drift_of(acceleration, step);
  if (within_drift_limits(before)) return;
  std::vector<double> corrected = acceleration;
  remove_poly6_baseline(corrected, step);
  if (drift_ratio(drift_of(corrected, step)) < drift_ratio(before)) acceleration = std::move(corrected);
}

bool better(const Misfit& a, const Misfit& b) { return a.max + a.mean < b.max + b.mean; }

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

}  // namespace

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

std::vector<double> judging_periods(double from, double to, int per_decade) {
  if (!(to > from)) return {from};
  const auto count = static_cast<std::size_t>(std::llround(per_decade * std::log10(to / from))) + 1;
  return log_periods(from, to, std::max<std::size_t>(2, count));
}

std::vector<double> matched_psa(const std::vector<std::vector<double>>& components, double step,
                                std::span<const double> periods, double zeta) {
  std::vector<double> sd;
  if (components.size() == 1) {
    sd = peak_displacements(components[0], step, periods, zeta);
  } else {
    for (const auto& peaks : direction_peaks(components[0], components[1], step, periods, zeta)) sd.push_back(rotd(peaks, 100.0));
  }
  for (std::size_t k = 0; k < periods.size(); ++k) sd[k] *= std::pow(2.0 * std::numbers::pi / periods[k], 2);
  return sd;
}

Misfit misfit_of(std::span<const double> periods, std::span<const double> psa, std::span<const double> target) {
  Misfit m;
  for (std::size_t k = 0; k < periods.size(); ++k) {
    const double e = std::abs(psa[k] / target[k] - 1.0);
    m.mean += e / static_cast<double>(periods.size());
    if (e > m.max || k == 0) m.max = e, m.worst_period = periods[k];
  }
  return m;
}

std::string match_request_problem(const MatchRequest& r, std::size_t points, double step) {
  if (!(r.tolerance > 0.0) || !std::isfinite(r.tolerance)) return "the tolerance must be above 0";
  if (!(r.damping >= 0.0 && r.damping < 1.0)) return "the damping ratio must be at least 0 and below 1";
  if (!(r.from > 0.0) || !(r.to > r.from) || !std::isfinite(r.to)) return "the matching range must be TA:TB with 0 < TA < TB";
  if (r.periods_per_decade < 2 || r.periods_per_decade > 10000) return "the periods a decade must be from 2 to 10000";
  if (r.max_iterations < 1 || r.max_iterations > 10000) return "the iterations must be from 1 to 10000";
  if (points < 2 || !(step > 0.0)) return "the record has fewer than two points";
  const double shortest = 5.0 * step * (1.0 - 1e-9), longest = 0.5 * step * static_cast<double>(points - 1) * (1.0 + 1e-9);
  if (r.from < shortest || r.to > longest) {
    char text[200];
    std::snprintf(text, sizeof text, "the range %g-%g s goes beyond the record's usable periods (%g-%g s)", r.from, r.to,
                  5.0 * step, 0.5 * step * static_cast<double>(points - 1));
    return text;
  }
  return {};
}

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
  return response_of(acceleration.data(), acceleration.size(), 0, g, std::lround(time / g.h), false);
}

std::vector<AddedWavelet> plan_step(const std::vector<std::vector<double>>& components, double step,
                                    std::span<const double> periods, std::span<const double> target_sd, double zeta,
                                    double relaxation) {
  const std::size_t n = periods.size();
  std::vector<AddedWavelet> wavelets(n);
  std::vector<Placed> placed;
  Eigen::VectorXd change(static_cast<Eigen::Index>(n));
  for (std::size_t i = 0; i < n; ++i) {
    AddedWavelet& w = wavelets[i];
    w.period = periods[i];
    w.peak = peak_response(components, step, periods[i], zeta);
    w.direction = w.peak.direction;
    w.centre = w.peak.time - make_wavelet(periods[i], zeta).shift;
    placed.push_back(place(periods[i], zeta, w.centre, step));
    change(static_cast<Eigen::Index>(i)) = target_sd[i] - w.peak.value;
  }
  Eigen::MatrixXd c(static_cast<Eigen::Index>(n), static_cast<Eigen::Index>(n));
  long earliest = 0;
  for (const Placed& p : placed) earliest = std::min(earliest, p.first);
  for (std::size_t i = 0; i < n; ++i) {
    const Grid g(periods[i], zeta, step);
    const long target = std::lround(wavelets[i].peak.time / g.h);
    const std::vector<double> hat = hat_response(g, target - earliest * g.subs);
    for (std::size_t j = 0; j < n; ++j) {
      const double along = wavelets[i].direction[0] * wavelets[j].direction[0] + wavelets[i].direction[1] * wavelets[j].direction[1];
      double response = 0.0;
      // Samples at or after the target's sample add nothing once the hat before them has not begun.
      const std::vector<double>& f = placed[j].values;
      for (std::size_t k = 0; k < f.size() && along != 0.0; ++k) {
        const long lag = target - (placed[j].first + static_cast<long>(k)) * g.subs;
        if (lag <= -g.subs) break;
        response += f[k] * hat[static_cast<std::size_t>(lag + g.subs)];
      }
      c(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) = along * response;
    }
  }
  // Rows as fractions of the target and columns of unit length: responses in metres grow as
  // the square of the period, and a pivot compared with the largest of an unscaled C would
  // thin the short periods away.
  Eigen::VectorXd row(static_cast<Eigen::Index>(n)), column(static_cast<Eigen::Index>(n));
  for (std::size_t i = 0; i < n; ++i) row(static_cast<Eigen::Index>(i)) = 1.0 / target_sd[i];
  c = row.asDiagonal() * c;
  for (Eigen::Index j = 0; j < c.cols(); ++j) {
    const double norm = c.col(j).norm();
    column(j) = norm > 0.0 ? 1.0 / norm : 0.0;
  }
  c = c * column.asDiagonal();
  Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(c);
  qr.setThreshold(pivot_threshold);
  // The basic solution of the columns kept: Eigen's own solve keeps every column above
  // round-off, whatever threshold is set.
  const Eigen::Index rank = qr.rank();
  const Eigen::VectorXd rotated = qr.householderQ().adjoint() * Eigen::VectorXd(row.asDiagonal() * change);
  const Eigen::VectorXd kept_values =
      qr.matrixQR().topLeftCorner(rank, rank).triangularView<Eigen::Upper>().solve(rotated.head(rank));
  Eigen::VectorXd b = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(n));
  for (Eigen::Index k = 0; k < rank; ++k) b(qr.colsPermutation().indices()(k)) = kept_values(k) * column(qr.colsPermutation().indices()(k));
  // No wavelet stronger than the record's peak: larger amplitudes come from near-dependent
  // columns the thinning kept, cancel in the responses at the peak times, and leave a drift
  // and new peaks elsewhere. The whole step shrinks, keeping its direction.
  double peak = 0.0;
  for (const auto& component : components)
    for (const double a : component) peak = std::max(peak, std::abs(a));
  const double largest = relaxation * b.cwiseAbs().maxCoeff();
  const double shrink = largest > peak && peak > 0.0 ? peak / largest : 1.0;
  std::vector<AddedWavelet> kept;
  for (std::size_t j = 0; j < n; ++j) {
    const double amplitude = shrink * relaxation * b(static_cast<Eigen::Index>(j));
    if (amplitude == 0.0 || !std::isfinite(amplitude)) continue;
    wavelets[j].amplitude = amplitude;
    kept.push_back(wavelets[j]);
  }
  return kept;
}

void add_wavelets(std::vector<std::vector<double>>& components, double step, double zeta,
                  std::span<const AddedWavelet> wavelets) {
  for (const AddedWavelet& w : wavelets) {
    const Placed p = place(w.period, zeta, w.centre, step);
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

struct RecordMatch::State {
  MatchRequest request;
  const DesignSpectrum target;
  double step = 0.0, zeta = 0.0;
  MatchResult r;
  std::vector<double> periods, goal, matching;
  std::size_t seed_points = 0, margin = 0;
  std::vector<std::vector<double>> record, buffer;
  std::size_t seed_first = 0;  // where the seed starts in `record`, then in `buffer`
  // The samples of `buffer` the result keeps: the record so far and whatever the wavelets reach.
  long kept_first = 0, kept_last = 0;
  double relaxation = relaxation_cap;
  int restarts = 0, round = 0;
  Misfit current;
  std::size_t accepted_here = 0;
  bool finished = false, round_stopped = false;

  State(const DesignSpectrum& t, const MatchRequest& q) : request(q), target(t) {}
  bool start(const std::vector<std::vector<double>>& components);
  double target_sd(double period) const {
    return *target.psa_g(period, zeta) * unit_in_m_s2(Unit::g) / std::pow(2.0 * std::numbers::pi / period, 2);
  }
  void begin_round();
  bool round_goes_on() const {
    return !round_stopped && r.iterations < request.max_iterations && current.max > request.tolerance * 0.5;
  }
  void iterate();
  void end_round();
  void settle() {
    while (!finished && !round_goes_on()) end_round();
  }
};

bool RecordMatch::State::start(const std::vector<std::vector<double>>& components) {
  if (components.empty() || components.size() > 2)
    return r.problem = "give one component, or two horizontal ones to match on RotD100", false;
  if (components.size() == 2 && components[0].size() != components[1].size())
    return r.problem = "the two components differ in length", false;
  if (r.problem = match_request_problem(request, components[0].size(), step); !r.problem.empty()) return false;
  zeta = request.damping;
  const double g = unit_in_m_s2(Unit::g);
  periods = judging_periods(request.from, request.to, request.periods_per_decade);
  std::vector<std::optional<double>> goal_optional;
  for (const double t : periods) {
    const auto psa = target.psa_g(t, zeta);
    if (!psa || !(*psa > 0.0)) return r.problem = "the target is not defined over the whole range", false;
    goal.push_back(*psa * g);
    goal_optional.push_back(*psa * g);
  }
  const std::vector<double> seed_psa = matched_psa(components, step, periods, zeta);
  if (std::any_of(seed_psa.begin(), seed_psa.end(), [](double x) { return !(x > 0.0) || !std::isfinite(x); }))
    return r.problem = "the record has no response at some periods of the range", false;
  const ScaleFactor factor = scale_factor(periods, seed_psa, goal_optional, request.from, request.to, ScaleRule::fit);
  if (!factor.problem.empty()) return r.problem = factor.problem, false;
  r.seed_factor = factor.factor;
  r.scaled_seed = components;
  for (auto& c : r.scaled_seed)
    for (double& x : c) x *= r.seed_factor;
  std::vector<double> scaled_psa = seed_psa;
  for (double& x : scaled_psa) x *= r.seed_factor;
  r.before = r.after = current = misfit_of(periods, scaled_psa, goal);
  r.components = r.scaled_seed;
  if (r.before.max <= request.tolerance) return false;
  matching = judging_periods(request.from, request.to, matching_periods_per_decade);
  seed_points = components[0].size();
  margin = static_cast<std::size_t>(std::ceil((make_wavelet(request.to, zeta).reach() + request.to) / step)) + 2;
  record = r.scaled_seed;
  return true;
}

void RecordMatch::State::begin_round() {
  buffer = padded(record, margin, margin);
  seed_first += margin;
  kept_first = static_cast<long>(margin);
  kept_last = static_cast<long>(margin + record[0].size()) - 1;
  current = misfit_of(periods, matched_psa(buffer, step, periods, zeta), goal);
  accepted_here = 0;
  round_stopped = false;
}

void RecordMatch::State::iterate() {
  ++r.iterations;
  std::vector<double> sd;
  for (const double t : matching) sd.push_back(target_sd(t));
  std::vector<AddedWavelet> step_wavelets = plan_step(buffer, step, matching, sd, zeta, relaxation);
  // Grow the padding where a wavelet would be cut.
  long low = 0, high = static_cast<long>(buffer[0].size()) - 1;
  for (const AddedWavelet& w : step_wavelets) {
    const double reach = make_wavelet(w.period, zeta).reach();
    low = std::min(low, static_cast<long>(std::floor((w.centre - reach) / step)) - 1);
    high = std::max(high, static_cast<long>(std::ceil((w.centre + reach) / step)) + 1);
  }
  const auto grow_front = static_cast<std::size_t>(-low);
  const auto grow_back = static_cast<std::size_t>(high - (static_cast<long>(buffer[0].size()) - 1));
  std::vector<std::vector<double>> trial = grow_front + grow_back > 0 ? padded(buffer, grow_front, grow_back) : buffer;
  for (AddedWavelet& w : step_wavelets) w.centre += static_cast<double>(grow_front) * step;
  add_wavelets(trial, step, zeta, step_wavelets);
  const Misfit fit = misfit_of(periods, matched_psa(trial, step, periods, zeta), goal);
  if (better(fit, current)) {
    buffer = std::move(trial);
    seed_first += grow_front;
    kept_first += static_cast<long>(grow_front);
    kept_last += static_cast<long>(grow_front);
    for (const AddedWavelet& w : step_wavelets) {
      const double reach = make_wavelet(w.period, zeta).reach();
      kept_first = std::min(kept_first, static_cast<long>(std::floor((w.centre - reach) / step)));
      kept_last = std::max(kept_last, static_cast<long>(std::ceil((w.centre + reach) / step)));
    }
    current = fit;
    r.wavelets += step_wavelets.size();
    accepted_here += step_wavelets.size();
    relaxation = std::min(relaxation_cap, relaxation * 1.5);
  } else {
    relaxation *= 0.5;
    // Stuck: the periods the greedy pass added may pull against one another. Start again
    // from the even matching periods, up to twice.
    if (relaxation < 0.01) {
      if (++restarts > 2) {
        round_stopped = true;
      } else {
        relaxation = relaxation_cap;
        matching = judging_periods(request.from, request.to, matching_periods_per_decade);
      }
    }
  }
  if (round_stopped) return;
  // The greedy pass: the worst period of the judging grid joins the matching periods.
  const auto near = std::find_if(matching.begin(), matching.end(),
                                 [&](double t) { return std::abs(t / current.worst_period - 1.0) < 1e-9; });
  if (near == matching.end()) matching.insert(std::upper_bound(matching.begin(), matching.end(), current.worst_period), current.worst_period);
}

// The baseline correction of the round's record, and the next round when it moved the spectrum
// out of tolerance.
void RecordMatch::State::end_round() {
  if (accepted_here == 0) {
    seed_first -= margin;
    finished = true;
    return;
  }
  kept_first = std::max(kept_first, 0L);
  kept_last = std::min(kept_last, static_cast<long>(buffer[0].size()) - 1);
  record.clear();
  for (auto& c : buffer) {
    record.emplace_back(c.begin() + kept_first, c.begin() + kept_last + 1);
    end_at_rest(record.back(), step);
  }
  seed_first -= static_cast<std::size_t>(kept_first);
  r.after = current = misfit_of(periods, matched_psa(record, step, periods, zeta), goal);
  if (r.after.max <= request.tolerance || ++round >= rounds || r.iterations >= request.max_iterations || r.cancelled) {
    finished = true;
    return;
  }
  begin_round();
}

RecordMatch::RecordMatch(const std::vector<std::vector<double>>& components, double step, const DesignSpectrum& target,
                         const MatchRequest& request)
    : state_(std::make_unique<State>(target, request)) {
  state_->step = step;
  if (!state_->start(components)) {
    state_->finished = true;
    return;
  }
  state_->begin_round();
  state_->settle();
}

RecordMatch::RecordMatch(RecordMatch&&) noexcept = default;
RecordMatch::~RecordMatch() = default;

bool RecordMatch::done() const { return state_->finished; }
int RecordMatch::iterations() const { return state_->r.iterations; }
const Misfit& RecordMatch::misfit() const { return state_->current; }

void RecordMatch::iterate() {
  if (state_->finished) return;
  state_->iterate();
  state_->settle();
}

MatchResult RecordMatch::finish() {
  State& s = *state_;
  if (!s.finished) {
    s.r.cancelled = true;
    s.end_round();
  }
  MatchResult r = std::move(s.r);
  if (!r.problem.empty()) return r;
  if (r.wavelets > 0) {
    r.components = s.record;
    r.lead_in = s.seed_first;
    r.lead_out = s.record[0].size() - s.seed_first - s.seed_points;
  }
  r.within_tolerance = r.after.max <= s.request.tolerance;
  return r;
}

MatchResult match_record(const std::vector<std::vector<double>>& components, double step, const DesignSpectrum& target,
                         const MatchRequest& request, const MatchProgress& progress) {
  RecordMatch match(components, step, target, request);
  while (!match.done()) {
    if (progress && !progress(match.iterations(), match.misfit())) break;
    match.iterate();
  }
  return match.finish();
}

}  // namespace motion
