// Columns of numbers from a spreadsheet or another program: header lines, "#" comments, a
// separator found from the first data line, an optional time column, one to three value columns.
#include <algorithm>
#include <optional>
#include <string>

#include "motion/parsing.h"

namespace motion::detail {
namespace {

constexpr std::size_t max_value_columns = 3;

enum class Separator { comma, semicolon, tab, blanks };

std::string_view without_comment(std::string_view line) { return trim(line.substr(0, line.find('#'))); }

// A field's number; a comma is a decimal mark here, as only a separator other than the comma
// lets it be one ("0,25" from a locale that writes decimal commas).
bool field_number(std::string_view field, bool decimal_comma, double& value) {
  field = trim(field);
  const std::size_t comma = field.find(',');
  if (comma == std::string_view::npos) return to_number(field, value);
  if (!decimal_comma || field.find(',', comma + 1) != std::string_view::npos || field.find('.') != std::string_view::npos)
    return false;
  std::string copy(field);
  copy[comma] = '.';
  return to_number(copy, value);
}

bool split_fields(std::string_view line, Separator separator, std::vector<double>& fields) {
  fields.clear();
  double value = 0.0;
  if (separator == Separator::blanks) {
    for (std::size_t pos = 0; pos < line.size();) {
      if (line[pos] == ' ' || line[pos] == '\t') {
        ++pos;
        continue;
      }
      const std::size_t end = std::min(line.find_first_of(" \t", pos), line.size());
      if (!field_number(line.substr(pos, end - pos), true, value)) return false;
      fields.push_back(value);
      pos = end;
    }
    return !fields.empty();
  }
  const char mark = separator == Separator::comma ? ',' : separator == Separator::semicolon ? ';' : '\t';
  for (std::size_t pos = 0; pos <= line.size();) {
    const std::size_t end = std::min(line.find(mark, pos), line.size());
    const std::string_view field = trim(line.substr(pos, end - pos));
    const bool last = end == line.size();
    if (field.empty() && last && !fields.empty()) break;  // a separator ending the line
    if (!field_number(field, separator != Separator::comma, value)) return false;
    fields.push_back(value);
    pos = end + 1;
  }
  return !fields.empty();
}

Separator separator_of(std::string_view line) {
  if (line.find(';') != std::string_view::npos) return Separator::semicolon;
  if (line.find('\t') != std::string_view::npos) return Separator::tab;
  std::vector<double> fields;
  if (line.find(',') != std::string_view::npos && split_fields(line, Separator::comma, fields)) return Separator::comma;
  return Separator::blanks;
}

struct Columns {
  std::size_t time = 0;  // 1-based, 0: none
  std::vector<std::size_t> values;
};

bool choose_columns(Context& context, std::size_t field_count, std::size_t line, Columns& columns) {
  const ReadOptions& options = context.options();
  if (options.time_column) {
    columns.time = *options.time_column;
  } else if (!options.time_step) {
    if (field_count < 2) {
      context.fail("one column and no time step: give the time step", line);
      return false;
    }
    columns.time = 1;
  }
  if (columns.time > field_count) {
    context.fail("no time column " + std::to_string(columns.time) + ": the line has " + std::to_string(field_count) + " columns", line);
    return false;
  }
  if (columns.time == 0 && !options.time_step) {
    context.fail("no time column and no time step: give the time step", line);
    return false;
  }
  if (columns.time > 0 && options.time_step) context.warn("the time column gives the times; the given time step is not used");
  columns.values = options.value_columns;
  if (columns.values.empty()) {
    for (std::size_t c = 1; c <= field_count; ++c)
      if (c != columns.time) columns.values.push_back(c);
    if (columns.values.size() > max_value_columns) {
      context.warn(std::to_string(columns.values.size()) + " value columns: the first three taken", line);
      columns.values.resize(max_value_columns);
    }
  }
  for (std::size_t c : columns.values)
    if (c == 0 || c > field_count || c == columns.time) {
      context.fail("column " + std::to_string(c) + " is not a value column of this line (" + std::to_string(field_count) + " columns)", line);
      return false;
    }
  if (columns.values.empty()) context.fail("no value column", line);
  return !columns.values.empty();
}

// The first data line: the given one, or the first whose fields are all numbers.
std::size_t first_data_line(const Context& context) {
  if (context.options().first_line > 0) return context.options().first_line - 1;
  std::vector<double> fields;
  for (std::size_t i = 0; i < context.size(); ++i) {
    const std::string_view line = without_comment(context.line(i));
    if (!line.empty() && split_fields(line, separator_of(line), fields)) return i;
  }
  return context.size();
}

// The units a header line names, one a field: "Time[s] Accel[g]", "t (s), a (m/s2)",
// "acc [cm/s^2]", "cm/s^2"; a field naming no unit of acceleration (a time, a name) gives none.
struct HeaderUnit {
  std::optional<Unit> unit;
  bool bracketed = false;  // "[g]", "(m/s2)": surely a unit, where a bare "g" could be a name
  std::string_view name;   // the field before its bracket: "UD" of "UD [g]"
};

std::vector<HeaderUnit> header_units(std::string_view header) {
  const char mark = header.find(';') != std::string_view::npos    ? ';'
                    : header.find('\t') != std::string_view::npos ? '\t'
                    : header.find(',') != std::string_view::npos   ? ','
                                                                   : ' ';
  std::vector<HeaderUnit> units;
  for (std::size_t pos = 0; pos < header.size();) {
    const std::size_t end = std::min(header.find(mark, pos), header.size());
    std::string_view field = trim(header.substr(pos, end - pos));
    pos = end + 1;
    if (field.empty()) continue;
    const std::size_t open = field.find_first_of("[(");
    const std::string_view name = trim(field.substr(0, open));
    if (open != std::string_view::npos) {
      const std::size_t close = field.find_first_of("])", open);
      field = field.substr(open + 1, (close == std::string_view::npos ? field.size() : close) - open - 1);
    }
    units.push_back({unit_from_text(trim(field)), open != std::string_view::npos, name});
  }
  return units;
}

// The line above the first data line (a comment line too), without its "#"; none at the top.
std::optional<std::string_view> header_line(const Context& context, std::size_t first_data) {
  std::size_t h = first_data;
  while (h > 0 && trim(context.line(h - 1)).empty()) --h;
  if (h == 0) return std::nullopt;
  std::string_view header = trim(context.line(h - 1));
  while (header.starts_with('#')) header = trim(header.substr(1));
  return header;
}

// The value columns' names from a header of one name a column ("Time, NS, EW, UD").
std::vector<Orientation> column_orientations(const Context& context, std::size_t first_data, std::size_t field_count,
                                             const std::vector<std::size_t>& value_columns) {
  const std::optional<std::string_view> header = header_line(context, first_data);
  if (!header) return {};
  const std::vector<HeaderUnit> fields = header_units(*header);
  if (fields.size() != field_count) return {};
  std::vector<Orientation> orientations;
  for (std::size_t c : value_columns) orientations.push_back({std::string(fields[c - 1].name), axis_of_name(fields[c - 1].name)});
  return orientations;
}

// The unit of the value columns from the line above the first data line (a comment line too);
// none when that line names none, or names different units for different value columns.
std::optional<Unit> column_unit(Context& context, std::size_t first_data, std::size_t field_count,
                                const std::vector<std::size_t>& value_columns) {
  std::size_t h = first_data;
  while (h > 0 && trim(context.line(h - 1)).empty()) --h;
  if (h == 0) return std::nullopt;
  std::string_view header = trim(context.line(h - 1));
  while (header.starts_with('#')) header = trim(header.substr(1));
  const std::vector<HeaderUnit> units = header_units(header);
  std::vector<Unit> named;
  if (units.size() == field_count) {
    for (std::size_t c : value_columns)
      if (units[c - 1].unit) named.push_back(*units[c - 1].unit);
  } else {
    // Blanks inside a field's name ("acc (m/s2)" in a blank-separated header) leave the fields
    // unmatched to the columns, or the line is a title: every unit in brackets counts.
    for (const HeaderUnit& u : units)
      if (u.unit && u.bracketed) named.push_back(*u.unit);
  }
  if (named.empty()) return std::nullopt;
  for (Unit unit : named)
    if (unit != named.front()) {
      context.warn("the header names different units for the value columns: none used", h - 1);
      return std::nullopt;
    }
  return named.front();
}

}  // namespace

RawRecord read_columns(Context& context) {
  RawRecord raw;
  std::size_t i = first_data_line(context);
  while (i < context.size() && without_comment(context.line(i)).empty()) ++i;
  if (i >= context.size()) {
    context.fail("no line of numbers found");
    return raw;
  }
  const Separator separator = separator_of(without_comment(context.line(i)));
  std::vector<double> fields;
  if (!split_fields(without_comment(context.line(i)), separator, fields)) {
    context.fail("the first data line is not a line of numbers", i);
    return raw;
  }
  const std::size_t field_count = fields.size();
  Columns columns;
  if (!choose_columns(context, field_count, i, columns)) return raw;
  const std::size_t needed = std::max(columns.time, *std::max_element(columns.values.begin(), columns.values.end()));
  raw.channels.resize(columns.values.size());
  const std::size_t first = i;
  std::size_t last = i;
  for (; i < context.size(); ++i) {
    const std::string_view line = without_comment(context.line(i));
    if (line.empty()) continue;
    if (!split_fields(line, separator, fields)) {
      context.fail("not a line of numbers: \"" + std::string(line) + "\"", i);
      return raw;
    }
    if (fields.size() < needed) {
      context.fail("the line has " + std::to_string(fields.size()) + " columns, " + std::to_string(needed) + " needed", i);
      return raw;
    }
    if (columns.time > 0) {
      const double t = fields[columns.time - 1];
      if (!raw.times.empty() && !(t > raw.times.back())) {
        context.fail("time " + number_text(t) + " does not follow " + number_text(raw.times.back()), i);
        return raw;
      }
      raw.times.push_back(t);
    }
    for (std::size_t k = 0; k < columns.values.size(); ++k) raw.channels[k].push_back(fields[columns.values[k] - 1]);
    last = i;
  }
  if (columns.time == 0) raw.time_step = *context.options().time_step;
  raw.unit = column_unit(context, first, field_count, columns.values);
  raw.orientations = column_orientations(context, first, field_count, columns.values);
  raw.data_lines.push_back({first + 1, last + 1});
  return raw;
}

}  // namespace motion::detail
