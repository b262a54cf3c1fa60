#include "model/case_files/journal_values.h"

#include <cmath>
#include <limits>

namespace model::case_files::detail {

// JSON has no infinity or NaN, and a typed "1e39" is one: those go as text, so that a journal
// never loses a value the user typed.
json put(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return static_cast<double>(v);
}
bool valid_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c < 0x80) n = 0;
    else if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c == 0xE0) n = 2, low = 0xA0;
    else if (c >= 0xE1 && c <= 0xEC) n = 2;
    else if (c == 0xED) n = 2, high = 0x9F;
    else if (c >= 0xEE && c <= 0xEF) n = 2;
    else if (c == 0xF0) n = 3, low = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) n = 3;
    else if (c == 0xF4) n = 3, high = 0x8F;
    else return false;
    if (s.size() - i - 1 < n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if (d < (k == 1 ? low : 0x80) || d > (k == 1 ? high : 0xBF)) return false;
    }
    i += n + 1;
  }
  return true;
}

json put(int v) { return v; }
json put(bool v) { return v; }
// A text that is not UTF-8 (a language line in another encoding, a file name of another
// system, a field cut in the middle of a character) goes as its bytes, so that it comes back
// byte for byte: a JSON text can only hold UTF-8.
json put(std::string_view v) {
  if (valid_utf8(v)) return std::string(v);
  json bytes = json::array();
  for (const char c : v) bytes.push_back(static_cast<unsigned char>(c));
  return json{{"bytes", std::move(bytes)}};
}
json put(const std::string& v) { return put(std::string_view(v)); }
[[noreturn]] void wrong(std::string_view key, std::string_view kind) {
  throw Damaged("\"" + std::string(key) + "\" is not " + std::string(kind));
}

void take(const json& j, std::string_view key, float& v) {
  if (j.is_number()) {
    const double d = j.get<double>();
    // A float widened exactly comes back exactly; anything else was not written by us.
    if (static_cast<double>(static_cast<float>(d)) != d) wrong(key, "a real of the program");
    v = static_cast<float>(d);
  } else if (j == "nan") {
    v = std::numeric_limits<float>::quiet_NaN();
  } else if (j == "inf" || j == "-inf") {
    v = j == "inf" ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  } else {
    wrong(key, "a real");
  }
}
void take(const json& j, std::string_view key, int& v) {
  if (!j.is_number_integer()) wrong(key, "a whole number");
  const auto n = j.get<std::int64_t>();
  if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) wrong(key, "a whole number");
  v = static_cast<int>(n);
}
void take(const json& j, std::string_view key, bool& v) {
  if (!j.is_boolean()) wrong(key, "true or false");
  v = j.get<bool>();
}
void take(const json& j, std::string_view key, std::string& v) {
  if (j.is_string()) {
    v = j.get<std::string>();
    return;
  }
  const auto bytes = j.is_object() && j.size() == 1 ? j.find("bytes") : j.end();
  if (bytes == j.end() || !bytes->is_array()) wrong(key, "a text");
  std::string read;
  for (const json& b : *bytes) {
    if (!b.is_number_unsigned() || b.get<std::uint64_t>() > 255) wrong(key, "a text of bytes");
    read.push_back(static_cast<char>(b.get<std::uint64_t>()));
  }
  v = std::move(read);
}
const json& member(const json& j, std::string_view key) {
  if (!j.is_object()) throw Damaged("an entry is not an object");
  const auto it = j.find(key);
  if (it == j.end()) throw Damaged("\"" + std::string(key) + "\" is missing");
  return *it;
}

}  // namespace model::case_files::detail
