// The template rows are the one place a control is declared: the dialogs read an edit as far as
// its row says, and find a control by its number.
#include <gtest/gtest.h>

#include <set>

#include "ui/dialog_template.h"

namespace {

TEST(Templates, EveryEditSaysHowMuchOfItIsReadAndNumbersAreUnique) {
  for (const ui::DialogTemplate* t : ui::all_templates()) {
    std::set<ui::ControlId> seen;
    for (const ui::ControlTemplate& c : t->controls) {
      // An edit without a length would be read as no characters at all, without a word.
      if (c.kind == ui::ControlKind::edit) {
        EXPECT_GT(c.field.length, 0u) << t->title << ": " << c.id;
      }
      if (c.id != ui::no_id) {
        EXPECT_TRUE(seen.insert(c.id).second) << t->title << ": " << c.id << " twice";
      }
    }
  }
}

}  // namespace
