// As-you-type feedback: an edit whose text would not be taken whole gets a red frame and a
// tooltip saying what will be stored; typing goes on unhindered and a whole number clears it.
#include <QLineEdit>
#include <gtest/gtest.h>

#include "qt_test_support.h"
#include "ui/dialog_template.h"
#include "ui/qt/qt_dialog.h"

namespace {

class FieldFeedback : public ::testing::Test {
 protected:
  QLineEdit* edit(int id) { return qobject_cast<QLineEdit*>(dialog.widget(id)); }
  static bool marked(QLineEdit* e) { return e->styleSheet().contains("border") && !e->toolTip().isEmpty(); }

  bool application_ready = (qt_test::ensure_application(), true);
  ui::qt::QtDialog dialog{*ui::find_template(101), nullptr};  // General Data
};

TEST_F(FieldFeedback, LettersAreMarkedWithTheValueStoredAndAWholeNumberClearsTheMark) {
  QLineEdit* beta = edit(1008);
  ASSERT_NE(beta, nullptr);
  beta->setEnabled(true);
  qt_test::type_text(beta, "abc");
  EXPECT_EQ(beta->text(), "abc");  // typing is not blocked
  EXPECT_TRUE(marked(beta));
  EXPECT_EQ(beta->toolTip().toStdString(), "Not a number as typed: 0. will be stored");
  beta->clear();
  qt_test::type_text(beta, "6.5");
  EXPECT_FALSE(marked(beta));
  EXPECT_TRUE(beta->toolTip().isEmpty());
}

TEST_F(FieldFeedback, TextsSetByTheProgramAreMarkedToo) {
  dialog.set_text(1006, "1x");  // the number of cases: a whole number of two characters
  EXPECT_EQ(edit(1006)->toolTip().toStdString(), "Not a whole number as typed: 1 will be stored");
  dialog.set_text(1006, "123");
  EXPECT_EQ(edit(1006)->toolTip().toStdString(),
            "Not a whole number as typed: 12 will be stored (only the first 2 characters are read)");
  dialog.set_text(1006, " 7 ");
  EXPECT_FALSE(marked(edit(1006)));
}

}  // namespace
