// Every item once, whatever the number of threads asked for.
#include "base/parallel_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(ParallelFor, EveryItemRunsExactlyOnce) {
  for (const std::size_t count : {0u, 1u, 5u, 1000u})
    for (const unsigned jobs : {0u, 1u, 3u, 64u}) {
      std::vector<std::atomic<int>> runs(count);
      base::parallel_for(count, jobs, [&](std::size_t i) { ++runs[i]; });
      for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1) << count << " items, " << jobs << " jobs, item " << i;
    }
}

}  // namespace
