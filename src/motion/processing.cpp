#include "motion/processing.h"

#include <fftw3.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace motion {
namespace {

// The displacement of `acceleration` by the trapezoid rule, twice, from rest.
void displacement_of(std::span<const double> acceleration, double step, std::span<double> displacement) {
  double v = 0.0, d = 0.0;
  if (!acceleration.empty()) displacement[0] = 0.0;
  for (std::size_t i = 1; i < acceleration.size(); ++i) {
    const double v_next = v + step * (acceleration[i] + acceleration[i - 1]) / 2;
    d += step * (v_next + v) / 2;
    v = v_next;
    displacement[i] = d;
  }
}

constexpr int poly_lowest = 2, poly_highest = 6, poly_terms = poly_highest - poly_lowest + 1;

}  // namespace

Drift drift_of(std::span<const double> acceleration, double step) {
  Drift drift;
  double v = 0.0, d = 0.0;
  for (std::size_t i = 1; i < acceleration.size(); ++i) {
    const double v_next = v + step * (acceleration[i] + acceleration[i - 1]) / 2;
    d += step * (v_next + v) / 2;
    v = v_next;
    drift.pgv = std::max(drift.pgv, std::fabs(v));
    drift.pgd = std::max(drift.pgd, std::fabs(d));
  }
  drift.final_velocity = v;
  drift.final_displacement = d;
  return drift;
}

bool within_drift_limits(const Drift& drift) {
  return std::fabs(drift.final_velocity) <= velocity_drift_limit * drift.pgv &&
         std::fabs(drift.final_displacement) <= displacement_drift_limit * drift.pgd;
}

void remove_poly6_baseline(std::span<double> acceleration, double step) {
  const std::size_t n = acceleration.size();
  if (n < poly_lowest + poly_terms || !(step > 0.0)) return;
  // In the record's own time s = t / T, 0..1, so that the terms are of one size.
  const double span = static_cast<double>(n - 1) * step;
  const double last = static_cast<double>(n - 1);
  // basis[k n + i]: the displacement of s^k, its acceleration k(k-1) s^(k-2) / T^2 integrated
  // twice by the trapezoid rule, all five integrated side by side in one pass.
  std::vector<double> basis(static_cast<std::size_t>(poly_terms) * n), displacement(n);
  double g_prev[poly_terms] = {}, v[poly_terms] = {}, d[poly_terms] = {};
  for (std::size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / last;
    double power = 1.0;  // s^(k-2)
    for (int k = 0; k < poly_terms; ++k) {
      const int degree = k + poly_lowest;
      const double g = degree * (degree - 1) * power / (span * span);
      power *= s;
      if (i > 0) {
        const double v_next = v[k] + step * (g + g_prev[k]) / 2;
        d[k] += step * (v_next + v[k]) / 2;
        v[k] = v_next;
      }
      g_prev[k] = g;
      basis[static_cast<std::size_t>(k) * n + i] = d[k];
    }
  }
  displacement_of(acceleration, step, displacement);
  // Least squares by the normal equations (5 x 5), one pass of refinement taking back what the
  // Gram matrix's condition cost.
  using Map = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, poly_terms>>;
  const Map b(basis.data(), static_cast<Eigen::Index>(n), poly_terms);
  const Eigen::Map<Eigen::VectorXd> y(displacement.data(), static_cast<Eigen::Index>(n));
  const Eigen::Matrix<double, poly_terms, poly_terms> gram = b.transpose() * b;
  const auto solver = gram.ldlt();
  Eigen::Matrix<double, poly_terms, 1> c = solver.solve(b.transpose() * y);
  c += solver.solve(b.transpose() * (y - b * c));
  for (std::size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / last;
    double value = 0.0;
    for (int k = poly_terms - 1; k >= 0; --k) value = value * s + (k + poly_lowest) * (k + poly_lowest - 1) * c(k);
    acceleration[i] -= value / (span * span);
  }
}

