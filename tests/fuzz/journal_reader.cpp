// libFuzzer target: any bytes read as a run's journal. The reader must end, never read or
// write out of bounds, let no exception out, and give either a refusal or a content a run
// could have written. Build with -DBRANTEL_FUZZ=ON and clang. The normal suites run the same
// check over mutated journals (tests/model/case_files/journal_mutation_test.cpp).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/journal_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!testing_support::journal_reader_fault(std::string_view(reinterpret_cast<const char*>(data), size)).empty())
    std::abort();
  return 0;
}
