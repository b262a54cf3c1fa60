// A picture of response spectra scaled onto a design spectrum: the records' curves, their mean,
// the target and the period range of the scaling. Filled by a command without a display; drawn
// by the Qt face into a PNG.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

struct SpectraPicture {
  struct Curve {
    std::string name;
    std::vector<double> values;  // one per period
  };
  std::string title;
  std::string y_title;          // with its unit
  std::vector<double> periods;  // s, positive and increasing: the abscissae, on a log axis
  std::vector<Curve> records;
  std::optional<Curve> mean;
  std::vector<std::optional<double>> target;        // none where undefined; empty: no target
  std::optional<std::pair<double, double>> range;  // s, shaded
};

// Draws a picture as PNG bytes; empty with `why` when it cannot.
using SpectraPictureRenderer = std::function<std::string(const SpectraPicture&, std::string& why)>;

}  // namespace ui
