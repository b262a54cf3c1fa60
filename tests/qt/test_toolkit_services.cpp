// The toolkit's services besides dialogs: images from the workspace, message boxes, the
// open-file box and its change of the current directory, and the text viewer.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "qt_test_support.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_image.h"
#include "ui/qt/loading_file_viewer.h"
#include "ui/qt/qt_toolkit.h"

namespace {

namespace fs = std::filesystem;
using qt_test::ModalScript;

class ToolkitServices : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::ensure_application();
    toolkit = ui::qt::make_qt_toolkit();
    ASSERT_TRUE(folder.isValid());
  }
  void TearDown() override { fs::current_path(start_directory); }

  std::string path(const std::string& name) const { return (folder.path() + "/").toStdString() + name; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }

  std::unique_ptr<ui::Toolkit> toolkit;
  QTemporaryDir folder;
  fs::path start_directory = fs::current_path();
};

const std::string uir = BRANTEL_WORKSPACE "/uir/";

TEST_F(ToolkitServices, WorkspaceImagesLoadAtTheirOwnOrTheAskedSize) {
  for (const char* name : {"Open.ico", "InputFile2.ico", "Notepad.ico", "InputFile1.ico", "SaveChanges.ico"}) {
    ui::Image icon = toolkit->load_image(uir + name, ui::ImageKind::icon, 0, 0);
    ASSERT_FALSE(icon.null()) << name;
    EXPECT_EQ(ui::qt::qt_image_data(icon)->icon.availableSizes().size(), 4) << name;
  }
  ui::Image load = toolkit->load_image(uir + "LoadP.bmp", ui::ImageKind::bitmap, 37, 39);
  ASSERT_FALSE(load.null());
  EXPECT_EQ(ui::qt::qt_image_data(load)->pixmap.size(), QSize(37, 39));
  ui::Image stretched = toolkit->load_image(uir + "Loading.bmp", ui::ImageKind::bitmap, 20, 10);
  ASSERT_FALSE(stretched.null());
  EXPECT_EQ(ui::qt::qt_image_data(stretched)->pixmap.size(), QSize(20, 10));
}

TEST_F(ToolkitServices, MissingOrCorruptImagesAreNullHandles) {
  write("garbage.ico", std::string(300, '\x7f'));
  write("empty.bmp", "");
  std::ifstream whole(uir + "Loading.bmp", std::ios::binary);
  write("truncated.bmp", std::string(std::istreambuf_iterator<char>(whole), {}).substr(0, 40));
  EXPECT_TRUE(toolkit->load_image(path("absent.ico"), ui::ImageKind::icon, 0, 0).null());
  EXPECT_TRUE(toolkit->load_image(path("garbage.ico"), ui::ImageKind::icon, 0, 0).null());
  EXPECT_TRUE(toolkit->load_image(path("empty.bmp"), ui::ImageKind::bitmap, 37, 39).null());
  EXPECT_TRUE(toolkit->load_image(path("truncated.bmp"), ui::ImageKind::bitmap, 0, 0).null());
}

TEST_F(ToolkitServices, ImagesGoOnButtonsWithTheirTextAndANullImageTakesThemOff) {
  auto dialog = toolkit->create_dialog(108);
  auto* q = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
  auto* ok = qobject_cast<QPushButton*>(q->widget(1));
  dialog->set_image(1, toolkit->load_image(uir + "SaveChanges.ico", ui::ImageKind::icon, 0, 0));
  EXPECT_FALSE(ok->icon().isNull());
  EXPECT_LE(ok->iconSize().height(), ok->height());
  EXPECT_EQ(qt_test::drawn_text(ok->text()), "OK");
  dialog->set_image(1, ui::Image());
  EXPECT_TRUE(ok->icon().isNull());
  dialog->set_window_icon(toolkit->load_image(uir + "InputFile2.ico", ui::ImageKind::icon, 0, 0));
  EXPECT_FALSE(q->window()->windowIcon().isNull());
}

// A button too small for image and label shows the image alone; the label stays its name.
TEST_F(ToolkitServices, ASmallButtonShowsItsImageAloneAndKeepsItsLabel) {
  ui::DialogTemplate t{901, "Buttons", 300, 100,
                       {{5, ui::ControlKind::push_button, "SAVE Changes", {}, {10, 10, 56, 56}},
                        {6, ui::ControlKind::push_button, "SAVE Changes", {}, {80, 10, 180, 44}}}};
  ui::qt::QtDialog dialog(t, nullptr);
  const ui::Image save = toolkit->load_image(uir + "SaveChanges.ico", ui::ImageKind::icon, 0, 0);
  dialog.set_image(5, save);
  dialog.set_image(6, save);
  auto* small = qobject_cast<QPushButton*>(dialog.widget(5));
  auto* wide = qobject_cast<QPushButton*>(dialog.widget(6));
  EXPECT_EQ(small->text(), "");
  EXPECT_EQ(small->toolTip(), "SAVE Changes");
  EXPECT_EQ(small->iconSize(), QSize(48, 48));  // the largest size of the file that fits
  EXPECT_EQ(dialog.text(5, 12), "SAVE Changes");
  EXPECT_EQ(qt_test::drawn_text(wide->text()), "SAVE Changes");
  EXPECT_EQ(wide->iconSize(), QSize(32, 32));
}

