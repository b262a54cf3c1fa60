// A request to show a loading as curves and as a table. The dialog logic fills it; the Qt face
// draws it in a window, the scripted face records that it was asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ui {

// One curve: its own abscissae (s) and ordinates; a series may have fewer points than the
// table (a node range loaded at only some of the time points).
struct PlotSeries {
  std::string name;
  std::vector<double> x, y;
};

// One chart: the curves that share an ordinate axis.
struct PlotPanel {
  std::string y_title;
  std::vector<PlotSeries> series;
};

// The table: a time column and one column per header; a NaN cell is left empty.
struct PlotTable {
  std::vector<std::string> headers;  // of the value columns, after "Time"
  std::string unit;                  // of every value column; empty when none is known
  std::vector<double> times;
  std::vector<std::vector<double>> columns;  // each as long as `times`
};

// The curves of a chart control of a dialog: a spectrum over a log period axis, say, with a
// shaded band of the abscissa (the period range a factor is found over).
struct ChartContent {
  std::string x_title, y_title;
  bool log_x = false;
  std::vector<PlotSeries> series;
  bool has_band = false;
  double band_from = 0.0, band_to = 0.0;
  // The abscissae from here on hatched: periods a processed record's high-pass leaves unusable.
  std::optional<double> shade_from;
};

struct PlotRequest {
  std::string title;
  std::string x_title = "Time (s)";
  std::vector<PlotPanel> panels;
  PlotTable table;

  std::size_t point_count() const { return table.times.size(); }
};

}  // namespace ui
