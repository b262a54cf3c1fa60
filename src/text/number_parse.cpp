#include "text/number_parse.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <system_error>

namespace text {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What the grammar check learns about a real constant on its way.
struct RealShape {
  bool valid = false;
  bool needs_rewrite = false;  // a "+" sign or a D exponent, which std::from_chars does not take
  bool negative = false;
  long magnitude = 0;          // about log10 of |value| (only its sign matters, for out-of-range)
};

// Adds a digit to an exponent, saturating far beyond any representable power.
long saturating_push(long e, char digit) {
  return e > 100000000L ? e : e * 10 + (digit - '0');
}

RealShape check_real(std::string_view t) {
  RealShape shape;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    shape.negative = t[i] == '-';
    shape.needs_rewrite = t[i] == '+';
    ++i;
  }
  bool significant = false, seen_point = false;
  bool any_digit = false;
  long position = 0;  // power of ten of the first significant digit, plus one
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (!is_digit(c)) break;
    any_digit = true;
    if (c != '0') significant = true;
    if (!seen_point) {
      if (significant) ++position;
    } else if (!significant) {
      --position;
    }
  }
  if (!any_digit) return shape;
  long exponent = 0;
  if (i < t.size()) {
    const char letter = t[i];
    if (letter != 'E' && letter != 'e' && letter != 'D' && letter != 'd') return shape;
    shape.needs_rewrite = shape.needs_rewrite || letter == 'D' || letter == 'd';
    ++i;
    bool exponent_negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) exponent_negative = t[i++] == '-';
    if (i == t.size()) return shape;
    for (; i < t.size(); ++i) {
      if (!is_digit(t[i])) return shape;
      exponent = saturating_push(exponent, t[i]);
    }
    if (exponent_negative) exponent = -exponent;
  }
  shape.valid = true;
  shape.magnitude = position + exponent;
  return shape;
}

// A decimal constant whose significant digits fit 64 bits: value = mantissa x 10^exponent.
struct ShortDecimal {
  bool ok = false;  // false: not valid, or too many digits for the quick conversion
  bool negative = false;
  std::uint64_t mantissa = 0;
  long exponent = 0;
};

constexpr std::uint64_t powers_of_ten_u64[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Eight digit values (0..9, one a byte, the first in the lowest byte) as one number.
std::uint64_t eight_digit_value(std::uint64_t digits) {
  digits = digits * 10 + (digits >> 8);
  constexpr std::uint64_t mask = 0x000000FF000000FF;
  constexpr std::uint64_t mul1 = 100 + (1000000ULL << 32);
  constexpr std::uint64_t mul2 = 1 + (10000ULL << 32);
  return static_cast<std::uint32_t>((((digits & mask) * mul1) + (((digits >> 16) & mask) * mul2)) >> 32);
}

// The digits from p on (not beyond end), appended to `mantissa` (wrapping beyond 19 digits,
// which the caller refuses anyway); where they stop. Long runs of digits go eight at a time.
[[gnu::always_inline]] inline const char* take_digits(const char* p, const char* end, std::uint64_t& mantissa) {
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t chunk;
      std::memcpy(&chunk, p, sizeof chunk);
      chunk ^= 0x3030303030303030;  // a digit becomes its value 0..9, anything else above 9
      const std::uint64_t non_digit =
          (((chunk & 0x7F7F7F7F7F7F7F7F) + 0x7676767676767676) | chunk) & 0x8080808080808080;
      if (non_digit == 0) {
        mantissa = mantissa * 100000000 + eight_digit_value(chunk);
        p += 8;
        continue;
      }
      const int n = std::countr_zero(non_digit) / 8;
      if (n == 0) return p;
      // Shifted up, the non-digits fall off and the missing digits become leading zeros.
      mantissa = mantissa * powers_of_ten_u64[n] + eight_digit_value(chunk << (8 * (8 - n)));
      return p + n;
    }
  }
  for (; p < end && is_digit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  return p;
}

const char* skip_zeros(const char* p, const char* end) {
  while (p < end && *p == '0') ++p;
  return p;
}