namespace {

// One length's FFT: its buffers and both plans, made once and kept, since planning costs more
// than a transform and a run processes many records of the same few lengths (and an automatic
// high-pass the same record many times).
class FftOfLength {
 public:
  explicit FftOfLength(int length)
      : length_(length),
        real_(fftw_alloc_real(static_cast<std::size_t>(length))),
        spectrum_(fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1))) {
    forward_ = fftw_plan_dft_r2c_1d(length, real_, spectrum_, FFTW_ESTIMATE);
    backward_ = fftw_plan_dft_c2r_1d(length, spectrum_, real_, FFTW_ESTIMATE);
  }
  ~FftOfLength() {
    fftw_destroy_plan(forward_);
    fftw_destroy_plan(backward_);
    fftw_free(real_);
    fftw_free(spectrum_);
  }
  FftOfLength(const FftOfLength&) = delete;
  FftOfLength& operator=(const FftOfLength&) = delete;

  // `values` (padded with zeros to the length) times the gains, one per frequency k / (length
  // step); the result replaces `values`. A real gain leaves every phase as it is.
  void filter(std::span<double> values, const std::vector<double>& gains) {
    std::fill(std::copy(values.begin(), values.end(), real_), real_ + length_, 0.0);
    fftw_execute(forward_);
    const double scale = 1.0 / length_;
    for (int k = 0; k <= length_ / 2; ++k) {
      spectrum_[k][0] *= gains[static_cast<std::size_t>(k)] * scale;
      spectrum_[k][1] *= gains[static_cast<std::size_t>(k)] * scale;
    }
    fftw_execute(backward_);  // the c2r transform overwrites the spectrum, which is not kept
    std::copy(real_, real_ + values.size(), values.begin());
  }

 private:
  int length_;
  double* real_;
  fftw_complex* spectrum_;
  fftw_plan forward_, backward_;
};

// FFTW's planner is not thread-safe, and the buffers are shared: one transform at a time.
std::mutex fft_mutex;

FftOfLength& fft_of_length(int length) {
  static std::map<int, std::unique_ptr<FftOfLength>> plans;
  auto& slot = plans[length];
  if (!slot) slot = std::make_unique<FftOfLength>(length);
  return *slot;
}

// x^(2 order) for x = ratio^2: integer powers, a pow() per frequency costing more than the FFT.
double power_of(double squared_ratio, int order) {
  double p = 1.0;
  for (int i = 0; i < order; ++i) p *= squared_ratio;
  return p;
}

std::vector<double> butterworth_gains(int length, double step, std::optional<double> highpass,
                                      std::optional<double> lowpass, int order) {
  std::vector<double> gains(static_cast<std::size_t>(length / 2 + 1), 1.0);
  const double df = 1.0 / (length * step);
  for (std::size_t k = 0; k < gains.size(); ++k) {
    const double f = static_cast<double>(k) * df;
    double g = 1.0;
    if (highpass) {
      if (k == 0) g = 0.0;
      else {
        const double r = *highpass / f;
        g /= std::sqrt(1.0 + power_of(r * r, order));
      }
    }
    if (lowpass) {
      const double r = f / *lowpass;
      g /= std::sqrt(1.0 + power_of(r * r, order));
    }
    gains[k] = g;
  }
  return gains;
}

void remove_mean(std::vector<double>& a) {
  if (a.empty()) return;
  double sum = 0.0;
  for (double v : a) sum += v;
  const double mean = sum / static_cast<double>(a.size());
  for (double& v : a) v -= mean;
}

// The least-squares line over the sample numbers, in closed form.
void remove_line(std::vector<double>& a) {
  const std::size_t n = a.size();
  if (n < 2) return remove_mean(a);
  const double mid = static_cast<double>(n - 1) / 2;
  double sum = 0.0, sxy = 0.0, sxx = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) - mid;
    sum += a[i];
    sxy += x * a[i];
    sxx += x * x;
  }
  const double mean = sum / static_cast<double>(n), slope = sxy / sxx;
  for (std::size_t i = 0; i < n; ++i) a[i] -= mean + slope * (static_cast<double>(i) - mid);
}

// Hann: w = (1 - cos(pi i / m)) / 2 over m points at each end.
void hann_taper(std::vector<double>& a, double share) {
  const std::size_t n = a.size();
  const auto m = std::min(static_cast<std::size_t>(std::floor(share * static_cast<double>(n))), n / 2);
  for (std::size_t i = 0; i < m; ++i) {
    const double w = 0.5 * (1.0 - std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(m)));
    a[i] *= w;
    a[n - 1 - i] *= w;
  }
}

Baseline baseline_of(const ProcessingOptions& o) {
  if (o.baseline) return *o.baseline;
  return o.highpass || o.highpass_auto ? Baseline::poly6 : Baseline::mean;
}

// Half of 1.5 N / f at each end: the length of the filter's response at its lowest corner.
double padding_seconds(const ProcessingOptions& o, std::optional<double> highpass) {
  if (o.pad) return *o.pad;
  if (highpass) return 0.75 * o.order / *highpass;
  if (o.lowpass) return 0.75 * o.order / *o.lowpass;
  return 0.0;
}

