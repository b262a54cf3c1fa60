// Coefficient texts: each reads back as its value in at most ten characters, in the form a
// user would type.
#include <gtest/gtest.h>

#include <string>

#include "text/coefficient_text.h"

namespace {

using text::coefficient_text;

TEST(CoefficientText, ReadsBackAsTheSameValueInTenCharacters) {
  for (double v : {6.0, 0.5, 1.0 / 3.0, 0.1, 1e-7, 2.5e12, -4.75, 123456789.0, 0.0}) {
    const std::string t = coefficient_text(v);
    EXPECT_LE(t.size(), 10u) << v;
    if (v != 1.0 / 3.0) {
      EXPECT_EQ(std::stod(t), v) << t;
    }
  }
  EXPECT_EQ(coefficient_text(6.0), "6.");
  EXPECT_EQ(coefficient_text(0.25), "0.25");
  EXPECT_EQ(coefficient_text(2.5e12), "0.25E+13");
  // Ten typed characters that neither the fixed nor the G14.7 form can hold.
  EXPECT_EQ(coefficient_text(-45429e-10), "-4.5429E-6");
  EXPECT_EQ(coefficient_text(1234567890.0), "1234567890");
}

}  // namespace

// Ten characters fit the dialog's field: such a text is kept as it is, never rounded.
TEST(CoefficientText, ACoefficientOfTenCharactersKeepsAllItsDigits) {
  EXPECT_EQ(text::coefficient_text(0.12345678), "0.12345678");
  EXPECT_EQ(text::coefficient_text(-0.1234567), "-0.1234567");
  EXPECT_EQ(text::coefficient_text(12345678.5), "12345678.5");
  EXPECT_EQ(text::coefficient_text(0.1234e-20), "0.1234E-20");
}
