#include "ui/qt/chart_control.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFontMetrics>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "ui/qt/plot_window.h"
#include "ui/qt/qt_text.h"

namespace ui::qt {

namespace {

QPen pen_of(int index) {
  static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                   QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b), QColor(0x17, 0xbe, 0xcf)};
  return QPen(colours[index % static_cast<int>(std::size(colours))], 1.5);
}

// The widest a legend name may be for every name to fit in one row of the legend.
int legend_name_width(const QWidget* view, int names) {
  constexpr int marker_and_gap = 34;
  return std::max(60, (view->width() - 16) / std::max(1, names) - marker_and_gap);
}

// Names too long for the legend lose their middle, not their end: names alike but for their
// ends (the L and T components of one station) stay apart. The full name shows as the
// pointer's tooltip over its marker.
// Only when the names together do not fit the row does each get an equal share of it.
void fit_legend(QChart* chart, const QWidget* view) {
  const QList<QLegendMarker*> markers = chart->legend()->markers();
  const QFontMetrics metrics(chart->legend()->font());
  int whole = 0;
  for (QLegendMarker* marker : markers) whole += metrics.horizontalAdvance(marker->series()->name());
  const int count = static_cast<int>(markers.size());
  if (whole <= count * legend_name_width(view, count)) return;
  const int width = legend_name_width(view, count);
  for (QLegendMarker* marker : markers) {
    const QString full = marker->series()->name();
    const QString shown = metrics.elidedText(full, Qt::ElideMiddle, width);
    if (shown == full) continue;
    marker->setLabel(shown);
    QObject::connect(marker, &QLegendMarker::hovered, marker, [full](bool on) {
      if (on) QToolTip::showText(QCursor::pos(), full);
      else QToolTip::hideText();
    });
  }
}

// A series from `from` to `to` over the whole height of the y axis, not yet on the chart.
QAreaSeries* full_height_area(const QValueAxis* y_axis, double from, double to) {
  auto* upper = new QLineSeries, *lower = new QLineSeries;
  upper->append(from, y_axis->max());
  upper->append(to, y_axis->max());
  lower->append(from, y_axis->min());
  lower->append(to, y_axis->min());
  auto* area = new QAreaSeries(upper, lower);
  upper->setParent(area);
  lower->setParent(area);
  return area;
}

void add_series(QChart* chart, QAbstractSeries* series, QAbstractAxis* x_axis, QAbstractAxis* y_axis) {
  chart->addSeries(series);
  series->attachAxis(x_axis);
  series->attachAxis(y_axis);
}

// Hatched, so that it does not read as the grey period range it may overlap.
void add_shade(QChart* chart, QAbstractAxis* x_axis, QValueAxis* y_axis, double from, double to) {
  QAreaSeries* shade = full_height_area(y_axis, from, to);
  shade->setName(QStringLiteral("beyond usable periods"));
  shade->setBrush(QBrush(QColor(0xc0, 0x30, 0x30, 90), Qt::BDiagPattern));
  shade->setPen(QPen(QColor(0xc0, 0x30, 0x30), 1.0, Qt::DashLine));
  add_series(chart, shade, x_axis, y_axis);
}

// The periods a factor is found over, in grey.
void add_band(QChart* chart, QAbstractAxis* x_axis, QValueAxis* y_axis, double from, double to) {
  QAreaSeries* band = full_height_area(y_axis, from, to);
  band->setName(QStringLiteral("range"));
  band->setColor(QColor(0xd0, 0xd0, 0xd0, 110));
  band->setBorderColor(QColor(0xa0, 0xa0, 0xa0));
  add_series(chart, band, x_axis, y_axis);
}

// The values the axes must show: every point's, but for periods a log axis cannot show.
struct Extent {
  double x_min = std::numeric_limits<double>::infinity(), x_max = -x_min, y_min = 0, y_max = 0;
};

