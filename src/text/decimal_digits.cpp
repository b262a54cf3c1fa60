#include "text/decimal_digits.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace text {
namespace {

using u128 = unsigned __int128;

constexpr std::array<u128, 39> powers_of_ten = [] {
  std::array<u128, 39> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

void put_digits(std::uint64_t q, int count, char* out) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + q % 10);
    q /= 10;
  }
}

// num / den with the remainder; den is a power of two when `shift` >= 0.
void divide(u128 num, u128 den, int shift, u128& q, u128& r) {
  if (shift >= 0) {
    q = num >> shift;
    r = num & ((u128{1} << shift) - 1);
  } else if (num >> 64 == 0 && den >> 64 == 0) {
    q = static_cast<std::uint64_t>(num) / static_cast<std::uint64_t>(den);
    r = static_cast<std::uint64_t>(num) % static_cast<std::uint64_t>(den);
  } else {
    q = num / den;
    r = num % den;
  }
}

// value / 10^k = num / den for value = m x 2^e; false when it would not fit 128 bits.
bool scaled(std::uint64_t m, int e, int k, u128& num, u128& den, int& shift) {
  shift = -1;
  if (k <= 0) {
    if (-k > 30 || e > 60 || e < -127) return false;
    num = u128{m} * powers_of_ten[static_cast<std::size_t>(-k)];
    if (e >= 0) {
      num <<= e;
      den = 1;
      shift = 0;
    } else {
      den = u128{1} << -e;
      shift = -e;
    }
    return num >> 126 == 0;
  }
  if (k > 30 || e > 100 || e < -26) return false;
  num = u128{m};
  den = powers_of_ten[static_cast<std::size_t>(k)];
  if (e >= 0) num <<= e;
  else den <<= -e;
  return true;
}

// The quick road for the values every layout meets: normal floats widened, up to 9 digits,
// magnitudes from about 1e-22 up. Integer arithmetic on the exact value, so exact.
bool round_float_exactly(double magnitude, int count, Decimal& out) {
  if (count > 9) return false;
  const float f = static_cast<float>(magnitude);
  if (static_cast<double>(f) != magnitude) return false;
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  const int biased = static_cast<int>(bits >> 23);
  if (biased == 0 || biased == 255) return false;
  const std::uint64_t m = (bits & 0x7fffffu) | 0x800000u;
  const int e = biased - 150;  // magnitude = m x 2^e
  int e10 = ((biased - 127) * 1262611) >> 22;  // floor(log10), or one less
  for (int attempt = 0; attempt < 3; ++attempt) {
    u128 num, den, q, r;
    int shift;
    if (!scaled(m, e, e10 - (count - 1), num, den, shift)) return false;
    divide(num, den, shift, q, r);
    if (q >= powers_of_ten[static_cast<std::size_t>(count)]) {
      ++e10;
      continue;
    }
    if (q < powers_of_ten[static_cast<std::size_t>(count - 1)]) {
      --e10;
      continue;
    }
    const u128 twice = r << 1;
    if (twice > den || (twice == den && (q & 1) != 0)) ++q;
    if (q == powers_of_ten[static_cast<std::size_t>(count)]) {
      q = powers_of_ten[static_cast<std::size_t>(count - 1)];
      ++e10;
    }
    put_digits(static_cast<std::uint64_t>(q), count, out.digits);
    out.count = count;
    out.exponent = e10;
    return true;
  }
  return false;
}

// Any double: std::to_chars rounds the exact binary value correctly, ties to even.
Decimal round_by_to_chars(double magnitude, int count) {
  char buf[max_significant_digits + 16];
  const auto end =
      std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, count - 1).ptr;
  Decimal out{};
  out.count = count;
  const char* p = buf;
  int n = 0;
  out.digits[n++] = *p++;
  if (*p == '.') {
    ++p;
    while (*p != 'e') out.digits[n++] = *p++;
  }
  ++p;  // the 'e'
  const bool negative = *p++ == '-';
  int e = 0;
  while (p < end) e = e * 10 + (*p++ - '0');
  out.exponent = negative ? -e : e;
  return out;
}

