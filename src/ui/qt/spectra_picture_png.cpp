#include "ui/qt/spectra_picture_png.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace ui::qt {
namespace {

constexpr int width_in = 8, height_in = 5;
constexpr double dots_per_metre = spectra_picture_dpi / 0.0254;

// Record colours: light enough that the mean and the target stand out above them.
const QColor record_colours[] = {QColor(102, 153, 204), QColor(153, 204, 102), QColor(204, 153, 102),
                                 QColor(153, 102, 204), QColor(102, 204, 204), QColor(204, 204, 102)};
const QColor mean_colour(0, 0, 0);
const QColor target_colour(204, 0, 0);
const QColor range_colour(225, 232, 245);

// A step of 1, 2 or 5 times a power of ten that cuts `span` into about `parts` parts.
double nice_step(double span, int parts) {
  const double raw = span / parts;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

QString number_text(double v) { return QString::number(v, 'g', 6); }

class Frame {
 public:
  Frame(QRectF area, double x_from, double x_to, double y_to)
      : area_(area), lx_from_(std::log10(x_from)), lx_to_(std::log10(x_to)), y_to_(y_to) {}
  double x(double period) const {
    return area_.left() + (std::log10(period) - lx_from_) / (lx_to_ - lx_from_) * area_.width();
  }
  double y(double value) const { return area_.bottom() - value / y_to_ * area_.height(); }
  const QRectF& area() const { return area_; }

 private:
  QRectF area_;
  double lx_from_, lx_to_, y_to_;
};

void draw_curve(QPainter& p, const Frame& f, const std::vector<double>& periods, const std::vector<double>& values) {
  QPainterPath path;
  bool open = false;
  for (std::size_t k = 0; k < periods.size() && k < values.size(); ++k) {
    if (!std::isfinite(values[k])) {
      open = false;
      continue;
    }
    const QPointF point(f.x(periods[k]), f.y(values[k]));
    open ? path.lineTo(point) : path.moveTo(point);
    open = true;
  }
  p.drawPath(path);
}

// The frame's values: the highest of every curve, with a little room above, up to a whole step.
struct ValueAxis {
  double step, to;
};

ValueAxis value_axis(const SpectraPicture& pic) {
  double top = 0;
  for (const auto& c : pic.records)
    for (double v : c.values) top = std::max(top, v);
  if (pic.mean)
    for (double v : pic.mean->values) top = std::max(top, v);
  for (const auto& t : pic.target)
    if (t) top = std::max(top, *t);
  if (!(top > 0) || !std::isfinite(top)) top = 1;
  const double step = nice_step(top * 1.05, 6);
  return {step, std::ceil(top * 1.05 / step) * step};
}

// The powers of ten within the periods, where the period axis has its lines and labels.
std::vector<double> decades(const SpectraPicture& pic) {
  std::vector<double> found;
  for (double decade = std::pow(10.0, std::ceil(std::log10(pic.periods.front()) - 1e-9)); decade <= pic.periods.back() * (1 + 1e-9);
       decade *= 10)
    found.push_back(decade);
  return found;
}

// The range the records are scaled over, shaded, and the grid lines.
void draw_grid(QPainter& p, const SpectraPicture& pic, const Frame& f, ValueAxis y) {
  const QRectF& area = f.area();
  if (pic.range) {
    const double a = std::clamp(f.x(pic.range->first), area.left(), area.right());
    const double b = std::clamp(f.x(pic.range->second), area.left(), area.right());
    p.fillRect(QRectF(a, area.top(), b - a, area.height()), range_colour);
  }
  p.setPen(QPen(QColor(200, 200, 200), 2));
  for (double v = y.step; v < y.to + y.step / 2; v += y.step) p.drawLine(QPointF(area.left(), f.y(v)), QPointF(area.right(), f.y(v)));
  for (double decade : decades(pic)) p.drawLine(QPointF(f.x(decade), area.top()), QPointF(f.x(decade), area.bottom()));
}

// The records, then the target and the mean above them, inside the frame.
void draw_curves(QPainter& p, const SpectraPicture& pic, const Frame& f) {
  p.setClipRect(f.area());
  for (std::size_t i = 0; i < pic.records.size(); ++i) {
    p.setPen(QPen(record_colours[i % std::size(record_colours)], 4));
    draw_curve(p, f, pic.periods, pic.records[i].values);
  }
  if (!pic.target.empty()) {
    std::vector<double> target;
    for (const auto& t : pic.target) target.push_back(t ? *t : NAN);
    p.setPen(QPen(target_colour, 10, Qt::DashLine));
    draw_curve(p, f, pic.periods, target);
  }
  if (pic.mean) {
    p.setPen(QPen(mean_colour, 10));
    draw_curve(p, f, pic.periods, pic.mean->values);
  }
  p.setClipping(false);
}

// The frame, the numbers along both axes, their titles and the picture's title above.
void draw_axes(QPainter& p, const SpectraPicture& pic, const Frame& f, ValueAxis y, double line, int width) {
  const QRectF& area = f.area();
  p.setPen(QPen(Qt::black, 3));
  p.drawRect(area);
  p.setPen(Qt::black);
  for (double v = 0; v < y.to + y.step / 2; v += y.step)
    p.drawText(QRectF(0, f.y(v) - line / 2, area.left() - line / 3, line), Qt::AlignRight | Qt::AlignVCenter,
               number_text(v));
  for (double decade : decades(pic))
    p.drawText(QRectF(f.x(decade) - line * 3, area.bottom() + line / 4, line * 6, line), Qt::AlignHCenter | Qt::AlignTop,
               number_text(decade));
  p.drawText(QRectF(area.left(), area.bottom() + line * 1.4, area.width(), line), Qt::AlignHCenter, "Period (s)");
  p.save();
  p.translate(line * 0.6, area.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-area.height() / 2, 0, area.height(), line), Qt::AlignHCenter, QString::fromStdString(pic.y_title));
  p.restore();
  const QFont font = p.font();
  QFont title = font;
  title.setPointSizeF(11);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRectF(0, line * 0.5, width, line * 2), Qt::AlignHCenter | Qt::AlignVCenter, QString::fromStdString(pic.title));
  p.setFont(font);
}