TEST_F(ToolkitServices, MessageBoxShowsItsIconAndPlainTextAndReturnsTheAnswer) {
  ModalScript script;
  script
      .when<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->windowTitle(), "SAVE Message");
        EXPECT_EQ(box->text(), "<b>1 < 2</b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->button(QMessageBox::Ok)->click();
      })
      .when<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        box->button(QMessageBox::No)->click();
      })
      .when<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); })
      .when<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        qt_test::press_key(box, Qt::Key_Escape);
      })
      .when<QMessageBox>([](QMessageBox* box) { qt_test::press_key(box, Qt::Key_Return); })
      .when<QMessageBox>([](QMessageBox* box) { qt_test::press_key(box, Qt::Key_Return); });
  using ui::Answer, ui::Buttons, ui::Icon;
  EXPECT_EQ(toolkit->message_box("<b>1 < 2</b>", "SAVE Message", Icon::error, Buttons::ok), Answer::ok);
  EXPECT_EQ(toolkit->message_box("Save?", "Message", Icon::question, Buttons::yes_no), Answer::no);
  EXPECT_EQ(toolkit->message_box("Save?", "Message", Icon::question, Buttons::yes_no), Answer::yes);
  EXPECT_EQ(toolkit->message_box("Remove?", "Message", Icon::warning, Buttons::yes_no), Answer::no);
  // Enter takes the default: Yes for an ordinary question, No where Yes throws data away.
  EXPECT_EQ(toolkit->message_box("Save?", "Message", Icon::question, Buttons::yes_no), Answer::yes);
  EXPECT_EQ(toolkit->message_box("Discard?", "Message", Icon::question, Buttons::yes_no_default_no), Answer::no);
  EXPECT_TRUE(script.finished());
}

ui::OpenFileRequest loading_file_request(const std::string& folder) {
  return {{{"Loading files", "*.inc"}, {"All files", "*.*"}}, 1, "inc", "Select Loading File", folder};
}

TEST_F(ToolkitServices, OpenFileBoxTakesANewNameAndMovesTheCurrentDirectoryToItsFolder) {
  QDir(folder.path()).mkdir("Dat");
  const std::string dat = path("Dat");
  ModalScript script;
  script.when<QFileDialog>([&](QFileDialog* box) {
    EXPECT_EQ(box->windowTitle(), "Select Loading File");
    EXPECT_EQ(box->nameFilters(), QStringList({"Loading files (*.inc)", "All files (*.*)"}));
    EXPECT_EQ(box->selectedNameFilter(), "Loading files (*.inc)");
    EXPECT_EQ(fs::canonical(box->directory().absolutePath().toStdString()), fs::canonical(dat));
    qt_test::type_file_name(box, "beam");  // not there yet: a new file is allowed
    static_cast<QDialog*>(box)->accept();  // the OK button's slot
  });
  std::string buffer;
  ASSERT_TRUE(toolkit->open_file_box(loading_file_request(dat), buffer));
  EXPECT_EQ(fs::path(buffer).filename(), "beam.inc");
  EXPECT_EQ(fs::canonical(fs::path(buffer).parent_path()), fs::canonical(dat));
  EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dat));
  EXPECT_TRUE(script.finished());
}