// The real constant at the start of t; `end` is where it stops (at the first character that
// cannot continue it). d.ok only for a well-formed constant of at most 19 significant digits.
[[gnu::always_inline]] inline ShortDecimal scan_short_decimal_prefix(std::string_view t, std::size_t& end) {
  ShortDecimal d;
  const char* const begin = t.data();
  const char* const stop = begin + t.size();
  const char* p = begin;
  if (p < stop && (*p == '+' || *p == '-')) d.negative = *p++ == '-';
  const char* const first = p;
  const char* const int_digits = p = skip_zeros(p, stop);
  p = take_digits(p, stop, d.mantissa);
  std::size_t significant = static_cast<std::size_t>(p - int_digits);
  bool any_digit = p > first;
  if (p < stop && *p == '.') {
    const char* const after_point = ++p;
    if (d.mantissa == 0) p = skip_zeros(p, stop);
    const char* const fraction_start = p;
    p = take_digits(p, stop, d.mantissa);
    significant += static_cast<std::size_t>(p - fraction_start);
    d.exponent = -static_cast<long>(p - after_point);
    any_digit = any_digit || p > after_point;
  }
  end = static_cast<std::size_t>(p - begin);
  if (!any_digit || significant > 19) return d;
  if (p < stop && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    ++p;
    bool exponent_negative = false;
    if (p < stop && (*p == '+' || *p == '-')) exponent_negative = *p++ == '-';
    const char* const exponent_start = p;
    long e = 0;
    for (; p < stop && is_digit(*p); ++p) e = saturating_push(e, *p);
    end = static_cast<std::size_t>(p - begin);
    if (p == exponent_start) return d;
    d.exponent += exponent_negative ? -e : e;
  }
  d.ok = true;
  return d;
}

ShortDecimal scan_short_decimal(std::string_view t) {
  std::size_t end = 0;
  ShortDecimal d = scan_short_decimal_prefix(t, end);
  d.ok = d.ok && end == t.size();
  return d;
}

constexpr double exact_powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// mantissa x 10^exponent rounded once to double, when both factors are exact doubles.
bool quick_double(const ShortDecimal& d, double& out) {
  if (d.mantissa > (std::uint64_t{1} << 53) || d.exponent < -22 || d.exponent > 22) return false;
  const double m = static_cast<double>(d.mantissa);
  out = d.exponent >= 0 ? m * exact_powers_of_ten[d.exponent] : m / exact_powers_of_ten[-d.exponent];
  return true;
}

// Rounding through double to float is exact unless the double fell on a midpoint between two
// floats (the only place where a second rounding can go the other way); normal floats only.
bool quick_float(const ShortDecimal& d, float& out) {
  double wide = 0;
  if (!quick_double(d, wide)) return false;
  if (wide < 0x1p-126 || wide >= 0x1p127) return false;
  std::uint64_t bits;
  std::memcpy(&bits, &wide, sizeof bits);
  if ((bits & ((std::uint64_t{1} << 29) - 1)) == (std::uint64_t{1} << 28)) return false;
  out = static_cast<float>(wide);
  return true;
}

template <typename Real>
bool quick_real(const ShortDecimal& d, Real& out) {
  if constexpr (sizeof(Real) == sizeof(float)) {
    return quick_float(d, out);
  } else {
    return quick_double(d, out);
  }
}

template <typename Real>
bool convert_real_exactly(std::string_view t, Real& value) {
  const RealShape shape = check_real(t);
  if (!shape.valid) return false;
  std::string rewritten;
  if (shape.needs_rewrite) {
    rewritten.reserve(t.size());
    for (const char c : t) {
      if (c == '+' && rewritten.empty()) continue;
      rewritten += (c == 'D' || c == 'd') ? 'e' : c;
    }
    t = rewritten;
  }
  Real parsed{};
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), parsed);
  if (ec == std::errc::result_out_of_range) {
    if (shape.magnitude > 0) return false;  // overflow
    value = shape.negative ? -Real(0) : Real(0);
    return true;
  }
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  value = parsed;
  return true;
}

