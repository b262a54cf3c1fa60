#include "ui/qt/qt_toolkit.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTreeView>

#include "ui/dialog_template.h"
#include "ui/platform.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_image.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/text_viewer.h"

namespace ui::qt {

namespace {

// The program keeps file names in fields of this many characters; a longer path would be cut.
constexpr qsizetype max_path_bytes = 260;

QMessageBox::Icon message_icon(Icon icon) {
  switch (icon) {
    case Icon::information: return QMessageBox::Information;
    case Icon::error: return QMessageBox::Critical;
    case Icon::warning: return QMessageBox::Warning;
    case Icon::question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// "Loading files" + "*.inc;*.INC" -> "Loading files (*.inc *.INC)". The file box takes the
// brackets at the end of a label as the patterns themselves, so a label that ends with its own
// description of them ("Data files (.dat)") has it replaced by the request's patterns.
QString name_filter(const FileFilter& filter) {
  QString label = from_utf8(filter.label).trimmed();
  if (label.endsWith(QLatin1Char(')')) && label.contains(QLatin1Char('(')))
    label = label.left(label.lastIndexOf(QLatin1Char('('))).trimmed();
  QString patterns = from_utf8(filter.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
  return QStringLiteral("%1 (%2)").arg(label, patterns.simplified());
}

// What is wrong with the chosen name, or an empty text when the program can use it.
QString problem_with(const QString& chosen) {
  const QFileInfo info(chosen);
  if (!QFileInfo(info.absolutePath()).isDir())
    return QStringLiteral("The folder \"%1\" does not exist.").arg(info.absolutePath());
  if (info.isDir()) return QStringLiteral("\"%1\" is a folder, not a file.").arg(chosen);
  if (info.absoluteFilePath().toUtf8().size() > max_path_bytes)
    return QStringLiteral("The path is longer than %1 characters.").arg(max_path_bytes);
  return {};
}

void prepare_file_box(QFileDialog& box, const OpenFileRequest& request, const std::string& preset) {
  box.setOption(QFileDialog::DontUseNativeDialog);
  box.setFileMode(QFileDialog::AnyFile);
  box.setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  for (const FileFilter& filter : request.filters) filters << name_filter(filter);
  box.setNameFilters(filters);
  if (request.selected_filter >= 1 && request.selected_filter <= filters.size())
    box.selectNameFilter(filters[request.selected_filter - 1]);
  box.setDefaultSuffix(from_utf8(request.default_extension));
  const QString name = from_utf8(preset).trimmed();
  if (!name.isEmpty()) box.selectFile(name);
  // The details columns (size, type, date) are shown whole; the name takes the room left.
  if (auto* details = box.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  box.resize(900, 520);
}

class QtToolkit final : public Toolkit {
 public:
  explicit QtToolkit(LineNotesMaker make_notes) : make_notes_(std::move(make_notes)) {}

  std::unique_ptr<Dialog> create_dialog(int template_id) override {
    const DialogTemplate* dialog_template = find_template(template_id);
    if (!dialog_template) return nullptr;
    return std::make_unique<QtDialog>(*dialog_template, QApplication::activeModalWidget());
  }

  Answer message_box(std::string_view text, std::string_view title, Icon icon,
                     Buttons buttons) override;
  bool open_file_box(const OpenFileRequest& request, std::string& path_buffer) override;
  bool save_file_box(const OpenFileRequest& request, std::string& path_buffer) override;
  bool choose_folder(const std::string& title, const std::string& initial_folder, std::string& path) override;
  bool open_files_box(const OpenFileRequest& request, std::vector<std::string>& paths) override;
  int run_steps(const Progress& progress, const Step& step) override;

  Image load_image(const std::string& path, ImageKind kind, int width, int height) override {
    return load_qt_image(path, kind, width, height);
  }

  // Our own viewer, modal: the call returns when it is closed, as it would for an external editor.
  void show_text_file(const std::string& path) override {
    qt::show_text_file(from_utf8(path).trimmed(), make_notes_, QApplication::activeModalWidget());
  }

  void show_plot(const PlotRequest& request) override {
    show_plot_window(request, QApplication::activeModalWidget());
  }

 private:
  bool choose_one_file(const OpenFileRequest& request, std::string& path_buffer, bool save);

  LineNotesMaker make_notes_;
};

Answer QtToolkit::message_box(std::string_view text, std::string_view title, Icon icon,
                              Buttons buttons) {
  const bool question = buttons != Buttons::ok;
  QMessageBox box(message_icon(icon), from_utf8(title), from_utf8(text),
                  question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  QApplication::activeModalWidget());
  box.setTextFormat(Qt::PlainText);
  if (question) {
    box.setDefaultButton(buttons == Buttons::yes_no ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);  // Esc and the close box answer No
  }
  const int pressed = box.exec();
  if (!question) return Answer::ok;
  return pressed == QMessageBox::Yes ? Answer::yes : Answer::no;
}

bool QtToolkit::open_file_box(const OpenFileRequest& request, std::string& path_buffer) {
  return choose_one_file(request, path_buffer, false);
}

// The question before a file is replaced is the dialogs' own, the same in every face: the box
// asks none of its own.
bool QtToolkit::save_file_box(const OpenFileRequest& request, std::string& path_buffer) {
  return choose_one_file(request, path_buffer, true);
}

bool QtToolkit::choose_one_file(const OpenFileRequest& request, std::string& path_buffer, bool save) {
  // No owner window: the box is modal for the whole application.
  QFileDialog box(nullptr, from_utf8(request.title), from_utf8(request.initial_folder));
  prepare_file_box(box, request, path_buffer);
  if (save) {
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setOption(QFileDialog::DontConfirmOverwrite);
  }
  while (box.exec() == QDialog::Accepted) {
    const QString chosen = box.selectedFiles().value(0);
    const QString problem = problem_with(chosen);
    if (!problem.isEmpty()) {
      QMessageBox::warning(&box, from_utf8(request.title), problem);
      continue;
    }
    const QFileInfo info(chosen);
    // The case scratch files are written beside the file chosen last.
    set_current_directory(info.absolutePath().toStdString());
    path_buffer = QDir::cleanPath(info.absoluteFilePath()).toStdString();
    return true;
  }
  return false;
}

bool QtToolkit::open_files_box(const OpenFileRequest& request, std::vector<std::string>& paths) {
  QFileDialog box(nullptr, from_utf8(request.title), from_utf8(request.initial_folder));
  std::string none;
  prepare_file_box(box, request, none);
  box.setFileMode(QFileDialog::ExistingFiles);
  while (box.exec() == QDialog::Accepted) {
    QString problem;
    for (const QString& chosen : box.selectedFiles())
      if (problem.isEmpty()) problem = problem_with(chosen);
    if (!problem.isEmpty()) {
      QMessageBox::warning(&box, from_utf8(request.title), problem);
      continue;
    }
    paths.clear();
    for (const QString& chosen : box.selectedFiles())
      paths.push_back(QDir::cleanPath(QFileInfo(chosen).absoluteFilePath()).toStdString());
    if (paths.empty()) return false;
    set_current_directory(QFileInfo(box.selectedFiles().first()).absolutePath().toStdString());
    return true;
  }
  return false;
}

ProgressObserver& progress_observer() {
  static ProgressObserver observer;
  return observer;
}

// The steps run on this thread, each whole; between them the bar takes the user's input, so
// Cancel stops the work where it stands, never inside a step.
int QtToolkit::run_steps(const Progress& progress, const Step& step) {
  QProgressDialog bar(from_utf8(progress.text), QObject::tr("Cancel"), 0, progress.steps,
                      QApplication::activeModalWidget());
  bar.setObjectName(QStringLiteral("progress_window"));
  // Steps, not a percentage: a step is a record, and a person counts records.
  auto* steps = new QProgressBar(&bar);
  steps->setFormat(QObject::tr("%v of %m"));
  bar.setBar(steps);
  // The range lives in the bar: the new one starts at 0 to 100 and would read "4 of 100".
  bar.setRange(0, progress.steps);
  bar.setWindowTitle(from_utf8(progress.title));
  bar.setWindowModality(Qt::ApplicationModal);
  bar.setMinimumDuration(0);
  bar.setMinimumWidth(480);
  bar.setAutoClose(false);
  bar.setAutoReset(false);
  bar.setValue(0);
  bar.show();
  QApplication::processEvents();
  if (progress_observer()) progress_observer()(bar, 0, progress.steps, false);
  int done = 0;
  while (done < progress.steps && !bar.wasCanceled()) {
    const std::string text = step(done++);
    bar.setValue(done);
    bar.setLabelText(from_utf8(text));
    QApplication::processEvents();
    if (progress_observer()) progress_observer()(bar, done, progress.steps, false);
    QApplication::processEvents();
  }
  if (progress_observer()) progress_observer()(bar, done, progress.steps, true);
  return done;
}

bool QtToolkit::choose_folder(const std::string& title, const std::string& initial_folder, std::string& path) {
  QFileDialog box(nullptr, from_utf8(title), from_utf8(initial_folder));
  box.setOption(QFileDialog::DontUseNativeDialog);
  box.setFileMode(QFileDialog::Directory);
  box.setOption(QFileDialog::ShowDirsOnly);
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return false;
  path = QDir::cleanPath(QFileInfo(box.selectedFiles().first()).absoluteFilePath()).toStdString();
  return true;
}

}  // namespace

void set_progress_observer(ProgressObserver observer) { progress_observer() = std::move(observer); }

std::unique_ptr<Toolkit> make_qt_toolkit(LineNotesMaker make_notes) {
  return std::make_unique<QtToolkit>(std::move(make_notes));
}

}  // namespace ui::qt
