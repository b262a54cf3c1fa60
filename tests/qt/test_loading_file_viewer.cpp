// "View" on the sample loading file with one damaged line, beside its geometry file: the labels
// name the case and the fields, the damaged line carries its problem, and the keyboard finds.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "qt_test_support.h"
#include "dialogs/loading_file_notes.h"
#include "ui/qt/loading_file_viewer.h"

namespace {

namespace fs = std::filesystem;
const fs::path workspace = BRANTEL_WORKSPACE;

class LoadingFileViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::ensure_application();
    ASSERT_TRUE(folder.isValid());
    fs::copy_file(workspace / "Dat/frame.dat", fs::path(folder.path().toStdString()) / "frame.dat");
    std::ifstream in(workspace / "Dat/frame_three_cases.inc", std::ios::binary);
    std::stringstream sample;
    sample << in.rdbuf();
    std::string text = sample.str();
    text.replace(text.find(" 1 12 1.5"), 9, " 1 13 1.5");  // line 18: node 13 of a 12-node model
    path = folder.path() + "/damaged.inc";
    std::ofstream(path.toStdString(), std::ios::binary) << text;
  }

  // Opens the viewer and waits until the reading thread has labelled every line.
  std::unique_ptr<ui::qt::LoadingFileViewer> open_viewer() {
    auto viewer = std::make_unique<ui::qt::LoadingFileViewer>(path, dialogs::make_loading_file_notes, nullptr);
    QString error;
    EXPECT_TRUE(viewer->open(error)) << error.toStdString();
    viewer->show();
    viewer->activateWindow();  // its shortcuts work in the active window, as for a person
    EXPECT_TRUE(QTest::qWaitForWindowActive(viewer.get(), 5000));
    for (int i = 0; i < 500 && !viewer->notes()->finished(); ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(10);
    }
    EXPECT_TRUE(viewer->notes()->finished());
    return viewer;
  }

  QTemporaryDir folder;
  QString path;
};

TEST_F(LoadingFileViewerTest, LabelsTheRecordsWithTheirCaseAndFieldsAndMarksTheDamagedLine) {
  const auto viewer = open_viewer();
  const ui::LineNotes& notes = *viewer->notes();
  EXPECT_EQ(notes.label(10), "case 1 · tolerance, iteration limit");
  EXPECT_EQ(notes.label(17), "case 1 · time 0.1 sec · nodes 1–13 loads");
  EXPECT_EQ(notes.label(19), "case 1 · time 0.5 sec · nodes 10–12 loads");
  EXPECT_EQ(notes.label(26), "case 2 · omega, phi");
  EXPECT_EQ(notes.label(36), "case 3 · nodes 2–5 amplitudes");
  ASSERT_NE(notes.problem(17), nullptr);
  EXPECT_EQ(notes.problem(17)->text, "node 13 of case 1 is outside the model (1 to 12)");
  EXPECT_TRUE(notes.problem(17)->error);
  EXPECT_EQ(notes.problem(16), nullptr);
  EXPECT_EQ(notes.next_problem_line(17), -1);
  EXPECT_THAT(notes.summary(), testing::StartsWith("1 error(s), 0 warning(s), marked on their lines; model "));
  EXPECT_THAT(notes.summary(), testing::EndsWith("frame.dat: 12 nodes, 3 degrees of freedom, 15 elements"));
  EXPECT_FALSE(viewer->grab().isNull());  // paints the marks and labels

  // F8 goes to the problem; the line below the list says what it is.
  QTest::keyClick(viewer->lines_view(), Qt::Key_F8);
  EXPECT_EQ(viewer->lines_view()->current_line(), 17);
  const auto labels = viewer->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
    return l->text().contains("Line 18:") && l->text().contains("error: node 13 of case 1 is outside the model");
  }));
}

TEST_F(LoadingFileViewerTest, CtrlFSearchesAndThePlainTextToggleHidesTheNotes) {
  const auto viewer = open_viewer();
  auto* search = viewer->findChild<QLineEdit*>();
  ASSERT_NE(search, nullptr);
  QTest::keyClick(viewer->lines_view(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(search->hasFocus());
  QTest::keyClicks(search, "end_of_case");
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_EQ(viewer->lines_view()->current_line(), 20);  // END_OF_CASE1
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_EQ(viewer->lines_view()->current_line(), 29);  // END_OF_CASE2
  QTest::keyClick(search, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(viewer->lines_view()->current_line(), 20);
  QTest::keyClick(search, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(viewer->lines_view()->current_line(), 29);
  EXPECT_TRUE(viewer->isVisible());  // Enter finds; only Close and Esc leave
  EXPECT_FALSE(viewer->find("not in this file"));

  auto* plain = viewer->findChild<QCheckBox*>();
  ASSERT_NE(plain, nullptr);
  plain->click();
  EXPECT_TRUE(viewer->lines_view()->plain());
  plain->click();
  EXPECT_FALSE(viewer->lines_view()->plain());
}

TEST_F(LoadingFileViewerTest, AnEmptyFileOpensWithNothingToLabelAndAFolderIsRefused) {
  path = folder.path() + "/empty.inc";
  std::ofstream(path.toStdString(), std::ios::binary);
  const auto viewer = open_viewer();
  EXPECT_EQ(viewer->line_count(), 0u);
  EXPECT_FALSE(viewer->grab().isNull());
  EXPECT_FALSE(viewer->find("x"));

  ui::qt::LoadingFileViewer of_folder(folder.path(), dialogs::make_loading_file_notes, nullptr);
  QString error;
  EXPECT_FALSE(of_folder.open(error));
  EXPECT_EQ(error, "The name is not a regular file.");
}

}  // namespace
