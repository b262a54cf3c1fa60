// libFuzzer target: study files of `brantel suite --from` from arbitrary bytes. A settings
// rule broken by what was accepted traps.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/study_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!testing_support::study_file_fault({reinterpret_cast<const char*>(data), size}).empty()) __builtin_trap();
  return 0;
}
