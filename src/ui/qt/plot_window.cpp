#include "ui/qt/plot_window.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextStream>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <cmath>

#include "ui/qt/qt_text.h"

namespace ui::qt {

namespace {

QString cell_text(double value, int digits) {
  return std::isnan(value) ? QString() : QString::number(value, 'g', digits);
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
    return section == 0 ? QStringLiteral("Time (s)") : from_utf8(table_.headers[section - 1]);
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

QChart* make_chart(const PlotPanel& panel, const QString& x_title) {
  auto* chart = new QChart;
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setVisible(panel.series.size() > 1);
  chart->legend()->setAlignment(Qt::AlignRight);
  auto* x_axis = new QValueAxis;
  auto* y_axis = new QValueAxis;
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
  x_axis->setRange(x_min, x_max);
  x_axis->applyNiceNumbers();
  x_axis->setLabelFormat(QStringLiteral("%.4g"));
  y_axis->setRange(y_min - margin, y_max + margin);
  y_axis->applyNiceNumbers();
  y_axis->setLabelFormat(QStringLiteral("%.4g"));
  return chart;
}

}  // namespace

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
    view->setMinimumHeight(160);
    curves_layout->addWidget(view);
  }
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
  resize(1100, 220 + 190 * static_cast<int>(std::max<qsizetype>(request_.panels.size(), 1)));
}

bool PlotWindow::save_picture(const QString& path) {
  // A window never shown has not been laid out yet: its picture would be of empty charts.
  if (!isVisible()) {
    ensurePolished();
    layout()->activate();
  }
  return curves_->grab().save(path, "PNG");
}

bool PlotWindow::save_table(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QTextStream out(&file);
  out << "Time";
  for (const std::string& h : request_.table.headers) out << ',' << from_utf8(h);
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
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Picture"), QString(),
                                                    QStringLiteral("PNG pictures (*.png)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  const QString named = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? path : path + ".png";
  if (!save_picture(named))
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
