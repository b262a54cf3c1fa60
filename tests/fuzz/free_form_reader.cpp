// libFuzzer target: free-form reading (and the other readers of typed or filed text) on
// arbitrary bytes. Beyond "no crash, no hang, no unbounded allocation" it checks that the
// outcome is always one of the three, that targets keep their shape, and that every value
// read comes back unchanged through the free-form writer.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/format.h"
#include "text/free_form.h"

namespace {

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// The written text of every value read must read back as the same value.
void check_round_trip(float f, int n) {
  if (!std::isfinite(f)) return;  // the reader never produces these
  text::RecordSource source(text::FreeFormWriter().real(f).integer(n).str());
  float f2 = -1;
  int n2 = -1;
  check(text::read_free_form(source, {text::target(f2), text::target(n2)}) == text::ReadStatus::ok);
  check(f2 == f && n2 == n);
  std::string g = text::format_g(f, 14, 7);
  check(g.size() == 14);
  text::tidy_number_text(g);
  check(g.size() == 14);
}

// One pass of reads over the whole source with target lists chosen by `pattern`.
void read_all(text::RecordSource& source, std::string_view pattern) {
  for (int statement = 0; statement < 256 && !source.at_end(); ++statement) {
    const std::size_t start = source.position();
    float r = 0;
    double d = 0;
    int n = 0;
    std::string s, t;
    std::vector<text::Target> targets;
    for (const char kind : pattern.substr(0, 8)) {
      switch (kind & 3) {
        case 0: targets.push_back(text::target(r)); break;
        case 1: targets.push_back(text::target(d)); break;
        case 2: targets.push_back(text::target(n)); break;
        default: targets.push_back(text::target(s, 12)); break;
      }
    }
    const text::ReadStatus status = text::read_free_form(source, targets);
    check(status == text::ReadStatus::ok || status == text::ReadStatus::end_of_file ||
          status == text::ReadStatus::error);
    check(source.position() > start);  // every read consumes at least its first record
    check(s.empty() || s.size() == 12);
    check(!std::isinf(r) && !std::isinf(d));
    check_round_trip(r, n);
    if (status == text::ReadStatus::error) {  // step back and read the failed record as a text
      source.seek(start);
      const text::ReadStatus again = text::read_free_form(source, {text::target(t, 20)});
      check(source.position() > start);
      check(again != text::ReadStatus::ok || t.empty() || t.size() == 20);  // empty: "/" or a null
    }
  }
}

void other_readers(std::string_view bytes) {
  (void)text::c_to_int(bytes, 16);
  const float v = text::c_to_float(bytes, bytes.size());
  check(std::isfinite(v));
  std::string field(bytes.substr(0, 40));
  text::tidy_number_text(field);
  check(field.size() == std::min<std::size_t>(bytes.size(), 40));
  text::RecordReader reader(bytes);
  int n = 0;
  (void)reader.a(3);
  (void)reader.i(5, n);
  reader.tr(2);
  check(reader.a(std::size_t{20}).size() == 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t pattern_length = 1 + data[0] % 6;
  if (size < 1 + pattern_length) return 0;
  const std::string_view pattern(reinterpret_cast<const char*>(data + 1), pattern_length);
  const std::string_view content(reinterpret_cast<const char*>(data + 1 + pattern_length),
                                 size - 1 - pattern_length);
  text::RecordSource source(content);
  read_all(source, pattern);
  other_readers(content);
  return 0;
}
