// Where a loaded accelerogram's point records stand in the file it was read from, which it
// keeps: a number is written again as the file spelt it when that spelling is its G14.7 text,
// copied instead of made anew. Per point, what is kept is where its record is and whether every
// constant of it is spelt so (the writer tells the others' spellings from text and value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace model {

// Point records follow each other in the file, a record each, so the index holds only where
// the record of every 64th point begins and the few points read otherwise (several values
// lists, blank records or a free-form record): a sixteenth of a byte per point where an offset
// would take four (a loaded file is below 4 GiB: files are refused beyond 1 GiB).
class LoadedTexts {
 public:
  static constexpr std::size_t points_per_mark = 64;

  LoadedTexts() noexcept {}  // user-provided: `{}` in a brace-initialised accelerogram means none
  LoadedTexts(std::shared_ptr<const char[]> file, std::size_t file_size);

  // The reader's side, point after point: the next point was read from `records` records that
  // begin at byte `start` of the file; `plain` when that is one record of its values alone,
  // each a plain constant, and `spelt_as_written` when each of them is its value's G14.7 text.
  void add(std::size_t start, std::size_t records, bool plain, bool spelt_as_written);

  explicit operator bool() const { return file_ != nullptr; }
  std::size_t size() const { return n_points_; }
  const char* file() const { return file_.get(); }

  // The writer's side: the records of the points in order, each found from the one before it;
  // a point asked out of order is found from its mark.
  class Walk {
   public:
    explicit Walk(const LoadedTexts& texts) : texts_(texts) {}
    // The record of `point` when it was read from one record of plain constants.
    std::optional<std::string_view> plain_record(std::size_t point);
    // Whether each constant of that record is the G14.7 text of its value.
    bool spelt_as_written(std::size_t point) const {
      return point < texts_.spelt_as_written_.size() && texts_.spelt_as_written_[point];
    }

   private:
    void go_to(std::size_t point);
    const LoadedTexts& texts_;
    std::size_t point_ = 0, start_ = 0, odd_ = 0;  // odd_: the first odd point not before point_
    bool placed_ = false;
  };

  friend bool operator==(const LoadedTexts&, const LoadedTexts&) = default;

 private:
  // A point read from other than one record of plain constants.
  struct Odd {
    std::uint32_t point;
    std::uint32_t records;  // the records its reading took
    friend bool operator==(const Odd&, const Odd&) = default;
  };
  std::size_t end_of_records(std::size_t start, std::size_t records) const;

  std::shared_ptr<const char[]> file_;
  std::size_t file_size_ = 0;
  std::size_t n_points_ = 0;
  std::vector<std::uint32_t> marks_;  // marks_[k]: where the first record of point 64k begins
  std::vector<Odd> odd_;              // by point
  std::vector<bool> spelt_as_written_;
};

}  // namespace model
