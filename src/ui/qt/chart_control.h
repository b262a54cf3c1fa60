// The chart control of template dialogs: curves over a linear or log abscissa, with an
// optional shaded band, drawn with Qt Charts.
#pragma once

#include <QString>

#include "ui/plot.h"

class QWidget;

namespace ui::qt {

QWidget* make_chart_control(QWidget* parent);
// `control` is a widget made by make_chart_control.
void show_chart(QWidget* control, const ChartContent& content);
bool save_chart_picture(QWidget* control, const QString& path);
// The curves shown (the band not counted), for the replay's expectations.
int chart_curve_count(QWidget* control);

}  // namespace ui::qt
