// The spectra picture of a suite: 8 x 5 inches at 300 dpi, the range shaded, and the curves where
// their values put them on a linear ordinate from zero.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "qt_test_support.h"
#include "ui/qt/spectra_picture_png.h"

namespace {

bool near(QColor a, QColor b, int tolerance = 40) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tolerance;
}

// The middle row of the first run of pixels of `colour` going down column x from row `from`
// (the frame and the title above the curves are black too); -1 when none.
int row_of(const QImage& image, int x, QColor colour, int from = 0) {
  for (int y = from; y < image.height(); ++y)
    if (near(image.pixelColor(x, y), colour)) {
      int end = y;
      while (end + 1 < image.height() && near(image.pixelColor(x, end + 1), colour)) ++end;
      return (y + end) / 2;
    }
  return -1;
}

TEST(SpectraPicture, CurvesStandAtTheirValuesOverTheShadedRange) {
  qt_test::ensure_application();
  ui::SpectraPicture picture;
  picture.title = "Scaled spectra";
  picture.y_title = "PSA (m/s2)";
  for (int k = 0; k <= 60; ++k) picture.periods.push_back(0.01 * std::pow(10.0, k / 20.0));
  const std::size_t n = picture.periods.size();
  picture.records.push_back({"north", std::vector<double>(n, 2.0)});
  picture.mean = ui::SpectraPicture::Curve{"mean", std::vector<double>(n, 3.0)};
  picture.target.assign(n, 4.0);
  picture.range = std::pair{0.1, 1.0};

  std::string why;
  const std::string png = ui::qt::spectra_picture_png(picture, why);
  ASSERT_FALSE(png.empty()) << why;
  QImage image;
  ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG"));
  EXPECT_EQ(image.width(), 2400);
  EXPECT_EQ(image.height(), 1500);
  EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 0.5);

  // Period 0.3 s lies mid-way in log between 0.1 and 1: the middle of the shaded band, and right
  // of the legend's column it is the band's colour between the curves.
  const QColor record(102, 153, 204), mean(0, 0, 0), target(204, 0, 0), shade(225, 232, 245);
  int x_band = -1;
  for (int x = 0; x < image.width() && x_band < 0; ++x)
    if (near(image.pixelColor(x, image.height() / 2), shade, 6)) x_band = x;
  ASSERT_GT(x_band, 0) << "no shaded range";
  const int x = x_band + 40;
  const int y_target = row_of(image, x, target);
  const int y_mean = row_of(image, x, mean, y_target + 1), y_record = row_of(image, x, record, y_mean + 1);
  ASSERT_GT(y_target, 0);
  ASSERT_GT(y_mean, y_target);
  ASSERT_GT(y_record, y_mean);
  // Values 4, 3 and 2 are equally spaced on a linear axis.
  EXPECT_NEAR(y_mean - y_target, y_record - y_mean, 3);
  EXPECT_TRUE(near(image.pixelColor(x, (y_mean + y_record) / 2), shade, 6));
  // Left of the range, below the curves, the plot is white.
  EXPECT_TRUE(near(image.pixelColor(x_band - 60, y_record + 40), Qt::white, 6));
}

TEST(SpectraPicture, NothingToDrawIsSaid) {
  qt_test::ensure_application();
  std::string why;
  EXPECT_TRUE(ui::qt::spectra_picture_png({}, why).empty());
  EXPECT_EQ(why, "no periods to draw");
}

}  // namespace
