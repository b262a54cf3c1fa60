// One linear step of the match: C b = dR at the peaks of the matching oscillators.
//
// dR[i] is what oscillator i lacks at the time of its peak, C[i][j] the response of oscillator i
// at that time to wavelet j of unit amplitude, both along the direction of oscillator i's peak
// (for a pair, the direction of RotD100). Two safeguards live here:
// - Thinning: oscillators of near periods peaking at near times give near-equal columns, and C
//   is then ill-conditioned: their amplitudes come out huge and of opposite signs. The system is
//   solved by QR with column pivoting; a column whose pivot is below `pivot_threshold` of the
//   largest adds nothing the kept ones do not give, and its wavelet is left out (its target
//   still counts, in the least-squares sense).
// - No wavelet stronger than the record's peak: larger amplitudes come from near-dependent
//   columns the thinning kept, cancel in the responses at the peak times, and leave a drift and
//   new peaks elsewhere. The whole step shrinks, keeping its direction.
#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "motion/matching.h"
#include "motion/matching_internal.h"

namespace motion {
namespace {

using detail::Grid;
using detail::Placed;

constexpr double pivot_threshold = 0.05;

// C[i][j], unscaled: the response of oscillator i at its peak time to wavelet j, along i's
// direction, by one pass of the recurrence an oscillator (its response to a hat at each lag).
// Entries the cache holds are taken from it.
Eigen::MatrixXd responses(const std::vector<AddedWavelet>& wavelets, const std::vector<Placed>& placed, double step,
                          double zeta, detail::StepCache& cache) {
  const auto n = static_cast<Eigen::Index>(wavelets.size());
  Eigen::MatrixXd c(n, n);
  long earliest = 0;
  for (const Placed& p : placed) earliest = std::min(earliest, p.first);
  for (Eigen::Index i = 0; i < n; ++i) {
    const AddedWavelet& wi = wavelets[static_cast<std::size_t>(i)];
    const Grid g(wi.period, zeta, step);
    const long target = std::lround(wi.peak.time / g.h);
    std::vector<double> hat;
    for (Eigen::Index j = 0; j < n; ++j) {
      const AddedWavelet& wj = wavelets[static_cast<std::size_t>(j)];
      const auto [known, added] = cache.responses.try_emplace({wi.period, wj.period}, 0.0);
      if (!added) {
        c(i, j) = known->second;
        continue;
      }
      if (hat.empty()) hat = detail::hat_response(g, target - earliest * g.subs);
      const double along = wi.direction[0] * wj.direction[0] + wi.direction[1] * wj.direction[1];
      double response = 0.0;
      // Samples at or after the target's sample add nothing once the hat before them has not begun.
      const Placed& p = placed[static_cast<std::size_t>(j)];
      for (std::size_t k = 0; k < p.values.size() && along != 0.0; ++k) {
        const long lag = target - (p.first + static_cast<long>(k)) * g.subs;
        if (lag <= -g.subs) break;
        response += p.values[k] * hat[static_cast<std::size_t>(lag + g.subs)];
      }
      c(i, j) = known->second = along * response;
    }
  }
  return c;
}

// The amplitudes of the columns QR keeps above the pivot threshold, the others 0. Rows are taken
// as fractions of the target and columns of unit length: responses in metres grow as the square
// of the period, and a pivot compared with the largest of an unscaled C would thin the short
// periods away.
Eigen::VectorXd thinned_solution(Eigen::MatrixXd c, const Eigen::VectorXd& change, std::span<const double> target_sd) {
  const Eigen::Index n = c.rows();
  Eigen::VectorXd row(n), column(n);
  for (Eigen::Index i = 0; i < n; ++i) row(i) = 1.0 / target_sd[static_cast<std::size_t>(i)];
  c = row.asDiagonal() * c;
  for (Eigen::Index j = 0; j < n; ++j) {
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
  const Eigen::VectorXd kept =
      qr.matrixQR().topLeftCorner(rank, rank).triangularView<Eigen::Upper>().solve(rotated.head(rank));
  Eigen::VectorXd b = Eigen::VectorXd::Zero(n);
  const auto& order = qr.colsPermutation().indices();
  for (Eigen::Index k = 0; k < rank; ++k) b(order(k)) = kept(k) * column(order(k));
  return b;
}

}  // namespace

std::vector<AddedWavelet> plan_step(const std::vector<std::vector<double>>& components, double step,
                                    std::span<const double> periods, std::span<const double> target_sd, double zeta,
                                    double relaxation) {
  detail::StepCache cache;
  return detail::plan_step(components, step, periods, target_sd, zeta, relaxation, cache);
}

std::vector<AddedWavelet> detail::plan_step(const std::vector<std::vector<double>>& components, double step,
                                                     std::span<const double> periods, std::span<const double> target_sd,
                                                     double zeta, double relaxation, StepCache& cache) {
  const std::size_t n = periods.size();
  std::vector<AddedWavelet> wavelets(n);
  std::vector<Placed> placed;
  Eigen::VectorXd change(static_cast<Eigen::Index>(n));
  for (std::size_t i = 0; i < n; ++i) {
    AddedWavelet& w = wavelets[i];
    w.period = periods[i];
    const auto [known, added] = cache.peaks.try_emplace(periods[i]);
    if (added) known->second = peak_response(components, step, periods[i], zeta);
    w.peak = known->second;
    w.direction = w.peak.direction;
    w.centre = w.peak.time - make_wavelet(periods[i], zeta).shift;
    placed.push_back(detail::place(periods[i], zeta, w.centre, step));
    change(static_cast<Eigen::Index>(i)) = target_sd[i] - w.peak.value;
  }
  const Eigen::VectorXd b = thinned_solution(responses(wavelets, placed, step, zeta, cache), change, target_sd);
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

}  // namespace motion
