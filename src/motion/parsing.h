// What the format readers share: the file's lines, the problems found, the values before
// conversion, and the ways values are cut out of a line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "motion/reader.h"

namespace motion::detail {

// The lines of a content without their terminators (LF, CR LF or CR), a UTF-8 BOM or a final
// Ctrl-Z.
std::vector<std::string_view> split_lines(std::string_view content);

// A format reader's view of the file and the problems it reports.
class Context {
 public:
  Context(std::string_view content, const ReadOptions& options);
  const std::vector<std::string_view>& lines() const { return lines_; }
  std::size_t size() const { return lines_.size(); }
  std::string_view line(std::size_t index) const { return lines_[index]; }  // 0-based
  const ReadOptions& options() const { return options_; }
  // Characters from the start of line `index` to the end: no more values than that can follow.
  std::size_t bytes_from(std::size_t index) const;

  // `index` is 0-based; reported 1-based. npos: the file as a whole.
  void warn(std::string text, std::size_t index = npos);
  void fail(std::string text, std::size_t index = npos);
  bool failed() const { return failed_; }
  std::vector<Problem>& problems() { return problems_; }
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  std::string_view content_;
  std::vector<std::string_view> lines_;
  const ReadOptions& options_;
  std::vector<Problem> problems_;
  bool failed_ = false;
};

// Values as the file has them: one vector per channel, in the file's unit; either uniform
// (time_step from start_time) or at the given times.
struct RawRecord {
  std::vector<std::vector<double>> channels;
  std::vector<double> times;  // empty: uniform
  double start_time = 0.0;
  double time_step = 0.0;
  std::optional<Unit> unit;  // stated by the file
  bool unit_assumed = false;  // `unit` is the format's rule for a file that states none
  std::vector<LineSpan> data_lines;
  std::vector<Orientation> orientations;  // per channel as far as the file names them
};

// Case-insensitive search; npos when absent.
std::size_t find_nocase(std::string_view text, std::string_view word, std::size_t from = 0);
bool starts_with_nocase(std::string_view text, std::string_view word);
std::string_view trim(std::string_view s);

// The length of the number at the start of s (sign, digits with one point, E/D exponent), 0 when
// none. Numbers end where their shape ends, so "1.5-2.5" is two numbers.
std::size_t number_length(std::string_view s);
// The value of a whole token; false when it is not one number.
bool to_number(std::string_view token, double& value);
// The first number at or after `from`, skipping anything else; false when there is none.
bool first_number_after(std::string_view text, std::size_t from, double& value, std::size_t* end = nullptr);

// A count read as a number: whole, not negative, and of a size a file can hold (1e12 at most),
// so that converting it is defined.
bool whole_count(double value, std::size_t& count);

// Fortran data layouts such as "(8F10.3)", "(1E15.6)", "(10I8)": fields a line and their width.
struct FieldLayout {
  std::size_t per_line = 0;
  std::size_t width = 0;
};
std::optional<FieldLayout> field_layout(std::string_view text);

// Values of the lines from `first` on until a line that holds something else than numbers
// (or the end). Fixed fields when a layout is given, else numbers split by their shape.
struct ValueLines {
  std::vector<double> values;
  std::size_t end = 0;  // index of the line that stopped the reading (size() at the end)
};
ValueLines read_value_lines(const Context& context, std::size_t first,
                            const std::optional<FieldLayout>& layout, std::size_t expected);

// Holds a block of values to the count its header states: fewer is an error at `stop_line`,
// more are dropped with a warning. False when refused.
bool hold_to_count(Context& context, std::vector<double>& values, std::size_t count,
                   std::string_view count_name, std::size_t stop_line);

RawRecord read_peer(Context& context);
RawRecord read_cosmos(Context& context);
RawRecord read_csmip(Context& context);
RawRecord read_esm(Context& context);
RawRecord read_knet(Context& context);
RawRecord read_columns(Context& context);

// The volume of a CSMIP file, from its first line or else its name's extension.
enum class CsmipVolume { unknown, uncorrected, corrected, spectra };
CsmipVolume csmip_volume(const Context& context);

// The unit after a key such as "UNITS": an optional ":" or "=", an optional bracket, the unit
// ("UNITS: CM/SEC/SEC)", "units are (g)", "UNITS= G,"); none when no unit stands there.
std::optional<Unit> unit_after_key(std::string_view rest);

bool looks_like_peer(const Context& context);
bool looks_like_cosmos(const Context& context);
bool looks_like_csmip(const Context& context);
// A CSMIP file known by its first line or its name, whatever its descriptors.
bool looks_like_csmip_volume(const Context& context);
bool looks_like_esm(const Context& context);
bool looks_like_knet(const Context& context);

// A number for messages: as short as it reads back the same.
std::string number_text(double value);

}  // namespace motion::detail
