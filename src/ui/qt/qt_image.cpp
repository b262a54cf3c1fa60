#include "ui/qt/qt_image.h"

#include <QImage>
#include <QImageReader>
#include <memory>

namespace ui::qt {

namespace {

// Every picture in the file: an icon file may hold several sizes of the same image.
std::vector<QImage> read_all_pictures(const QString& path) {
  std::vector<QImage> pictures;
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  do {
    QImage picture = reader.read();
    if (picture.isNull()) break;
    pictures.push_back(std::move(picture));
  } while (reader.jumpToNextImage());
  return pictures;
}

QImage largest(const std::vector<QImage>& pictures) {
  QImage best = pictures.front();
  for (const QImage& p : pictures)
    if (p.width() * p.height() > best.width() * best.height()) best = p;
  return best;
}

}  // namespace

Image load_qt_image(const std::string& path, ImageKind kind, int width, int height) {
  std::vector<QImage> pictures = read_all_pictures(QString::fromStdString(path));
  if (pictures.empty()) return Image();
  auto data = std::make_shared<QtImageData>();
  data->kind = kind;
  QImage main = largest(pictures);
  if (width > 0 && height > 0) {
    // The size asked for replaces the file's own, as the stretched picture of a button.
    main = main.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    data->icon.addPixmap(QPixmap::fromImage(main));
  } else {
    for (const QImage& p : pictures) data->icon.addPixmap(QPixmap::fromImage(p));
  }
  data->pixmap = QPixmap::fromImage(main);
  return Image(std::move(data));
}

const QtImageData* qt_image_data(const Image& image) {
  return dynamic_cast<const QtImageData*>(image.data());
}

}  // namespace ui::qt