Extent extent_of(const ChartContent& content) {
  Extent e;
  for (const PlotSeries& s : content.series)
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
      if (content.log_x && !(s.x[i] > 0)) continue;
      e.x_min = std::min(e.x_min, s.x[i]), e.x_max = std::max(e.x_max, s.x[i]), e.y_max = std::max(e.y_max, s.y[i]);
      e.y_min = std::min(e.y_min, s.y[i]);
    }
  if (!(e.x_max > e.x_min)) e.x_min = content.log_x ? 0.01 : 0, e.x_max = content.log_x ? 10 : 1;
  if (!(e.y_max > e.y_min)) e.y_max = e.y_min + 1;
  return e;
}

QAbstractAxis* make_x_axis(const ChartContent& content, const Extent& e) {
  QAbstractAxis* x_axis = nullptr;
  if (content.log_x) {
    auto* log_axis = new QLogValueAxis;
    log_axis->setBase(10);
    log_axis->setMinorTickCount(8);
    log_axis->setLabelFormat(QStringLiteral("%g"));
    log_axis->setRange(e.x_min, e.x_max);
    x_axis = log_axis;
  } else {
    auto* axis = new QValueAxis;
    axis->setRange(e.x_min, e.x_max);
    axis->applyNiceNumbers();  // ticks at round times
    axis->setLabelFormat(QStringLiteral("%.4g"));
    x_axis = axis;
  }
  x_axis->setTitleText(from_utf8(content.x_title));
  return x_axis;
}

QValueAxis* make_y_axis(const ChartContent& content, const Extent& e) {
  auto* y_axis = new QValueAxis;
  y_axis->setTitleText(from_utf8(content.y_title));
  // Spectra start at 0; a time history's axis takes its negative values too.
  y_axis->setRange(e.y_min < 0 ? e.y_min * 1.05 : 0.0, e.y_max > 0 ? e.y_max * 1.05 : 0.0);
  y_axis->applyNiceNumbers();
  y_axis->setLabelFormat(QStringLiteral("%.3g"));
  return y_axis;
}

void add_curves(QChart* chart, QAbstractAxis* x_axis, QValueAxis* y_axis, const ChartContent& content) {
  int index = 0;
  for (const PlotSeries& s : content.series) {
    auto* series = new QLineSeries;
    series->setName(from_utf8(s.name));
    // The design spectrum is the reference the records are held against: black and thicker.
    series->setPen(s.name.rfind("target", 0) == 0 ? QPen(Qt::black, 2.0, Qt::DashLine) : pen_of(index++));
    QList<QPointF> points;
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
      if (!content.log_x || s.x[i] > 0) points.append(QPointF(s.x[i], s.y[i]));
    series->replace(points);
    add_series(chart, series, x_axis, y_axis);
  }
}

}  // namespace

QWidget* make_chart_control(QWidget* parent) {
  auto* view = new QChartView(parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setFocusPolicy(Qt::NoFocus);
  // The view comes with an empty chart of its own; replacing it here would orphan that one.
  return view;
}

void show_chart(QWidget* control, const ChartContent& content) {
  auto* view = qobject_cast<QChartView*>(control);
  if (!view) return;
  auto* chart = new QChart;
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setAlignment(Qt::AlignTop);
  const Extent e = extent_of(content);
  QAbstractAxis* x_axis = make_x_axis(content, e);
  QValueAxis* y_axis = make_y_axis(content, e);
  chart->addAxis(x_axis, Qt::AlignBottom);
  chart->addAxis(y_axis, Qt::AlignLeft);
  if (content.has_band && content.band_to > content.band_from)
    add_band(chart, x_axis, y_axis, std::max(content.band_from, e.x_min), std::min(content.band_to, e.x_max));
  if (content.shade_from && *content.shade_from < e.x_max)
    add_shade(chart, x_axis, y_axis, std::max(*content.shade_from, e.x_min), e.x_max);
  add_curves(chart, x_axis, y_axis, content);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
  fit_legend(chart, view);
}

bool save_chart_picture(QWidget* control, const QString& path) {
  auto* view = qobject_cast<QChartView*>(control);
  return view && view->grab().save(path, "PNG");
}

int chart_curve_count(QWidget* control) {
  auto* view = qobject_cast<QChartView*>(control);
  if (!view) return 0;
  int n = 0;
  for (QAbstractSeries* s : view->chart()->series()) n += qobject_cast<QLineSeries*>(s) != nullptr;
  return n;
}

}  // namespace ui::qt
