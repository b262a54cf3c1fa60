#include "ui/qt/text_viewer.h"

#include <QMessageBox>

#include "ui/qt/loading_file_viewer.h"

namespace ui::qt {

void show_text_file(const QString& path, const LineNotesMaker& make_notes, QWidget* parent) {
  LoadingFileViewer viewer(path, make_notes, parent);
  QString error;
  if (!viewer.open(error)) {
    QMessageBox::critical(parent, QStringLiteral("Message"),
                          QStringLiteral("Cannot open the file \"%1\": %2").arg(path, error));
    return;
  }
  viewer.exec();
}

}  // namespace ui::qt
