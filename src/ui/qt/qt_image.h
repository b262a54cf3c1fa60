// Images of the Qt toolkit: what load_image returns and buttons and title bars show.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

#include "ui/toolkit.h"

namespace ui::qt {

struct QtImageData : Image::Data {
  ImageKind kind = ImageKind::icon;
  QIcon icon;      // every size the file holds (icons) or the one picture (bitmaps)
  QPixmap pixmap;  // the picture at the size asked for, or the file's largest
};

// A null image when the file is missing, unreadable or not a picture.
Image load_qt_image(const std::string& path, ImageKind kind, int width, int height);

// The Qt data of an image made by this toolkit; nullptr for a null or foreign image.
const QtImageData* qt_image_data(const Image& image);

}  // namespace ui::qt