// A box that names a file to write is a save box under its own title, and asks nothing of
// its own about a file that is there: the dialogs ask, the same in both faces.
TEST_F(ToolkitServices, SaveFileBoxIsASaveBoxThatLeavesTheQuestionToTheDialogs) {
  QDir(folder.path()).mkdir("Dat");
  const std::string dat = path("Dat");
  QFile existing(QString::fromStdString(dat + "/table.csv"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  ModalScript script;
  script.when<QFileDialog>([&](QFileDialog* box) {
    EXPECT_EQ(box->windowTitle(), "Export the Spectra as a Table");
    EXPECT_EQ(box->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(box->testOption(QFileDialog::DontConfirmOverwrite));
    qt_test::type_file_name(box, "table");
    static_cast<QDialog*>(box)->accept();  // the Save button's slot
  });
  ui::OpenFileRequest request{{{"Tables", "*.csv"}}, 1, "csv", "Export the Spectra as a Table", dat};
  std::string buffer;
  ASSERT_TRUE(toolkit->save_file_box(request, buffer));
  EXPECT_EQ(fs::path(buffer).filename(), "table.csv");
  EXPECT_TRUE(script.finished());
}

TEST_F(ToolkitServices, OpenFileBoxRefusesAMissingFolderAndCancelChangesNothing) {
  const fs::path before = fs::current_path();
  ModalScript script;
  script
      .when<QFileDialog>([&](QFileDialog* box) {
        qt_test::type_file_name(box, QString::fromStdString(path("nowhere/beam.inc")));
        static_cast<QDialog*>(box)->accept();  // the OK button's slot
      })
      .when<QMessageBox>([](QMessageBox* box) {
        EXPECT_TRUE(box->text().contains("does not exist"));
        box->button(QMessageBox::Ok)->click();
      })
      .when<QFileDialog>([](QFileDialog* box) { box->reject(); });
  std::string buffer = "old.inc";
  EXPECT_FALSE(toolkit->open_file_box(loading_file_request(path("")), buffer));
  EXPECT_EQ(buffer, "old.inc");
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_TRUE(script.finished());
}

TEST_F(ToolkitServices, FolderBoxShowsFoldersOnlyAndLeavesTheCurrentDirectory) {
  QDir(folder.path()).mkdir("analysis");
  const fs::path before = fs::current_path();
  ModalScript script;
  script
      .when<QFileDialog>([&](QFileDialog* box) {
        EXPECT_EQ(box->windowTitle(), "Choose the Working Folder");
        EXPECT_EQ(box->fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(box->testOption(QFileDialog::ShowDirsOnly));
        EXPECT_EQ(fs::canonical(box->directory().absolutePath().toStdString()), fs::canonical(path("")));
        qt_test::type_file_name(box, "analysis");
        static_cast<QDialog*>(box)->accept();  // the OK button's slot
      })
      .when<QFileDialog>([](QFileDialog* box) { box->reject(); });
  std::string chosen;
  ASSERT_TRUE(toolkit->choose_folder("Choose the Working Folder", path(""), chosen));
  EXPECT_EQ(fs::canonical(chosen), fs::canonical(path("analysis")));
  EXPECT_EQ(fs::current_path(), before);
  chosen = "kept";
  EXPECT_FALSE(toolkit->choose_folder("Choose the Working Folder", path(""), chosen));
  EXPECT_EQ(chosen, "kept");
  EXPECT_TRUE(script.finished());
}

TEST_F(ToolkitServices, ViewerShowsTheFileReadOnlyInAFixedFontWithItsPathAsTitle) {
  write("frame.inc", "LOADING FILE\r\n  1  2\r\n");
  const QString file = QString::fromStdString(path("frame.inc"));
  ModalScript script;
  script.when<ui::qt::LoadingFileViewer>([&](ui::qt::LoadingFileViewer* viewer) {
    EXPECT_EQ(viewer->windowTitle(), file);
    EXPECT_EQ(viewer->line_count(), 2u);
    EXPECT_TRUE(QFontInfo(viewer->lines_view()->font()).fixedPitch());
    viewer->reject();
  });
  toolkit->show_text_file(path("frame.inc") + "   ");
  EXPECT_TRUE(script.finished());
}

TEST_F(ToolkitServices, ViewerOfAMissingFileSaysSoAndReturns) {
  ModalScript script;
  script.when<QMessageBox>([](QMessageBox* box) {
    EXPECT_TRUE(box->text().contains("absent.inc"));
    box->button(QMessageBox::Ok)->click();
  });
  toolkit->show_text_file(path("absent.inc"));
  EXPECT_TRUE(script.finished());
}

// What the bar shows is counted in steps of the work: after each step, "k of N".
TEST_F(ToolkitServices, AProgressBarCountsTheStepsOfTheWork) {
  std::vector<std::string> shown;
  ui::qt::set_progress_observer([&shown](QWidget& window, int, int, bool) {
    auto* bar = window.findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    shown.push_back(bar->text().toStdString());
  });
  int steps_run = 0;
  const int done = toolkit->run_steps({"Loading Files", "Writing...", 3}, [&steps_run](int k) {
    ++steps_run;
    return "file " + std::to_string(k + 1);
  });
  ui::qt::set_progress_observer({});
  EXPECT_EQ(done, 3);
  EXPECT_EQ(steps_run, 3);
  EXPECT_EQ(shown, (std::vector<std::string>{"0 of 3", "1 of 3", "2 of 3", "3 of 3", "3 of 3"}));
}

}  // namespace
