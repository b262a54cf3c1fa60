// What several benchmarks set up alike: a scratch folder as the current directory, and a
// toolkit that shows nothing and agrees.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/fake_toolkit.h"
#include "ui/toolkit.h"

namespace bench_support {

// A folder of its own as the current directory, for the case scratch files; the previous
// directory comes back and the folder goes when it ends.
struct BenchFolder {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::path path;
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brantel-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    std::filesystem::current_path(path);
  }
  ~BenchFolder() {
    std::filesystem::current_path(previous);
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
};

// The fake toolkit answering a question with Yes, so that what is measured runs to its end.
struct AgreeingToolkit : testing_support::FakeToolkit {
  AgreeingToolkit() { answer = ui::Answer::yes; }
};

}  // namespace bench_support
