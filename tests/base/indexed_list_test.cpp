// The indexed list against a vector doing the same insertions and removals: every position
// reads the same, and a sorted list is searched by halving.
#include "base/indexed_list.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using base::IndexedList;

TEST(IndexedList, InsertionsAndRemovalsAnywhereKeepTheOrderOfAVector) {
  for (const std::size_t start : {0u, 1u, 7u, 1000u}) {
    std::vector<int> initial(start);
    for (std::size_t i = 0; i < start; ++i) initial[i] = static_cast<int>(i) * 3;
    std::vector<int> expected = initial;
    IndexedList<int> list(initial);
    std::mt19937 random(static_cast<unsigned>(start) + 1);
    for (int step = 0; step < 3000; ++step) {
      if (expected.empty() || random() % 3 != 0) {
        const std::size_t at = random() % (expected.size() + 1);
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), step);
        list.insert(at, step);
      } else {
        const std::size_t at = random() % expected.size();
        EXPECT_EQ(list.erase(at), expected[at]);
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
      }
      ASSERT_EQ(list.size(), expected.size());
      if (!expected.empty()) {
        const std::size_t probe = random() % expected.size();
        ASSERT_EQ(list[probe], expected[probe]) << "step " << step << " position " << probe;
      }
    }
    EXPECT_EQ(list.to_vector(), expected) << "started with " << start;
  }
}

TEST(IndexedList, AnElementStaysWhereItIsInMemoryWhileOthersComeAndGo) {
  IndexedList<int> list(std::vector<int>{10, 20, 30});
  const int* twenty = &list[1];
  list.insert(0, 5);
  list.insert(4, 40);
  list.erase(0);
  list.erase(2);
  EXPECT_EQ(&list[1], twenty);
  EXPECT_EQ(*twenty, 20);
}

TEST(IndexedList, PartitionPointCountsTheLeadingElementsBelowAValue) {
  std::vector<int> values;
  for (int i = 0; i < 500; ++i) values.push_back(2 * i);
  IndexedList<int> list(values);
  for (int probe : {-1, 0, 1, 2, 501, 998, 999, 5000})
    EXPECT_EQ(list.partition_point([probe](int v) { return v < probe; }),
              static_cast<std::size_t>(std::lower_bound(values.begin(), values.end(), probe) - values.begin()))
        << probe;
  EXPECT_EQ(IndexedList<int>().partition_point([](int) { return true; }), 0u);
}

}  // namespace
