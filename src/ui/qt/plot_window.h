// The window that shows a loading as curves (Qt Charts) and as a table, with export of the
// picture (PNG) and of the table (CSV).
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "ui/plot.h"

class QChart;
class QTableView;
class QWidget;

namespace ui::qt {

class PlotWindow : public QDialog {
  Q_OBJECT

 public:
  // Its object name is "plot_window"; the properties "plot_title" and "plot_points" hold the
  // request's title and number of time points, for the replay's transcript.
  PlotWindow(const PlotRequest& request, QWidget* parent);

  // The curves as drawn on screen; false when the file was not written.
  bool save_picture(const QString& path);
  // Time and value columns, comma separated, values with 9 significant digits; an empty cell
  // where a series has no value at that time.
  bool save_table(const QString& path) const;

  const QList<QChart*>& charts() const { return charts_; }
  QTableView* table() const { return table_; }

 private:
  void export_picture();
  void export_table();

  PlotRequest request_;
  QWidget* curves_ = nullptr;
  QList<QChart*> charts_;
  QTableView* table_ = nullptr;
};

// Modal; returns when the user closes the window.
void show_plot_window(const PlotRequest& request, QWidget* parent);

// A series for drawing: every point while there are few, otherwise the first and last point
// and, per slice of the time axis, the smallest and largest value in the order they occur, so
// that no peak is lost at any width the window can have.
QList<QPointF> points_to_draw(const std::vector<double>& x, const std::vector<double>& y,
                              int max_points = 8000);

}  // namespace ui::qt
