// Number grammar shared by the free-form reader, the input edit descriptors and the C-library
// conversions of the dialogs.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace text {

// An optionally signed digit string that fits an int; false (value unchanged) otherwise.
bool parse_integer(std::string_view token, int& value);

// A decimal constant with optional E/D exponent ("5", "5.", ".5", "-0.5E+01", "5D0").
// Underflow gives the nearest representable value (down to a signed zero); a value beyond the
// type's range is refused (false, value unchanged): storing infinity or the largest finite value
// would put a load or a stiffness into the analysis that nobody typed.
bool parse_real(std::string_view token, float& value);
bool parse_real(std::string_view token, double& value);

// The quick road of the free-form reader: the number at the start of s when it is simple
// (few digits, exactly convertible); its length, or 0 when the full road must decide (value
// unchanged). The caller checks what follows it.
std::size_t quick_number_prefix(std::string_view s, int& value);
std::size_t quick_number_prefix(std::string_view s, float& value);
std::size_t quick_number_prefix(std::string_view s, double& value);

// About log10 of the value of a valid real constant (its sign tells huge from tiny).
long decimal_magnitude(std::string_view token);

// The shortest decimal text that reads back as the same float, in the general-number shape
// (fixed-point for 0.1 <= |x| < 1e9, otherwise 0.ddddE+xx).
std::string free_form_real_text(float value);
// The same text written at `out`, which has room for free_form_real_max characters; returns its end.
constexpr std::size_t free_form_real_max = 16;
char* free_form_real_chars(float value, char* out);

// free_form_real_chars remembering the texts of recent values: the loads of a file repeat from
// range to range and from time point to time point, and a text found again is only copied.
// put() may write anywhere in the free_form_real_max characters at `out`, past the text's end.
class FreeFormRealTexts {
 public:
  // Inline: a file of 10^5 time points puts a million values, nearly all found again.
  char* put(float value, char* out) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    Slot& slot = slots_[(bits * 0x9E3779B1u) >> 26];
    if (slot.length == 0 || slot.bits != bits) fill(slot, value, bits);
    // A whole slot copied is one move, where a copy of the text's own length is a call.
    std::memcpy(out, slot.text, free_form_real_max);
    return out + slot.length;
  }

 private:
  struct Slot {
    std::uint32_t bits = 0;
    std::uint8_t length = 0;  // 0: empty
    char text[free_form_real_max]{};
  };
  static void fill(Slot& slot, float value, std::uint32_t bits);
  Slot slots_[64];
};

}  // namespace text
