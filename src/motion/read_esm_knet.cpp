// ESM ASCII (KEY: value header lines, one value a line) and K-NET / KiK-net ASCII (17 header
// lines by position, integer counts scaled to gal).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>

#include "motion/parsing.h"

namespace motion::detail {
namespace {

constexpr std::size_t knet_header_lines = 17;
constexpr std::size_t knet_sampling_line = 10;  // "Sampling Freq(Hz)  100Hz"
constexpr std::size_t knet_duration_line = 11;  // "Duration Time(s)   120"
constexpr std::size_t knet_direction_line = 12; // "Dir.               U-D"
constexpr std::size_t knet_scale_line = 13;     // "Scale Factor       3920(gal)/6182761"
constexpr std::size_t knet_value_column = 18;   // values start in column 19

// The values of a record whose header states a count (or none): fewer is refused, text after
// enough values is passed over with a warning.
bool read_counted_values(Context& context, std::size_t first, std::optional<std::size_t> count, RawRecord& raw) {
  ValueLines block = read_value_lines(context, first, std::nullopt, count.value_or(context.bytes_from(first)));
  if (block.end < context.size()) {
    if (!count || block.values.size() < *count) {
      context.fail("not a value: \"" + std::string(trim(context.line(block.end))) + "\"", block.end);
      return false;
    }
    context.warn("text after the values ignored", block.end);
  }
  if (count && !hold_to_count(context, block.values, *count, "NDATA", block.end - 1)) return false;
  if (block.values.empty()) {
    context.fail("the file holds no values");
    return false;
  }
  raw.channels.push_back(std::move(block.values));
  raw.data_lines.push_back({first + 1, block.end});
  return true;
}

std::string_view knet_value(std::string_view line) {
  return line.size() > knet_value_column ? line.substr(knet_value_column) : line;
}

std::size_t count_numbers(std::string_view line) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size();) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i == line.size()) break;
    ++count;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
  }
  return count;
}

// The header gives no point count, but duration x frequency is the count of a whole record: a
// value lost, or one split in two by a line break, shifts every later value in time.
bool holds_stated_duration(Context& context, double frequency, std::size_t count) {
  double duration = 0.0;
  if (!first_number_after(knet_value(context.line(knet_duration_line)), 0, duration) ||
      !(duration >= 0.0 && duration * frequency < 1e12)) {
    context.warn("the duration cannot be read: the number of values is not checked", knet_duration_line);
    return true;
  }
  const double stated = std::round(duration * frequency);
  if (stated == static_cast<double>(count)) return true;
  // Where the damage is likely: the first line with another number of values than the first.
  std::size_t line = knet_header_lines;
  const std::size_t per_line = count_numbers(context.line(knet_header_lines));
  for (std::size_t i = knet_header_lines + 1; i + 1 < context.size(); ++i)
    if (count_numbers(context.line(i)) != per_line) {
      line = i;
      break;
    }
  context.fail("the header's duration " + number_text(duration) + " s at " + number_text(frequency) +
                   " Hz makes " + number_text(stated) + " values, the file holds " + std::to_string(count) +
                   ": a value is lost or split by a line break",
               line);
  return false;
}

// "N-S", "E-W", "U-D"; in KiK-net also "NS1", "UD2", or the channel 1 to 6: NS, EW, UD of the
// borehole sensor, then of the surface one.
Orientation knet_orientation(std::string_view direction) {
  if (direction.size() == 1 && direction[0] >= '1' && direction[0] <= '6')
    return {std::string(direction), direction[0] == '3' || direction[0] == '6' ? Axis::vertical : Axis::horizontal};
  return {std::string(direction), axis_of_name(direction)};
}

}  // namespace

bool looks_like_esm(const Context& context) {
  bool interval = false, count = false;
  for (std::size_t i = 0; i < std::min<std::size_t>(context.size(), 80); ++i) {
    interval = interval || starts_with_nocase(context.line(i), "SAMPLING_INTERVAL_S:");
    count = count || starts_with_nocase(context.line(i), "NDATA:");
  }
  return interval && count;
}

bool looks_like_knet(const Context& context) {
  return context.size() > knet_header_lines && (starts_with_nocase(context.line(0), "Origin Time") ||
                                                starts_with_nocase(context.line(knet_scale_line), "Scale Factor"));
}

