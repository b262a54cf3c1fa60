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

}  // namespace

Decimal round_to_digits(double magnitude, int count) {
  Decimal out;
  if (round_float_exactly(magnitude, count, out)) return out;
  return round_by_to_chars(magnitude, count);
}

}  // namespace text
