// A sequence addressed by position whose insertion and removal anywhere cost O(log n): the
// tables of the editors insert a time point among 10^5 others, or take one range out of the
// middle, without moving what follows. An implicit treap: each node knows the size of its
// subtree, so a position is found by descending, and random priorities keep it balanced.
// Elements never move in memory while they are in the sequence.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace base {

template <typename T>
class IndexedList {
 public:
  IndexedList() = default;
  explicit IndexedList(std::vector<T> values) {
    reserve_block(values.size());
    root_ = build(values, 0, values.size());
  }
  IndexedList(IndexedList&& other) noexcept { *this = std::move(other); }
  IndexedList& operator=(IndexedList&& other) noexcept {
    blocks_ = std::move(other.blocks_);
    block_capacity_ = std::exchange(other.block_capacity_, 0);
    block_used_ = std::exchange(other.block_used_, 0);
    free_ = std::move(other.free_);
    root_ = std::exchange(other.root_, nullptr);
    return *this;
  }
  IndexedList(const IndexedList&) = delete;
  IndexedList& operator=(const IndexedList&) = delete;

  std::size_t size() const { return size_of(root_); }
  bool empty() const { return root_ == nullptr; }

  // 0-based positions.
  const T& operator[](std::size_t position) const { return find(root_, position)->value; }
  T& operator[](std::size_t position) { return find(root_, position)->value; }

  void insert(std::size_t position, T value) {
    auto [left, right] = split(root_, position);
    root_ = merge(merge(left, make(std::move(value), next_priority())), right);
  }
  void push_back(T value) { insert(size(), std::move(value)); }

  // Takes the element out and gives it back.
  T erase(std::size_t position) {
    auto [left, rest] = split(root_, position);
    auto [node, right] = split(rest, 1);
    root_ = merge(left, right);
    T value = std::move(node->value);
    release(node);
    return value;
  }

  // The number of leading elements for which `before` holds, when it holds for a prefix.
  template <typename Before>
  std::size_t partition_point(Before before) const {
    std::size_t count = 0;
    for (const Node* node = root_; node;) {
      if (before(node->value)) {
        count += size_of(node->left) + 1;
        node = node->right;
      } else {
        node = node->left;
      }
    }
    return count;
  }

  template <typename Visit>
  void for_each(Visit visit) const {
    visit_in_order(root_, visit);
  }

  std::vector<T> to_vector() const {
    std::vector<T> values;
    values.reserve(size());
    for_each([&](const T& value) { values.push_back(value); });
    return values;
  }

 private:
  // Nodes live in blocks, a table's worth at once: one allocation per node would make opening
  // and closing a table of 10^5 entries mostly the allocator's work.
  struct Node {
    T value{};
    std::uint32_t priority = 0;
    std::size_t size = 1;
    Node* left = nullptr;
    Node* right = nullptr;
  };
  static constexpr std::size_t min_block = 256;

  static std::size_t size_of(const Node* node) { return node ? node->size : 0; }
  static void resize(Node* node) { node->size = 1 + size_of(node->left) + size_of(node->right); }

  void reserve_block(std::size_t n) {
    n = std::max(n, min_block);
    blocks_.push_back(std::make_unique<Node[]>(n));
    block_capacity_ = n;
    block_used_ = 0;
  }

  Node* make(T value, std::uint32_t priority) {
    Node* node;
    if (!free_.empty()) {
      node = free_.back();
      free_.pop_back();
    } else {
      if (blocks_.empty() || block_used_ == block_capacity_) reserve_block(std::max(min_block, size() / 2));
      node = &blocks_.back()[block_used_++];
    }
    node->value = std::move(value);
    node->priority = priority;
    node->size = 1;
    node->left = node->right = nullptr;
    return node;
  }

  void release(Node* node) {
    node->value = T{};
    free_.push_back(node);
  }

  static Node* find(Node* node, std::size_t position) {
    for (;;) {
      const std::size_t left = size_of(node->left);
      if (position < left) {
        node = node->left;
      } else if (position == left) {
        return node;
      } else {
        position -= left + 1;
        node = node->right;
      }
    }
  }

  // The first `count` elements and the rest.
  static std::pair<Node*, Node*> split(Node* node, std::size_t count) {
    if (!node) return {nullptr, nullptr};
    const std::size_t left = size_of(node->left);
    if (count <= left) {
      auto [a, b] = split(node->left, count);
      node->left = b;
      resize(node);
      return {a, node};
    }
    auto [a, b] = split(node->right, count - left - 1);
    node->right = a;
    resize(node);
    return {node, b};
  }

  static Node* merge(Node* a, Node* b) {
    if (!a) return b;
    if (!b) return a;
    if (a->priority > b->priority) {
      a->right = merge(a->right, b);
      resize(a);
      return a;
    }
    b->left = merge(a, b->left);
    resize(b);
    return b;
  }

  // A balanced tree of values[first, last) whose priorities fall from the root down.
  Node* build(std::vector<T>& values, std::size_t first, std::size_t last, int depth = 0) {
    if (first >= last) return nullptr;
    const std::size_t middle = first + (last - first) / 2;
    const std::uint32_t priority = UINT32_MAX - static_cast<std::uint32_t>(depth) * (1u << 26) -
                                   (next_priority() >> 6);
    Node* node = make(std::move(values[middle]), priority);
    node->left = build(values, first, middle, depth + 1);
    node->right = build(values, middle + 1, last, depth + 1);
    resize(node);
    return node;
  }

  template <typename Visit>
  static void visit_in_order(const Node* node, Visit& visit) {
    while (node) {
      visit_in_order(node->left, visit);
      visit(node->value);
      node = node->right;
    }
  }

  std::uint32_t next_priority() {
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
  }

  std::vector<std::unique_ptr<Node[]>> blocks_;
  std::size_t block_capacity_ = 0, block_used_ = 0;
  std::vector<Node*> free_;
  Node* root_ = nullptr;
  std::uint32_t seed_ = 2463534242u;
};

}  // namespace base
