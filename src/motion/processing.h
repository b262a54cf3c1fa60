// Record processing: from a raw acceleration record to one whose velocity and displacement end
// at rest. Mean (or line) removed, Hann taper, zeros at both ends, zero-phase Butterworth gains
// applied once in the frequency domain, then a polynomial baseline fitted to the displacement.
// Velocity and displacement are the trapezoid rule from rest, as the intensity measures have
// them, so that what is checked here is what the measures and the solver's input show.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace motion {

// The ends of a component's velocity and displacement, and their peaks, integrated from rest.
struct Drift {
  double final_velocity = 0.0;      // in the acceleration's unit times s
  double final_displacement = 0.0;  // in the acceleration's unit times s2
  double pgv = 0.0;
  double pgd = 0.0;
};

Drift drift_of(std::span<const double> acceleration, double step);

// What a processed record may keep: |final velocity| <= 1 % of PGV, |final displacement| <= 5 %
// of PGD. A record without motion (PGV and PGD 0) is within them.
inline constexpr double velocity_drift_limit = 0.01;
inline constexpr double displacement_drift_limit = 0.05;
bool within_drift_limits(const Drift& drift);

// Takes from `acceleration` the second derivative of the polynomial c2 t^2 + ... + c6 t^6 (t from
// the first point) fitted by least squares to its displacement. The polynomial has no constant or
// linear term, so the record still starts at rest. The fit is to the displacement the trapezoid
// rule gives, with the polynomial's part integrated by the same rule: a drift of that form is
// removed to rounding. Fewer than 6 points, or a step that is not positive: nothing is done.
void remove_poly6_baseline(std::span<double> acceleration, double step);

enum class Baseline {
  none,    // nothing taken away
  mean,    // the mean of the record
  linear,  // a straight line fitted to the whole record
  poly6,   // the mean first, and after the filters the polynomial above
};
std::string_view baseline_name(Baseline baseline);
std::optional<Baseline> baseline_from_name(std::string_view name);

// The candidate corners of an automatic high-pass: 0.02 x 1.25^k Hz up to 1 Hz.
inline constexpr double auto_highpass_first = 0.02, auto_highpass_ratio = 1.25, auto_highpass_last = 1.0;

struct ProcessingOptions {
  std::optional<double> highpass;  // Hz, the corner (gain 1/sqrt(2))
  bool highpass_auto = false;      // the lowest candidate corner that meets the drift limits
  std::optional<double> lowpass;   // Hz
  int order = 4;                   // of both filters
  double taper = 0.05;             // share of the length tapered at each end
  std::optional<double> pad;       // s of zeros at each end; none: half of 1.5 N / f_highpass
  // None: poly6 when a high-pass is given, the mean otherwise.
  std::optional<Baseline> baseline;
  bool trim = false;  // cut the padding back to the record's own span
};

// The options cannot process a record of this step.
enum class ProcessingFault {
  highpass_at_nyquist,  // a high-pass at or above half the sampling rate
  lowpass_at_nyquist,   // a low-pass at or above half the sampling rate
  lowpass_below_highpass,
  order_outside,   // order outside 1..8
  taper_outside,   // taper outside 0..0.5
  corner_not_positive,
  pad_negative,
};
std::optional<ProcessingFault> processing_fault(const ProcessingOptions& options, double step);
// The fault in words, for the command line (English) and the dialogs.
std::string fault_text(ProcessingFault fault, const ProcessingOptions& options, double step, bool romanian = false);

struct ProcessingStep {
  enum class Kind { mean, line, taper, pad, highpass, lowpass, trim, poly6 } kind;
  double value = 0.0;   // taper share, pad seconds, corner Hz
  int order = 0;        // filters
  bool chosen = false;  // a high-pass corner chosen by `auto`
  bool met = true;      // ... and the record meets the drift limits with it
};
// "high-pass 0.10 Hz, order 4, acausal" and the like.
std::string step_text(const ProcessingStep& step, bool romanian = false);

struct ProcessedRecord {
  std::vector<std::vector<double>> components;  // of equal length, at the record's step
  double lead = 0.0;  // s of zeros added before the record's first point (0 when trimmed)
  std::vector<ProcessingStep> steps;
  std::vector<Drift> drift;            // of each component as processed
  std::optional<double> highpass;      // Hz, the corner used
  std::optional<double> usable_period; // s, 1 / (1.25 f_highpass)
  bool within_limits = true;           // every component within the drift limits
  // ... judged at the record's own last point, integrated from the output's first: the padding
  // kept, its far end is at rest whatever the corner (a high-pass leaves no content at 0 Hz), so
  // only this tells whether the ground is at rest when the recorded motion ends.
  bool record_end_within_limits = true;
  // The first component outside the drift limits, when one is.
  std::optional<std::size_t> drifting_component() const;
};

// The smallest length >= n of factors 2, 3, 5 and 7 only, the length the filters transform.
int fft_length(std::size_t n);

// The record's components (equal length, uniform `step`) processed; the options must have no
// fault for this step. An automatic high-pass is the lowest candidate with which the record's
// own span ends within the limits (`record_end_within_limits`); with none, the last candidate.
ProcessedRecord process_record(const std::vector<std::vector<double>>& components, double step,
                               const ProcessingOptions& options);

}  // namespace motion
