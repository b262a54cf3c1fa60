// What a push button shows: its label, its image, or both when there is room for both.
#pragma once

#include <QIcon>
#include <QString>
#include <vector>

class QPushButton;

namespace ui::qt {

// The label is kept as the button's accessible name, whatever is drawn. With an image, a button
// too small for image and label together shows the image alone and the label as its tool tip.
void show_button_face(QPushButton* button, const QString& label, const QIcon& image);

// The label given to show_button_face, shown or not.
QString button_label(const QPushButton* button);

// Alt+`letter` presses the button: the letter is marked in the drawn text only, so the program
// still reads the label as given. A label without the letter gets no mark.
void set_mnemonic(QPushButton* button, QChar letter);
// For each button in turn, a letter no earlier button took: a word's first letter if one is
// free, otherwise any letter or digit of its label.
void give_mnemonics(const std::vector<QPushButton*>& buttons);

}  // namespace ui::qt
