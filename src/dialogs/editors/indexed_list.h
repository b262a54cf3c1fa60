// A sequence addressed by position whose insertion and removal anywhere cost O(log n): the
// tables of the editors insert a time point among 10^5 others, or take one range out of the
// middle, without moving what follows. An implicit treap: each node knows the size of its
// subtree, so a position is found by descending, and random priorities keep it balanced.
// Elements never move in memory while they are in the sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace editors {

template <typename T>
class IndexedList {
 public:
  IndexedList() = default;
  explicit IndexedList(std::vector<T> values) { root_ = build(values, 0, values.size()); }

  std::size_t size() const { return size_of(root_.get()); }
  bool empty() const { return !root_; }

  // 0-based positions.
  const T& operator[](std::size_t position) const { return find(root_.get(), position)->value; }
  T& operator[](std::size_t position) { return find(root_.get(), position)->value; }

  void insert(std::size_t position, T value) {
    auto [left, right] = split(std::move(root_), position);
    auto node = std::make_unique<Node>(std::move(value), next_priority());
    root_ = merge(merge(std::move(left), std::move(node)), std::move(right));
  }
  void push_back(T value) { insert(size(), std::move(value)); }

  // Takes the element out and gives it back.
  T erase(std::size_t position) {
    auto [left, rest] = split(std::move(root_), position);
    auto [node, right] = split(std::move(rest), 1);
    root_ = merge(std::move(left), std::move(right));
    return std::move(node->value);
  }

  // The number of leading elements for which `before` holds, when it holds for a prefix.
  template <typename Before>
  std::size_t partition_point(Before before) const {
    std::size_t count = 0;
    for (const Node* node = root_.get(); node;) {
      if (before(node->value)) {
        count += size_of(node->left.get()) + 1;
        node = node->right.get();
      } else {
        node = node->left.get();
      }
    }
    return count;
  }

  template <typename Visit>
  void for_each(Visit visit) const {
    visit_in_order(root_.get(), visit);
  }

  std::vector<T> to_vector() const {
    std::vector<T> values;
    values.reserve(size());
    for_each([&](const T& value) { values.push_back(value); });
    return values;
  }

 private:
  struct Node {
    Node(T v, std::uint32_t p) : value(std::move(v)), priority(p) {}
    T value;
    std::uint32_t priority;
    std::size_t size = 1;
    std::unique_ptr<Node> left, right;
  };
  using Link = std::unique_ptr<Node>;

  static std::size_t size_of(const Node* node) { return node ? node->size : 0; }
  static void resize(Node* node) { node->size = 1 + size_of(node->left.get()) + size_of(node->right.get()); }

  static Node* find(Node* node, std::size_t position) {
    for (;;) {
      const std::size_t left = size_of(node->left.get());
      if (position < left) {
        node = node->left.get();
      } else if (position == left) {
        return node;
      } else {
        position -= left + 1;
        node = node->right.get();
      }
    }
  }

  // The first `count` elements and the rest.
  static std::pair<Link, Link> split(Link node, std::size_t count) {
    if (!node) return {};
    const std::size_t left = size_of(node->left.get());
    if (count <= left) {
      auto [a, b] = split(std::move(node->left), count);
      node->left = std::move(b);
      resize(node.get());
      return {std::move(a), std::move(node)};
    }
    auto [a, b] = split(std::move(node->right), count - left - 1);
    node->right = std::move(a);
    resize(node.get());
    return {std::move(node), std::move(b)};
  }

  static Link merge(Link a, Link b) {
    if (!a) return b;
    if (!b) return a;
    if (a->priority > b->priority) {
      a->right = merge(std::move(a->right), std::move(b));
      resize(a.get());
      return a;
    }
    b->left = merge(std::move(a), std::move(b->left));
    resize(b.get());
    return b;
  }

  // A balanced tree of values[first, last) whose priorities fall from the root down.
  Link build(std::vector<T>& values, std::size_t first, std::size_t last, int depth = 0) {
    if (first >= last) return nullptr;
    const std::size_t middle = first + (last - first) / 2;
    const std::uint32_t priority = UINT32_MAX - static_cast<std::uint32_t>(depth) * (1u << 26) -
                                   (next_priority() >> 6);
    auto node = std::make_unique<Node>(std::move(values[middle]), priority);
    node->left = build(values, first, middle, depth + 1);
    node->right = build(values, middle + 1, last, depth + 1);
    resize(node.get());
    return node;
  }

  template <typename Visit>
  static void visit_in_order(const Node* node, Visit& visit) {
    while (node) {
      visit_in_order(node->left.get(), visit);
      visit(node->value);
      node = node->right.get();
    }
  }

  std::uint32_t next_priority() {
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
  }

  Link root_;
  std::uint32_t seed_ = 2463534242u;
};

}  // namespace editors
