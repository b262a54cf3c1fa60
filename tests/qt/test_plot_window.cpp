// The plot window: the curves and the table of a sample case, and its exports.
#include <QChart>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QTableView>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>

#include "dialogs/editors/loading_plots.h"
#include "qt_test_support.h"
#include "ui/qt/plot_window.h"

namespace {

QString axis_title(QChart* chart, Qt::Orientation orientation) {
  const auto axes = chart->axes(orientation);
  return axes.isEmpty() ? QString() : axes.first()->titleText();
}

// A one-direction accelerogram in Y of five uneven points.
ui::PlotRequest sample_accelerogram() {
  std::vector<model::AccelPoint> points(5);
  const float times[] = {0.0f, 0.1f, 0.2f, 0.4f, 0.5f};
  const float y[] = {0.0f, 1.0f, -2.0f, 0.5f, 0.0f};
  for (int i = 0; i < 5; ++i) {
    points[i].time = times[i];
    points[i].acceleration[1] = y[i];
  }
  return dialogs::editors::accelerogram_plot("Accelerogram of case 1", points, false, 3, 2, "m");
}

class PlotWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::ensure_application();
    ASSERT_TRUE(folder.isValid());
  }
  QTemporaryDir folder;
};

TEST_F(PlotWindowTest, ShowsEveryPointWithItsAxesAndTable) {
  ui::qt::PlotWindow window(sample_accelerogram(), nullptr);
  EXPECT_EQ(window.windowTitle(), "Accelerogram of case 1");
  EXPECT_EQ(window.property("plot_points").toULongLong(), 5u);
  ASSERT_EQ(window.charts().size(), 3);
  const QString y_titles[] = {"Acceleration (m/sec2)", "Velocity (m/sec)", "Displacement (m)"};
  for (int c = 0; c < 3; ++c) {
    QChart* chart = window.charts()[c];
    EXPECT_EQ(axis_title(chart, Qt::Horizontal), "Time (s)");
    EXPECT_EQ(axis_title(chart, Qt::Vertical), y_titles[c]);
    ASSERT_EQ(chart->series().size(), 1);
    auto* series = qobject_cast<QLineSeries*>(chart->series().first());
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->count(), 5);
    EXPECT_EQ(series->name(), "Y");
  }
  // Velocity by the trapezoid rule over the uneven steps: at 0.4 s, 0.05 - 0.05 - 0.15.
  auto* velocity = qobject_cast<QLineSeries*>(window.charts()[1]->series().first());
  EXPECT_NEAR(velocity->at(3).y(), -0.15, 1e-6);
  QAbstractItemModel* table = window.table()->model();
  ASSERT_EQ(table->rowCount(), 5);
  ASSERT_EQ(table->columnCount(), 2);
  EXPECT_EQ(table->headerData(0, Qt::Horizontal).toString(), "Time (s)");
  EXPECT_EQ(table->headerData(1, Qt::Horizontal).toString(), "Y (m/sec2)");
  EXPECT_EQ(table->index(2, 1).data().toString(), "-2");
}

TEST_F(PlotWindowTest, ExportsThePictureAsPngAndTheTableAsCsv) {
  ui::qt::PlotWindow window(sample_accelerogram(), nullptr);
  const QString png = folder.filePath("plot.png");
  const ui::qt::PictureSize size{120, 90, 300};
  ASSERT_TRUE(window.save_picture(png, size));
  QFile png_file(png);
  ASSERT_TRUE(png_file.open(QIODevice::ReadOnly));
  EXPECT_EQ(png_file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
  png_file.close();
  const QImage image(png);
  // 120 mm x 90 mm at 300 dpi, and the resolution is in the file.
  EXPECT_EQ(image.size(), QSize(1417, 1063));
  EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 0.5);
  EXPECT_NEAR(image.dotsPerMeterY() * 0.0254, 300, 0.5);
  // The title is drawn in a band above the charts: the same picture without a title leaves it
  // blank.
  auto band_colours = [](const QImage& picture) {
    QSet<QRgb> found;
    for (int y = 0; y < 100; ++y)
      for (int x = picture.width() / 3; x < 2 * picture.width() / 3; x += 3) found.insert(picture.pixel(x, y));
    return found.size();
  };
  ui::PlotRequest untitled = sample_accelerogram();
  untitled.title.clear();
  EXPECT_GT(band_colours(image), 1);
  EXPECT_EQ(band_colours(ui::qt::PlotWindow(untitled, nullptr).picture(size)), 1);
  // Curves and axes are drawn: the picture is not one colour.
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 3);

  const QString csv = folder.filePath("plot.csv");
  ASSERT_TRUE(window.save_table(csv));
  QFile csv_file(csv);
  ASSERT_TRUE(csv_file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(csv_file.readAll()),
            "Time (s),Y (m/sec2)\n0,0\n0.100000001,1\n0.200000003,-2\n0.400000006,0.5\n0.5,0\n");
  EXPECT_FALSE(window.save_table(folder.filePath("missing/plot.csv")));
}

