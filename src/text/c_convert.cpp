// The conversions the dialogs apply to typed numbers: the C library's prefix rules, without
// the C library's locale (a decimal comma must never change what a field means).
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "text/free_form.h"
#include "text/number_parse.h"

namespace text {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_c_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t skip_space(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && is_c_space(s[i])) ++i;
  return i;
}

std::size_t skip_digits(std::string_view s, std::size_t i) {
  while (i < s.size() && is_digit(s[i])) ++i;
  return i;
}

// End of the longest prefix of s (from `i`, after an optional sign) that is a decimal number;
// `i` itself when there is none.
std::size_t decimal_prefix_end(std::string_view s, std::size_t i) {
  const std::size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t int_end = skip_digits(s, i);
  std::size_t end = int_end;
  bool any_digit = int_end > i;
  if (end < s.size() && s[end] == '.') {
    const std::size_t frac_end = skip_digits(s, end + 1);
    any_digit = any_digit || frac_end > end + 1;
    end = frac_end;
  }
  if (!any_digit) return start;
  if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
    std::size_t j = end + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t exp_end = skip_digits(s, j);
    if (exp_end > j) end = exp_end;
  }
  return end;
}

}  // namespace

int c_to_int(std::string_view field, std::size_t n) {
  const std::string_view s = field.substr(0, n);
  std::size_t i = skip_space(s);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && is_digit(s[i]); ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) v = 2147483648LL;  // saturate like strtol, never overflow
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

double c_to_double(std::string_view field, std::size_t n) {
  const std::string_view s = field.substr(0, n);
  const std::size_t start = skip_space(s);
  const std::size_t end = decimal_prefix_end(s, start);
  if (end == start) return 0.0;
  std::size_t first = start;
  if (s[first] == '+') ++first;
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(s.data() + first, s.data() + end, value);
  if (ec == std::errc::result_out_of_range) {
    // strtod's answer: HUGE_VAL on overflow, zero on underflow.
    const std::string_view text = s.substr(first, end - first);
    const bool negative = text[0] == '-';
    const double magnitude = decimal_magnitude(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
  }
  (void)ptr;
  return value;
}

}  // namespace text
