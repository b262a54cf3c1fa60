// What a push button shows: its label, its image, or both when there is room for both.
#pragma once

#include <QIcon>
#include <QString>

class QPushButton;

namespace ui::qt {

// The label is kept as the button's accessible name, whatever is drawn. With an image, a button
// too small for image and label together shows the image alone and the label as its tool tip.
void show_button_face(QPushButton* button, const QString& label, const QIcon& image);

// The label given to show_button_face, shown or not.
QString button_label(const QPushButton* button);

}  // namespace ui::qt
