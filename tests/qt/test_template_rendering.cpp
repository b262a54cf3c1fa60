// Every dialog template, whatever it holds, must come out of the Qt toolkit with each of its
// controls: the right kind of widget, the label, the list contents, the place and the state.
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

#include "qt_test_support.h"
#include "ui/dialog_template.h"
#include "ui/qt/item_list.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_toolkit.h"

namespace {

using ui::ControlKind;

std::optional<ControlKind> kind_of(QWidget* w) {
  if (qobject_cast<QPushButton*>(w)) return ControlKind::push_button;
  if (qobject_cast<QLineEdit*>(w)) return ControlKind::edit;
  if (qobject_cast<QLabel*>(w)) return ControlKind::static_text;
  if (qobject_cast<ui::qt::ItemList*>(w)) return ControlKind::list_box;
  if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
    return ControlKind::drop_down;
  if (qobject_cast<QGroupBox*>(w)) return ControlKind::group_box;
  if (qobject_cast<QChartView*>(w)) return ControlKind::chart;
  return std::nullopt;
}

// The text a person reads on the control; for fields, the name a screen reader announces.
QString shown_label(QWidget* w) {
  if (auto* button = qobject_cast<QPushButton*>(w)) return qt_test::drawn_text(button->text());
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().replace("&&", "&");
  return w->accessibleName();
}

QStringList items_of(QWidget* w) {
  QStringList items;
  if (auto* list = qobject_cast<ui::qt::ItemList*>(w))
    for (int i = 0; i < list->count(); ++i) items << list->items()->text(i);
  if (auto* combo = qobject_cast<QComboBox*>(w))
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QStringList to_qt(const std::vector<std::string>& items) {
  QStringList result;
  for (const std::string& item : items) result << QString::fromStdString(item);
  return result;
}

class TemplateRendering : public ::testing::Test {
 protected:
  void SetUp() override { qt_test::ensure_application(); }

  std::unique_ptr<ui::Dialog> create(const ui::DialogTemplate& t) {
    auto dialog = toolkit->create_dialog(t.id);
    EXPECT_NE(dynamic_cast<ui::qt::QtDialog*>(dialog.get()), nullptr);
    return dialog;
  }

  std::unique_ptr<ui::Toolkit> toolkit = ui::qt::make_qt_toolkit();
};

void expect_control(const ui::ControlTemplate& control, QWidget* w) {
  SCOPED_TRACE("control " + std::to_string(control.id) + " \"" + control.label + "\"");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(kind_of(w), control.kind);
  EXPECT_EQ(w->objectName(), QString::number(control.id));
  EXPECT_EQ(shown_label(w), QString::fromStdString(control.label));
  EXPECT_EQ(items_of(w), to_qt(control.items));
  EXPECT_EQ(w->isEnabled(), control.enabled);
  EXPECT_EQ(w->geometry(), QRect(control.rect.x, control.rect.y, control.rect.width, control.rect.height));
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    EXPECT_EQ(button->isDefault(), control.default_button);
  }
}

TEST_F(TemplateRendering, EveryControlOfEveryTemplateExistsWithKindLabelItemsPlaceAndState) {
  ASSERT_FALSE(ui::all_templates().empty());
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    SCOPED_TRACE("dialog " + std::to_string(t->id));
    auto dialog = create(*t);
    auto* q = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->window()->windowTitle(), QString::fromStdString(t->title));
    EXPECT_EQ(q->window()->size(), QSize(t->width, t->height));
    for (std::size_t i = 0; i < t->controls.size(); ++i) expect_control(t->controls[i], q->widget_at(i));
    // Nothing beyond the template: no widget of the dialog's own that the template lacks.
    EXPECT_EQ(q->window()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              static_cast<qsizetype>(t->controls.size()));
  }
}

// Alt+letter reaches every button that has a letter to spare, no letter twice in a dialog.
TEST_F(TemplateRendering, ButtonsHaveDistinctMnemonicsThatTheProgramNeverReads) {
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    SCOPED_TRACE("dialog " + std::to_string(t->id));
    auto dialog = create(*t);
    auto* q = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    QString taken;
    for (std::size_t i = 0; i < t->controls.size(); ++i) {
      auto* button = qobject_cast<QPushButton*>(q->widget_at(i));
      if (!button) continue;
      const QChar letter = qt_test::mnemonic_of(button->text());
      // Four "0s" buttons share two letters: the later ones go without.
      const bool spare = std::any_of(t->controls[i].label.begin(), t->controls[i].label.end(), [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) && !taken.contains(QChar(c).toUpper());
      });
      EXPECT_EQ(letter.isNull(), !spare) << t->controls[i].label;
      EXPECT_FALSE(!letter.isNull() && taken.contains(letter)) << t->controls[i].label;
      taken += letter;
      EXPECT_EQ(dialog->text(t->controls[i].id, t->controls[i].label.size()), t->controls[i].label);
    }
  }
}

TEST_F(TemplateRendering, TabMovesThroughTheFocusableControlsInTemplateOrder) {
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    SCOPED_TRACE("dialog " + std::to_string(t->id));
    auto dialog = create(*t);
    auto* q = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    std::vector<QWidget*> focusable;
    for (std::size_t i = 0; i < t->controls.size(); ++i)
      if (q->widget_at(i)->focusPolicy() & Qt::TabFocus) focusable.push_back(q->widget_at(i));
    for (std::size_t i = 0; i + 1 < focusable.size(); ++i) {
      QWidget* next = focusable[i]->nextInFocusChain();
      while (std::find(focusable.begin(), focusable.end(), next) == focusable.end())
        next = next->nextInFocusChain();
      EXPECT_EQ(next, focusable[i + 1]) << "after " << focusable[i]->objectName().toStdString();
    }
  }
}

// Group frames are drawn behind the controls they surround and never take their clicks.
TEST_F(TemplateRendering, GroupBoxesNeverCoverTheControlsInsideThem) {
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    SCOPED_TRACE("dialog " + std::to_string(t->id));
    auto dialog = create(*t);
    auto* q = dynamic_cast<ui::qt::QtDialog*>(dialog.get());
    for (std::size_t i = 0; i < t->controls.size(); ++i) {
      if (t->controls[i].kind == ControlKind::group_box) continue;
      const QPoint centre = q->widget_at(i)->geometry().center();
      EXPECT_EQ(qobject_cast<QGroupBox*>(q->window()->childAt(centre)), nullptr)
          << "control " << t->controls[i].id;
    }
  }
}

TEST_F(TemplateRendering, UnknownTemplateGivesNoDialog) {
  EXPECT_EQ(toolkit->create_dialog(999), nullptr);
}

}  // namespace
