// brantel-screenshots OUTDIR [UIR_FOLDER]: a PNG picture of every dialog template, with the
// program's images on the buttons that carry them, and a report of layout faults on stdout.
// Without UIR_FOLDER it also runs the program in a copy of the example workspace and saves
// pictures of dialogs holding real data.
// Runs without a display: QT_QPA_PLATFORM=offscreen is set unless the caller chose a platform.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "ui/dialog_template.h"
#include "ui/qt/layout_check.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/screenshot.h"
#include "screenshots_tour.h"

namespace {

struct ButtonImage {
  int dialog;
  int button;
  const char* file;
  int width, height;
};

// Where the program puts its images when a dialog opens.
constexpr ButtonImage button_images[] = {
    {101, 1109, "InputFile1.ico", 0, 0},  {101, 1079, "SaveChanges.ico", 0, 0},
    {101, 1111, "LoadP.bmp", 37, 39},     {103, 1071, "SaveChanges.ico", 0, 0},
    {104, 1093, "SaveChanges.ico", 0, 0}, {105, 1092, "SaveChanges.ico", 0, 0},
    {106, 1101, "SaveChanges.ico", 0, 0}, {110, 1142, "SaveChanges.ico", 0, 0},
    {102, 1110, "Open.ico", 0, 0},        {102, 1033, "InputFile2.ico", 0, 0},
    {102, 1034, "Notepad.ico", 0, 0},     {102, 1086, "Loading.bmp", 0, 0},
};

void put_images(ui::Toolkit& toolkit, ui::Dialog& dialog, int dialog_id, const std::string& uir) {
  for (const ButtonImage& b : button_images) {
    if (b.dialog != dialog_id) continue;
    const ui::ImageKind kind = std::string(b.file).ends_with(".bmp") ? ui::ImageKind::bitmap
                                                                     : ui::ImageKind::icon;
    dialog.set_image(b.button, toolkit.load_image(uir + b.file, kind, b.width, b.height));
  }
  if (dialog_id == 102)
    dialog.set_window_icon(toolkit.load_image(uir + "InputFile2.ico", ui::ImageKind::icon, 0, 0));
}

int save_picture(ui::Toolkit& toolkit, const ui::DialogTemplate& t, const QString& out_dir,
                 const std::string& uir) {
  auto dialog = toolkit.create_dialog(t.id);
  auto* qt_dialog = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
  if (!qt_dialog) return 1;
  put_images(toolkit, *dialog, t.id, uir);
  // The program always shows a choice in its drop-downs; an empty box would mislead the eye.
  for (const ui::ControlTemplate& control : t.controls)
    if (control.kind == ui::ControlKind::drop_down && !control.items.empty()) dialog->select(control.id, 1);
  const QString file = QDir(out_dir).filePath(QStringLiteral("dialog_%1.png").arg(t.id));
  if (!ui::qt::dialog_picture(*qt_dialog).save(file)) {
    std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  std::printf("%s\n", file.toLocal8Bit().constData());
  for (const std::string& fault : ui::qt::layout_faults(*qt_dialog))
    std::printf("  dialog %d: %s\n", t.id, fault.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: brantel-screenshots OUTDIR [UIR_FOLDER]\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  // Absolute: the tour runs the program in another current directory.
  const QString out_dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(out_dir);
  std::string uir = argc == 3 ? argv[2] : BRANTEL_WORKSPACE "/uir";
  if (!uir.ends_with('/')) uir += '/';
  auto toolkit = ui::qt::make_qt_toolkit();
  int failures = 0;
  for (const ui::DialogTemplate* t : ui::all_templates())
    failures += save_picture(*toolkit, *t, out_dir, uir);
  if (argc == 2 && !take_tour_pictures(out_dir, BRANTEL_WORKSPACE)) {
    std::fprintf(stderr, "the tour of the program did not finish\n");
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
