// Free-form (list-directed) reading and writing, and the input edit descriptors.
#include "text/free_form.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "text/fixed_text.h"
#include "text/number_parse.h"

namespace text {

namespace {

// Room for n characters, left as it is: the caller fills all of it at once.
std::shared_ptr<char[]> uninitialized_text(std::size_t n) { return std::shared_ptr<char[]>(new char[n == 0 ? 1 : n]); }

}  // namespace

RecordSource::RecordSource(std::string_view content) : content_size_(content.size()) {
  std::shared_ptr<char[]> text = uninitialized_text(content.size());
  if (!content.empty()) std::memcpy(text.get(), content.data(), content.size());
  content_ = std::move(text);
  split_records();
}

RecordSource RecordSource::adopt(std::shared_ptr<const char[]> text, std::size_t size) {
  RecordSource source;
  source.content_ = std::move(text);
  source.content_size_ = size;
  source.split_records();
  return source;
}

RecordSource RecordSource::adopt(std::string&& content) {
  auto owner = std::make_shared<const std::string>(std::move(content));
  RecordSource source;
  source.content_size_ = owner->size();
  source.content_ = std::shared_ptr<const char[]>(owner, owner->data());
  source.split_records();
  return source;
}

namespace {

// The LF bytes of a text, eight at a time: the index is sized once, never grown by copying.
std::size_t line_ends(const char* p, std::size_t n) {
  constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7f, lf = 0x0a0a0a0a0a0a0a0a;
  std::size_t count = 0, i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, sizeof w);
    w ^= lf;  // an LF becomes a zero byte; only zero bytes keep their high bit clear below
    const std::uint64_t zero_bytes = ~(((w & low7) + low7) | w | low7);  // their high bits
    count += static_cast<std::size_t>(((zero_bytes >> 7) * 0x0101010101010101) >> 56);
  }
  for (; i < n; ++i) count += p[i] == '\n' ? 1 : 0;
  return count;
}

// Records between two marks of a source's index.
constexpr std::size_t mark_spacing = 64;

}  // namespace

