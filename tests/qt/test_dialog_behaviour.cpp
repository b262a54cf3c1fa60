// A template dialog on screen: callbacks for the user's actions only, closing codes, Esc and
// the close box, values set by the program, and texts read back blank-padded.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "qt_test_support.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_dialog.h"

namespace {

using ui::ControlKind;
using ui::qt::QtDialog;
using qt_test::ModalScript;

constexpr int sample_id = 900;
constexpr int name_edit = 10, case_list = 11, type_combo = 12, apply_button = 13, status_static = 14,
              number_edit = 15;

const ui::DialogTemplate& sample() {
  static const ui::DialogTemplate t{
      sample_id, "Sample", 320, 220,
      {
          {name_edit, ControlKind::edit, "Name", {}, {20, 30, 120, 24}},
          {case_list, ControlKind::list_box, "Cases", {"1", "2", "3"}, {20, 60, 120, 100}},
          {type_combo, ControlKind::drop_down, "Type", {"Discrete", "Sinusoidal"}, {160, 30, 140, 24}},
          {apply_button, ControlKind::push_button, "Apply & Check", {}, {160, 60, 140, 28}},
          // Listed after the controls it surrounds: it must still stay behind them.
          {ui::no_id, ControlKind::group_box, "Case", {}, {10, 8, 300, 160}},
          {status_static, ControlKind::static_text, "?", {}, {10, 170, 100, 44}},
          {number_edit, ControlKind::edit, "From", {}, {160, 100, 60, 24}, {}, true, false, true},
          {1, ControlKind::push_button, "OK", {}, {120, 180, 90, 28}, {}, true, true},
          {2, ControlKind::push_button, "Cancel", {}, {220, 180, 90, 28}},
      }};
  return t;
}

class DialogBehaviour : public ::testing::Test {
 protected:

  template <typename W>
  W* get(int id) { return qobject_cast<W*>(dialog.widget(id)); }

  // Counts the callback calls of every control, in order.
  void count_calls(std::initializer_list<int> ids) {
    for (int id : ids)
      dialog.on(id, [this](ui::Dialog&, ui::ControlId control) { calls.push_back(control); });
  }

  // Presses a button of the running dialog as the user would.
  std::function<void(ui::qt::DialogWindow*)> press(int id) {
    return [this, id](ui::qt::DialogWindow*) { get<QPushButton>(id)->click(); };
  }

