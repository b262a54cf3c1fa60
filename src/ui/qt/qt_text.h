// Texts between the program (UTF-8 std::string) and the widgets (QString).
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace ui::qt {

inline QString from_utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Buttons and group titles take "&" as a shortcut marker; the program's labels mean the sign.
inline QString button_text(std::string_view label) {
  return from_utf8(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}
inline QString plain_text(QString shown) { return shown.replace(QLatin1String("&&"), QLatin1String("&")); }

// The first `length` bytes of the UTF-8 text, blank-padded to exactly `length`. A character
// that would be cut in two is left out whole, so the result is always valid UTF-8.
std::string padded_utf8(const QString& text, std::size_t length);

}  // namespace ui::qt
