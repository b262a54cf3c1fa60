#include "motion/measures.h"

#include <cmath>
#include <numbers>

#include "motion/integrate.h"

namespace motion {
namespace {

constexpr double standard_gravity = 9.80665;  // m/s2

double largest_magnitude(const std::vector<double>& values) {
  double largest = 0.0;
  for (double v : values) largest = std::max(largest, std::fabs(v));
  return largest;
}

// The time at which the cumulative curve (rising, from 0) first reaches `level`, linear between
// samples.
double time_at(const std::vector<double>& cumulative, double step, double level) {
  for (std::size_t i = 1; i < cumulative.size(); ++i)
    if (cumulative[i] >= level) {
      const double rise = cumulative[i] - cumulative[i - 1];
      const double share = rise > 0.0 ? (level - cumulative[i - 1]) / rise : 0.0;
      return (static_cast<double>(i - 1) + share) * step;
    }
  return static_cast<double>(cumulative.size() - 1) * step;
}

// The integral of |a| over one step of a record linear between samples: where the sign changes,
// the two triangles on either side of the crossing.
double absolute_area(double a0, double a1, double step) {
  if ((a0 >= 0.0) == (a1 >= 0.0) || a0 == 0.0 || a1 == 0.0) return step * (std::fabs(a0) + std::fabs(a1)) / 2;
  return step * (a0 * a0 + a1 * a1) / (2 * (std::fabs(a0) + std::fabs(a1)));
}

}  // namespace

// The record is taken scaled to a peak of 1 and the results scaled back: squares and areas of
// values near the largest double would overflow where the measures themselves do not.
IntensityMeasures intensity_measures(const std::vector<double>& acceleration, double step) {
  IntensityMeasures m;
  m.pga = largest_magnitude(acceleration);
  const double scale = m.pga > 0.0 && std::isfinite(m.pga) ? m.pga : 1.0;
  std::vector<double> unit(acceleration.size());
  for (std::size_t i = 0; i < acceleration.size(); ++i) unit[i] = acceleration[i] / scale;
  const std::vector<double> velocity = integrate_trapezoid(unit, step);
  m.pgv = largest_magnitude(velocity) * scale;
  m.pgd = largest_magnitude(integrate_trapezoid(velocity, step)) * scale;

  std::vector<double> squares(unit.size());
  for (std::size_t i = 0; i < unit.size(); ++i) squares[i] = unit[i] * unit[i];
  const std::vector<double> husid = integrate_trapezoid(squares, step);
  const double total = husid.empty() ? 0.0 : husid.back();
  m.arias = std::numbers::pi / (2 * standard_gravity) * total * scale * scale;
  if (total > 0.0 && std::isfinite(total)) {
    const double t5 = time_at(husid, step, 0.05 * total);
    m.d5_75 = time_at(husid, step, 0.75 * total) - t5;
    m.d5_95 = time_at(husid, step, 0.95 * total) - t5;
  }
  double area = 0.0;
  for (std::size_t i = 1; i < unit.size(); ++i) area += absolute_area(unit[i - 1], unit[i], step);
  m.cav = area * scale;
  return m;
}

std::string measures_problem(const IntensityMeasures& m) {
  for (const double value : {m.pga, m.pgv, m.pgd, m.arias, m.cav})
    if (!std::isfinite(value)) return "the record's values are too large for its intensity measures to be numbers";
  return {};
}

}  // namespace motion