// Most constants have few digits and a small exponent: one exact multiplication or division
// settles them; the rest go through the full conversion.
template <typename Real>
bool convert_real(std::string_view t, Real& value) {
  const ShortDecimal d = scan_short_decimal(t);
  if (d.ok) {
    Real quick{};
    if (d.mantissa == 0) {
      value = d.negative ? -Real(0) : Real(0);
      return true;
    }
    if (quick_real(d, quick)) {
      value = d.negative ? -quick : quick;
      return true;
    }
  }
  return convert_real_exactly(t, value);
}

}  // namespace

bool parse_integer(std::string_view t, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (!is_digit(t[i])) return false;
    v = v * 10 + (t[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

long decimal_magnitude(std::string_view token) { return check_real(token).magnitude; }

// A short constant beyond the exact products (a far exponent, a midpoint) in the form
// std::from_chars takes as it is: converted here rather than scanned again on the full road.
// Anything it does not settle (a range error, a "+" sign, a D exponent) is left to that road.
template <typename Real>
std::size_t correctly_rounded_prefix(std::string_view constant, Real& value) {
  if (constant.front() == '+' || constant.find_first_of("Dd") != std::string_view::npos) return 0;
  Real parsed{};
  const char* const end = constant.data() + constant.size();
  const auto [stop, ec] = std::from_chars(constant.data(), end, parsed);
  if (ec != std::errc() || stop != end) return 0;
  value = parsed;
  return constant.size();
}

template <typename Real>
std::size_t quick_real_prefix(std::string_view s, Real& value) {
  std::size_t end = 0;
  const ShortDecimal d = scan_short_decimal_prefix(s, end);
  if (!d.ok) return 0;
  Real quick{};
  if (d.mantissa != 0 && !quick_real(d, quick)) return correctly_rounded_prefix(s.substr(0, end), value);
  value = d.negative ? -quick : quick;
  return end;
}

std::size_t quick_number_prefix(std::string_view s, float& value) { return quick_real_prefix(s, value); }
std::size_t quick_number_prefix(std::string_view s, double& value) { return quick_real_prefix(s, value); }

std::size_t quick_number_prefix(std::string_view s, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t first = i;
  std::int64_t v = 0;
  for (; i < s.size() && is_digit(s[i]); ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return 0;
  }
  if (i == first) return 0;
  if (negative) v = -v;
  if (v > 2147483647LL) return 0;
  value = static_cast<int>(v);
  return i;
}

bool parse_real(std::string_view token, float& value) { return convert_real(token, value); }
bool parse_real(std::string_view token, double& value) { return convert_real(token, value); }

std::string free_form_real_text(float value) {
  char buf[free_form_real_max];
  return std::string(buf, free_form_real_chars(value, buf));
}

char* free_form_real_chars(float value, char* out) {
  const auto put = [&out](std::string_view s) { out = std::copy(s.begin(), s.end(), out); };
  if (std::isnan(value)) {
    put("NaN");
    return out;
  }
  if (std::isinf(value)) {
    put(value < 0 ? "-Infinity" : "Infinity");
    return out;
  }
  if (value == 0) {
    put("0.");
    return out;
  }
  char buf[32];
  const char* end = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific).ptr;
  // buf holds "d[.ddd]e+XX": gather the shortest digits and the power of ten of the first.
  char digits[16];
  int n = 0;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits[n++] = *p;
  ++p;
  const bool exponent_negative = *p++ == '-';
  int e = 0;
  for (; p < end; ++p) e = e * 10 + (*p - '0');
  if (exponent_negative) e = -e;
  if (value < 0) *out++ = '-';
  if (e >= -1 && e < 9) {
    if (e == -1) put("0.");
    for (int i = 0; i < n || i <= e; ++i) {
      *out++ = i < n ? digits[i] : '0';
      if (i == e) *out++ = '.';
    }
    return out;
  }
  put("0.");
  out = std::copy(digits, digits + n, out);
  const int shown = e + 1;
  put(shown < 0 ? "E-" : "E+");
  const int magnitude = shown < 0 ? -shown : shown;
  *out++ = static_cast<char>('0' + magnitude / 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

void FreeFormRealTexts::fill(Slot& slot, float value, std::uint32_t bits) {
  slot.bits = bits;
  slot.length = static_cast<std::uint8_t>(free_form_real_chars(value, slot.text) - slot.text);
}

}  // namespace text