RawRecord read_esm(Context& context) {
  RawRecord raw;
  std::map<std::string, std::string_view> keys;
  std::size_t i = 0;
  for (double value = 0.0; i < context.size() && !to_number(context.line(i), value); ++i) {
    const std::string_view line = context.line(i);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      if (!trim(line).empty()) context.fail("neither \"KEY: value\" nor a value", i);
      continue;
    }
    std::string key(trim(line.substr(0, colon)));
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    keys.emplace(std::move(key), trim(line.substr(colon + 1)));  // values may hold colons
  }
  if (context.failed()) return raw;
  if (const auto type = keys.find("DATA_TYPE"); type != keys.end() && find_nocase(type->second, "ACCELERATION") == std::string_view::npos) {
    context.fail("DATA_TYPE is " + std::string(type->second) + ", not ACCELERATION");
    return raw;
  }
  double dt = 0.0;
  if (!to_number(keys["SAMPLING_INTERVAL_S"], dt) || !(dt > 0.0 && std::isfinite(dt))) {
    context.fail("SAMPLING_INTERVAL_S is missing or not a positive time step");
    return raw;
  }
  std::optional<std::size_t> count;
  if (double n = 0.0; to_number(keys["NDATA"], n)) {
    if (!(n >= 1 && n < 1e12 && n == std::floor(n))) {
      context.fail("NDATA is not a positive whole number");
      return raw;
    }
    count = static_cast<std::size_t>(n);
  }
  if (const std::string_view units = keys["UNITS"]; !units.empty()) {
    raw.unit = unit_from_text(units);
    if (!raw.unit && !context.options().file_unit) {
      context.fail("UNITS " + std::string(units) + " is not a unit of acceleration this reader knows: give the unit");
      return raw;
    }
  }
  raw.time_step = dt;
  if (read_counted_values(context, i, count, raw)) {
    // "STREAM: HNZ": band, instrument and direction codes.
    const std::string_view stream = keys["STREAM"];
    raw.orientations.push_back({std::string(stream), axis_of_name(stream)});
  }
  return raw;
}

RawRecord read_knet(Context& context) {
  RawRecord raw;
  if (context.size() <= knet_header_lines) {
    context.fail("fewer than the 17 header lines and a data line");
    return raw;
  }
  double frequency = 0.0;
  if (!first_number_after(knet_value(context.line(knet_sampling_line)), 0, frequency) || !(frequency > 0.0 && std::isfinite(frequency))) {
    context.fail("the sampling frequency cannot be read", knet_sampling_line);
    return raw;
  }
  // "3920(gal)/6182761": gal per count as a fraction.
  const std::string_view scale = knet_value(context.line(knet_scale_line));
  const std::size_t slash = scale.find('/');
  double numerator = 0.0, denominator = 0.0;
  if (slash == std::string_view::npos || !first_number_after(scale.substr(0, slash), 0, numerator) ||
      !first_number_after(scale, slash + 1, denominator) || !(denominator > 0.0) || !std::isfinite(numerator)) {
    context.fail("the scale factor \"" + std::string(trim(scale)) + "\" cannot be read", knet_scale_line);
    return raw;
  }
  const std::size_t open = scale.find('('), close = scale.find(')');
  raw.unit = Unit::cm_s2;
  if (open < close && close < slash) {
    raw.unit = unit_from_text(scale.substr(open + 1, close - open - 1));
    if (!raw.unit) {
      context.fail("the scale factor's unit is not one this reader knows", knet_scale_line);
      return raw;
    }
  }
  raw.time_step = 1.0 / frequency;
  if (!read_counted_values(context, knet_header_lines, std::nullopt, raw)) return raw;
  raw.orientations.push_back(knet_orientation(trim(knet_value(context.line(knet_direction_line)))));
  if (!holds_stated_duration(context, frequency, raw.channels.front().size())) return raw;
  // The counts carry the recorder's offset; the provider's peak is that of the record without
  // its mean, and so is the motion.
  std::vector<double>& values = raw.channels.front();
  double sum = 0.0;
  for (double c : values) sum += c;
  const double mean = sum / static_cast<double>(values.size());
  const double gal_per_count = numerator / denominator;
  for (double& c : values) c = (c - mean) * gal_per_count;
  return raw;
}

}  // namespace motion::detail
