// The quick roads to number texts against the exact ones, value by value over a sweep of the
// floats: the rounding by one double product against the integer arithmetic on the exact
// binary value, and the G14.7 text built from the digits against the field written and
// tidied. The sweep takes every float near each power of ten (where the form changes) and
// near 10^6 (where ties at 7 digits are common), and a stride through all the others.
// BRANTEL_FLOAT_SWEEP=<count> widens the stride part to about that many floats; "all" takes
// every positive float (some minutes).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "text/decimal_digits.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace {

constexpr std::uint32_t largest_finite = 0x7f7fffffu;

float from_bits(std::uint32_t bits) { return std::bit_cast<float>(bits); }
std::uint32_t to_bits(float v) { return std::bit_cast<std::uint32_t>(v); }

std::uint64_t sweep_count() {
  const char* requested = std::getenv("BRANTEL_FLOAT_SWEEP");
  if (!requested || !*requested) return std::uint64_t{1} << 21;
  if (std::string(requested) == "all") return largest_finite;
  return std::max<std::uint64_t>(1, std::strtoull(requested, nullptr, 10));
}

// Calls `check` on each float of the sweep, in order of bit pattern within each part.
template <typename Check>
void sweep(Check check) {
  const std::uint64_t stride = std::max<std::uint64_t>(1, largest_finite / sweep_count()) | 1;
  for (std::uint64_t bits = 1; bits <= largest_finite; bits += stride) check(from_bits(static_cast<std::uint32_t>(bits)));
  for (int j = -45; j <= 38; ++j) {
    const std::uint32_t centre = to_bits(static_cast<float>(std::pow(10.0, j)));
    for (std::uint32_t bits = centre - 4096; bits <= centre + 4096 && bits <= largest_finite; ++bits)
      check(from_bits(bits));
  }
  const std::uint32_t million = to_bits(1e6f);
  for (std::uint32_t bits = million; bits < million + (1u << 20); ++bits) check(from_bits(bits));
}

bool same_digits(const text::Decimal& a, const text::Decimal& b) {
  return a.count == b.count && a.exponent == b.exponent && std::memcmp(a.digits, b.digits, a.count) == 0;
}

std::string field_text(float x) {
  std::string field = text::format_g(x, 14, 7);
  text::tidy_number_text(field);
  return std::string(text::trim_right(field));
}

TEST(QuickRoad, RoundsEveryFloatOfTheSweepAsTheExactRoad) {
  long compared = 0, failures = 0;
  sweep([&](float x) {
    for (const int count : {3, 6, 7, 9}) {
      const text::Decimal quick = text::round_to_digits(x, count);
      const text::Decimal exact = text::round_to_digits_exactly(x, count);
      if (!same_digits(quick, exact) && ++failures <= 10)
        ADD_FAILURE() << std::hexfloat << x << " to " << count << " digits: "
                      << std::string(quick.digits, quick.count) << "e" << quick.exponent << " against "
                      << std::string(exact.digits, exact.count) << "e" << exact.exponent;
    }
    ++compared;
  });
  EXPECT_EQ(failures, 0);
  EXPECT_GT(compared, 3000000);
}

// Both signs: the sign is the one place where the text of -x differs from that of x.
TEST(QuickRoad, G14_7TextOfEveryFloatOfTheSweepIsTheTidiedField) {
  long failures = 0;
  bool negative = false;
  sweep([&](float x) {
    const float v = negative ? -x : x;
    negative = !negative;
    const std::string quick = text::g14_7_text(v), field = field_text(v);
    if (quick != field && ++failures <= 10)
      ADD_FAILURE() << std::hexfloat << v << ": [" << quick << "] against the field's [" << field << "]";
  });
  EXPECT_EQ(failures, 0);
}