ProcessedRecord process_with(const std::vector<std::vector<double>>& components, double step,
                             const ProcessingOptions& o, std::optional<double> highpass) {
  using K = ProcessingStep::Kind;
  ProcessedRecord out;
  out.highpass = highpass;
  if (highpass) out.usable_period = 1.0 / (1.25 * *highpass);
  const Baseline baseline = baseline_of(o);
  if (baseline == Baseline::linear) out.steps.push_back({K::line});
  else if (baseline != Baseline::none) out.steps.push_back({K::mean});
  if (o.taper > 0.0) out.steps.push_back({K::taper, o.taper});
  const std::size_t n = components.empty() ? 0 : components.front().size();
  const auto pad = static_cast<std::size_t>(std::llround(padding_seconds(o, highpass) / step));
  if (pad > 0) out.steps.push_back({K::pad, static_cast<double>(pad) * step});
  if (highpass) out.steps.push_back({K::highpass, *highpass, o.order, o.highpass_auto});
  if (o.lowpass) out.steps.push_back({K::lowpass, *o.lowpass, o.order});
  const bool trim = o.trim && pad > 0;
  if (trim) out.steps.push_back({K::trim});
  if (baseline == Baseline::poly6) out.steps.push_back({K::poly6});

  const bool filtered = highpass || o.lowpass;
  const int length = filtered ? fft_length(n + 2 * pad) : 0;
  const std::vector<double> gains = filtered ? butterworth_gains(length, step, highpass, o.lowpass, o.order) : std::vector<double>{};
  out.lead = trim ? 0.0 : static_cast<double>(pad) * step;
  for (const std::vector<double>& component : components) {
    std::vector<double> a = component;
    if (baseline == Baseline::linear) remove_line(a);
    else if (baseline != Baseline::none) remove_mean(a);
    hann_taper(a, o.taper);
    std::vector<double> padded(n + 2 * pad, 0.0);
    std::copy(a.begin(), a.end(), padded.begin() + static_cast<std::ptrdiff_t>(pad));
    if (filtered) {
      std::lock_guard lock(fft_mutex);
      fft_of_length(length).filter(padded, gains);
    }
    if (trim) padded = std::vector<double>(padded.begin() + static_cast<std::ptrdiff_t>(pad), padded.begin() + static_cast<std::ptrdiff_t>(pad + n));
    if (baseline == Baseline::poly6) remove_poly6_baseline(padded, step);
    const std::size_t record_end = trim ? n : pad + n;
    out.record_end_within_limits = out.record_end_within_limits &&
                                   within_drift_limits(drift_of(std::span(padded).first(record_end), step));
    out.drift.push_back(drift_of(padded, step));
    out.within_limits = out.within_limits && within_drift_limits(out.drift.back());
    out.components.push_back(std::move(padded));
  }
  return out;
}

std::string hz(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  if (value < 0.1) std::snprintf(buffer, sizeof buffer, "%.3g", value);
  return buffer;
}

