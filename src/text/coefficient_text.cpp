// Coefficient texts: the fixed form and the G14.7 exponent form first, as the dialog's users
// type them, then shorter exponent forms, then the closest rounding.
#include "text/coefficient_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "text/fixed_text.h"
#include "text/format.h"

namespace text {

namespace {

// value = 0.<digits> x 10^exponent, with the fewest digits that read back as the same double.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal shortest_decimal(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
  std::string_view s(buffer, static_cast<std::size_t>(end - buffer));
  Decimal d;
  d.negative = s.front() == '-';
  if (d.negative) s.remove_prefix(1);
  const std::size_t e = s.find('e');
  for (const char c : s.substr(0, e))
    if (c != '.') d.digits += c;
  d.exponent = std::atoi(std::string(s.substr(e + 1)).c_str()) + 1;
  return d;
}

std::string fixed_form(const Decimal& d) {
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent <= 0) return "0." + std::string(-d.exponent, '0') + d.digits;
  if (d.exponent < n) return d.digits.substr(0, d.exponent) + "." + d.digits.substr(d.exponent);
  return d.digits + std::string(d.exponent - n, '0') + ".";
}

// As G14.7 shows large and small values, for example 0.45E-05.
std::string exponent_form(const Decimal& d) {
  const int e = d.exponent;
  std::string exponent = std::to_string(e < 0 ? -e : e);
  if (exponent.size() < 2) exponent.insert(0, "0");
  return "0." + d.digits + "E" + (e < 0 ? "-" : "+") + exponent;
}

// Shorter forms for values that the two above cannot hold in 10 characters: 4.5429E-6,
// 45429E-10, 1234567890.
std::vector<std::string> compact_forms(const Decimal& d) {
  const int n = static_cast<int>(d.digits.size());
  std::vector<std::string> forms{d.digits.substr(0, 1) + "." + d.digits.substr(1) + "E" + std::to_string(d.exponent - 1),
                                 d.digits + "E" + std::to_string(d.exponent - n)};
  if (d.exponent >= n) forms.push_back(d.digits + std::string(d.exponent - n, '0'));
  return forms;
}

// The closest value 10 characters can show, when no form holds every digit.
std::string rounded_coefficient_text(double value) {
  std::string best = "0.";
  for (int digits = 1; digits <= 9; ++digits) {
    std::string t = text::format_g(value, 24, digits);
    text::tidy_number_text(t);
    t = std::string(text::trim_right(t));
    if (t.size() <= coefficient_length) best = t;
  }
  return best;
}

}  // namespace

std::string coefficient_text(double value) {
  if (value == 0) return "0.";
  if (!std::isfinite(value)) return rounded_coefficient_text(value);
  const Decimal d = shortest_decimal(value);
  const std::string sign = d.negative ? "-" : "";
  for (const std::string& form : {fixed_form(d), exponent_form(d)})
    if (sign.size() + form.size() <= coefficient_length) return sign + form;
  std::string shortest;
  for (const std::string& form : compact_forms(d))
    if (shortest.empty() || form.size() < shortest.size()) shortest = form;
  if (sign.size() + shortest.size() <= coefficient_length) return sign + shortest;
  return rounded_coefficient_text(value);
}

}  // namespace text
