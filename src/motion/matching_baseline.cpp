// The end of a match: the record brought to rest.
//
// Record processing takes from a drifting record the polynomial c2 t^2 + ... + c6 t^6 fitted by
// least squares to its displacement. Alone, that fit does not bring a matched record to rest: a
// seed cut while still moving, or the small net velocities of many wavelets, leave an end
// velocity that the fit spreads over the whole record, and what is left at the end can stay far
// beyond the limits. Here the same polynomial is fitted with its end held: its velocity and
// displacement at the last sample are those of the record, so that the record less the
// polynomial ends with neither (to rounding: both are integrated by the trapezoid rule the drift
// is measured with). The fit still takes as little of the real motion as the end allows. The
// polynomial has no constant or linear term, so the record still starts at rest.
#include <Eigen/Dense>
#include <array>

#include "motion/matching_internal.h"
#include "motion/processing.h"

namespace motion::detail {
namespace {

constexpr int lowest = 2, terms = 5;  // degrees 2 to 6

using Basis = Eigen::Matrix<double, Eigen::Dynamic, terms>;

// The accelerations of s^k (s = t / T from 0 to 1 over the record) and the displacements the
// trapezoid rule gives them; `ends` the velocity and displacement of each at the last sample.
struct Polynomials {
  Basis acceleration, displacement;
  Eigen::Matrix<double, 2, terms> ends;
};

Polynomials polynomials(std::size_t n, double step) {
  const double span = static_cast<double>(n - 1) * step, last = static_cast<double>(n - 1);
  Polynomials p{Basis(static_cast<Eigen::Index>(n), terms), Basis(static_cast<Eigen::Index>(n), terms), {}};
  std::array<double, terms> v{}, d{};
  for (std::size_t i = 0; i < n; ++i) {
    const auto row = static_cast<Eigen::Index>(i);
    const double s = static_cast<double>(i) / last;
    double power = 1.0;  // s^(k - 2)
    for (int k = 0; k < terms; ++k, power *= s) {
      const int degree = k + lowest;
      p.acceleration(row, k) = degree * (degree - 1) * power / (span * span);
      if (i > 0) {
        const double v_next = v[k] + step * (p.acceleration(row, k) + p.acceleration(row - 1, k)) / 2;
        d[k] += step * (v_next + v[k]) / 2;
        v[k] = v_next;
      }
      p.displacement(row, k) = d[k];
    }
  }
  for (int k = 0; k < terms; ++k) p.ends(0, k) = v[k], p.ends(1, k) = d[k];
  return p;
}

}  // namespace

void end_at_rest(std::vector<double>& acceleration, double step) {
  const std::size_t n = acceleration.size();
  if (n < lowest + terms || !(step > 0.0) || within_drift_limits(drift_of(acceleration, step))) return;
  const Polynomials p = polynomials(n, step);
  Eigen::VectorXd displacement(static_cast<Eigen::Index>(n));
  double v = 0.0, d = 0.0;
  displacement(0) = 0.0;
  for (std::size_t i = 1; i < n; ++i) {
    const double v_next = v + step * (acceleration[i] + acceleration[i - 1]) / 2;
    d += step * (v_next + v) / 2;
    v = v_next;
    displacement(static_cast<Eigen::Index>(i)) = d;
  }
  // Least squares with the two ends as constraints, by its KKT system; the Gram matrix is taken
  // a sample so that its entries are of the size of the constraints'.
  const double per_sample = 1.0 / static_cast<double>(n);
  Eigen::Matrix<double, terms + 2, terms + 2> kkt = Eigen::Matrix<double, terms + 2, terms + 2>::Zero();
  kkt.topLeftCorner<terms, terms>() = per_sample * p.displacement.transpose() * p.displacement;
  kkt.bottomLeftCorner<2, terms>() = p.ends;
  kkt.topRightCorner<terms, 2>() = p.ends.transpose();
  Eigen::Matrix<double, terms + 2, 1> rhs;
  rhs.head<terms>() = per_sample * p.displacement.transpose() * displacement;
  rhs.tail<2>() << v, d;
  const auto lu = kkt.fullPivLu();
  Eigen::Matrix<double, terms + 2, 1> x = lu.solve(rhs);
  x += lu.solve(rhs - kkt * x);  // one refinement: the Gram block is near-singular as a Hilbert matrix
  const Eigen::VectorXd baseline = p.acceleration * x.head<terms>();
  for (std::size_t i = 0; i < n; ++i) acceleration[i] -= baseline(static_cast<Eigen::Index>(i));
}

}  // namespace motion::detail
