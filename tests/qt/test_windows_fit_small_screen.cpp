// Every window of the program opens within a 1366x768 screen (the test runs on one), frame
// included, with all its buttons inside it: on a small laptop nothing is out of reach.
#include <QAbstractButton>
#include <QComboBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

#include "dialogs/editors/loading_plots.h"
#include "dialogs/loading_file_notes.h"
#include "motion/reader.h"
#include "qt_test_support.h"
#include "ui/dialog_template.h"
#include "ui/qt/loading_file_viewer.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/window_fit.h"

namespace {

class WindowsOnASmallScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::ensure_application();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    // QT_QPA_PLATFORM=offscreen:configfile=tests/qt/screen_1366x768.json, as ctest sets it.
    ASSERT_EQ(screen->availableGeometry().size(), QSize(1366, 768)) << "run on the 1366x768 test screen";
  }

  static void expect_fits(QWidget& window) {
    SCOPED_TRACE(window.windowTitle().toStdString());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_LE(window.width() + ui::qt::frame_width_allowance, 1366);
    EXPECT_LE(window.height() + ui::qt::frame_height_allowance, 768);
    int buttons = 0;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(&window)) continue;
      ++buttons;
      const QRect place(button->mapTo(&window, QPoint(0, 0)), button->size());
      EXPECT_TRUE(window.rect().contains(place)) << button->text().toStdString();
    }
    EXPECT_GT(buttons, 0);
    window.close();
  }
};

TEST_F(WindowsOnASmallScreen, DialogsPlotsAndTheViewerFitWithTheirButtons) {
  const std::unique_ptr<ui::Toolkit> toolkit = ui::qt::make_qt_toolkit();
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    auto dialog = toolkit->create_dialog(t->id);
    auto* qt_dialog = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    ASSERT_NE(qt_dialog, nullptr);
    expect_fits(*qt_dialog->window());
  }

  // The most a plot holds: three directions with their velocities and displacements.
  std::vector<model::AccelPoint> points(2000);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i].time = 0.01f * static_cast<float>(i);
    for (float& a : points[i].acceleration) a = static_cast<float>(i % 17) - 8.0f;
  }
  ui::qt::PlotWindow plot(dialogs::editors::accelerogram_plot("Accelerogram of case 1", points, true, 3, 1, "m"), nullptr);
  expect_fits(plot);

  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("long.inc");
  {
    std::ofstream file(path.toStdString(), std::ios::binary);
    for (int i = 0; i < 5000; ++i) file << " " << i * 0.01 << "\r\n 1 12 1.5 0. 0.\r\n";
  }
  ui::qt::LoadingFileViewer viewer(path, dialogs::make_loading_file_notes, nullptr);
  QString error;
  ASSERT_TRUE(viewer.open(error)) << error.toStdString();
  expect_fits(viewer);
}

// The format list names the format it found ("Automatic: ..."): every such name is read whole.
TEST_F(WindowsOnASmallScreen, TheImportFormatListShowsEachFoundFormatWhole) {
  const std::unique_ptr<ui::Toolkit> toolkit = ui::qt::make_qt_toolkit();
  auto dialog = toolkit->create_dialog(111);
  auto* qt_dialog = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
  ASSERT_NE(qt_dialog, nullptr);
  auto* format = qobject_cast<QComboBox*>(qt_dialog->widget(1203));
  ASSERT_NE(format, nullptr);
  qt_dialog->window()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(qt_dialog->window()));
  for (motion::Format f : {motion::Format::peer, motion::Format::cosmos, motion::Format::csmip,
                           motion::Format::esm, motion::Format::knet, motion::Format::columns}) {
    const QString name = QStringLiteral("Automatic: ") + QString::fromUtf8(motion::format_title(f).data(), static_cast<qsizetype>(motion::format_title(f).size()));
    format->setItemText(0, name);
    format->setCurrentIndex(0);
    // Room for the drop-down's arrow and frame beside the text.
    EXPECT_LE(format->fontMetrics().horizontalAdvance(name) + 40, format->width()) << name.toStdString();
  }
}

}  // namespace
