// Output edit descriptors and number texts. The digits are exact (see decimal_digits.h), and
// the texts are built in fixed buffers: no iostreams, no locale, no allocation but the result.
#include "text/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/decimal_digits.h"
#include "text/fixed_text.h"

namespace text {
namespace {

constexpr int blanks_after_fixed = 4;

// The characters of a number without its padding: at most a sign, 81 characters of digits and
// point, or a mantissa of 40 digits and its exponent.
struct Body {
  char chars[128];
  int size = 0;
  int trailing_blanks = 0;  // the 4 blanks after the fixed-point form of Gw.d
  bool overflow = false;    // w asterisks instead

  void add(char c) { chars[size++] = c; }
  void add(const char* s, int n) {
    std::memcpy(chars + size, s, static_cast<std::size_t>(n));
    size += n;
  }
  // Drops the optional "0" before the point ("-0.5" -> "-.5") when the text is wider than w.
  void drop_leading_zero_if_wider_than(int w) {
    if (size <= w) return;
    const int at = chars[0] == '-' ? 1 : 0;
    if (size > at + 1 && chars[at] == '0' && chars[at + 1] == '.') {
      std::memmove(chars + at, chars + at + 1, static_cast<std::size_t>(size - at - 1));
      --size;
    }
  }
};

// The w columns of a body: right-justified, or w asterisks when it does not fit.
// `out` must hold w characters.
void place(const Body& body, int w, char* out) {
  const int used = body.size + body.trailing_blanks;
  if (body.overflow || used > w) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return;
  }
  std::memset(out, ' ', static_cast<std::size_t>(w - body.size - body.trailing_blanks));
  std::memcpy(out + (w - used), body.chars, static_cast<std::size_t>(body.size));
  std::memset(out + (w - body.trailing_blanks), ' ', static_cast<std::size_t>(body.trailing_blanks));
}

Body overflowed() {
  Body b;
  b.overflow = true;
  return b;
}

std::string placed(const Body& body, int w) {
  std::string out(static_cast<std::size_t>(w), ' ');
  place(body, w, out.data());
  return out;
}

// The texts a Fortran runtime writes for values that are not numbers.
Body special_body(double value, int w) {
  Body b;
  const bool negative = value < 0;
  const char* text = std::isnan(value) ? "NaN" : w >= 8 + (negative ? 1 : 0) ? "Infinity" : "Inf";
  if (negative && !std::isnan(value)) b.add('-');
  b.add(text, static_cast<int>(std::strlen(text)));
  return b;
}

// Fixed-point text of a d-digit decimal whose first digit is at 10^exponent, -1 <= exponent < d.
void add_fixed(Body& b, const Decimal& n) {
  if (n.exponent < 0) {
    b.add("0.", 2);
    b.add(n.digits, n.count);
    return;
  }
  const int before = n.exponent + 1;
  b.add(n.digits, before);
  b.add('.');
  b.add(n.digits + before, n.count - before);
}

// "E+08" for two-digit exponents, "+100" (no letter) for three; false beyond that.
bool add_exponent(Body& b, int exponent) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude > 999) return false;
  if (magnitude <= 99) b.add('E');
  b.add(exponent < 0 ? '-' : '+');
  if (magnitude > 99) b.add(static_cast<char>('0' + magnitude / 100));
  b.add(static_cast<char>('0' + magnitude / 10 % 10));
  b.add(static_cast<char>('0' + magnitude % 10));
  return true;
}

void add_g_exponent(Body& b, double magnitude, const Decimal& n, int w, int scale) {
  int exponent = 0;
  if (scale == 1) {
    const Decimal m = round_to_digits(magnitude, n.count + 1);
    b.add(m.digits[0]);
    b.add('.');
    b.add(m.digits + 1, m.count - 1);
    exponent = m.exponent;
  } else {
    b.add("0.", 2);
    b.add(n.digits, n.count);
    exponent = n.exponent + 1;
  }
  b.overflow = !add_exponent(b, exponent);
  b.drop_leading_zero_if_wider_than(w);
}

