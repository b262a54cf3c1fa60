// Edit descriptors and number texts: the worked examples, and the boundaries where a rounding
// decides between the fixed-point and the exponent form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/format.h"

namespace {

using text::format_f;
using text::format_g;

TEST(FormatG, WorkedExamplesOfG14_7) {
  EXPECT_EQ(format_g(2.5, 14, 7), "  2.500000    ");
  EXPECT_EQ(format_g(0.125, 14, 7), " 0.1250000    ");
  EXPECT_EQ(format_g(1234.5, 14, 7), "  1234.500    ");
  EXPECT_EQ(format_g(12345678.0, 14, 7), " 0.1234568E+08");
  EXPECT_EQ(format_g(0.001f, 14, 7), " 0.1000000E-02");
  EXPECT_EQ(format_g(1234567.0, 14, 7), "  1234567.    ");
  EXPECT_EQ(format_g(-0.25, 14, 7), "-0.2500000    ");
}

TEST(FormatG, ZeroOfEitherSignIsUnsignedFixedPoint) {
  EXPECT_EQ(format_g(0.0, 14, 7), "  0.000000    ");
  EXPECT_EQ(format_g(-0.0, 14, 7), "  0.000000    ");
  EXPECT_EQ(format_g(-0.0, 14, 6, 1), "   0.00000    ");
  EXPECT_EQ(format_g(0.0, 14, 3, 1), "      0.00    ");
}

TEST(FormatG, ScaleFactorOneChangesOnlyTheExponentForm) {
  EXPECT_EQ(format_g(12345678.0, 14, 6, 1), "  1.234568E+07");
  EXPECT_EQ(format_g(2.5, 14, 6, 1), "   2.50000    ");
  EXPECT_EQ(format_g(-1.0e-30f, 14, 6, 1), " -1.000000E-30");
  EXPECT_EQ(format_g(12345678.0, 14, 3, 1), "     1.235E+07");
  EXPECT_EQ(format_g(1234.5, 14, 3, 1), "     1.234E+03");  // 1234.5 is a tie: to even
}

// The form is chosen by the value rounded to d digits, so values just below a power of ten
// that stay below it at d digits keep the smaller form.
TEST(FormatG, FormFollowsTheValueRoundedToDDigits) {
  EXPECT_EQ(format_g(0.099999999, 14, 7), " 0.1000000    ");
  EXPECT_EQ(format_g(9999999.0, 14, 7), "  9999999.    ");
  EXPECT_EQ(format_g(9999999.6, 14, 7), " 0.1000000E+08");
  EXPECT_EQ(format_g(9999999.0, 14, 6, 1), "  9.999999E+06");
  EXPECT_EQ(format_g(0.9999996f, 14, 6, 1), "   1.00000    ");
  EXPECT_EQ(format_g(-9.9999996, 16, 6), "    -10.0000    ");
}

// Where gfortran 12 writes something else, by design. Its texts are in the comments.
TEST(FormatG, DeliberateDifferencesFromGfortran) {
  // The last float below 1, 0.1, 10 ... that stays below at d digits: gfortran writes the
  // power of ten ("  1.000000    ", " 0.1000000    ", "  10.00000    ").
  EXPECT_EQ(format_g(0.99999994f, 14, 7), " 0.9999999    ");
  EXPECT_EQ(format_g(0.099999994f, 14, 7), " 0.9999999E-01");
  EXPECT_EQ(format_g(9.9999990f, 14, 7), "  9.999999    ");
  EXPECT_EQ(text::g14_7_text(0.99999994f), "0.9999999");
  // Negative zero: gfortran writes " -0.000000    " unless built with -fno-sign-zero.
  EXPECT_EQ(format_g(-0.0, 14, 7), "  0.000000    ");
  EXPECT_EQ(text::g14_7_text(-0.0f), "0.");
  // A negative value that shows as zero by F14.7: gfortran writes "    -0.0000000".
  EXPECT_EQ(format_f(-1.0e-9, 14, 7), "     0.0000000");
  EXPECT_EQ(text::f14_7_text(-0.0f), "0.");
}

TEST(FormatG, ExtremesAndNonNumbers) {
  EXPECT_EQ(format_g(std::numeric_limits<float>::max(), 14, 7), " 0.3402823E+39");
  EXPECT_EQ(format_g(std::numeric_limits<float>::denorm_min(), 14, 7), " 0.1401298E-44");
  EXPECT_EQ(format_g(-1.0e100, 14, 7), "-0.1000000+101");
  EXPECT_EQ(format_g(1.0e-300, 14, 7), " 0.1000000-299");
  EXPECT_EQ(format_g(1.0e300, 10, 7), "**********");
  EXPECT_EQ(format_g(std::numeric_limits<double>::infinity(), 14, 7), "      Infinity");
  EXPECT_EQ(format_g(-std::numeric_limits<double>::infinity(), 14, 7), "     -Infinity");
  EXPECT_EQ(format_g(std::nan(""), 14, 7), "           NaN");
}

TEST(FormatF, FixedDecimalsWithOverflowAsterisks) {
  EXPECT_EQ(format_f(0.3f, 14, 7), "     0.3000000");
  EXPECT_EQ(format_f(-1234.5, 14, 7), " -1234.5000000");
  EXPECT_EQ(format_f(12345678.0, 14, 7), "**************");
  EXPECT_EQ(format_f(-0.5, 9, 7), "-.5000000");
  EXPECT_EQ(format_f(2.0, 5, 0), "   2.");
  EXPECT_EQ(format_f(1.0e25, 30, 1), "  10000000000000000905969664.0");
}

TEST(FormatI, WidthsMinimumDigitsAndOverflow) {
  EXPECT_EQ(text::format_i(42, 5), "   42");
  EXPECT_EQ(text::format_i(-42, 5), "  -42");
  EXPECT_EQ(text::format_i(7, 5, 3), "  007");
  EXPECT_EQ(text::format_i(-7, 5, 3), " -007");
  EXPECT_EQ(text::format_i(12345, 4), "****");
  EXPECT_EQ(text::format_i(-2147483647 - 1, 11), "-2147483648");
  EXPECT_EQ(text::format_ik(12), "12");
  EXPECT_EQ(text::format_ik(-3), "-3");
  EXPECT_EQ(text::format_ik(0), "0");
}

TEST(FormatA, ShortIsRightJustifiedLongIsCut) {
  EXPECT_EQ(text::format_a("ab", 5), "   ab");
  EXPECT_EQ(text::format_a("abcdef", 3), "abc");
  EXPECT_EQ(text::format_a("abc", 3), "abc");
}

TEST(DigitCount, CountsTheSignAsACharacter) {
  EXPECT_EQ(text::digit_count(0), 1);
  EXPECT_EQ(text::digit_count(-7), 2);
  EXPECT_EQ(text::digit_count(1000), 4);
  EXPECT_EQ(text::digit_count(999), 3);
  EXPECT_EQ(text::digit_count(2147483647), 10);
  EXPECT_EQ(text::digit_count(-2147483647 - 1), 11);
}

std::string tidied(std::string s) {
  text::tidy_number_text(s);
  return s;
}

TEST(TidyNumberText, KeepsLengthAndDropsTrailingZerosOfTheMantissa) {
  EXPECT_EQ(tidied("  2.500000    "), "2.5           ");
  EXPECT_EQ(tidied("  2.000000    "), "2.            ");
  EXPECT_EQ(tidied(" 0.1000000E-02"), "0.1E-02       ");
  EXPECT_EQ(tidied("-0.2500000    "), "-0.25         ");
  EXPECT_EQ(tidied("   15"), "15   ");
  EXPECT_EQ(tidied(" 0.1000000E+08"), "0.1E+08       ");
  EXPECT_EQ(tidied("-1.000000E+07"), "-1.E+07      ");
  EXPECT_EQ(tidied("  0.000000    "), "0.            ");
  EXPECT_EQ(tidied("      "), "      ");
  EXPECT_EQ(tidied("100."), "100.");
}

TEST(TidyNumberText, FollowsTheFieldLimitsOfItsSteps) {
  // Exponent part kept in 5 characters, mantissa in 19.
  EXPECT_EQ(tidied("1.50E+1234"), "1.5E+123  ");
  EXPECT_EQ(tidied("0.12345678901234567890000"), std::string("0.12345678901234567") + std::string(6, ' '));
  // The first exponent letter counts, lower case and D included.
  EXPECT_EQ(tidied("2.50d+03"), "2.5d+03 ");
  EXPECT_EQ(tidied("1E5 "), "1E5 ");
}

TEST(NumberTexts, AreTidiedAndTrimmed) {
  EXPECT_EQ(text::g14_7_text(2.5f), "2.5");
  EXPECT_EQ(text::g14_7_text(0.0f), "0.");
  EXPECT_EQ(text::g14_7_text(-0.0f), "0.");
  EXPECT_EQ(text::g14_7_text(1.0e-3f), "0.1E-02");
  EXPECT_EQ(text::g14_7_text(0.1f), "0.1");
  EXPECT_EQ(text::g14_7_text(100.0f), "100.");
  EXPECT_EQ(text::g1p14_6_text(-1.0e7f), "-1.E+07");
  EXPECT_EQ(text::g1p14_6_text(0.01f), "1.E-02");
  EXPECT_EQ(text::f14_7_text(0.3f), "0.3");
  EXPECT_EQ(text::f14_7_text(0.0f), "0.");
}

TEST(RecordWriter, TrailingTrAddsNothingAndTrBeforeAnItemAddsBlanks) {
  EXPECT_EQ(text::RecordWriter().i(1, 3).tr(2).i(2, 3).tr(2).str(), "  1    2");
  EXPECT_EQ(text::RecordWriter().a("X").tr(1).lit("Y").a("ab", 3).str(), "X Y ab");
  EXPECT_EQ(text::RecordWriter().ik(12).tr(3).g(2.5, 14, 7).str(), "12     2.500000    ");
  EXPECT_EQ(text::RecordWriter().f(0.5, 6, 2).str(), "  0.50");
  EXPECT_EQ(text::RecordWriter().a("ab  ").str(), "ab  ");
}

}  // namespace
