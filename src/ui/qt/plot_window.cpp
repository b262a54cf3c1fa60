#include "ui/qt/plot_window.h"

#include <QAbstractTableModel>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

#include "ui/qt/qt_text.h"
#include "ui/qt/window_fit.h"

namespace ui::qt {

namespace {

QString cell_text(double value, int digits) {
  return std::isnan(value) ? QString() : QString::number(value, 'g', digits);
}

QString column_title(const PlotTable& table, std::size_t column) {
  const QString name = from_utf8(table.headers[column]);
  return table.unit.empty() ? name : QStringLiteral("%1 (%2)").arg(name, from_utf8(table.unit));
}

// The table over the request's columns, without a copy per cell: a record of 40,000 points
// shows at once.
class TableModel final : public QAbstractTableModel {
 public:
  TableModel(const PlotTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.times.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.columns.size()) + 1;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    const auto row = static_cast<std::size_t>(index.row());
    if (index.column() == 0) return cell_text(table_.times[row], 7);
    return cell_text(table_.columns[index.column() - 1][row], 7);
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section == 0 ? QStringLiteral("Time (s)") : column_title(table_, section - 1);
  }

 private:
  const PlotTable& table_;
};

// Ten colours that stay apart on screen and in print; beyond them the line is dashed, so that
// no two curves of one chart look alike.
QPen curve_pen(int index) {
  static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                                   QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                   QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22),
                                   QColor(0x17, 0xbe, 0xcf)};
  constexpr int n = static_cast<int>(std::size(colours));
  QPen pen(colours[index % n], 1.5);
  if (index >= n) pen.setStyle(index / n % 2 == 1 ? Qt::DashLine : Qt::DotLine);
  return pen;
}

// The ticks are placed and labelled here rather than by the chart, whose sums of steps label a
// zero 6.939e-18.
void set_ticks(QCategoryAxis& axis, double low, double high, int target) {
  const AxisTicks ticks = nice_ticks(low, high, target);
  axis.setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axis.setStartValue(ticks.values.front());
  for (std::size_t i = 0; i < ticks.values.size(); ++i) axis.append(ticks.labels[i], ticks.values[i]);
  axis.setRange(ticks.values.front(), ticks.values.back());
}

QChart* make_chart(const PlotPanel& panel, const QString& x_title) {
  auto* chart = new QChart;
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setVisible(panel.series.size() > 1);
  chart->legend()->setAlignment(Qt::AlignRight);
  auto* x_axis = new QCategoryAxis;
  auto* y_axis = new QCategoryAxis;
  x_axis->setTitleText(x_title);
  y_axis->setTitleText(from_utf8(panel.y_title));
  chart->addAxis(x_axis, Qt::AlignBottom);
  chart->addAxis(y_axis, Qt::AlignLeft);
  double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
  bool any = false;
  for (const PlotSeries& s : panel.series) {
    auto* series = new QLineSeries;
    series->setName(from_utf8(s.name));
    series->setPen(curve_pen(static_cast<int>(chart->series().size())));
    series->replace(points_to_draw(s.x, s.y));
    // The points of a short series are the data (a load given at one time point has no line
    // at all): they are marked.
    series->setPointsVisible(s.x.size() <= 200);
    chart->addSeries(series);
    series->attachAxis(x_axis);
    series->attachAxis(y_axis);
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
      if (!any) x_min = x_max = s.x[i], y_min = y_max = s.y[i];
      any = true;
      x_min = std::min(x_min, s.x[i]), x_max = std::max(x_max, s.x[i]);
      y_min = std::min(y_min, s.y[i]), y_max = std::max(y_max, s.y[i]);
    }
  }
  // A flat or single-point curve still gets an axis a person can read.
  if (x_max <= x_min) x_max = x_min + 1;
  if (y_max <= y_min) y_min -= 1, y_max += 1;
  const double margin = (y_max - y_min) * 0.05;
  // A label that does not fit between its neighbours is elided: a chart as low as the window
  // lets it be has room for about five of them up its side.
  set_ticks(*x_axis, x_min, x_max, 6);
  set_ticks(*y_axis, y_min - margin, y_max + margin, 4);
  return chart;
}