// The legend, top right inside the frame: the target, the mean, then the records.
void draw_legend(QPainter& p, const SpectraPicture& pic, const QRectF& area, const QFontMetricsF& metrics) {
  const double line = metrics.height();
  struct Entry {
    QString name;
    QPen pen;
  };
  std::vector<Entry> entries;
  if (!pic.target.empty()) entries.push_back({"target", QPen(target_colour, 10, Qt::DashLine)});
  if (pic.mean) entries.push_back({QString::fromStdString(pic.mean->name), QPen(mean_colour, 10)});
  const std::size_t shown = pic.records.size() <= 10 ? pic.records.size() : 0;
  for (std::size_t i = 0; i < shown; ++i)
    entries.push_back({QString::fromStdString(pic.records[i].name), QPen(record_colours[i % std::size(record_colours)], 4)});
  if (shown == 0 && !pic.records.empty())
    entries.push_back({QString::number(pic.records.size()) + " records", QPen(record_colours[0], 4)});
  double text_width = 0;
  for (const Entry& e : entries) text_width = std::max(text_width, metrics.horizontalAdvance(e.name));
  const QRectF box(area.right() - text_width - line * 4, area.top() + line / 2, text_width + line * 3.5,
                   line * (static_cast<double>(entries.size()) + 0.5));
  p.fillRect(box, QColor(255, 255, 255, 230));
  p.setPen(QPen(QColor(160, 160, 160), 2));
  p.drawRect(box);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const double y = box.top() + line * (static_cast<double>(i) + 0.75);
    p.setPen(entries[i].pen);
    p.drawLine(QPointF(box.left() + line / 3, y), QPointF(box.left() + line * 2.3, y));
    p.setPen(Qt::black);
    p.drawText(QRectF(box.left() + line * 2.7, y - line / 2, text_width + line, line), Qt::AlignLeft | Qt::AlignVCenter,
               entries[i].name);
  }
}

void draw(QPainter& p, const SpectraPicture& pic, int width, int height) {
  p.fillRect(0, 0, width, height, Qt::white);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font = p.font();
  font.setPointSizeF(9);
  p.setFont(font);
  const QFontMetricsF metrics(font);
  const double line = metrics.height();
  const ValueAxis y = value_axis(pic);
  const QRectF area(line * 6, line * 3, width - line * 7, height - line * 7);
  const Frame f(area, pic.periods.front(), pic.periods.back(), y.to);
  draw_grid(p, pic, f, y);
  draw_curves(p, pic, f);
  draw_axes(p, pic, f, y, line, width);
  draw_legend(p, pic, area, metrics);
}

}  // namespace

std::string spectra_picture_png(const SpectraPicture& picture, std::string& why) {
  if (picture.periods.size() < 2 || !(picture.periods.front() > 0) || !(picture.periods.back() > picture.periods.front())) {
    why = "no periods to draw";
    return {};
  }
  // Anew each time, living as long as the application: it takes the options it reads out of
  // argc and argv, and a second picture drawn from the same ones would find no platform named.
  static char name[] = "brantel", platform[] = "-platform", offscreen[] = "offscreen";
  int argc = 3;
  char* argv[] = {name, platform, offscreen, nullptr};
  std::unique_ptr<QGuiApplication> application;
  QtMessageHandler previous = nullptr;
  if (QCoreApplication::instance() == nullptr) {
    // A command's output is its files and its own lines; the platform's notes (no runtime
    // folder, ...) say nothing about the picture.
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    application = std::make_unique<QGuiApplication>(argc, argv);
  }
  QImage image(width_in * spectra_picture_dpi, height_in * spectra_picture_dpi, QImage::Format_RGB32);
  image.setDotsPerMeterX(static_cast<int>(std::lround(dots_per_metre)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dots_per_metre)));
  {
    QPainter painter(&image);
    draw(painter, picture, image.width(), image.height());
  }
  if (application) {
    application.reset();
    qInstallMessageHandler(previous);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    why = "the PNG could not be encoded";
    return {};
  }
  return bytes.toStdString();
}

}  // namespace ui::qt