Body g_body(double value, int w, int d, int scale) {
  if (d < 1 || d + 1 >= max_significant_digits) return overflowed();
  if (!std::isfinite(value)) return special_body(value, w);
  Body b;
  if (value == 0) {
    // Negative zero too: a sign on a zero would only confuse the reader of the file.
    b.add("0.", 2);
    for (int i = 1; i < d; ++i) b.add('0');
    b.trailing_blanks = blanks_after_fixed;
    b.drop_leading_zero_if_wider_than(w - blanks_after_fixed);
    return b;
  }
  if (value < 0) b.add('-');
  const double magnitude = std::fabs(value);
  const Decimal n = round_to_digits(magnitude, d);
  // The form follows the value rounded to d digits (0.1 <= N < 10^d), not the value itself.
  if (n.exponent >= -1 && n.exponent <= d - 1) {
    add_fixed(b, n);
    b.trailing_blanks = blanks_after_fixed;
    b.drop_leading_zero_if_wider_than(w - blanks_after_fixed);
    return b;
  }
  add_g_exponent(b, magnitude, n, w, scale);
  return b;
}

Body f_body(double value, int w, int d) {
  if (d < 0 || d > 40) return overflowed();
  if (!std::isfinite(value)) return special_body(value, w);
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e40) return overflowed();  // more digits than a body holds
  char buf[100];
  const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, d).ptr;
  Body b;
  // A value that shows as all zeros carries no sign, as the zero of Gw.d does.
  const bool all_zero = std::all_of(buf, end, [](char c) { return c == '0' || c == '.'; });
  if (value < 0 && !all_zero) b.add('-');
  b.add(buf, static_cast<int>(end - buf));
  if (d == 0) b.add('.');
  b.drop_leading_zero_if_wider_than(w);
  return b;
}

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

std::string right_justified(std::string_view body, int w) {
  if (w < 0 || body.size() > static_cast<std::size_t>(w)) return stars(w);
  std::string out(static_cast<std::size_t>(w) - body.size(), ' ');
  out.append(body);
  return out;
}

// Decimal digits of |value| (INT_MIN included), least significant last.
int unsigned_digits(int value, char* out) {
  std::uint32_t u = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  char tmp[10];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
  return n;
}

}  // namespace

std::string format_i(int value, int w, int m) {
  char digits[10];
  const int n = unsigned_digits(value, digits);
  std::string body;
  if (value < 0) body += '-';
  if (m > n) body.append(static_cast<std::size_t>(m - n), '0');
  body.append(digits, static_cast<std::size_t>(n));
  return right_justified(body, w);
}

std::string format_ik(int value) { return format_i(value, digit_count(value)); }

std::string format_a(std::string_view value, int w) {
  if (w <= 0) return {};
  if (value.size() >= static_cast<std::size_t>(w)) return std::string(value.substr(0, static_cast<std::size_t>(w)));
  return right_justified(value, w);
}

std::string format_g(double value, int w, int d, int scale) {
  if (w <= 0) return {};
  return placed(g_body(value, w, d, scale), w);
}

std::string format_f(double value, int w, int d) {
  if (w <= 0) return {};
  return placed(f_body(value, w, d), w);
}

namespace {

// tidy_number_text on a field of `length` characters, in place.
void tidy_chars(char* s, std::size_t length) {
  std::size_t lead = 0;
  while (lead < length && s[lead] == ' ') ++lead;
  if (lead == length) return;
  if (lead > 0) {
    std::memmove(s, s + lead, length - lead);
    std::memset(s + length - lead, ' ', lead);
  }
  const std::size_t trimmed = trimmed_length(std::string_view(s, length));
  std::size_t mantissa_length = trimmed;
  char exponent_part[5];
  std::size_t exponent_length = 0;
  for (std::size_t p = 0; p < trimmed; ++p) {
    const char c = s[p];
    if (c == 'E' || c == 'D' || c == 'e' || c == 'd') {
      exponent_length = std::min<std::size_t>(trimmed - p, sizeof exponent_part);
      std::memcpy(exponent_part, s + p, exponent_length);
      mantissa_length = p;
      break;
    }
  }
  constexpr std::size_t mantissa_field = 19;
  mantissa_length = std::min(mantissa_length, mantissa_field);
  const void* point = std::memchr(s, '.', mantissa_length);
  if (!point) return;
  const std::size_t after_point = static_cast<std::size_t>(static_cast<const char*>(point) - s) + 1;
  std::size_t end = mantissa_length;
  while (end > after_point && s[end - 1] == '0') --end;
  while (end > 0 && s[end - 1] == ' ') --end;
  while (exponent_length > 0 && exponent_part[exponent_length - 1] == ' ') --exponent_length;
  std::memcpy(s + end, exponent_part, exponent_length);
  std::memset(s + end + exponent_length, ' ', length - end - exponent_length);
}

}  // namespace

