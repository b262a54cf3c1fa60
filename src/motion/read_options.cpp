#include "motion/read_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "text/number_parse.h"

namespace motion {
namespace {

bool parse_count(std::string_view text, std::size_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

bool parse_number(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

bool parse_columns(std::string_view text, std::vector<std::size_t>& columns) {
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    std::size_t column = 0;
    if (!parse_count(text.substr(pos, end - pos), column) || column == 0) return false;
    columns.push_back(column);
    pos = end + 1;
  }
  return !columns.empty() && columns.size() <= 3;
}

}  // namespace

std::string apply_read_option(std::string_view name, std::string_view value, ReadOptions& o) {
  double number = 0.0;
  std::size_t count = 0;
  if (name == "--format") {
    const auto format = format_from_name(value);
    if (!format) return "unknown format \"" + std::string(value) + "\"";
    o.format = *format;
  } else if (name == "--units" || name == "--to") {
    const auto unit = unit_from_text(value);
    if (!unit) return "unknown unit \"" + std::string(value) + "\"";
    if (name == "--units") o.file_unit = unit; else o.target = TargetUnit(*unit);
  } else if (name == "--first-line") {
    if (!parse_count(value, count) || count == 0) return "--first-line needs a line number from 1";
    o.first_line = count;
  } else if (name == "--time-column") {
    if (!parse_count(value, count)) return "--time-column needs a column number (0: none)";
    o.time_column = count;
  } else if (name == "--columns") {
    o.value_columns.clear();
    if (!parse_columns(value, o.value_columns)) return "--columns needs one to three column numbers from 1, such as 2,3,4";
  } else if (name == "--dt" || name == "--resample") {
    if (!parse_number(value, number) || !(number > 0.0)) return std::string(name) + " needs a positive number of seconds";
    (name == "--dt" ? o.time_step : o.resample_step) = number;
  } else if (name == "--scale") {
    if (!parse_number(value, number)) return "--scale needs a number";
    o.scale = number;
  } else {
    return "unknown option " + std::string(name);
  }
  return {};
}

}  // namespace motion
