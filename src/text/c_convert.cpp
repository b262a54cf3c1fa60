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

namespace {

// The longest valid decimal prefix of the first n characters, without a leading "+".
std::string_view number_prefix(std::string_view field, std::size_t n) {
  const std::string_view s = field.substr(0, n);
  const std::size_t start = skip_space(s);
  const std::size_t end = decimal_prefix_end(s, start);
  std::size_t first = start;
  if (first < end && s[first] == '+') ++first;
  return s.substr(first, end - first);
}

// What a value out of the type's range becomes: `huge` with its sign when it is too large,
// zero when it is too small.
template <typename Real>
Real out_of_range(std::string_view text, Real huge) {
  const Real magnitude = decimal_magnitude(text) > 0 ? huge : Real(0);
  return text[0] == '-' ? -magnitude : magnitude;
}

template <typename Real>
Real convert(std::string_view text, Real huge) {
  if (text.empty()) return Real(0);
  Real value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc::result_out_of_range ? out_of_range(text, huge) : value;
}

}  // namespace

float c_to_float(std::string_view field, std::size_t n) {
  return convert(number_prefix(field, n), std::numeric_limits<float>::max());
}

}  // namespace text

namespace text {

namespace {

bool blank_from(std::string_view s, std::size_t i) {
  for (; i < s.size(); ++i)
    if (!is_c_space(s[i])) return false;
  return true;
}

std::size_t integer_prefix_end(std::string_view s, std::size_t i) {
  const std::size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t end = skip_digits(s, i);
  return end > i ? end : start;
}

// The conversion took a number and every other character of the field is a blank: the first
// `n` characters are what is read, so anything after them would be dropped unseen.
bool whole_by(std::string_view field, std::size_t n,
              std::size_t (*prefix_end)(std::string_view, std::size_t)) {
  const std::string_view s = field.substr(0, n);
  const std::size_t start = skip_space(s);
  const std::size_t end = prefix_end(s, start);
  return end > start && blank_from(s, end) && blank_from(field, s.size());
}

}  // namespace

bool converts_whole_to_int(std::string_view field, std::size_t n) {
  return whole_by(field, n, integer_prefix_end);
}

bool converts_whole_to_real(std::string_view field, std::size_t n) {
  if (!whole_by(field, n, decimal_prefix_end)) return false;
  // A value beyond the range of a 32-bit real is stored at the largest magnitude, not as typed.
  return decimal_magnitude(number_prefix(field, n)) <= 38;
}

bool is_free_form_real(std::string_view text) {
  const std::size_t start = skip_space(text);
  std::size_t end = start;
  while (end < text.size() && !is_c_space(text[end])) ++end;
  if (end == start || !blank_from(text, end)) return false;
  double value = 0;
  return parse_real(text.substr(start, end - start), value);
}

}  // namespace text
