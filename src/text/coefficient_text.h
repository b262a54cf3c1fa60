// The typed text of a real that a file gave as a number: a coefficient read from a loading
// file becomes the text the General Data dialog shows and the file writes again.
#pragma once

#include <cstddef>
#include <string>

namespace text {

// The longest text a coefficient field holds.
inline constexpr std::size_t coefficient_length = 10;

// The shortest text of at most coefficient_length characters that reads back as `value`; the
// closest such text to `value` when none reads back exactly.
std::string coefficient_text(double value);

}  // namespace text
