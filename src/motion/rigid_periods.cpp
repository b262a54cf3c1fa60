#include "motion/rigid_periods.h"

#include <algorithm>
#include <array>
#include <optional>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace motion {
namespace {

double peak_of(const std::vector<double>& values) {
  double peak = 0;
  for (double v : values) peak = std::max(peak, std::abs(v));
  return peak;
}

// The peak ground acceleration a curve of the spectra stands for: of its component, of the
// pair's directions for RotD, the geometric mean of the pair's.
double ground_peak(const std::string& curve, const std::vector<std::vector<double>>& components,
                   const std::optional<std::array<std::size_t, 2>>& pair) {
  std::vector<double> peaks;
  for (const std::vector<double>& c : components) peaks.push_back(peak_of(c));
  const bool paired = pair && (*pair)[0] < components.size() && (*pair)[1] < components.size();
  if (curve == "geomean" && paired) return std::sqrt(peaks[(*pair)[0]] * peaks[(*pair)[1]]);
  if (curve.starts_with("rotd") && paired) {
    const std::vector<double>& a = components[(*pair)[0]];
    const std::vector<double>& b = components[(*pair)[1]];
    DirectionPeaks directions{};
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t d = 0; d < directions.size(); ++d) {
      const double angle = static_cast<double>(d) * std::numbers::pi / 180.0;
      const double c = std::cos(angle), s = std::sin(angle);
      for (std::size_t i = 0; i < n; ++i) directions[d] = std::max(directions[d], std::abs(a[i] * c + b[i] * s));
    }
    return rotd(directions, std::strtod(curve.c_str() + 4, nullptr));
  }
  const int component = std::atoi(curve.c_str());
  if (component >= 1 && static_cast<std::size_t>(component) <= peaks.size()) return peaks[component - 1];
  return peaks.empty() ? 0.0 : *std::max_element(peaks.begin(), peaks.end());
}

}  // namespace

std::vector<SpectrumCurve> spectra_with_rigid_periods(const std::vector<std::vector<double>>& components, double step,
                                                      const SpectrumRequest& request) {
  const double shortest = rigid_below_steps * step;
  std::vector<std::size_t> rigid, computed;
  for (std::size_t k = 0; k < request.periods.size(); ++k)
    (request.periods[k] < shortest ? rigid : computed).push_back(k);
  if (rigid.empty()) return compute_spectra(components, step, request);
  SpectrumRequest longer = request;
  longer.periods.clear();
  for (std::size_t k : computed) longer.periods.push_back(request.periods[k]);
  // One period computed at least, so that the curves come in their usual order and names.
  const bool none_computed = longer.periods.empty();
  if (none_computed) longer.periods.push_back(shortest);
  std::vector<SpectrumCurve> curves = compute_spectra(components, step, longer);
  for (SpectrumCurve& curve : curves) {
    const double pga = ground_peak(curve.component, components, request.pair);
    SpectrumCurve full{curve.component, curve.damping, {}, {}, {}};
    full.sd.resize(request.periods.size()), full.psv.resize(request.periods.size()), full.psa.resize(request.periods.size());
    for (std::size_t j = 0; j < computed.size(); ++j) {
      full.sd[computed[j]] = curve.sd[j];
      full.psv[computed[j]] = curve.psv[j];
      full.psa[computed[j]] = curve.psa[j];
    }
    for (std::size_t k : rigid) {
      const double w = 2.0 * std::numbers::pi / request.periods[k];
      full.psa[k] = pga;
      full.psv[k] = pga / w;
      full.sd[k] = pga / w / w;
    }
    curve = std::move(full);
  }
  return curves;
}

}  // namespace motion