void RecordSource::split_records() {
  marks_.assign(1, 0);
  next_ = near_index_ = near_start_ = 0;
  const char* base = content_.get();
  const std::size_t size = content_size_;
  if (size > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("a text of 4 GiB or more to read");
  count_ = line_ends(base, size) + (size > 0 && base[size - 1] != '\n' ? 1 : 0);
  marks_.reserve(count_ / mark_spacing + 1);
  std::size_t start = 0;
  for (std::size_t index = 1; index < count_; ++index) {
    start = static_cast<std::size_t>(static_cast<const char*>(std::memchr(base + start, '\n', size - start)) - base) + 1;
    if (index % mark_spacing == 0) marks_.push_back(static_cast<std::uint32_t>(start));
  }
}

// From the record found last when `index` lies between it and the mark before `index`, or a
// record or two before it; from that mark otherwise.
std::size_t RecordSource::start_of(std::size_t index) const {
  const char* text = content_.get();
  std::size_t at = index - index % mark_spacing, start = marks_[index / mark_spacing];
  if (index >= near_index_ && near_index_ > at) {
    at = near_index_;
    start = near_start_;
  } else if (index < near_index_ && near_index_ - index <= 2) {
    for (at = near_index_, start = near_start_; at > index; --at) {
      const void* end_before = start > 1 ? memrchr(text, '\n', start - 1) : nullptr;
      start = end_before ? static_cast<std::size_t>(static_cast<const char*>(end_before) - text) + 1 : 0;
    }
  }
  for (; at < index; ++at) start = static_cast<std::size_t>(static_cast<const char*>(std::memchr(text + start, '\n', content_size_ - start)) - text) + 1;
  return start;
}

bool RecordSource::next(std::string_view& record) {
  if (next_ >= size()) return false;
  record = this->record(next_++);
  return true;
}

std::string_view RecordSource::record(std::size_t index) const {
  if (index >= size()) return {};
  const std::size_t start = start_of(index);
  const char* text = content_.get();
  const void* lf = std::memchr(text + start, '\n', content_size_ - start);
  std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : content_size_;
  near_index_ = index + 1;
  near_start_ = lf ? end + 1 : content_size_;
  // The CR of a CR LF is part of the terminator; so is a CR cut off from its LF at the end.
  if (end > start && text[end - 1] == '\r') --end;
  return std::string_view(text + start, end - start);
}

namespace {

// Tabs come from hand-edited files; the solver's runtime takes them as blanks, so do we.
bool is_blank(char c) { return c == ' ' || c == '\t'; }
constexpr std::array<bool, 256> separator_table() {
  std::array<bool, 256> table{};
  for (const unsigned char c : {' ', '\t', ',', '/'}) table[c] = true;
  return table;
}
constexpr std::array<bool, 256> separators = separator_table();
bool is_separator(char c) { return separators[static_cast<unsigned char>(c)]; }

// The solver's runtime refuses larger repeat counts; a file it cannot read must not pass here.
constexpr long max_repeat_count = 200000000;

enum class ItemKind {
  stored,       // a simple number, already stored in its target
  value,        // a constant (text holds it)
  null,         // an empty value: the target keeps its value
  slash,        // "/": the read ends, the remaining targets keep their values
  end_of_file,  // the records ran out
  error,        // malformed (bad repeat count, junk after a closing quote)
};

struct Item {
  ItemKind kind;
  std::string_view text;
  bool quoted = false;
};

// Walks the values of one read statement over as many records as it needs.
class Scanner {
 public:
  explicit Scanner(RecordSource& source) : source_(source) {}
  Item next(const Target& target);

 private:
  enum class Separator { start, comma, blank };
  bool skip_blanks_and_record_ends();
  Item value_item();
  bool store_simple_number(const Target& target);
  Item quoted_value(char quote);

  RecordSource& source_;
  std::string_view record_;
  std::size_t pos_ = 0;
  Separator last_ = Separator::start;
  long repeat_left_ = 0;
  Item repeated_{ItemKind::null, {}};
  std::string quoted_;
};

Item Scanner::next(const Target& target) {
  if (repeat_left_ > 0) {
    --repeat_left_;
    return repeated_;
  }
  for (;;) {
    if (!skip_blanks_and_record_ends()) return {ItemKind::end_of_file, {}};
    const char c = record_[pos_];
    if (c == '/') return {ItemKind::slash, {}};
    if (c != ',') {
      last_ = Separator::blank;
      if (store_simple_number(target)) return {ItemKind::stored, {}};
      return value_item();
    }
    ++pos_;
    // A comma after a value's blanks is that value's separator; a second comma, or one
    // opening the read, stands for an empty value.
    const bool empty_value = last_ != Separator::blank;
    last_ = Separator::comma;
    if (empty_value) return {ItemKind::null, {}};
  }
}

// Most values of numeric records are plain numbers: converted as they are scanned. Anything
// else (repeat counts, long mantissas, malformed text) takes the general road from the start.
template <typename Number>
bool store_prefix(std::string_view rest, void* address, std::size_t& length) {
  Number value{};
  length = quick_number_prefix(rest, value);
  if (length == 0 || (length < rest.size() && !is_separator(rest[length]))) return false;
  *static_cast<Number*>(address) = value;
  return true;
}

bool Scanner::store_simple_number(const Target& target) {
  const std::string_view rest = record_.substr(pos_);
  std::size_t length = 0;
  bool stored = false;
  switch (target.kind) {
    case Target::Kind::integer: stored = store_prefix<int>(rest, target.address, length); break;
    case Target::Kind::real32: stored = store_prefix<float>(rest, target.address, length); break;
    case Target::Kind::real64: stored = store_prefix<double>(rest, target.address, length); break;
    case Target::Kind::text: break;
  }
  if (stored) pos_ += length;
  return stored;
}

bool Scanner::skip_blanks_and_record_ends() {
  for (;;) {
    while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
    if (pos_ < record_.size()) return true;
    if (!source_.next(record_)) return false;
    pos_ = 0;
  }
}

// One pass finds the end of the constant; a repeat count can only be its leading digits.
Item Scanner::value_item() {
  const char c = record_[pos_];
  if (c == '\'' || c == '"') return quoted_value(c);
  const std::size_t start = pos_;
  while (pos_ < record_.size() && record_[pos_] >= '0' && record_[pos_] <= '9') ++pos_;
  const std::size_t star = pos_;
  if (star == start || star >= record_.size() || record_[star] != '*') {
    while (pos_ < record_.size() && !is_separator(record_[pos_])) ++pos_;
    return {ItemKind::value, record_.substr(start, pos_ - start)};
  }
  while (pos_ < record_.size() && !is_separator(record_[pos_])) ++pos_;
  // r*c or r*: only the targets of this read are visited, whatever the count.
  long count = 0;
  for (std::size_t i = start; i < star; ++i) {
    count = count * 10 + (record_[i] - '0');
    if (count > max_repeat_count) return {ItemKind::error, {}};
  }
  if (count == 0) return {ItemKind::error, {}};
  Item item{ItemKind::null, {}};
  if (star + 1 < pos_) {
    const char first = record_[star + 1];
    if (first == '\'' || first == '"') {
      pos_ = star + 1;
      item = quoted_value(first);
    } else {
      item = {ItemKind::value, record_.substr(star + 1, pos_ - star - 1)};
    }
  }
  if (item.kind == ItemKind::error || item.kind == ItemKind::end_of_file) return item;
  repeated_ = item;
  repeat_left_ = count - 1;
  return item;
}

// A quoted text may continue on the next records; the record ends are not part of it.
Item Scanner::quoted_value(char quote) {
  quoted_.clear();
  ++pos_;
  for (;;) {
    if (pos_ >= record_.size()) {
      if (!source_.next(record_)) return {ItemKind::end_of_file, {}};
      pos_ = 0;
      continue;
    }
    const std::size_t end = record_.find(quote, pos_);
    if (end == std::string_view::npos) {
      quoted_.append(record_.substr(pos_));
      pos_ = record_.size();
      continue;
    }
    quoted_.append(record_.substr(pos_, end - pos_));
    pos_ = end + 1;
    if (pos_ < record_.size() && record_[pos_] == quote) {  // a doubled quote is one quote
      quoted_ += quote;
      ++pos_;
      continue;
    }
    break;
  }
  if (pos_ < record_.size() && !is_separator(record_[pos_])) return {ItemKind::error, {}};
  return {ItemKind::value, quoted_, true};
}

bool store(const Target& target, const Item& item) {
  switch (target.kind) {
    case Target::Kind::integer:
      return !item.quoted && parse_integer(item.text, *static_cast<int*>(target.address));
    case Target::Kind::real32:
      return !item.quoted && parse_real(item.text, *static_cast<float*>(target.address));
    case Target::Kind::real64:
      return !item.quoted && parse_real(item.text, *static_cast<double*>(target.address));
    case Target::Kind::text:
      *static_cast<std::string*>(target.address) = padded(item.text, target.text_length);
      return true;
  }
  return false;
}

}  // namespace

ReadStatus read_free_form(RecordSource& source, const std::vector<Target>& targets) {
  if (targets.empty()) {  // a read with no values still consumes one record
    std::string_view skipped;
    return source.next(skipped) ? ReadStatus::ok : ReadStatus::end_of_file;
  }
  Scanner scanner(source);
  for (const Target& target : targets) {
    const Item item = scanner.next(target);
    switch (item.kind) {
      case ItemKind::stored:
        break;
      case ItemKind::value:
        if (!store(target, item)) return ReadStatus::error;
        break;
      case ItemKind::null:
        break;
      case ItemKind::slash:
        return ReadStatus::ok;
      case ItemKind::end_of_file:
        return ReadStatus::end_of_file;
      case ItemKind::error:
        return ReadStatus::error;
    }
  }
  return ReadStatus::ok;
}

bool read_plain_reals(std::string_view record, std::span<float> values, std::span<std::string_view> texts) {
  std::size_t pos = 0, n = 0;
  for (;;) {
    while (pos < record.size() && is_blank(record[pos])) ++pos;
    if (pos == record.size()) return n == values.size();
    if (n == values.size()) return false;
    const std::size_t start = pos;
    const std::size_t quick = quick_number_prefix(record.substr(start), values[n]);
    if (quick > 0) {
      pos += quick;
    } else {
      while (pos < record.size() && !is_separator(record[pos])) ++pos;
    }
    // A comma, a slash or a value that is no plain constant (r*c, a quoted text) needs the
    // general reading.
    if (pos < record.size() && !is_blank(record[pos])) return false;
    const std::string_view constant = record.substr(start, pos - start);
    if (quick == 0 && !parse_real(constant, values[n])) return false;
    texts[n++] = constant;
  }
}

FreeFormWriter& FreeFormWriter::integer(int value) {
  if (record_.size() > 1) record_ += ' ';
  char buf[16];
  record_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
  last_was_text_ = false;
  return *this;
}

FreeFormWriter& FreeFormWriter::real(float value) {
  if (record_.size() > 1) record_ += ' ';
  char buf[free_form_real_max];
  record_.append(buf, free_form_real_chars(value, buf));
  last_was_text_ = false;
  return *this;
}

FreeFormWriter& FreeFormWriter::text(std::string_view value) {
  if (record_.size() > 1 && !last_was_text_) record_ += ' ';
  record_.append(value);
  last_was_text_ = true;
  return *this;
}

std::string RecordReader::a(std::size_t target_length) {
  std::string out = padded(pos_ < record_.size() ? record_.substr(pos_) : std::string_view(), target_length);
  pos_ += target_length;
  return out;
}

std::string RecordReader::a(int w) {
  if (w <= 0) return {};
  const std::size_t width = static_cast<std::size_t>(w);
  std::string out = padded(pos_ < record_.size() ? record_.substr(pos_, width) : std::string_view(), width);
  pos_ += width;
  return out;
}

bool RecordReader::i(int w, int& value) {
  if (w <= 0) return false;
  const std::size_t width = static_cast<std::size_t>(w);
  const std::string_view field = pos_ < record_.size() ? record_.substr(pos_, width) : std::string_view();
  pos_ += width;
  char digits[64];
  std::size_t n = 0;
  for (const char c : field) {
    if (c == ' ') continue;
    if (n == sizeof digits) return false;
    digits[n++] = c;
  }
  if (n == 0) {  // an all-blank field is zero
    value = 0;
    return true;
  }
  return parse_integer(std::string_view(digits, n), value);
}

void RecordReader::tr(int n) {
  if (n > 0) pos_ += static_cast<std::size_t>(n);
}

}  // namespace text