// A node range absent from a time point leaves its cells empty instead of showing a zero load.
TEST_F(PlotWindowTest, DiscreteLoadingTableLeavesUnloadedRangesEmpty) {
  model::DiscreteLoading points;
  points.ranges.push_back(model::NodeRange{1, 4, {10.0f, 0.0f}});
  points.end_point(0.5f);
  points.ranges.push_back(model::NodeRange{5, 6, {0.0f, -3.0f}});
  points.end_point(1.0f);
  ui::qt::PlotWindow window(dialogs::editors::discrete_loading_plot("Discrete", points, 2, 2, "kN"), nullptr);
  ASSERT_EQ(window.charts().size(), 1);
  EXPECT_EQ(axis_title(window.charts()[0], Qt::Vertical), "Load (kN)");
  EXPECT_EQ(window.charts()[0]->series().size(), 4);
  const QString csv = folder.filePath("d.csv");
  ASSERT_TRUE(window.save_table(csv));
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()),
            "Time (s),1-4 X (kN),1-4 Y (kN),5-6 X (kN),5-6 Y (kN)\n0.5,10,0,,\n1,,,0,-3\n");
}

// Ticks are whole steps of 1, 2 or 5 times a power of ten, so 0 is labelled 0 and not a
// rounding residue, and every label is short.
TEST(NiceTicks, AreWholeStepsWithZeroExactAndShortLabels) {
  const ui::qt::AxisTicks symmetric = ui::qt::nice_ticks(-0.3, 0.3);
  EXPECT_EQ(symmetric.labels, QStringList({"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}));
  EXPECT_EQ(symmetric.values[3], 0.0);
  EXPECT_EQ(ui::qt::nice_ticks(0, 10).labels, QStringList({"0", "2", "4", "6", "8", "10"}));
  // The range is covered: the first tick is at or below it, the last at or above.
  const ui::qt::AxisTicks odd = ui::qt::nice_ticks(-0.0172, 0.0431);
  EXPECT_LE(odd.values.front(), -0.0172);
  EXPECT_GE(odd.values.back(), 0.0431);
  EXPECT_TRUE(odd.labels.contains("0"));
  EXPECT_EQ(ui::qt::nice_ticks(-2e-7, 6e-7).labels.front(), "-2e-07");
  EXPECT_EQ(ui::qt::nice_ticks(0, 3.2e7).labels.back(), "4e+07");
  for (const auto& [low, high] : {std::pair{-1e-9, 3e-9}, {-5.0, 1234.5}, {0.1, 0.1000001}, {-3e8, 1e8}}) {
    ui::qt::AxisTicks ticks = ui::qt::nice_ticks(low, high);
    ASSERT_GE(ticks.values.size(), 2u) << low << " " << high;
    EXPECT_LE(ticks.values.size(), 13u) << low << " " << high;
    EXPECT_EQ(ticks.labels.removeDuplicates(), 0) << low << " " << high;
    // A range narrow beside its distance from 0 needs its digits; the others are short.
    if (low != 0.1) {
      for (const QString& label : ticks.labels) EXPECT_LE(label.size(), 9) << label.toStdString();
    }
  }
}

// Stacked charts of values of very different sizes still share one time axis on screen.
TEST_F(PlotWindowTest, StackedChartsLineUpTheirPlotAreas) {
  std::vector<model::AccelPoint> points(400);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i].time = 0.01f * static_cast<float>(i);
    points[i].acceleration[0] = 1234.5f * std::sin(0.2f * static_cast<float>(i));
  }
  ui::qt::PlotWindow window(dialogs::editors::accelerogram_plot("Three panels", points, false, 3, 1, "mm"), nullptr);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const auto charts = window.charts();
  ASSERT_EQ(charts.size(), 3);
  // Within a pixel: margins are whole pixels.
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(charts[0]->plotArea().left() - charts[2]->plotArea().left()) < 1; }));
  for (QChart* chart : charts) {
    EXPECT_NEAR(chart->plotArea().left(), charts[0]->plotArea().left(), 1);
    EXPECT_NEAR(chart->plotArea().right(), charts[0]->plotArea().right(), 1);
  }
}

// A long record is drawn with fewer points, keeping its extremes where they are.
TEST(PointsToDraw, KeepsEveryExtremeOfALongRecord) {
  std::vector<double> x(40000), y(40000);
  for (std::size_t i = 0; i < x.size(); ++i) {
    x[i] = 0.005 * static_cast<double>(i);
    y[i] = std::sin(0.37 * static_cast<double>(i)) * (1.0 + 0.0001 * static_cast<double>(i));
  }
  y[12345] = 9.0;
  y[30001] = -7.5;
  const QList<QPointF> drawn = ui::qt::points_to_draw(x, y, 4000);
  EXPECT_LE(drawn.size(), 4000);
  EXPECT_TRUE(drawn.contains(QPointF(x[12345], 9.0)));
  EXPECT_TRUE(drawn.contains(QPointF(x[30001], -7.5)));
  EXPECT_EQ(drawn.first(), QPointF(x.front(), y.front()));
  EXPECT_EQ(drawn.last(), QPointF(x.back(), y.back()));
  for (qsizetype i = 1; i < drawn.size(); ++i) ASSERT_LT(drawn[i - 1].x(), drawn[i].x());
  EXPECT_EQ(ui::qt::points_to_draw(x, y, 40000).size(), 40000);
}

}  // namespace
