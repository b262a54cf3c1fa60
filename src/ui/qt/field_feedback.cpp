#include "ui/qt/field_feedback.h"

#include <QVariant>

namespace ui::qt {

namespace {

constexpr const char* kind_property = "brantel_field_kind";
constexpr const char* length_property = "brantel_field_length";

}  // namespace

void watch_conversion(QLineEdit* edit, const FieldFormat& format) {
  if (format.kind == FieldKind::free_text) return;
  edit->setProperty(kind_property, static_cast<int>(format.kind));
  edit->setProperty(length_property, static_cast<qulonglong>(format.length));
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { mark_conversion(edit); });
}

void mark_conversion(QLineEdit* edit) {
  const QVariant kind = edit->property(kind_property);
  if (!kind.isValid()) return;
  const FieldFormat format{static_cast<FieldKind>(kind.toInt()),
                       static_cast<std::size_t>(edit->property(length_property).toULongLong())};
  const std::string note = conversion_note(format, edit->text().toStdString());
  if (note.empty()) {
    edit->setStyleSheet(QString());
    edit->setToolTip(QString());
  } else {
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
    edit->setToolTip(QString::fromStdString(note));
  }
}

}  // namespace ui::qt