// The values of power_of_ten; the compiler rounds the literals correctly.
constexpr int min_power_of_ten = 46;
constexpr int max_power_of_ten = 55;
constexpr double powers_of_ten_double[] = {
    1e-46, 1e-45, 1e-44, 1e-43, 1e-42, 1e-41, 1e-40, 1e-39,
    1e-38, 1e-37, 1e-36, 1e-35, 1e-34, 1e-33, 1e-32, 1e-31,
    1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23,
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15,
    1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7,
    1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,
    1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17,
    1e18, 1e19, 1e20, 1e21, 1e22, 1e23, 1e24, 1e25,
    1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33,
    1e34, 1e35, 1e36, 1e37, 1e38, 1e39, 1e40, 1e41,
    1e42, 1e43, 1e44, 1e45, 1e46, 1e47, 1e48, 1e49,
    1e50, 1e51, 1e52, 1e53, 1e54, 1e55
};
static_assert(std::size(powers_of_ten_double) == min_power_of_ten + max_power_of_ten + 1);

// "00" to "99": the digits of q two at a time halve the divisions.
constexpr std::array<char, 200> digit_pairs = [] {
  std::array<char, 200> t{};
  for (int i = 0; i < 100; ++i) {
    t[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    t[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return t;
}();

void put_digits_9(std::uint32_t q, int count, char* out) {
  int i = count;
  for (; i >= 2; i -= 2) {
    std::memcpy(out + i - 2, &digit_pairs[(q % 100) * 2], 2);
    q /= 100;
  }
  if (i == 1) out[0] = static_cast<char>('0' + q);
}

// The quick road for floats and up to 9 digits: y = magnitude x 10^k in one double product.
// Both the power and the product are correctly rounded, so y is within 2^-52 of the exact
// value relatively, under 2^-21 absolutely since y < 10^9. Rounding y therefore gives the
// exact rounding unless y lies within that distance of a tie; a margin of 2^-16 around the
// ties (one value in about 30,000) sends those values to the exact road.
bool round_float_quickly(double magnitude, int count, Decimal& out) {
  if (count > 9 || static_cast<double>(static_cast<float>(magnitude)) != magnitude) return false;
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int e2 = static_cast<int>(bits >> 52) - 1023;
  int e10 = (e2 * 1262611) >> 22;  // floor(log10), or one less
  const auto limit = static_cast<std::uint32_t>(powers_of_ten[static_cast<std::size_t>(count)]);
  double y = magnitude * power_of_ten(count - 1 - e10);
  if (y >= limit) y = magnitude * power_of_ten(count - 1 - ++e10);
  if (y < limit / 10 || y >= limit) return false;
  const auto whole = static_cast<std::uint64_t>(y);
  const double fraction = y - static_cast<double>(whole);
  constexpr double margin = 1.0 / (1 << 16);
  if (fraction > 0.5 - margin && fraction < 0.5 + margin) return false;
  auto q = static_cast<std::uint32_t>(whole + (fraction > 0.5 ? 1 : 0));
  if (q == limit) {
    q = limit / 10;
    ++e10;
  }
  put_digits_9(q, count, out.digits);
  out.count = count;
  out.exponent = e10;
  return true;
}

}  // namespace

double power_of_ten(int k) { return powers_of_ten_double[k + min_power_of_ten]; }

Decimal round_to_digits_exactly(double magnitude, int count) {
  Decimal out;
  if (round_float_exactly(magnitude, count, out)) return out;
  return round_by_to_chars(magnitude, count);
}

Decimal round_to_digits(double magnitude, int count) {
  Decimal out;
  if (round_float_quickly(magnitude, count, out)) return out;
  return round_to_digits_exactly(magnitude, count);
}

}  // namespace text
