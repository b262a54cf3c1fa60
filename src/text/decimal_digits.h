// A real rounded to a number of significant decimal digits, exactly (ties to even), from the
// exact binary value: the one source of digits for every output layout.
#pragma once

namespace text {

constexpr int max_significant_digits = 40;

struct Decimal {
  char digits[max_significant_digits + 1];  // no sign, no point
  int count;                                // significant digits
  int exponent;                             // value = d1.d2d3... x 10^exponent
};

// 10^k, the double nearest to it; -46 <= k <= 55 (what 9 digits of every float need).
double power_of_ten(int k);

// `magnitude` > 0 and finite; 1 <= count <= max_significant_digits.
Decimal round_to_digits(double magnitude, int count);
// The same digits by integer arithmetic on the exact binary value alone (std::to_chars beyond
// its reach), without the floating-point quick road that round_to_digits takes first: the
// reference that road is checked against.
Decimal round_to_digits_exactly(double magnitude, int count);

}  // namespace text
