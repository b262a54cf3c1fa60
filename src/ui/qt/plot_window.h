// The window that shows a loading as curves (Qt Charts) and as a table, with export of the
// picture (PNG) and of the table (CSV).
#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <vector>

#include "ui/plot.h"

class QChart;
class QTableView;
class QWidget;

namespace ui::qt {

// An exported picture: its size on paper and its resolution.
struct PictureSize {
  double width_mm = 170;
  double height_mm = 140;
  int dpi = 300;
  QSize pixels() const;
};

// An axis's ticks: whole multiples of a step of 1, 2 or 5 times a power of ten, about `target`
// of them, from below `low` to above `high`, with their labels.
struct AxisTicks {
  std::vector<double> values;
  QStringList labels;
};
AxisTicks nice_ticks(double low, double high, int target = 6);

class PlotWindow : public QDialog {
  Q_OBJECT

 public:
  // Its object name is "plot_window"; the properties "plot_title" and "plot_points" hold the
  // request's title and number of time points, for the replay's transcript.
  PlotWindow(const PlotRequest& request, QWidget* parent);

  // The title and the curves with their axes, drawn at `size`; false when the file was not
  // written. Without a size: 170 mm wide, 300 dpi.
  bool save_picture(const QString& path, const PictureSize& size) const;
  bool save_picture(const QString& path) const;
  QImage picture(const PictureSize& size) const;
  PictureSize default_picture_size() const;
  // Time and value columns, comma separated, values with 9 significant digits; an empty cell
  // where a series has no value at that time.
  bool save_table(const QString& path) const;

  const QList<QChart*>& charts() const { return charts_; }
  QTableView* table() const { return table_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void export_picture();
  void export_table();

  PlotRequest request_;
  QWidget* curves_ = nullptr;
  QList<QChart*> charts_;
  QTableView* table_ = nullptr;
  QTimer align_timer_;  // lines the charts up again once their views have their new size
};

// Modal; returns when the user closes the window.
void show_plot_window(const PlotRequest& request, QWidget* parent);

// A series for drawing: every point while there are few, otherwise the first and last point
// and, per slice of the time axis, the smallest and largest value in the order they occur, so
// that no peak is lost at any width the window can have.
QList<QPointF> points_to_draw(const std::vector<double>& x, const std::vector<double>& y,
                              int max_points = 8000);

}  // namespace ui::qt
