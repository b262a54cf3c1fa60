#include "motion/processing.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

namespace motion {
namespace {

// The velocity and displacement of `acceleration` by the trapezoid rule from rest, in place of
// two vectors the caller keeps.
void integrate_twice(std::span<const double> acceleration, double step, std::span<double> velocity,
                     std::span<double> displacement) {
  double v = 0.0, d = 0.0;
  if (!acceleration.empty()) velocity[0] = displacement[0] = 0.0;
  for (std::size_t i = 1; i < acceleration.size(); ++i) {
    const double v_next = v + step * (acceleration[i] + acceleration[i - 1]) / 2;
    d += step * (v_next + v) / 2;
    v = v_next;
    velocity[i] = v;
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
  // In the record's own time s = t / T, 0..1, so that the columns are of one size.
  const double span = static_cast<double>(n - 1) * step;
  const double last = static_cast<double>(n - 1);
  const Eigen::Index rows = static_cast<Eigen::Index>(n);
  // second[k]: the acceleration of s^k, k(k-1) s^(k-2) / T^2; basis[k]: it integrated twice.
  Eigen::MatrixXd second(rows, poly_terms), basis(rows, poly_terms);
  for (Eigen::Index i = 0; i < rows; ++i) {
    const double s = static_cast<double>(i) / last;
    double power = 1.0;  // s^(k-2)
    for (int k = poly_lowest; k <= poly_highest; ++k) {
      second(i, k - poly_lowest) = k * (k - 1) * power / (span * span);
      power *= s;
    }
  }
  std::vector<double> velocity(n);
  for (int c = 0; c < poly_terms; ++c)
    integrate_twice({second.col(c).data(), n}, step, velocity, {basis.col(c).data(), n});
  Eigen::VectorXd displacement(rows);
  integrate_twice(acceleration, step, velocity, {displacement.data(), n});
  const Eigen::VectorXd coefficients = basis.householderQr().solve(displacement);
  const Eigen::VectorXd correction = second * coefficients;
  for (std::size_t i = 0; i < n; ++i) acceleration[i] -= correction(static_cast<Eigen::Index>(i));
}

}  // namespace motion
