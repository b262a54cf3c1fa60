// Spectral matching in the time domain: a record (one component, or a horizontal pair judged on
// RotD100) adjusted by wavelets until its elastic spectrum fits a design spectrum over a period
// range, then baseline-corrected so that it ends at rest.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "motion/design_spectrum.h"

namespace motion {

// The improved tapered cosine wavelet of one oscillator (period, damping ratio):
// f(x) = cos(omega_d x) exp(-(x / gamma)^2), x the time from the wavelet's centre, with
// omega_d = omega sqrt(1 - zeta^2), gamma = 1.178 f^-0.93 and the centre `shift` seconds before
// the time at which the oscillator's response to it peaks. Its integral is
// gamma sqrt(pi) exp(-(omega_d gamma / 2)^2): the net velocity it leaves is tiny, and it makes
// no displacement drift that the final baseline step cannot take out.
struct Wavelet {
  double omega_d = 0.0;  // rad/s
  double gamma = 0.0;    // s
  double shift = 0.0;    // s
  double value(double from_centre) const;
  // Beyond this distance from the centre the envelope is below exp(-16): the wavelet is taken
  // as zero there, and the record is padded so that no wavelet is cut short of it.
  double reach() const { return 4.0 * gamma; }
};
Wavelet make_wavelet(double period, double zeta);

struct MatchRequest {
  double from = 0.0, to = 0.0;  // s, the period range matched
  double damping = 0.05;
  double tolerance = 0.10;       // largest |PSA / target - 1| accepted on the judging grid
  int periods_per_decade = 100;  // of the judging grid
  int max_iterations = 40;
};

struct Misfit {
  double max = 0.0, mean = 0.0;  // of |PSA / target - 1|, ratios
  double worst_period = 0.0;     // s
};

struct MatchResult {
  std::string problem;  // why the record cannot be matched; the rest is empty then
  double seed_factor = 1.0;
  // The matched components in m/s2 at the seed's step: the seed scaled by `seed_factor` and
  // delayed by `lead_in` samples, with the wavelets and the baseline correction.
  std::vector<std::vector<double>> components;
  std::vector<std::vector<double>> scaled_seed;  // the seed times `seed_factor`
  std::size_t lead_in = 0, lead_out = 0;         // samples of padding before and after the seed
  Misfit before, after;                          // of the scaled seed and of the matched record
  std::size_t wavelets = 0;
  int iterations = 0;
  bool within_tolerance = false;
  // Every component ends within the drift limits of record processing. The matcher brings what
  // it adjusted to rest; a seed that scaling alone matched comes back as it is and may not be.
  bool at_rest = true;
  bool cancelled = false;
};

// The periods the misfit is judged on: `per_decade` a decade from `from` to `to`, even in log.
std::vector<double> judging_periods(double from, double to, int per_decade);

// The PSA (m/s2) the match is judged on: of the one component, or RotD100 of a pair.
std::vector<double> matched_psa(const std::vector<std::vector<double>>& components, double step,
                                std::span<const double> periods, double zeta);

// |psa / target - 1| over the periods.
Misfit misfit_of(std::span<const double> periods, std::span<const double> psa, std::span<const double> target);

// The reason `request` cannot be matched on a record of `points` samples of `step`; empty when it can.
// The shortest period needs at least 5 samples, the longest at most half the record's duration:
// a wavelet longer than the shaking it adjusts is mostly padding.
std::string match_request_problem(const MatchRequest& request, std::size_t points, double step);

// The numbers a match runs on. A case keeps its points in single precision and gives its step
// from single-precision times; a file read gives doubles. The greedy pass and the relaxation
// decide on misfits that rounding in the eighth digit can tip, so the same record matched from a
// file and from a case could take different wavelets. Both are matched on these: every sample
// at single precision (m/s2), the step to six significant digits when it is within a millionth
// of that (a step read from a file is such a decimal; one from a case's times differs from it
// in the eighth digit).
struct MatchSeed {
  std::vector<std::vector<double>> components;
  double step = 0.0;
};
MatchSeed match_seed(const std::vector<std::vector<double>>& components, double step);

// Called between iterations with the iteration just done and the misfit so far; false cancels.
using MatchProgress = std::function<bool(int iteration, const Misfit& misfit)>;

// A match carried out one iteration at a time, for a caller that runs each under a progress bar
// and may stop between them. The record and target are copied in; nothing else is kept.
class RecordMatch {
 public:
  RecordMatch(const std::vector<std::vector<double>>& components, double step, const DesignSpectrum& target,
              const MatchRequest& request);
  RecordMatch(RecordMatch&&) noexcept;
  ~RecordMatch();
  // Nothing left to do: matched, refused, stopped above the tolerance or out of iterations.
  bool done() const;
  // One iteration, and the baseline correction of a round that it ends.
  void iterate();
  int iterations() const;
  const Misfit& misfit() const;  // on the judging grid, of the record so far
  // The result; a match not done is cancelled where it stands (its record as far as it got).
  MatchResult finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Matches one component, or two horizontal ones on RotD100, in m/s2 of uniform `step`.
MatchResult match_record(const std::vector<std::vector<double>>& components, double step, const DesignSpectrum& target,
                         const MatchRequest& request, const MatchProgress& progress = {});

// The peak of an oscillator's response to the record, on the grid of `sub_steps` a record step:
// its time (s from the first sample), magnitude (m) and unit direction in the plane of the
// components (for one component, +1 or -1 in the first entry).
struct PeakResponse {
  double time = 0.0, value = 0.0;
  std::array<double, 2> direction{1.0, 0.0};
};
PeakResponse peak_response(const std::vector<std::vector<double>>& components, double step, double period, double zeta);

// The displacement (m) of an oscillator starting at rest at the first sample, at `time` (s,
// rounded to the grid of `peak_response`).
double response_at(std::span<const double> acceleration, double step, double period, double zeta, double time);

// One step of the method: the wavelets that move each oscillator of `periods`, along the
// direction of its peak, so that its response at the time of its peak becomes `target_sd`
// (the change times `relaxation`). Wavelets whose columns of the system add nothing the others
// do not already give are left out.
struct AddedWavelet {
  double period = 0.0, centre = 0.0, amplitude = 0.0;  // s, s from the first sample, m/s2
  std::array<double, 2> direction{1.0, 0.0};
  PeakResponse peak;  // of the oscillator it adjusts, before the step
};
std::vector<AddedWavelet> plan_step(const std::vector<std::vector<double>>& components, double step,
                                    std::span<const double> periods, std::span<const double> target_sd, double zeta,
                                    double relaxation);
// Adds the wavelets to the components; samples beyond the record's ends are dropped (the
// matcher pads first so that there are none).
void add_wavelets(std::vector<std::vector<double>>& components, double step, double zeta,
                  std::span<const AddedWavelet> wavelets);

}  // namespace motion
