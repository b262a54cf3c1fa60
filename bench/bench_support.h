// What several benchmarks set up alike: a scratch folder as the current directory, and a
// toolkit that shows nothing and agrees.
#pragma once

#include "support/fake_toolkit.h"
#include "support/temp_dir.h"
#include "ui/toolkit.h"

namespace bench_support {

// A folder of its own as the current directory, for the case scratch files; the previous
// directory comes back and the folder goes when it ends.
using BenchFolder = testing_support::TempCurrentDir;

// The fake toolkit answering a question with Yes, so that what is measured runs to its end.
struct AgreeingToolkit : testing_support::FakeToolkit {
  AgreeingToolkit() { answer = ui::Answer::yes; }
};

}  // namespace bench_support