void tidy_number_text(std::string& s) { tidy_chars(s.data(), s.size()); }

int digit_count(int n) {
  char digits[10];
  return unsigned_digits(n, digits) + (n < 0 ? 1 : 0);
}

namespace {

// The field of a number text (14 columns here), tidied and trimmed, built without allocating.
std::string tidied_trimmed(const Body& body, int w) {
  char field[64];
  place(body, w, field);
  tidy_chars(field, static_cast<std::size_t>(w));
  return std::string(field, trimmed_length(std::string_view(field, static_cast<std::size_t>(w))));
}

}  // namespace

// G14.7 tidied and trimmed straight from the seven digits, without the field and its tidying:
// every record of the loading file and of the case files holds these texts, so they are made
// hundreds of thousands of times on one LOAD. The text is the one the field gives once tidied:
// trailing zeros of the digits go, the point and the exponent stay. A float's exponent form
// always has two exponent digits and fits the 14 columns with its sign.
std::string g14_7_text(float value) {
  if (!std::isfinite(value)) return tidied_trimmed(g_body(value, 14, 7, 0), 14);
  if (value == 0) return "0.";
  const Decimal n = round_to_digits(std::fabs(static_cast<double>(value)), 7);
  int kept = n.count;
  while (kept > 1 && n.digits[kept - 1] == '0') --kept;
  char out[16];
  int size = 0;
  if (value < 0) out[size++] = '-';
  const bool fixed = n.exponent >= -1 && n.exponent <= 6;
  if (fixed && n.exponent >= 0) {
    const int before = n.exponent + 1;
    std::memcpy(out + size, n.digits, static_cast<std::size_t>(before));
    size += before;
    out[size++] = '.';
    if (kept > before) {
      std::memcpy(out + size, n.digits + before, static_cast<std::size_t>(kept - before));
      size += kept - before;
    }
    return std::string(out, static_cast<std::size_t>(size));
  }
  out[size++] = '0';
  out[size++] = '.';
  std::memcpy(out + size, n.digits, static_cast<std::size_t>(kept));
  size += kept;
  if (!fixed) {
    const int exponent = n.exponent + 1;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out[size++] = 'E';
    out[size++] = exponent < 0 ? '-' : '+';
    out[size++] = static_cast<char>('0' + magnitude / 10);
    out[size++] = static_cast<char>('0' + magnitude % 10);
  }
  return std::string(out, static_cast<std::size_t>(size));
}
namespace {

// The digits of a constant in one of the shapes of g14_7_text: "-" when negative, then
// "d.ddd" with k >= 1 digits before the point, or "0.ddd" (first digit not 0), alone or followed
// by "E" and a signed two-digit exponent; no trailing zero after the point, at most 7 digits.
struct G14_7Shape {
  bool valid = false;
  bool negative = false;
  int leading_exponent = 0;  // the power of ten of the first digit
  bool power_of_ten = false;  // the digits are a 1 and zeros
};

int count_digits(std::string_view t, std::size_t& i) {
  const std::size_t start = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  return static_cast<int>(i - start);
}

G14_7Shape g14_7_shape(std::string_view t) {
  G14_7Shape shape;
  std::size_t i = 0;
  shape.negative = !t.empty() && t[0] == '-';
  if (shape.negative) ++i;
  const std::size_t whole_start = i;
  const int whole = count_digits(t, i);
  if (whole == 0 || i == t.size() || t[i] != '.') return shape;
  const std::size_t fraction_start = ++i;
  const int fraction = count_digits(t, i);
  if (fraction > 0 && t[i - 1] == '0') return shape;
  const bool below_one = whole == 1 && t[whole_start] == '0';
  if (below_one ? fraction == 0 || t[fraction_start] == '0' : t[whole_start] == '0') return shape;
  if ((below_one ? 0 : whole) + fraction > 7) return shape;
  const std::string_view digits = below_one ? t.substr(fraction_start, static_cast<std::size_t>(fraction))
                                            : t.substr(whole_start, static_cast<std::size_t>(whole + 1 + fraction));
  shape.power_of_ten = digits[0] == '1' && digits.find_first_not_of("0.", 1) == std::string_view::npos;
  if (i == t.size()) {
    shape.leading_exponent = below_one ? -1 : whole - 1;
    shape.valid = true;
    return shape;
  }
  // The exponent form: "0.ddd" only, for values outside the fixed form's 0.1 .. 9999999.
  if (!below_one || t.size() - i != 4 || t[i] != 'E' || (t[i + 1] != '+' && t[i + 1] != '-')) return shape;
  std::size_t e = i + 2;
  if (count_digits(t, e) != 2) return shape;
  const int magnitude = (t[i + 2] - '0') * 10 + (t[i + 3] - '0');
  shape.leading_exponent = (t[i + 1] == '-' ? -magnitude : magnitude) - 1;
  shape.valid = shape.leading_exponent < -1 || shape.leading_exponent > 6;
  return shape;
}

}  // namespace

