// The legend of the spectra charts: names too long for it lose their middle, so that the
// components of one station, alike but for their ends, stay apart.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>

#include "qt_test_support.h"
#include "ui/qt/chart_control.h"
#include "ui/qt/plot_window.h"

namespace {

TEST(ChartLegend, LongNamesAreCutInTheMiddleAndStayDistinct) {
  qt_test::ensure_application();
  std::unique_ptr<QWidget> control(ui::qt::make_chart_control(nullptr));
  control->resize(628, 412);
  ui::ChartContent content;
  content.log_x = true;
  for (const char* name : {"RSN1063_NORTHRIDGE_RRS_STATION_228_L", "RSN1063_NORTHRIDGE_RRS_STATION_228_T", "mean",
                           "target"})
    content.series.push_back({name, {0.1, 1.0}, {1.0, 2.0}});
  ui::qt::show_chart(control.get(), content);
  const auto* view = qobject_cast<QChartView*>(control.get());
  ASSERT_NE(view, nullptr);
  const QList<QLegendMarker*> markers = view->chart()->legend()->markers();
  ASSERT_EQ(markers.size(), 4);
  const QString l = markers[0]->label(), t = markers[1]->label();
  EXPECT_NE(l, t);
  EXPECT_TRUE(l.endsWith(QStringLiteral("_L"))) << l.toStdString();
  EXPECT_TRUE(t.endsWith(QStringLiteral("_T"))) << t.toStdString();
  EXPECT_TRUE(l.startsWith(QStringLiteral("RSN"))) << l.toStdString();
  EXPECT_LT(l.size(), 36);
  EXPECT_EQ(markers[2]->label(), QStringLiteral("mean"));
}

}  // namespace
