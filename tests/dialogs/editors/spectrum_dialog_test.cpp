// The factor the spectrum window shows and applies: four significant digits, never below the
// computed one under the rule that guarantees 90% of the target.
#include <gtest/gtest.h>

#include "dialogs/editors/spectrum_dialog.h"

namespace {

TEST(ShownFactor, FourDigitsNearestOrUpAndExactlyTheDecimalShown) {
  EXPECT_EQ(dialogs::editors::shown_factor(1.23449, false), 1.234);
  EXPECT_EQ(dialogs::editors::shown_factor(1.23451, false), 1.235);
  EXPECT_EQ(dialogs::editors::shown_factor(1.23401, true), 1.235);
  EXPECT_EQ(dialogs::editors::shown_factor(0.0123401, true), 0.01235);
  EXPECT_EQ(dialogs::editors::shown_factor(123.44, false), 123.4);
  // A factor already at four digits is not pushed up by the rounding of the division.
  EXPECT_EQ(dialogs::editors::shown_factor(0.7, true), 0.7);
  EXPECT_EQ(dialogs::editors::shown_factor(2.5, true), 2.5);
  EXPECT_EQ(dialogs::editors::shown_factor(9.9999, false), 10.0);
}

}  // namespace
