#include "ui/qt/qt_text.h"

#include <QByteArray>

namespace ui::qt {

namespace {
bool continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::string padded_utf8(const QString& text, std::size_t length) {
  const QByteArray bytes = text.toUtf8();
  std::size_t cut = std::min(length, static_cast<std::size_t>(bytes.size()));
  if (cut < static_cast<std::size_t>(bytes.size()))
    while (cut > 0 && continuation_byte(bytes[static_cast<qsizetype>(cut)])) --cut;
  std::string result(bytes.constData(), cut);
  result.resize(length, ' ');
  return result;
}

}  // namespace ui::qt