// Stacked charts share their time axis: each chart's margins grow until its plot area has the
// left and right edges of the chart with the widest value labels and legend. (A fixed plot area
// would leave the axes where the automatic layout put them.)
void align_plot_areas(const QList<QChart*>& charts) {
  if (charts.size() < 2) return;
  constexpr int margin = 4;
  qreal left = 0, right = std::numeric_limits<qreal>::max();
  for (QChart* chart : charts) {
    chart->setMargins(QMargins(margin, margin, margin, margin));
    chart->layout()->activate();
    left = std::max(left, chart->plotArea().left());
    right = std::min(right, chart->plotArea().right());
  }
  if (right <= left) return;
  for (QChart* chart : charts) {
    const QRectF area = chart->plotArea();
    chart->setMargins(QMargins(margin + static_cast<int>(std::lround(left - area.left())), margin,
                               margin + static_cast<int>(std::lround(area.right() - right)), margin));
    chart->layout()->activate();
  }
}

// The picture's size and resolution, asked before it is written.
bool ask_picture_size(QWidget* parent, PictureSize& size) {
  QDialog box(parent);
  box.setWindowTitle(QStringLiteral("Export Picture"));
  auto* width = new QDoubleSpinBox(&box);
  auto* height = new QDoubleSpinBox(&box);
  for (QDoubleSpinBox* edit : {width, height}) {
    edit->setRange(20, 1000);
    edit->setDecimals(0);
    edit->setSuffix(QStringLiteral(" mm"));
  }
  width->setValue(size.width_mm);
  height->setValue(size.height_mm);
  auto* dpi = new QSpinBox(&box);
  dpi->setRange(72, 1200);
  dpi->setValue(size.dpi);
  dpi->setSuffix(QStringLiteral(" dpi"));
  auto* pixels = new QLabel(&box);
  auto show_pixels = [&] {
    const QSize p = PictureSize{width->value(), height->value(), dpi->value()}.pixels();
    pixels->setText(QStringLiteral("%1 x %2 pixels").arg(p.width()).arg(p.height()));
  };
  show_pixels();
  for (QDoubleSpinBox* edit : {width, height})
    QObject::connect(edit, &QDoubleSpinBox::valueChanged, &box, show_pixels);
  QObject::connect(dpi, &QSpinBox::valueChanged, &box, show_pixels);
  auto* form = new QFormLayout(&box);
  form->addRow(QStringLiteral("&Width"), width);
  form->addRow(QStringLiteral("&Height"), height);
  form->addRow(QStringLiteral("&Resolution"), dpi);
  form->addRow(QString(), pixels);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  form->addRow(buttons);
  if (box.exec() != QDialog::Accepted) return false;
  size = PictureSize{width->value(), height->value(), dpi->value()};
  return true;
}

}  // namespace

QSize PictureSize::pixels() const {
  const double per_mm = dpi / 25.4;
  return QSize(std::max(1, static_cast<int>(std::lround(width_mm * per_mm))),
               std::max(1, static_cast<int>(std::lround(height_mm * per_mm))));
}

AxisTicks nice_ticks(double low, double high, int target) {
  if (!(high > low) || !std::isfinite(low) || !std::isfinite(high)) {
    low = std::isfinite(low) ? low - 1 : -1;
    high = low + 2;
  }
  const double raw = (high - low) / std::max(target, 1);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * magnitude;
  for (double m : {1.0, 2.0, 5.0})
    if (m * magnitude >= raw * (1 - 1e-9)) {
      step = m * magnitude;
      break;
    }
  const auto first = static_cast<long long>(std::floor(low / step + 1e-9));
  const auto last = static_cast<long long>(std::ceil(high / step - 1e-9));
  const double largest = std::max(std::abs(first * step), std::abs(last * step));
  // Fixed decimals as fine as the step while the numbers stay short; powers of ten beyond.
  const int step_exponent = static_cast<int>(std::floor(std::log10(step) + 1e-9));
  const bool fixed = largest < 1e6 && step_exponent >= -4;
  const int largest_exponent =
      largest > 0 ? static_cast<int>(std::floor(std::log10(largest) + 1e-9)) : step_exponent;
  AxisTicks ticks;
  for (long long k = first; k <= last; ++k) {
    // Each tick is a whole number of steps, never a sum of them, so the tick at 0 is 0.
    const double value = static_cast<double>(k) * step;
    char text[48];
    if (k == 0)
      std::snprintf(text, sizeof text, "0");
    else if (fixed)
      std::snprintf(text, sizeof text, "%.*f", std::max(0, -step_exponent), value);
    else
      std::snprintf(text, sizeof text, "%.*e", std::clamp(largest_exponent - step_exponent, 0, 9), value);
    ticks.values.push_back(value);
    ticks.labels.push_back(QString::fromLatin1(text));
  }
  return ticks;
}

