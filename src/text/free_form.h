// Free-form (list-directed) reading and writing of records, and the input edit descriptors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace text {


// The records (lines) of a text, without their terminators; CR LF and LF both end a line.
// A reader that fails can seek back to the record where its read began and read it again
// as something else.
class RecordSource {
 public:
  RecordSource() = default;
  explicit RecordSource(std::string_view content);
  // Takes the text over instead of copying it: a large text built to be read once costs its
  // size once.
  static RecordSource adopt(std::string&& content);
  // The same for `size` characters at `text`, as a reader of files holds them.
  static RecordSource adopt(std::shared_ptr<const char[]> text, std::size_t size);

  bool at_end() const { return next_ >= size(); }
  std::size_t position() const { return next_; }     // index of the next record to read
  void seek(std::size_t position) { next_ = position; }
  // The next record, consumed; false at the end.
  bool next(std::string_view& record);
  std::size_t size() const { return count_; }
  std::string_view record(std::size_t index) const;
  std::size_t line_number() const { return next_ + 1; }  // 1-based line of the next record
  // The whole text, which a reader may keep beyond the source to point into it.
  const std::shared_ptr<const char[]>& text() const { return content_; }
  std::size_t text_size() const { return content_size_; }

 private:
  void split_records();
  std::size_t start_of(std::size_t index) const;
  // The text, shared by copies of the source: it never changes once read.
  std::shared_ptr<const char[]> content_;
  std::size_t content_size_ = 0;
  std::size_t count_ = 0;
  // Where every 64th record begins in content_: a record between two marks is found from the
  // mark before it, so the index costs a sixteenth of a byte a line where an offset a line
  // would cost four (no text the program reads comes near 4 GiB: files are refused beyond 1 GiB).
  std::vector<std::uint32_t> marks_ = {0};
  std::size_t next_ = 0;
  // The record after the one found last and where it begins: reading on, and going back a
  // record or two to read it again as something else, start from there.
  mutable std::size_t near_index_ = 0;
  mutable std::size_t near_start_ = 0;
};

enum class ReadStatus {
  ok,           // every target was filled, left unchanged by an empty value, or the read ended at "/"
  end_of_file,  // the records ran out before every target was reached
  error,        // a field is not a valid value of its target's type
};

// One target of a free-form read. Text targets are blank-padded to `text_length`.
struct Target {
  enum class Kind { integer, real32, real64, text } kind;
  void* address;
  std::size_t text_length = 0;
};
inline Target target(int& v) { return {Target::Kind::integer, &v}; }
inline Target target(float& v) { return {Target::Kind::real32, &v}; }
inline Target target(double& v) { return {Target::Kind::real64, &v}; }
inline Target target(std::string& v, std::size_t length) { return {Target::Kind::text, &v, length}; }

// One free-form read statement: fills the targets from the next records, taking as many
// records as it needs. On error or end of file the targets read before keep their new values
// and the source stands after the last record consumed; callers that re-read seek back.
ReadStatus read_free_form(RecordSource& source, const std::vector<Target>& targets);

// The common numeric record read alone: exactly values.size() real constants separated by
// blanks and nothing else. Each value is stored with its text, as it stands in the record.
// false (values partly changed) for any other record: fewer or more values, a comma, a slash,
// a repeat count, a quoted text; read_free_form reads such a plain record to the same values.
bool read_plain_reals(std::string_view record, std::span<float> values, std::span<std::string_view> texts);

// Free-form output: the record begins with a blank, numbers are separated by blanks, and every
// value reads back as the same float / int.
class FreeFormWriter {
 public:
  FreeFormWriter& integer(int value);
  FreeFormWriter& real(float value);
  FreeFormWriter& text(std::string_view value);
  const std::string& str() const { return record_; }

 private:
  std::string record_ = " ";
  bool last_was_text_ = false;
};

// Input edit descriptors over one record, left to right.
class RecordReader {
 public:
  explicit RecordReader(std::string_view record) : record_(record) {}
  std::string a(std::size_t target_length);   // A: the rest of the record, blank-padded
  std::string a(int w);                       // Aw
  bool i(int w, int& value);                  // Iw: blanks ignored; false when not an integer
  void tr(int n);                             // TRn

 private:
  std::string_view record_;
  std::size_t pos_ = 0;
};

// The C-library conversions the dialogs use on the first `n` characters of a field:
// leading blanks skipped, the longest valid prefix taken, 0 when there is none.
int c_to_int(std::string_view field, std::size_t n);
// The same prefix rule for a 32-bit real field, rounded once to the nearest float (never through
// a double). A value beyond the float range keeps its sign at the largest finite magnitude, so
// what the user typed is never shown, stored or written as "Infinity"; one too small is 0.
float c_to_float(std::string_view field, std::size_t n);

// Whether those conversions take the whole field: a number, blanks around it, nothing dropped
// (neither after the number nor beyond the first `n` characters). A blank field is not whole.
bool converts_whole_to_int(std::string_view field, std::size_t n);
bool converts_whole_to_real(std::string_view field, std::size_t n);

// Exactly one real constant as a free-form read takes it ("5", "-0.5E+01", "5D0"), blanks
// around it: a text the solver reads back as the number it shows.
bool is_free_form_real(std::string_view text);

}  // namespace text
