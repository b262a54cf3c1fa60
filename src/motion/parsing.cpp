#include "motion/parsing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "text/number_parse.h"

namespace motion::detail {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::size_t digits_from(std::string_view s, std::size_t i) {
  while (i < s.size() && is_digit(s[i])) ++i;
  return i;
}

// The values of one line in fixed fields; false when a field is not a number.
bool read_fixed_line(std::string_view line, const FieldLayout& layout, std::vector<double>& out) {
  const std::size_t before = out.size();
  for (std::size_t pos = 0, n = 0; pos < line.size() && n < layout.per_line; pos += layout.width, ++n) {
    const std::string_view field = trim(line.substr(pos, layout.width));
    if (field.empty()) {
      if (trim(line.substr(pos)).empty()) break;
      out.resize(before);
      return false;
    }
    double value = 0.0;
    if (!to_number(field, value)) {
      out.resize(before);
      return false;
    }
    out.push_back(value);
  }
  return true;
}

// The values of one line split by their own shape; false at anything but blanks and numbers.
bool read_free_line(std::string_view line, std::vector<double>& out) {
  const std::size_t before = out.size();
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (is_blank(line[pos])) {
      ++pos;
      continue;
    }
    const std::size_t length = number_length(line.substr(pos));
    double value = 0.0;
    if (length == 0 || !text::parse_real(line.substr(pos, length), value)) {
      out.resize(before);
      return false;
    }
    out.push_back(value);
    pos += length;
  }
  return true;
}

}  // namespace

std::vector<std::string_view> split_lines(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  if (content.ends_with('\x1a')) content.remove_suffix(1);  // the end-of-file mark of old DOS tools
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] != '\n' && content[i] != '\r') continue;
    lines.push_back(content.substr(start, i - start));
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < content.size()) lines.push_back(content.substr(start));
  return lines;
}

Context::Context(std::string_view content, const ReadOptions& options)
    : content_(content), lines_(split_lines(content)), options_(options) {}

std::size_t Context::bytes_from(std::size_t index) const {
  if (index >= lines_.size()) return 0;
  return content_.size() - static_cast<std::size_t>(lines_[index].data() - content_.data());
}

void Context::warn(std::string text, std::size_t index) {
  const std::size_t line = index == npos ? 0 : index + 1;
  // Channels of one file share their header's faults; the reader says each once.
  for (const Problem& p : problems_)
    if (p.severity == Severity::warning && p.line == line && p.text == text) return;
  problems_.push_back({Severity::warning, std::move(text), line});
}

void Context::fail(std::string text, std::size_t index) {
  problems_.push_back({Severity::error, std::move(text), index == npos ? 0 : index + 1});
  failed_ = true;
}

std::size_t find_nocase(std::string_view text, std::string_view word, std::size_t from) {
  if (word.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < word.size() && lower(text[i + k]) == lower(word[k])) ++k;
    if (k == word.size()) return i;
  }
  return std::string_view::npos;
}

bool starts_with_nocase(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && find_nocase(text.substr(0, word.size()), word) == 0;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (is_blank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (is_blank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<Unit> unit_after_key(std::string_view rest) {
  rest = trim(rest);
  for (std::string_view word : {"of ", "are ", "is ", "in "})
    if (starts_with_nocase(rest, word)) {
      rest = trim(rest.substr(word.size()));
      break;
    }
  if (!rest.empty() && (rest.front() == ':' || rest.front() == '=')) rest = trim(rest.substr(1));
  if (!rest.empty() && (rest.front() == '(' || rest.front() == '[')) rest = trim(rest.substr(1));
  rest = rest.substr(0, std::min(rest.find_first_of(" \t,;)]"), rest.size()));
  while (!rest.empty() && rest.back() == '.') rest.remove_suffix(1);
  return unit_from_text(rest);
}

std::size_t number_length(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t integer_end = digits_from(s, i);
  bool any_digit = integer_end > i;
  i = integer_end;
  if (i < s.size() && s[i] == '.') {
    const std::size_t fraction_end = digits_from(s, i + 1);
    any_digit = any_digit || fraction_end > i + 1;
    i = fraction_end;
  }
  if (!any_digit) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t k = i + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    const std::size_t exponent_end = digits_from(s, k);
    if (exponent_end > k) i = exponent_end;
  }
  return i;
}

bool to_number(std::string_view token, double& value) {
  token = trim(token);
  return !token.empty() && number_length(token) == token.size() && text::parse_real(token, value);
}

bool first_number_after(std::string_view text, std::size_t from, double& value, std::size_t* end) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const bool may_start = is_digit(text[i]) || ((text[i] == '-' || text[i] == '+' || text[i] == '.') &&
                                                 i + 1 < text.size() && (is_digit(text[i + 1]) || text[i + 1] == '.'));
    if (!may_start) continue;
    const std::size_t length = number_length(text.substr(i));
    if (length > 0 && text::parse_real(text.substr(i, length), value)) {
      if (end) *end = i + length;
      return true;
    }
  }
  return false;
}

bool whole_count(double value, std::size_t& count) {
  if (!(value >= 0.0 && value <= 1e12 && value == std::floor(value))) return false;
  count = static_cast<std::size_t>(value);
  return true;
}

std::optional<FieldLayout> field_layout(std::string_view text) {
  const std::size_t open = text.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  std::size_t i = open + 1;
  std::size_t per_line = 1;
  if (i < text.size() && is_digit(text[i])) {
    const std::size_t end = digits_from(text, i);
    std::from_chars(text.data() + i, text.data() + end, per_line);
    i = end;
  }
  if (i >= text.size() || std::string_view("EeFfIiGgDd").find(text[i]) == std::string_view::npos) return std::nullopt;
  const std::size_t width_end = digits_from(text, ++i);
  std::size_t width = 0;
  std::from_chars(text.data() + i, text.data() + width_end, width);
  // Fields of more than 40 characters or lines of more than 100 fields are no record layout.
  if (width == 0 || width > 40 || per_line == 0 || per_line > 100) return std::nullopt;
  return FieldLayout{per_line, width};
}

ValueLines read_value_lines(const Context& context, std::size_t first, const std::optional<FieldLayout>& layout,
                            std::size_t expected) {
  ValueLines result;
  // A count in a header is only a claim: never reserve more than the rest of the file can hold.
  result.values.reserve(std::min(expected, context.bytes_from(first) / 2 + 1));
  std::size_t i = first;
  for (; i < context.size(); ++i) {
    const std::string_view line = context.line(i);
    if (trim(line).empty()) continue;
    const bool ok = layout ? read_fixed_line(line, *layout, result.values) : read_free_line(line, result.values);
    if (!ok) break;
  }
  result.end = i;
  return result;
}

bool hold_to_count(Context& context, std::vector<double>& values, std::size_t count, std::string_view count_name,
                   std::size_t stop_line) {
  const std::string stated = std::string(count_name) + " = " + std::to_string(count);
  if (values.size() < count) {
    context.fail(stated + " but only " + std::to_string(values.size()) + " values follow", stop_line);
    return false;
  }
  if (values.size() > count) {
    context.warn(stated + " but " + std::to_string(values.size()) + " values follow: the first " +
                     std::to_string(count) + " taken",
                 stop_line);
    values.resize(count);
  }
  return true;
}

std::string number_text(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

}  // namespace motion::detail
