// Work items shared out to threads that each take the next item until none is left.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace base {

// Runs work(i) for every i below `count`, on at most `jobs` threads, the caller's among them.
// A thread the system will not start leaves the work to those that run: fewer at once, the
// same results.
inline void parallel_for(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> threads;
  for (unsigned j = 1; j < std::min<std::size_t>(jobs, count); ++j) {
    try {
      threads.emplace_back(worker);
    } catch (const std::system_error&) {
      break;
    }
  }
  worker();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace base
