// PEER NGA records: a title, the event, the quantity and its unit, a line with the point count
// and the time step in one of several spellings, then the values in rows.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "motion/parsing.h"
#include "text/number_parse.h"

namespace motion::detail {
namespace {

constexpr std::size_t header_search_lines = 10;

bool is_letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::size_t npts_line(const Context& context) {
  const std::size_t n = std::min(context.size(), header_search_lines);
  for (std::size_t i = 0; i < n; ++i)
    if (find_nocase(context.line(i), "NPTS") != std::string_view::npos) return i;
  return Context::npos;
}

// The number after the word `key` and an optional "=" or ":" ("DT= .0100", "NPTS=4000",
// "DT:0.01"); a key inside a longer word does not count.
bool keyed_number(std::string_view line, std::string_view key, double& value) {
  for (std::size_t pos = find_nocase(line, key); pos != std::string_view::npos; pos = find_nocase(line, key, pos + 1)) {
    std::size_t i = pos + key.size();
    if ((pos > 0 && is_letter(line[pos - 1])) || (i < line.size() && is_letter(line[i]))) continue;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && (line[i] == '=' || line[i] == ':')) ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t length = number_length(line.substr(i));
    if (length > 0 && text::parse_real(line.substr(i, length), value)) return true;
  }
  return false;
}

// The older spelling "4000    0.0100    NPTS, DT": the bare numbers in the order of the words.
bool ordered_numbers(std::string_view line, double& npts, double& dt) {
  double first = 0.0, second = 0.0;
  std::size_t end = 0;
  if (!first_number_after(line, 0, first, &end) || !first_number_after(line, end, second)) return false;
  const bool npts_first = find_nocase(line, "NPTS") < find_nocase(line, "DT");
  npts = npts_first ? first : second;
  dt = npts_first ? second : first;
  return true;
}

// The unit the header names: "IN UNITS OF G.", "UNITS OF CM/S/S,", and in files written by other
// tools "The units are (g)", "Acceleration in g". The title and the event line are free text, where
// "in" need not name a unit.
std::optional<Unit> stated_unit(const Context& context, std::size_t header_end) {
  for (std::string_view key : {"UNITS", "UNIT", " IN "})
    for (std::size_t i = key == " IN " ? 2 : 0; i < header_end; ++i) {
      const std::string_view line = context.line(i);
      for (std::size_t at = find_nocase(line, key); at != std::string_view::npos; at = find_nocase(line, key, at + 1))
        if (const auto unit = unit_after_key(line.substr(at + key.size()))) return unit;
    }
  return std::nullopt;
}

bool holds_other_quantity(const Context& context, std::size_t header_end) {
  for (std::size_t i = 0; i < header_end; ++i) {
    const std::string_view line = context.line(i);
    if (find_nocase(line, "ACCELERATION") != std::string_view::npos) return false;
    if (find_nocase(line, "VELOCITY") != std::string_view::npos ||
        find_nocase(line, "DISPLACEMENT") != std::string_view::npos)
      return true;
  }
  return false;
}

}  // namespace

bool looks_like_peer(const Context& context) {
  const std::size_t at = npts_line(context);
  return at != Context::npos && find_nocase(context.line(at), "DT") != std::string_view::npos;
}

RawRecord read_peer(Context& context) {
  RawRecord raw;
  const std::size_t at = npts_line(context);
  if (at == Context::npos) {
    context.fail("no line with NPTS and DT among the first " + std::to_string(header_search_lines) + " lines");
    return raw;
  }
  const std::string_view line = context.line(at);
  double npts = 0.0, dt = 0.0;
  if (!(keyed_number(line, "NPTS", npts) && keyed_number(line, "DT", dt)) && !ordered_numbers(line, npts, dt)) {
    context.fail("the point count and time step cannot be read from this line", at);
    return raw;
  }
  if (!(npts >= 1 && npts < 1e12 && npts == std::floor(npts))) {
    context.fail("NPTS is not a positive whole number: " + number_text(npts), at);
    return raw;
  }
  if (!(dt > 0.0 && std::isfinite(dt))) {
    context.fail("DT is not a positive time step: " + number_text(dt), at);
    return raw;
  }
  if (holds_other_quantity(context, at)) {
    context.fail("the file holds a velocity or displacement history, not accelerations");
    return raw;
  }
  raw.unit = stated_unit(context, at);
  if (!raw.unit && !context.options().file_unit) {
    raw.unit = Unit::g;
    raw.unit_assumed = true;
    context.warn("the header states no unit: g assumed");
  }
  const auto count = static_cast<std::size_t>(npts);
  ValueLines block = read_value_lines(context, at + 1, std::nullopt, count);
  if (block.end < context.size()) {
    if (block.values.size() < count) {
      context.fail("not a value: \"" + std::string(trim(context.line(block.end))) + "\"", block.end);
      return raw;
    }
    context.warn("text after the values ignored", block.end);
  }
  if (!hold_to_count(context, block.values, count, "NPTS", block.end - 1)) return raw;
  raw.time_step = dt;
  raw.channels.push_back(std::move(block.values));
  // "Imperial Valley-06, 10/15/1979, El Centro Array #12, 140": the component ends the second
  // line. Files of other tools may have anything there: only a name that says a direction counts.
  if (at > 1) {
    const std::string_view second = context.line(1);
    const std::size_t comma = second.rfind(',');
    const std::string_view last = comma == std::string_view::npos ? std::string_view() : trim(second.substr(comma + 1));
    if (const Axis axis = axis_of_name(last); axis != Axis::unknown) raw.orientations.push_back({std::string(last), axis});
  }
  raw.data_lines.push_back({at + 2, block.end});
  return raw;
}

}  // namespace motion::detail
