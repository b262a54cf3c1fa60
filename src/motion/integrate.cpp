#include "motion/integrate.h"

namespace motion {

std::vector<double> integrate_trapezoid(const std::vector<double>& values, double step) {
  std::vector<double> out(values.size(), 0.0);
  for (std::size_t i = 1; i < values.size(); ++i) out[i] = out[i - 1] + step * (values[i] + values[i - 1]) / 2;
  return out;
}

std::vector<double> without_mean(const std::vector<double>& values) {
  if (values.empty()) return {};
  double sum = 0.0;
  for (double v : values) sum += v;
  const double mean = sum / static_cast<double>(values.size());
  std::vector<double> out(values);
  for (double& v : out) v -= mean;
  return out;
}

}  // namespace motion
