// Output edit descriptors and number texts. Digits come from std::to_chars, which rounds the
// exact binary value correctly (ties to even), so every text is exact without iostreams or locale.
#include "text/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "text/fixed_text.h"

namespace text {
namespace {

constexpr int max_digits = 40;   // more significant digits than any layout asks for
constexpr int blanks_after_fixed = 4;

// |value| rounded to `count` significant digits: the digits and the power of ten of the first.
struct Decimal {
  char digits[max_digits + 1];
  int count;
  int exponent;  // value = d1.d2d3... x 10^exponent
};

Decimal round_to_digits(double magnitude, int count) {
  char buf[max_digits + 16];
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

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

// `body` right-justified in w columns; w asterisks when it does not fit.
std::string right_justified(std::string_view body, int w) {
  if (w < 0 || body.size() > static_cast<std::size_t>(w)) return stars(w);
  std::string out(static_cast<std::size_t>(w) - body.size(), ' ');
  out.append(body);
  return out;
}

// Drops the optional "0" before the point ("-0.5" -> "-.5") when the text is wider than w.
void drop_leading_zero_if_wide(std::string& body, int w) {
  if (body.size() <= static_cast<std::size_t>(w)) return;
  const std::size_t at = body[0] == '-' ? 1 : 0;
  if (body.size() > at + 1 && body[at] == '0' && body[at + 1] == '.') body.erase(at, 1);
}

// The texts a Fortran runtime writes for values that are not numbers.
std::string special_text(double value, int w) {
  if (std::isnan(value)) return right_justified("NaN", w);
  const bool negative = value < 0;
  if (w >= 8 + (negative ? 1 : 0)) return right_justified(negative ? "-Infinity" : "Infinity", w);
  return right_justified(negative ? "-Inf" : "Inf", w);
}

// The fixed-point part of Gw.d: the text in w-4 columns followed by 4 blanks.
std::string g_fixed(std::string body, int w) {
  const int width = w - blanks_after_fixed;
  drop_leading_zero_if_wide(body, width);
  if (width < 0 || body.size() > static_cast<std::size_t>(width)) return stars(w);
  std::string out = right_justified(body, width);
  out.append(blanks_after_fixed, ' ');
  return out;
}

// Fixed-point text of a d-digit decimal whose first digit is at 10^exponent, -1 <= exponent < d.
std::string fixed_from_decimal(const Decimal& n, bool negative) {
  std::string body;
  if (negative) body += '-';
  if (n.exponent < 0) {
    body += "0.";
    body.append(n.digits, static_cast<std::size_t>(n.count));
  } else {
    const std::size_t before = static_cast<std::size_t>(n.exponent) + 1;
    body.append(n.digits, before);
    body += '.';
    body.append(n.digits + before, static_cast<std::size_t>(n.count) - before);
  }
  return body;
}

// "E+08" for two-digit exponents, "+100" (no letter) for three; false beyond that.
bool append_exponent(std::string& body, int exponent) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude > 999) return false;
  if (magnitude <= 99) body += 'E';
  body += exponent < 0 ? '-' : '+';
  if (magnitude > 99) body += static_cast<char>('0' + magnitude / 100);
  body += static_cast<char>('0' + magnitude / 10 % 10);
  body += static_cast<char>('0' + magnitude % 10);
  return true;
}

std::string g_exponent(double magnitude, const Decimal& n, bool negative, int w, int scale) {
  std::string body;
  if (negative) body += '-';
  int exponent = 0;
  if (scale == 1) {
    const Decimal m = round_to_digits(magnitude, n.count + 1);
    body += m.digits[0];
    body += '.';
    body.append(m.digits + 1, static_cast<std::size_t>(m.count) - 1);
    exponent = m.exponent;
  } else {
    body += "0.";
    body.append(n.digits, static_cast<std::size_t>(n.count));
    exponent = n.exponent + 1;
  }
  if (!append_exponent(body, exponent)) return stars(w);
  drop_leading_zero_if_wide(body, w);
  return right_justified(body, w);
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
  if (d < 1 || d >= max_digits) return stars(w);
  if (!std::isfinite(value)) return special_text(value, w);
  if (value == 0) {
    // Negative zero too: a sign on a zero would only confuse the reader of the file.
    std::string body = "0.";
    body.append(static_cast<std::size_t>(d - 1), '0');
    return g_fixed(body, w);
  }
  const bool negative = value < 0;
  const double magnitude = std::fabs(value);
  const Decimal n = round_to_digits(magnitude, d);
  // The form follows the value rounded to d digits (0.1 <= N < 10^d), not the value itself.
  if (n.exponent >= -1 && n.exponent <= d - 1) return g_fixed(fixed_from_decimal(n, negative), w);
  return g_exponent(magnitude, n, negative, w, scale);
}

std::string format_f(double value, int w, int d) {
  if (w <= 0) return {};
  if (d < 0 || d > 100) return stars(w);
  if (!std::isfinite(value)) return special_text(value, w);
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e300) return stars(w);
  char buf[512];
  const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, d).ptr;
  std::string body;
  // A value that shows as all zeros carries no sign, as the zero of Gw.d does.
  const bool all_zero = std::all_of(buf, end, [](char c) { return c == '0' || c == '.'; });
  if (value < 0 && !all_zero) body += '-';
  body.append(buf, end);
  if (d == 0) body += '.';
  drop_leading_zero_if_wide(body, w);
  return right_justified(body, w);
}

void tidy_number_text(std::string& s) {
  const std::size_t length = s.size();
  const std::size_t lead = s.find_first_not_of(' ');
  if (lead == std::string::npos) return;
  if (lead > 0) {
    s.erase(0, lead);
    s.append(lead, ' ');
  }
  const std::size_t p = s.find_first_of("EDed");
  std::string_view exponent_part;
  std::size_t mantissa_length = trimmed_length(s);
  if (p != std::string::npos) {
    exponent_part = std::string_view(s).substr(p, std::min<std::size_t>(mantissa_length - p, 5));
    mantissa_length = p;
  }
  constexpr std::size_t mantissa_field = 19;
  mantissa_length = std::min(mantissa_length, mantissa_field);
  std::string mantissa = s.substr(0, mantissa_length);
  const std::size_t point = mantissa.find('.');
  if (point == std::string::npos) return;
  std::size_t end = mantissa.size();
  while (end > point + 1 && mantissa[end - 1] == '0') --end;
  mantissa.resize(end);
  mantissa.resize(trimmed_length(mantissa));
  mantissa.append(trim_right(exponent_part));
  s = padded(mantissa, length);
}

int digit_count(int n) {
  char digits[10];
  return unsigned_digits(n, digits) + (n < 0 ? 1 : 0);
}

namespace {
std::string tidied_trimmed(std::string s) {
  tidy_number_text(s);
  s.resize(trimmed_length(s));
  return s;
}
}  // namespace

std::string g14_7_text(float value) { return tidied_trimmed(format_g(value, 14, 7)); }
std::string g1p14_6_text(float value) { return tidied_trimmed(format_g(value, 14, 6, 1)); }
std::string g1p14_3_text(float value) { return tidied_trimmed(format_g(value, 14, 3, 1)); }
std::string f14_7_text(float value) { return tidied_trimmed(format_f(value, 14, 7)); }

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
RecordWriter& RecordWriter::g1p(double value, int w, int d) {
  put(format_g(value, w, d, 1));
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
