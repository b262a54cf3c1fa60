#include "motion/matching.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "motion/matching_internal.h"
#include "motion/processing.h"
#include "motion/spectrum.h"
#include "motion/units.h"

namespace motion {

// How the iteration is kept converging
// ------------------------------------
// Each iteration takes one linear step (matching_step.cpp: thinning and the cap on a wavelet's
// amplitude live there). The system is linear, but the peaks are not: after a step a peak may
// move to another time, or another cycle may overtake it. Around the step:
// - Greedy pass: the matching periods are sparser than the judging grid, and between them the
//   spectrum may stay off; each iteration the worst period of the judging grid joins the
//   matching periods, one wavelet more.
// - Relaxation: a step is kept only when it lowers the misfit on the judging grid; otherwise it
//   is taken back and the next one tried with half the relaxation factor (the fraction of the
//   solved amplitudes added). A kept step lets the factor grow back towards `relaxation_cap`.
//   When the factor has fallen below 1% the periods the greedy pass added are dropped and the
//   factor starts again (twice at most): those periods can pull against one another.
// - Padding: the record is padded with zeros at both ends so that no wavelet is cut (a cut
//   wavelet leaves a velocity step); the padding kept is only what the wavelets reach into.
// - The end: every round ends with the record brought to rest (matching_baseline.cpp), and a
//   round of matching follows when that moved the spectrum out of tolerance. The last round
//   ends with the correction too, so a record is never handed back drifting for want of it;
//   only a seed that scaling alone matched comes back as it is, drift and all, and says so.
namespace {

using detail::end_at_rest;
using detail::padded;

constexpr int matching_periods_per_decade = 40;
// The largest fraction of a solved step taken: a whole step overshoots where peaks move.
constexpr double relaxation_cap = 0.7;
// At most this many rounds of matching and baseline correction: the correction moves the long
// periods a little, and a round after it matches them again.
constexpr int rounds = 3;

bool better(const Misfit& a, const Misfit& b) { return a.max + a.mean < b.max + b.mean; }

}  // namespace

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
    sd = rotd100_peaks(components[0], components[1], step, periods, zeta);
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

MatchSeed match_seed(const std::vector<std::vector<double>>& components, double step) {
  MatchSeed seed{components, step};
  for (auto& c : seed.components)
    for (double& a : c) a = static_cast<float>(a);
  if (step > 0.0 && std::isfinite(step)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5e", step);
    const double decimal = std::strtod(text, nullptr);
    if (std::abs(decimal - step) <= 1e-6 * step) seed.step = decimal;
  }
  return seed;
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
  detail::StepCache cache;  // of `buffer` as it stands
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
  bool try_step(std::vector<AddedWavelet>& step_wavelets);
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
  cache.clear();
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
  std::vector<AddedWavelet> step_wavelets = detail::plan_step(buffer, step, matching, sd, zeta, relaxation, cache);
  if (try_step(step_wavelets)) {
    relaxation = std::min(relaxation_cap, relaxation * 1.5);
  } else {
    relaxation *= 0.5;
    // Stuck: the periods the greedy pass added may pull against one another. Start again
    // from the even matching periods, up to twice.
    if (relaxation < 0.01) {
      if (++restarts > 2) return void(round_stopped = true);
      relaxation = relaxation_cap;
      matching = judging_periods(request.from, request.to, matching_periods_per_decade);
    }
  }
  // The greedy pass: the worst period of the judging grid joins the matching periods.
  const auto near = std::find_if(matching.begin(), matching.end(),
                                 [&](double t) { return std::abs(t / current.worst_period - 1.0) < 1e-9; });
  if (near == matching.end()) matching.insert(std::upper_bound(matching.begin(), matching.end(), current.worst_period), current.worst_period);
}

// Adds the step's wavelets to a copy of the buffer, grown where a wavelet would be cut, and
// keeps it when it lowers the misfit.
bool RecordMatch::State::try_step(std::vector<AddedWavelet>& step_wavelets) {
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
  if (!better(fit, current)) return false;
  buffer = std::move(trial);
  cache.clear();
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
  return true;
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
  for (const auto& c : r.components) r.at_rest = r.at_rest && within_drift_limits(drift_of(c, s.step));
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