std::string plain(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace

// FFTW transforms these lengths fastest; the zeros beyond the padding only move the wrap-around
// further away.
int fft_length(std::size_t n) {
  for (std::size_t m = std::max<std::size_t>(n, 2);; ++m) {
    std::size_t rest = m;
    for (std::size_t f : {2, 3, 5, 7})
      while (rest % f == 0) rest /= f;
    if (rest == 1) return static_cast<int>(m);
  }
}

std::string_view baseline_name(Baseline baseline) {
  switch (baseline) {
    case Baseline::none: return "none";
    case Baseline::mean: return "mean";
    case Baseline::linear: return "linear";
    case Baseline::poly6: return "poly6";
  }
  return "";
}

std::optional<Baseline> baseline_from_name(std::string_view name) {
  for (Baseline b : {Baseline::none, Baseline::mean, Baseline::linear, Baseline::poly6})
    if (baseline_name(b) == name) return b;
  return std::nullopt;
}

std::optional<ProcessingFault> processing_fault(const ProcessingOptions& o, double step) {
  using F = ProcessingFault;
  const double nyquist = 0.5 / step;
  if ((o.highpass && !(*o.highpass > 0.0)) || (o.lowpass && !(*o.lowpass > 0.0))) return F::corner_not_positive;
  if (o.highpass && *o.highpass >= nyquist) return F::highpass_at_nyquist;
  if (o.lowpass && *o.lowpass >= nyquist) return F::lowpass_at_nyquist;
  if (o.lowpass && o.highpass && *o.lowpass <= *o.highpass) return F::lowpass_below_highpass;
  if (o.lowpass && o.highpass_auto && *o.lowpass <= auto_highpass_first) return F::lowpass_below_highpass;
  if (o.order < 1 || o.order > 8) return F::order_outside;
  if (!(o.taper >= 0.0 && o.taper <= 0.5)) return F::taper_outside;
  if (o.pad && !(*o.pad >= 0.0)) return F::pad_negative;
  return std::nullopt;
}

std::string fault_text(ProcessingFault fault, const ProcessingOptions& o, double step, bool ro) {
  using F = ProcessingFault;
  const std::string nyquist = plain(0.5 / step);
  switch (fault) {
    case F::corner_not_positive:
      return ro ? "o frecventa de colt trebuie sa fie pozitiva" : "a corner frequency must be positive";
    case F::highpass_at_nyquist:
      return ro ? "filtrul trece-sus de " + plain(*o.highpass) + " Hz nu este sub frecventa Nyquist a inregistrarii (" + nyquist + " Hz)"
                : "the high-pass corner " + plain(*o.highpass) + " Hz is not below the record's Nyquist frequency (" + nyquist + " Hz)";
    case F::lowpass_at_nyquist:
      return ro ? "filtrul trece-jos de " + plain(*o.lowpass) + " Hz nu este sub frecventa Nyquist a inregistrarii (" + nyquist + " Hz)"
                : "the low-pass corner " + plain(*o.lowpass) + " Hz is not below the record's Nyquist frequency (" + nyquist + " Hz)";
    case F::lowpass_below_highpass:
      return ro ? "filtrul trece-jos trebuie sa fie peste filtrul trece-sus" : "the low-pass corner must be above the high-pass corner";
    case F::order_outside:
      return ro ? "ordinul filtrului trebuie sa fie intre 1 si 8 (" + std::to_string(o.order) + ")"
                : "the filter order must be 1 to 8 (" + std::to_string(o.order) + ")";
    case F::taper_outside:
      return ro ? "capetele netezite trebuie sa fie intre 0 si 0.5 din lungime (" + plain(o.taper) + ")"
                : "the taper must be 0 to 0.5 of the length (" + plain(o.taper) + ")";
    case F::pad_negative:
      return ro ? "zerourile adaugate nu pot fi negative" : "the padding cannot be negative";
  }
  return "";
}

std::string step_text(const ProcessingStep& s, bool ro) {
  using K = ProcessingStep::Kind;
  switch (s.kind) {
    case K::mean: return ro ? "media scazuta" : "mean removed";
    case K::line: return ro ? "dreapta ajustata pe intreaga inregistrare scazuta" : "straight line fitted to the whole record removed";
    case K::taper:
      return ro ? "capete netezite Hann, " + plain(100 * s.value) + "% din lungime la fiecare capat"
                : "Hann taper, " + plain(100 * s.value) + "% of the length at each end";
    case K::pad:
      return ro ? "zerouri adaugate, " + plain(s.value) + " s la fiecare capat" : "zeros added, " + plain(s.value) + " s at each end";
    case K::highpass:
    case K::lowpass: {
      const bool high = s.kind == K::highpass;
      std::string t = ro ? std::string(high ? "trece-sus " : "trece-jos ") + hz(s.value) + " Hz, ordinul " + std::to_string(s.order) + ", acauzal"
                         : std::string(high ? "high-pass " : "low-pass ") + hz(s.value) + " Hz, order " + std::to_string(s.order) + ", acausal";
      if (s.chosen && !s.met)
        t += ro ? " (auto: nicio frecventa pana la 1 Hz nu respecta limitele de deriva)" : " (auto: no corner up to 1 Hz meets the drift limits)";
      else if (s.chosen) t += ro ? " (auto: cea mai joasa frecventa care respecta limitele de deriva)" : " (auto: the lowest corner that meets the drift limits)";
      return t;
    }
    case K::trim: return ro ? "zerourile adaugate taiate" : "padding cut back to the record's span";
    case K::poly6:
      return ro ? "linie de baza: polinom de gradul 6 ajustat pe deplasare, a doua derivata scazuta din acceleratie"
                : "baseline: polynomial of degree 6 fitted to the displacement, its second derivative removed from the acceleration";
  }
  return "";
}

std::optional<std::size_t> ProcessedRecord::drifting_component() const {
  for (std::size_t c = 0; c < drift.size(); ++c)
    if (!within_drift_limits(drift[c])) return c;
  return std::nullopt;
}

ProcessedRecord process_record(const std::vector<std::vector<double>>& components, double step,
                               const ProcessingOptions& o) {
  if (!o.highpass_auto) return process_with(components, step, o, o.highpass);
  const double nyquist = 0.5 / step;
  std::optional<ProcessedRecord> last;
  for (double f = auto_highpass_first; f <= auto_highpass_last * (1 + 1e-9); f *= auto_highpass_ratio) {
    if (f >= nyquist || (o.lowpass && f >= *o.lowpass)) break;
    last = process_with(components, step, o, f);
    if (last->record_end_within_limits) break;
  }
  if (!last) return process_with(components, step, o, std::nullopt);
  for (ProcessingStep& s : last->steps)
    if (s.kind == ProcessingStep::Kind::highpass) s.met = last->within_limits;
  return *last;
}

}  // namespace motion