QList<QPointF> points_to_draw(const std::vector<double>& x, const std::vector<double>& y, int max_points) {
  const std::size_t n = std::min(x.size(), y.size());
  QList<QPointF> out;
  if (n <= static_cast<std::size_t>(max_points)) {
    out.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) out.append(QPointF(x[i], y[i]));
    return out;
  }
  const std::size_t slices = static_cast<std::size_t>(max_points) / 2 - 1;
  out.reserve(max_points);
  out.append(QPointF(x[0], y[0]));
  for (std::size_t k = 0; k < slices; ++k) {
    const std::size_t begin = 1 + (n - 2) * k / slices, end = 1 + (n - 2) * (k + 1) / slices;
    if (begin >= end) continue;
    std::size_t lo = begin, hi = begin;
    for (std::size_t i = begin; i < end; ++i) {
      if (y[i] < y[lo]) lo = i;
      if (y[i] > y[hi]) hi = i;
    }
    out.append(QPointF(x[std::min(lo, hi)], y[std::min(lo, hi)]));
    if (lo != hi) out.append(QPointF(x[std::max(lo, hi)], y[std::max(lo, hi)]));
  }
  out.append(QPointF(x[n - 1], y[n - 1]));
  return out;
}

PlotWindow::PlotWindow(const PlotRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
  setObjectName(QStringLiteral("plot_window"));
  setProperty("plot_title", from_utf8(request_.title));
  setProperty("plot_points", static_cast<qulonglong>(request_.point_count()));
  setWindowTitle(from_utf8(request_.title));
  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  curves_ = new QWidget(splitter);
  auto* curves_layout = new QVBoxLayout(curves_);
  curves_layout->setContentsMargins(0, 0, 0, 0);
  for (const PlotPanel& panel : request_.panels) {
    QChart* chart = make_chart(panel, from_utf8(request_.x_title));
    charts_.append(chart);
    auto* view = new QChartView(chart, curves_);
    view->setRenderHint(QPainter::Antialiasing, false);
    view->setFocusPolicy(Qt::NoFocus);
    view->setMinimumHeight(150);
    view->installEventFilter(this);
    curves_layout->addWidget(view);
  }
  align_timer_.setSingleShot(true);
  connect(&align_timer_, &QTimer::timeout, this, [this] { align_plot_areas(charts_); });
  table_ = new QTableView(splitter);
  table_->setModel(new TableModel(request_.table, table_));
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->setAccessibleName(QStringLiteral("Table"));
  splitter->addWidget(curves_);
  splitter->addWidget(table_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({800, 300});
  layout->addWidget(splitter, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* picture = buttons->addButton(QStringLiteral("Export &Picture..."), QDialogButtonBox::ActionRole);
  QPushButton* table = buttons->addButton(QStringLiteral("Export &Table..."), QDialogButtonBox::ActionRole);
  connect(picture, &QPushButton::clicked, this, &PlotWindow::export_picture);
  connect(table, &QPushButton::clicked, this, &PlotWindow::export_table);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setTabOrder(table_, picture);
  setTabOrder(picture, table);
  setTabOrder(table, buttons->button(QDialogButtonBox::Close));
  buttons->button(QDialogButtonBox::Close)->setDefault(true);
  fit_to_screen(*this, QSize(1100, 220 + 190 * static_cast<int>(std::max<qsizetype>(request_.panels.size(), 1))));
}

bool PlotWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) align_timer_.start(0);
  return QDialog::eventFilter(watched, event);
}