  bool application_ready = (qt_test::ensure_application(), true);  // before any widget
  QtDialog dialog{sample(), nullptr};
  std::vector<int> calls;
};

TEST_F(DialogBehaviour, TypingRunsTheEditCallbackOnEveryChangeButProgramTextNever) {
  count_calls({name_edit});
  dialog.set_text(name_edit, "preset");
  EXPECT_TRUE(calls.empty());
  QLineEdit* edit = get<QLineEdit>(name_edit);
  edit->clear();
  qt_test::type_text(edit, "12");
  EXPECT_EQ(calls, (std::vector<int>{name_edit, name_edit}));
  EXPECT_EQ(dialog.text(name_edit, 5), "12   ");
  EXPECT_EQ(dialog.text(name_edit, 1), "1");
}

TEST_F(DialogBehaviour, ADigitsOnlyFieldRefusesOtherKeys) {
  count_calls({number_edit});
  qt_test::type_text(get<QLineEdit>(number_edit), "1a-2 ");
  EXPECT_EQ(dialog.text(number_edit, 4), "12  ");
  EXPECT_EQ(calls, (std::vector<int>{number_edit, number_edit}));
}

TEST_F(DialogBehaviour, TextIsCutToLengthAndPaddedWithoutSplittingACharacter) {
  dialog.set_text(name_edit, "h\xc3\xa9llo");  // "héllo": é is two bytes
  EXPECT_EQ(dialog.text(name_edit, 2), "h ");
  EXPECT_EQ(dialog.text(name_edit, 3), "h\xc3\xa9");
  EXPECT_EQ(dialog.text(name_edit, 8), "h\xc3\xa9llo  ");
  EXPECT_EQ(dialog.text(name_edit, 0), "");
  EXPECT_EQ(dialog.text(4242, 3), "   ");  // no such control
}

TEST_F(DialogBehaviour, DropDownCallbackRunsForTheUsersChoiceOnly) {
  count_calls({type_combo});
  EXPECT_EQ(dialog.selection(type_combo), 0);
  dialog.select(type_combo, 1);
  EXPECT_EQ(dialog.selection(type_combo), 1);
  qt_test::press_key(get<QComboBox>(type_combo), Qt::Key_Down);
  EXPECT_EQ(dialog.selection(type_combo), 2);
  EXPECT_EQ(calls, std::vector<int>{type_combo});
  dialog.set_item_count(type_combo, 4);
  dialog.set_text(type_combo, "Exponential", 3);
  dialog.set_text(type_combo, "Accelerogram", 5);  // beyond the count: the list grows
  dialog.select(type_combo, 0);
  EXPECT_EQ(dialog.selection(type_combo), 0);
  EXPECT_EQ(get<QComboBox>(type_combo)->count(), 5);
  EXPECT_EQ(get<QComboBox>(type_combo)->itemText(2), "Exponential");
  dialog.select(type_combo, 5);
  dialog.set_item_count(type_combo, 2);  // the chosen item goes, and its choice with it
  EXPECT_EQ(dialog.selection(type_combo), 0);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(DialogBehaviour, ListCallbackRunsForEveryClickAndKeyButNotForProgramSelection) {
  count_calls({case_list});
  dialog.window()->show();
  auto* list = get<ui::qt::ItemList>(case_list);
  dialog.select(case_list, 2);
  EXPECT_TRUE(calls.empty());
  auto click_row = [list](int row) {
    qt_test::click_at(list->viewport(), list->visualRect(list->items()->index(row)).center());
  };
  click_row(2);
  EXPECT_EQ(dialog.selection(case_list), 3);
  click_row(2);  // the row already chosen: still the user's choice
  qt_test::press_key(list, Qt::Key_Up);
  EXPECT_EQ(dialog.selection(case_list), 2);
  EXPECT_EQ(calls, (std::vector<int>{case_list, case_list, case_list}));
  dialog.set_text(case_list, "12-40", 5);
  EXPECT_EQ(list->count(), 5);
  EXPECT_EQ(list->items()->text(3), "");
  EXPECT_EQ(list->items()->text(4), "12-40");
  dialog.set_item_count(case_list, 1);
  EXPECT_EQ(dialog.selection(case_list), 0);
  EXPECT_EQ(calls.size(), 3u);
  dialog.window()->hide();
}

// A list of a billion items asks only for the rows it shows; the keys, a click and the
// program's changes number and select its items as in a short list.
TEST_F(DialogBehaviour, AListViewOfABillionItemsIsNumberedAndSelectedAsAShortOne) {
  constexpr int billion = 1000000000;
  count_calls({case_list});
  int asked = 0;
  dialog.show_items(case_list, billion, [&asked](int i) {
    ++asked;
    return i <= 2 ? "range " + std::to_string(i) : std::string();
  });
  dialog.window()->show();
  QApplication::processEvents();
  auto* list = get<ui::qt::ItemList>(case_list);
  EXPECT_EQ(list->count(), billion);
  EXPECT_LT(asked, 100);
  EXPECT_EQ(dialog.selection(case_list), 0);
  list->setFocus(Qt::TabFocusReason);  // the keyboard arrives: nothing chosen yet
  EXPECT_EQ(dialog.selection(case_list), 0);
  qt_test::press_key(list, Qt::Key_End);
  EXPECT_EQ(dialog.selection(case_list), billion);
  EXPECT_EQ(dialog.text(case_list, 3), "   ");  // a blank item
  qt_test::press_key(list, Qt::Key_Up);
  EXPECT_EQ(dialog.selection(case_list), billion - 1);
  qt_test::click_at(list->viewport(), list->visualRect(list->items()->index(billion - 3)).center());
  EXPECT_EQ(dialog.selection(case_list), billion - 2);
  qt_test::press_key(list, Qt::Key_Home);
  EXPECT_EQ(dialog.selection(case_list), 1);
  EXPECT_EQ(dialog.text(case_list, 8), "range 1 ");
  EXPECT_EQ(calls.size(), 4u);
  // The program's changes run no callback; the selection keeps its item number while the
  // items change their texts, and goes when its item goes.
  dialog.items_changed(case_list, 1, billion);
  dialog.select(case_list, 2);
  EXPECT_EQ(dialog.selection(case_list), 2);
  dialog.set_item_count(case_list, 2);
  EXPECT_EQ(dialog.selection(case_list), 2);
  dialog.set_item_count(case_list, 1);
  EXPECT_EQ(dialog.selection(case_list), 0);
  EXPECT_EQ(calls.size(), 4u);
  dialog.window()->hide();
}

TEST_F(DialogBehaviour, DisabledControlsAreGreyedAndTakeNoInput) {
  count_calls({apply_button});
  dialog.set_enabled(apply_button, false);
  QPushButton* button = get<QPushButton>(apply_button);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_NE(button->palette().color(QPalette::Disabled, QPalette::ButtonText),
            button->palette().color(QPalette::Active, QPalette::ButtonText));
  button->click();
  EXPECT_TRUE(calls.empty());
  dialog.set_enabled(apply_button, true);
  button->click();
  EXPECT_EQ(calls, std::vector<int>{apply_button});
}

TEST_F(DialogBehaviour, ButtonsOneAndTwoCloseWithTheirCodesWhenNoCallbackTakesThem) {
  ModalScript ok_script;
  ok_script.when<ui::qt::DialogWindow>(press(1));
  EXPECT_EQ(dialog.run_modal(), 1);
  ModalScript cancel_script;
  cancel_script.when<ui::qt::DialogWindow>(press(2));
  EXPECT_EQ(dialog.run_modal(), 2);
  EXPECT_TRUE(ok_script.finished() && cancel_script.finished());
}

TEST_F(DialogBehaviour, ACallbackOnOkRunsInsteadOfClosingAndMayCloseItself) {
  int presses = 0;
  dialog.on(1, [&presses](ui::Dialog& d, ui::ControlId) {
    if (++presses == 2) d.close();
  });
  count_calls({apply_button});
  ModalScript script;
  script.when<ui::qt::DialogWindow>(press(apply_button))  // no callback of its own: stays open
      .when<ui::qt::DialogWindow>(press(1))
      .when<ui::qt::DialogWindow>(press(1));
  EXPECT_EQ(dialog.run_modal(), 1);
  EXPECT_EQ(presses, 2);
  EXPECT_TRUE(script.finished());
}

TEST_F(DialogBehaviour, EscapeIsCancelAndAnsweredOnlyWhileCancelIsEnabled) {
  ModalScript script;
  script
      .when<ui::qt::DialogWindow>([this](ui::qt::DialogWindow* w) {
        dialog.set_enabled(2, false);
        qt_test::press_key(w, Qt::Key_Escape);
        EXPECT_TRUE(w->isVisible());
        dialog.set_enabled(2, true);
        qt_test::press_key(w, Qt::Key_Escape);
      });
  EXPECT_EQ(dialog.run_modal(), 2);
  EXPECT_TRUE(script.finished());
}

TEST_F(DialogBehaviour, CloseBoxGivesCodeTwoWithoutTheCancelCallback) {
  count_calls({2});
  ModalScript script;
  script.when<ui::qt::DialogWindow>([this](ui::qt::DialogWindow* w) {
    dialog.set_enabled(2, false);
    w->close();  // the dialog has disabled going back: the close box must not go back either
    EXPECT_TRUE(w->isVisible());
    dialog.set_enabled(2, true);
    w->close();
  });
  EXPECT_EQ(dialog.run_modal(), 2);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(script.finished());
}

TEST_F(DialogBehaviour, EnterPressesTheFocusedButtonElseTheEnabledDefaultButtonOnly) {
  count_calls({apply_button});
  ModalScript script;
  script.when<ui::qt::DialogWindow>([this](ui::qt::DialogWindow* w) {
    get<QPushButton>(apply_button)->setFocus();
    qt_test::press_key(get<QPushButton>(apply_button), Qt::Key_Return);
    EXPECT_EQ(calls, std::vector<int>{apply_button});
    get<QLineEdit>(name_edit)->setFocus();
    dialog.set_enabled(1, false);
    qt_test::press_key(get<QLineEdit>(name_edit), Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    dialog.set_enabled(1, true);
    qt_test::press_key(get<QLineEdit>(name_edit), Qt::Key_Return);
  });
  EXPECT_EQ(dialog.run_modal(), 1);
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_TRUE(script.finished());
}

TEST_F(DialogBehaviour, OwnIdentifierIsCalledOnceWhenTheWindowExistsBeforeAnyUserAction) {
  std::vector<std::string> events;
  dialog.on(sample_id, [&events](ui::Dialog& d, ui::ControlId id) {
    EXPECT_EQ(id, sample_id);
    EXPECT_TRUE(dynamic_cast<QtDialog&>(d).window()->isVisible());
    events.push_back("created");
  });
  dialog.on(apply_button, [&events](ui::Dialog&, ui::ControlId) { events.push_back("apply"); });
  ModalScript script;
  script.when<ui::qt::DialogWindow>(press(apply_button)).when<ui::qt::DialogWindow>(press(1));
  EXPECT_EQ(dialog.run_modal(), 1);
  ModalScript again;
  again.when<ui::qt::DialogWindow>(press(2));
  EXPECT_EQ(dialog.run_modal(), 2);
  EXPECT_EQ(events, (std::vector<std::string>{"created", "apply"}));
  EXPECT_TRUE(script.finished() && again.finished());
}

TEST_F(DialogBehaviour, CloseBeforeTheRunEndsItAtOnce) {
  dialog.close(7);
  EXPECT_EQ(dialog.run_modal(), 7);
}

TEST_F(DialogBehaviour, ALongPathInAStaticWrapsReadsBackUnchangedAndShowsWholeInTheToolTip) {
  const std::string path = "/home/engineer/projects/bridge-over-the-river/loading/case_study_2024/frame.inc";
  dialog.set_text(status_static, path);
  EXPECT_EQ(dialog.text(status_static, path.size()), path);
  auto* label = get<QLabel>(status_static);
  const int lines = label->heightForWidth(label->width()) / label->fontMetrics().lineSpacing();
  EXPECT_GE(lines, 2);
  EXPECT_EQ(label->toolTip().toStdString(), path);
}

TEST_F(DialogBehaviour, LabelsKeepTheirAmpersandAndTheGroupFrameStaysBehind) {
  EXPECT_EQ(dialog.text(apply_button, 13), "Apply & Check");
  dialog.set_text(apply_button, "Save & Go");
  EXPECT_EQ(dialog.text(apply_button, 9), "Save & Go");
  const QPoint centre = dialog.widget(apply_button)->geometry().center();
  EXPECT_EQ(dialog.window()->childAt(centre), dialog.widget(apply_button));
}

}  // namespace

// Alt and the marked letter press a button; the program still reads the label unmarked.
TEST_F(DialogBehaviour, AltAndTheButtonsLetterPressIt) {
  count_calls({apply_button});
  const QChar letter = qt_test::mnemonic_of(get<QPushButton>(apply_button)->text());
  ASSERT_FALSE(letter.isNull());
  ModalScript script;
  script.when<ui::qt::DialogWindow>([letter](ui::qt::DialogWindow* w) {
    QTest::keyClick(w, letter.toLatin1(), Qt::AltModifier);
    QTest::qWait(200);  // a shortcut clicks the button after showing it pressed
    QTest::keyClick(w, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.run_modal(), 2);
  EXPECT_EQ(calls, std::vector<int>{apply_button});
  EXPECT_EQ(dialog.text(apply_button, 13), "Apply & Check");
  EXPECT_TRUE(script.finished());
}