// A text of at most 7 digits that reads as `value` is within half a float spacing of it. When
// that half spacing, at most 2^(e2-24) for a normal float of binary exponent e2, is below half
// a unit of the seventh digit, 10^(e10-6) / 2, rounding the value to 7 digits gives the text's
// digits back, so the text is the value's G14.7 text. In the upper part of some decades the
// floats are coarser than 7 digits and the text must be made again. A power of ten may read
// as a float just below it, in the decade below, whose seventh digit is ten times finer.
bool is_g14_7_text(std::string_view constant, float value) {
  if (value == 0) return constant == "0.";
  const G14_7Shape shape = g14_7_shape(constant);
  if (!shape.valid || shape.negative != (value < 0)) return false;
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 23) & 0xff);
  if (biased == 0 || biased == 255) return false;
  const int k = shape.leading_exponent - (shape.power_of_ten ? 7 : 6);
  if (k < -46 || k > 55) return false;
  const std::uint64_t spacing_bits = static_cast<std::uint64_t>(biased - 127 - 23 + 1023) << 52;
  double float_spacing;  // 2^(e2-23), built from its bits
  std::memcpy(&float_spacing, &spacing_bits, sizeof float_spacing);
  // The margin covers the rounding of the power of ten.
  return float_spacing * (1 + 0x1p-40) < power_of_ten(k);
}

std::string g1p14_6_text(float value) { return tidied_trimmed(g_body(value, 14, 6, 1), 14); }
std::string f14_7_text(float value) { return tidied_trimmed(f_body(value, 14, 7), 14); }

void RecordWriter::put(std::string_view s) {
  record_.append(static_cast<std::size_t>(pending_blanks_), ' ');
  pending_blanks_ = 0;
  record_.append(s);
}

RecordWriter& RecordWriter::a(std::string_view value) {
  put(value);
  return *this;
}
RecordWriter& RecordWriter::a(std::string_view value, int w) {
  put(format_a(value, w));
  return *this;
}
RecordWriter& RecordWriter::i(int value, int w, int m) {
  put(format_i(value, w, m));
  return *this;
}
RecordWriter& RecordWriter::ik(int value) {
  put(format_ik(value));
  return *this;
}
RecordWriter& RecordWriter::g(double value, int w, int d) {
  put(format_g(value, w, d));
  return *this;
}
RecordWriter& RecordWriter::f(double value, int w, int d) {
  put(format_f(value, w, d));
  return *this;
}
RecordWriter& RecordWriter::tr(int n) {
  if (n > 0) pending_blanks_ += n;
  return *this;
}
RecordWriter& RecordWriter::lit(std::string_view literal) {
  put(literal);
  return *this;
}

}  // namespace text
