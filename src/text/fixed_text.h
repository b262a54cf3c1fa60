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

// `s` without a UTF-8 character cut short at its end (a field of N bytes may end inside one):
// what is shown of a field, whose bytes themselves stay as they are for the solver.
inline std::string_view without_cut_character(std::string_view s) {
  std::size_t lead = s.size();
  int continuations = 0;
  while (lead > 0 && continuations < 4 && (static_cast<unsigned char>(s[lead - 1]) & 0xC0) == 0x80) --lead, ++continuations;
  if (lead == 0) return s;
  const auto c = static_cast<unsigned char>(s[lead - 1]);
  const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return length > 1 && continuations < length - 1 ? s.substr(0, lead - 1) : s;
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
  // Trimmed, and without a character the field's end cut in two: for showing, never for files.
  std::string_view shown() const { return without_cut_character(trimmed()); }
  std::size_t trimmed_length() const { return text::trimmed_length(view()); }
  bool blank() const { return trimmed_length() == 0; }
  char first() const { return chars_[0]; }
  char operator[](std::size_t i) const { return chars_[i]; }

  friend bool operator==(const Field& a, const Field& b) { return a.chars_ == b.chars_; }

 private:
  std::array<char, N> chars_;
};

}  // namespace text
