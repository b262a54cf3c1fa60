#include "model/loaded_texts.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace model {

LoadedTexts::LoadedTexts(std::shared_ptr<const char[]> file, std::size_t file_size)
    : file_(std::move(file)), file_size_(file_size) {}

void LoadedTexts::add(std::size_t start, std::size_t records, bool plain, bool spelt_as_written) {
  if (n_points_ % points_per_mark == 0) marks_.push_back(static_cast<std::uint32_t>(start));
  if (!plain || records != 1) odd_.push_back({static_cast<std::uint32_t>(n_points_), static_cast<std::uint32_t>(records)});
  spelt_as_written_.push_back(plain && spelt_as_written);
  ++n_points_;
}

std::size_t LoadedTexts::end_of_records(std::size_t start, std::size_t records) const {
  const char* text = file_.get();
  for (; records > 0 && start < file_size_; --records) {
    const void* lf = std::memchr(text + start, '\n', file_size_ - start);
    start = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) + 1 : file_size_;
  }
  return start;
}

void LoadedTexts::Walk::go_to(std::size_t point) {
  const LoadedTexts& t = texts_;
  if (!placed_ || point < point_ || point - point_ >= points_per_mark) {
    point_ = point - point % points_per_mark;
    start_ = t.marks_[point / points_per_mark];
    odd_ = static_cast<std::size_t>(
        std::lower_bound(t.odd_.begin(), t.odd_.end(), point_, [](const Odd& o, std::size_t p) { return o.point < p; }) -
        t.odd_.begin());
    placed_ = true;
  }
  for (; point_ < point; ++point_) {
    const bool odd = odd_ < t.odd_.size() && t.odd_[odd_].point == point_;
    start_ = t.end_of_records(start_, odd ? t.odd_[odd_++].records : 1);
  }
}

std::optional<std::string_view> LoadedTexts::Walk::plain_record(std::size_t point) {
  const LoadedTexts& t = texts_;
  if (!t.file_ || point >= t.n_points_) return std::nullopt;
  go_to(point);
  if (odd_ < t.odd_.size() && t.odd_[odd_].point == point) return std::nullopt;
  const char* text = t.file_.get();
  const std::size_t start = std::min(start_, t.file_size_);
  const void* lf = std::memchr(text + start, '\n', t.file_size_ - start);
  std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : t.file_size_;
  // The walk stands at the next point already: points are written in order.
  start_ = lf ? end + 1 : t.file_size_;
  ++point_;
  // The CR of a CR LF is part of the terminator; so is a CR cut off from its LF at the end.
  if (end > start && text[end - 1] == '\r') --end;
  return std::string_view(text + start, end - start);
}

}  // namespace model
