// Fixed-length, blank-padded text fields: the one place that knows the padding rules.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Length of `s` without trailing blanks (0 for an all-blank text).
inline std::size_t trimmed_length(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return n;
}

inline std::string_view trim_right(std::string_view s) { return s.substr(0, trimmed_length(s)); }

// Without leading and trailing blanks: a typed value as a message quotes it.
inline std::string_view trim(std::string_view s) {
  s = trim_right(s);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

// Left-justified, blank-padded to exactly `length` characters (a longer text is cut on the right).
inline std::string padded(std::string_view s, std::size_t length) {
  std::string out(s.substr(0, length));
  out.resize(length, ' ');
  return out;
}

// A text field of exactly N characters. Assigning a longer text truncates it on the right,
// a shorter one is padded with blanks, so a field never holds anything but N characters.
template <std::size_t N>
class Field {
 public:
  static constexpr std::size_t length = N;

  Field() { chars_.fill(' '); }
  Field(std::string_view s) { assign(s); }  // NOLINT: implicit by design, like assignment

  Field& operator=(std::string_view s) {
    assign(s);
    return *this;
  }

  void assign(std::string_view s) {
    const std::size_t n = s.size() < N ? s.size() : N;
    for (std::size_t i = 0; i < n; ++i) chars_[i] = s[i];
    for (std::size_t i = n; i < N; ++i) chars_[i] = ' ';
  }

  // All N characters, trailing blanks included.
  std::string_view view() const { return {chars_.data(), N}; }
  std::string str() const { return std::string(view()); }
  std::string_view trimmed() const { return trim_right(view()); }
  std::size_t trimmed_length() const { return text::trimmed_length(view()); }
  bool blank() const { return trimmed_length() == 0; }
  char first() const { return chars_[0]; }
  char operator[](std::size_t i) const { return chars_[i]; }

  friend bool operator==(const Field& a, const Field& b) { return a.chars_ == b.chars_; }

 private:
  std::array<char, N> chars_;
};

}  // namespace text
