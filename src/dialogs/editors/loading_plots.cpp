#include "dialogs/editors/loading_plots.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <span>
#include <string>
#include <utility>

#include "dialogs/editors/node_ranges.h"
#include "motion/integrate.h"

namespace dialogs::editors {

namespace {

constexpr const char* direction_names[3] = {"X", "Y", "Z"};

// Curves (and table columns) of one plot at most: more cannot be told apart on a screen, and a
// moving load, with a node range of its own at each time point, would otherwise need a column
// per time point, each as long as the table, and a legend longer than the window.
constexpr std::size_t max_plot_curves = 60;

// How many of `ranges` node ranges get their curves; the title says when some are left out.
std::size_t plotted_ranges(std::size_t ranges, int directions, std::string& title) {
  const std::size_t kept =
      std::min(ranges, std::max<std::size_t>(1, max_plot_curves / static_cast<std::size_t>(std::max(directions, 1))));
  if (kept < ranges)
    title += " (the first " + std::to_string(kept) + " of " + std::to_string(ranges) + " node ranges)";
  return kept;
}

// A curve of more points than a screen has pixels is kept as the least and the greatest value
// of each of this many slices, in their order: it draws the same picture, peaks included, at a
// size that does not grow with the record. The table keeps every point.
constexpr std::size_t screen_slices = 4096;

ui::PlotSeries screen_series(const std::string& name, const std::vector<double>& x, const std::vector<double>& y) {
  const std::size_t n = std::min(x.size(), y.size());
  if (n <= 2 * screen_slices + 2) return {name, x, y};
  ui::PlotSeries series{name, {}, {}};
  series.x.reserve(2 * screen_slices + 2);
  series.y.reserve(2 * screen_slices + 2);
  auto keep = [&series, &x, &y](std::size_t i) {
    series.x.push_back(x[i]);
    series.y.push_back(y[i]);
  };
  keep(0);
  for (std::size_t k = 0; k < screen_slices; ++k) {
    const std::size_t begin = 1 + (n - 2) * k / screen_slices, end = 1 + (n - 2) * (k + 1) / screen_slices;
    if (begin >= end) continue;
    std::size_t lo = begin, hi = begin;
    for (std::size_t i = begin; i < end; ++i) {
      if (y[i] < y[lo]) lo = i;
      if (y[i] > y[hi]) hi = i;
    }
    keep(std::min(lo, hi));
    if (lo != hi) keep(std::max(lo, hi));
  }
  keep(n - 1);
  return series;
}

// Acceleration, velocity and displacement panels of the same components.
void add_motion_panels(ui::PlotRequest& plot, const std::vector<double>& t,
                       const std::vector<std::pair<std::string, std::vector<double>>>& components,
                       const std::string& length_unit, bool acceleration) {
  const std::string suffix = length_unit.empty() ? std::string() : " (" + length_unit;
  ui::PlotPanel a{acceleration ? "Acceleration" + (suffix.empty() ? "" : suffix + "/sec2)")
                               : "Load" + (suffix.empty() ? "" : suffix + ")"),
                  {}};
  ui::PlotPanel v{"Velocity" + (suffix.empty() ? "" : suffix + "/sec)"), {}};
  ui::PlotPanel d{"Displacement" + (suffix.empty() ? "" : suffix + ")"), {}};
  for (const auto& [name, values] : components) {
    a.series.push_back(screen_series(name, t, values));
    if (!acceleration) continue;
    const std::vector<double> velocity = integrate_uneven(t, values);
    v.series.push_back(screen_series(name, t, velocity));
    d.series.push_back(screen_series(name, t, integrate_uneven(t, velocity)));
  }
  plot.panels.push_back(std::move(a));
  if (!acceleration) return;
  plot.panels.push_back(std::move(v));
  plot.panels.push_back(std::move(d));
}

}  // namespace

std::vector<double> integrate_uneven(const std::vector<double>& t, const std::vector<double>& a) {
  std::vector<double> out(a.size(), 0.0);
  for (std::size_t i = 1; i < a.size(); ++i)
    out[i] = out[i - 1] + (t[i] - t[i - 1]) * (a[i] + a[i - 1]) / 2.0;
  return out;
}

ui::PlotRequest accelerogram_plot(const std::string& title, const std::vector<model::AccelPoint>& points,
                                  bool three_directions, int n_dof, int direction,
                                  const std::string& length_unit) {
  ui::PlotRequest plot;
  plot.title = title;
  std::vector<int> used;
  if (three_directions) {
    for (int c = 0; c < (n_dof == 3 ? 3 : 2); ++c) used.push_back(c);
  } else if (direction >= 1 && direction <= 3) {
    used.push_back(direction - 1);
  }
  std::vector<double> t;
  t.reserve(points.size());
  for (const model::AccelPoint& p : points) t.push_back(p.time);
  std::vector<std::pair<std::string, std::vector<double>>> components;
  for (int c : used) {
    std::vector<double> values;
    values.reserve(points.size());
    for (const model::AccelPoint& p : points) values.push_back(p.acceleration[c]);
    plot.table.headers.push_back(direction_names[c]);
    plot.table.columns.push_back(values);
    components.emplace_back(direction_names[c], std::move(values));
  }
  plot.table.times = t;
  if (!length_unit.empty()) plot.table.unit = length_unit + "/sec2";
  add_motion_panels(plot, t, components, length_unit, true);
  return plot;
}

ui::PlotRequest discrete_loading_plot(const std::string& title, const model::DiscreteLoading& points, int count,
                                      int n_dof, const std::string& force_unit) {
  ui::PlotRequest plot;
  plot.title = title;
  const int n = std::clamp(count, 0, static_cast<int>(points.size()));
  const int directions = row_directions(n_dof);
  const double missing = std::numeric_limits<double>::quiet_NaN();
  // Ranges in the order they first appear; a range is known by its list text, as ADD knows it.
  std::vector<std::string> names;
  std::map<std::string, std::size_t> column_of;
  for (int i = 0; i < n; ++i)
    for (const model::NodeRange& range : points.ranges_of(static_cast<std::size_t>(i))) {
      const std::string name = range_item_text(range);
      if (column_of.emplace(name, names.size()).second) names.push_back(name);
    }
  names.resize(plotted_ranges(names.size(), directions, plot.title));
  ui::PlotPanel panel{force_unit.empty() ? "Load" : "Load (" + force_unit + ")", {}};
  plot.table.unit = force_unit;
  for (const std::string& name : names)
    for (int c = 0; c < directions; ++c) {
      panel.series.push_back({name + " " + direction_names[c], {}, {}});
      plot.table.headers.push_back(name + " " + direction_names[c]);
      plot.table.columns.emplace_back(static_cast<std::size_t>(n), missing);
    }
  for (int i = 0; i < n; ++i) {
    const float time = points.times[static_cast<std::size_t>(i)];
    plot.table.times.push_back(time);
    for (const model::NodeRange& range : points.ranges_of(static_cast<std::size_t>(i))) {
      const std::size_t column = column_of[range_item_text(range)];
      if (column >= names.size()) continue;
      const std::size_t first = column * directions;
      for (int c = 0; c < directions; ++c) {
        const double value = range.components[c];
        ui::PlotSeries& series = panel.series[first + c];
        // A range listed twice under one time point: the solver takes the later one.
        if (!series.x.empty() && series.x.back() == time) {
          series.y.back() = value;
        } else {
          series.x.push_back(time);
          series.y.push_back(value);
        }
        plot.table.columns[first + c][i] = value;
      }
    }
  }
  plot.panels.push_back(std::move(panel));
  return plot;
}

ui::PlotRequest amplitude_plot(const std::string& title, const std::vector<model::NodeRange>& ranges,
                               int n_dof, bool sinusoidal, double omega, double phi, double end_time,
                               const std::string& force_unit) {
  ui::PlotRequest plot;
  plot.title = title;
  const double end = end_time > 0 ? end_time : 1.0;
  constexpr double two_pi = 6.283185307179586;
  const double periods = sinusoidal ? end * std::abs(omega) / two_pi : 0.0;
  const std::size_t steps = static_cast<std::size_t>(std::clamp(std::ceil(periods * 40.0), 1000.0, 40000.0));
  std::vector<double> t(steps + 1), f(steps + 1);
  for (std::size_t i = 0; i <= steps; ++i) {
    t[i] = end * static_cast<double>(i) / static_cast<double>(steps);
    f[i] = sinusoidal ? std::sin(omega * t[i] + phi) : std::exp(omega * t[i]);
  }
  plot.table.times = t;
  plot.table.unit = force_unit;
  ui::PlotPanel panel{force_unit.empty() ? "Load" : "Load (" + force_unit + ")", {}};
  const std::size_t kept = plotted_ranges(ranges.size(), row_directions(n_dof), plot.title);
  for (const model::NodeRange& range : std::span(ranges).first(kept))
    for (int c = 0; c < row_directions(n_dof); ++c) {
      const std::string name = range_item_text(range) + " " + direction_names[c];
      std::vector<double> values(f.size());
      for (std::size_t i = 0; i < f.size(); ++i) values[i] = range.components[c] * f[i];
      plot.table.headers.push_back(name);
      plot.table.columns.push_back(values);
      panel.series.push_back({name, t, std::move(values)});
    }
  plot.panels.push_back(std::move(panel));
  return plot;
}

ui::PlotRequest record_plot(const std::string& title, const motion::Record& record,
                            const std::string& unit, bool acceleration, bool remove_mean) {
  ui::PlotRequest plot;
  plot.title = title;
  std::vector<double> t(record.point_count());
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = record.time(i);
  std::vector<std::pair<std::string, std::vector<double>>> components;
  for (std::size_t c = 0; c < record.components.size(); ++c) {
    const std::string name = record.components.size() == 1 ? "Record" : "Column " + std::to_string(c + 1);
    plot.table.headers.push_back(name);
    plot.table.columns.push_back(record.components[c]);
    components.emplace_back(name, remove_mean && acceleration ? motion::without_mean(record.components[c])
                                                              : record.components[c]);
  }
  plot.table.times = t;
  plot.table.unit = acceleration && !unit.empty() ? unit + "/sec2" : unit;
  add_motion_panels(plot, t, components, unit, acceleration);
  // The table holds the record as read: the mean is removed only for the curves.
  return plot;
}

}  // namespace dialogs::editors
