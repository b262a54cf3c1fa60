// The factor the spectrum window shows and applies: nine significant digits, as suite.csv gives
// it, never below the computed one under the rule that guarantees 90% of the target.
#include <gtest/gtest.h>

#include "dialogs/editors/spectrum_dialog.h"

namespace {

using dialogs::editors::shown_factor;

TEST(ShownFactor, NineDigitsNearestOrUpAndExactlyTheDecimalShown) {
  EXPECT_EQ(shown_factor(1.2345678949, false), 1.23456789);
  EXPECT_EQ(shown_factor(1.2345678951, false), 1.2345679);
  EXPECT_EQ(shown_factor(1.2345678901, true), 1.2345679);
  EXPECT_EQ(shown_factor(0.012345678901, true), 0.012345679);
  EXPECT_EQ(shown_factor(12345.678944, false), 12345.6789);
  EXPECT_EQ(shown_factor(0.6314, false), 0.6314);
  // A factor already at nine digits is not pushed up by the rounding of the division.
  EXPECT_EQ(shown_factor(0.7, true), 0.7);
  EXPECT_EQ(shown_factor(2.5, true), 2.5);
  EXPECT_EQ(shown_factor(1.23456789, true), 1.23456789);
  EXPECT_EQ(shown_factor(9.99999999999, false), 10.0);
}

}  // namespace
