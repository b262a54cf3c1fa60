// The integer road to the digits of a float must agree with std::to_chars (exact, ties to even)
// everywhere: every exponent, the counts the layouts use, and the ties.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "text/decimal_digits.h"

namespace {

std::string reference(double magnitude, int count) {
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, count - 1).ptr;
  return std::string(buf, end);
}

std::string ours(double magnitude, int count) {
  const text::Decimal d = text::round_to_digits(magnitude, count);
  std::string s(1, d.digits[0]);
  if (count > 1) s += '.' + std::string(d.digits + 1, static_cast<std::size_t>(count - 1));
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", d.exponent < 0 ? '-' : '+', d.exponent < 0 ? -d.exponent : d.exponent);
  return s + exponent;
}

TEST(RoundToDigits, AgreesWithToCharsOverTheFloatRange) {
  int compared = 0;
  for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 997) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    for (const int count : {3, 4, 6, 7, 8}) {
      ASSERT_EQ(ours(f, count), reference(f, count)) << std::hexfloat << f << " to " << count << " digits";
      ++compared;
    }
  }
  EXPECT_GT(compared, 10000000);
}

TEST(RoundToDigits, TiesGoToEvenAndCarriesMoveThePowerOfTen) {
  EXPECT_EQ(ours(10000005.0, 7), "1.000000e+07");
  EXPECT_EQ(ours(10000015.0, 7), "1.000002e+07");
  EXPECT_EQ(ours(0.125, 2), "1.2e-01");
  EXPECT_EQ(ours(9999999.5, 7), "1.000000e+07");
  EXPECT_EQ(ours(0.99999994f, 7), "9.999999e-01");
  EXPECT_EQ(ours(0.99999994f, 6), "1.00000e+00");
  EXPECT_EQ(ours(1e-30, 7), reference(1e-30, 7));  // beyond the integer road: to_chars
  EXPECT_EQ(ours(0.1, 7), "1.000000e-01");         // not a float: to_chars
}

}  // namespace