// A reader copies a constant instead of making its text again only when that is the text.
TEST(QuickRoad, AConstantIsTakenAsTheG14_7TextOnlyWhenItIs) {
  long reused = 0, seen = 0, failures = 0;
  sweep([&](float x) {
    const std::string t = text::g14_7_text(x);
    float read = 0;
    ASSERT_TRUE(text::parse_real(t, read)) << t;
    ++seen;
    if (!text::is_g14_7_text(t, read)) return;
    ++reused;
    if (text::g14_7_text(read) != t && ++failures <= 10)
      ADD_FAILURE() << t << " reads as " << std::hexfloat << read << ", whose text is " << text::g14_7_text(read);
  });
  EXPECT_EQ(failures, 0);
  EXPECT_GT(reused, seen / 2);
  // Other shapes of the same values, and digits finer than the floats there.
  for (const char* other : {"1.50", "1.5E+00", "15E-1", "+1.5", "0.15E+01", "01.5", ".5", "0.05", "5", "0.1E+01",
                            "0.1e+08", "0.10E+08", "12345678.", "0.12345678", "0.1E+8", "-0.", "0.0"}) {
    float read = 0;
    ASSERT_TRUE(text::parse_real(other, read)) << other;
    EXPECT_FALSE(text::is_g14_7_text(other, read)) << other;
  }
  EXPECT_FALSE(text::is_g14_7_text("0.8589935E+10", 8589935000.0f));  // floats 1024 apart there
  EXPECT_TRUE(text::is_g14_7_text("0.1E+09", 1e8f));
  EXPECT_FALSE(text::is_g14_7_text("0.1E+08", 1e7f));  // floats just below it are 0.5 apart
  EXPECT_TRUE(text::is_g14_7_text("-1499.995", -1499.995f));
  EXPECT_TRUE(text::is_g14_7_text("0.", 0.0f));
  EXPECT_FALSE(text::is_g14_7_text("1.5", -1.5f));  // not the text it was read from
}

TEST(QuickRoad, TextsAtTheEdgesOfTheForms) {
  EXPECT_EQ(text::g14_7_text(0.0f), "0.");
  EXPECT_EQ(text::g14_7_text(-0.0f), "0.");
  EXPECT_EQ(text::g14_7_text(9999999.0f), "9999999.");
  EXPECT_EQ(text::g14_7_text(1e7f), "0.1E+08");
  EXPECT_EQ(text::g14_7_text(0.1f), "0.1");
  EXPECT_EQ(text::g14_7_text(-0.099999f), "-0.99999E-01");
  EXPECT_EQ(text::g14_7_text(1234.5f), "1234.5");
  EXPECT_EQ(text::g14_7_text(-1.0e-45f), "-0.1401298E-44");
  EXPECT_EQ(text::g14_7_text(3.4028235e38f), "0.3402823E+39");
  EXPECT_EQ(text::g14_7_text(10000005.0f), "0.1E+08");    // a tie goes to the even digit
  EXPECT_EQ(text::g14_7_text(10000015.0f), "0.1000002E+08");
  EXPECT_EQ(text::g14_7_text(std::numeric_limits<float>::infinity()), field_text(std::numeric_limits<float>::infinity()));
}

}  // namespace

namespace {

// Sixteen-digit decimals whose nearest double is a midpoint between two floats, though they are
// not: rounded through the double they would go to the even float; their own nearest float
// (found with exact fractions) is the one on their side. The quick road must step aside.
TEST(QuickRoad, DecimalsWhoseDoubleIsAFloatMidpointRoundOnTheirOwnSide) {
  const std::pair<const char*, float> cases[] = {
      {"2.846330108642578e+02", 0x1.1ca20cp+8f}, {"3.672598838806152e+01", 0x1.25ced2p+5f},
      {"8.592769205570221e-01", 0x1.b7f326p-1f}, {"6.271917000412941e-02", 0x1.00e5d2p-4f},
      {"4.716421699523926e+01", 0x1.795052p+5f}, {"8.339012507349253e-03", 0x1.1140b6p-7f}};
  for (const auto& [text, expected] : cases) {
    float parsed = 0, prefix = 0;
    ASSERT_TRUE(text::parse_real(text, parsed)) << text;
    EXPECT_EQ(to_bits(parsed), to_bits(expected)) << text;
    EXPECT_EQ(text::quick_number_prefix(text, prefix), std::strlen(text)) << text;
    EXPECT_EQ(to_bits(prefix), to_bits(expected)) << text;
  }
}

}  // namespace