PictureSize PlotWindow::default_picture_size() const {
  return PictureSize{170, 30.0 + 55.0 * static_cast<double>(std::max<std::size_t>(request_.panels.size(), 1)), 300};
}

// The charts are drawn anew at the picture's size, as a page of it would be laid out: the
// texts keep their size in points whatever the number of pixels.
QImage PlotWindow::picture(const PictureSize& size) const {
  const QSize pixels = size.pixels();
  QImage image(pixels, QImage::Format_ARGB32);
  image.fill(Qt::white);
  const int dots_per_metre = static_cast<int>(std::lround(size.dpi / 0.0254));
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  const qreal scale = size.dpi / 96.0;
  const QSizeF page(pixels.width() / scale, pixels.height() / scale);
  // In pixels of the page: a size in points would be taken at the image's resolution and then
  // scaled to it a second time.
  QFont title_font = font();
  title_font.setBold(true);
  title_font.setPixelSize(static_cast<int>(std::lround(QFontInfo(font()).pixelSize() * 1.3)));
  const qreal title_height = QFontMetricsF(title_font).height() * 1.8;
  QGraphicsScene scene;
  QList<QChart*> charts;
  const qsizetype n = std::max<qsizetype>(request_.panels.size(), 1);
  const qreal chart_height = (page.height() - title_height) / static_cast<qreal>(n);
  for (const PlotPanel& panel : request_.panels) {
    QChart* chart = make_chart(panel, from_utf8(request_.x_title));
    scene.addItem(chart);
    chart->setPos(0, title_height + chart_height * static_cast<qreal>(charts.size()));
    chart->resize(page.width(), chart_height);
    charts.append(chart);
  }
  for (QChart* chart : charts) chart->layout()->activate();
  align_plot_areas(charts);
  scene.setSceneRect(QRectF(QPointF(0, 0), page));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(scale, scale);
  painter.setFont(title_font);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(0, 0, page.width(), title_height), Qt::AlignCenter, from_utf8(request_.title));
  scene.render(&painter, QRectF(QPointF(0, 0), page), QRectF(QPointF(0, 0), page));
  return image;
}

bool PlotWindow::save_picture(const QString& path, const PictureSize& size) const {
  return picture(size).save(path, "PNG");
}

bool PlotWindow::save_picture(const QString& path) const { return save_picture(path, default_picture_size()); }

bool PlotWindow::save_table(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QTextStream out(&file);
  out << "Time (s)";
  for (std::size_t c = 0; c < request_.table.headers.size(); ++c) out << ',' << column_title(request_.table, c);
  out << '\n';
  for (std::size_t r = 0; r < request_.table.times.size(); ++r) {
    out << cell_text(request_.table.times[r], 9);
    for (const std::vector<double>& column : request_.table.columns) out << ',' << cell_text(column[r], 9);
    out << '\n';
  }
  out.flush();
  return file.error() == QFileDevice::NoError;
}

void PlotWindow::export_picture() {
  PictureSize size = default_picture_size();
  if (!ask_picture_size(this, size)) return;
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Picture"), QString(),
                                                    QStringLiteral("PNG pictures (*.png)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  const QString named = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? path : path + ".png";
  if (!save_picture(named, size))
    QMessageBox::critical(this, QStringLiteral("Export Picture"), QStringLiteral("Cannot write \"%1\".").arg(named));
}

void PlotWindow::export_table() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Table"), QString(),
                                                    QStringLiteral("CSV tables (*.csv)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  const QString named = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? path : path + ".csv";
  if (!save_table(named))
    QMessageBox::critical(this, QStringLiteral("Export Table"), QStringLiteral("Cannot write \"%1\".").arg(named));
}

void show_plot_window(const PlotRequest& request, QWidget* parent) {
  PlotWindow window(request, parent);
  window.exec();
}

}  // namespace ui::qt
