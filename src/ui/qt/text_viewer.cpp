#include "ui/qt/text_viewer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ui::qt {

namespace {

QPlainTextEdit* make_text_area(const QString& contents, QWidget* parent) {
  auto* area = new QPlainTextEdit(parent);
  area->setReadOnly(true);
  area->setLineWrapMode(QPlainTextEdit::NoWrap);
  area->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  area->setPlainText(contents);
  area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return area;
}

}  // namespace

void show_text_file(const QString& path, QWidget* parent) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    QMessageBox::critical(parent, QStringLiteral("Message"),
                          QStringLiteral("Cannot open the file \"%1\": %2").arg(path, file.errorString()));
    return;
  }
  QString contents = QString::fromUtf8(file.readAll());
  contents.remove(QLatin1Char('\r'));  // the solver's files end their lines with CR LF
  QDialog viewer(parent);
  viewer.setWindowTitle(path);
  auto* layout = new QVBoxLayout(&viewer);
  layout->addWidget(make_text_area(contents, &viewer));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &viewer);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &viewer, &QDialog::reject);
  layout->addWidget(buttons);
  viewer.resize(900, 640);
  viewer.exec();
}

}  // namespace ui::qt
