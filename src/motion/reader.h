// The time-history reader: ground-motion records (PEER NGA .AT2, COSMOS V2c, CSMIP .V2,
// ESM ASCII, K-NET / KiK-net) and columns of text or CSV, read into uniformly sampled
// components in a chosen unit. Bad input never throws: the result says what was wrong and where.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "motion/units.h"

namespace motion {

enum class Format {
  automatic,  // found from the file's content
  peer,       // PEER NGA .AT2: four header lines, NPTS and DT, values in g
  cosmos,     // COSMOS V2c: text, integer and real headers, a data descriptor per channel
  csmip,      // CSMIP .V2: a text header, then "N points of accel data equally spaced at DT sec"
  esm,        // ESM ASCII: KEY: value header lines, then one value a line
  knet,       // K-NET / KiK-net ASCII: 17 header lines by position, then integer counts
  columns,    // text or CSV: an optional time column and one to three value columns
};

// The name used on the command line ("peer", "cosmos", ...) and its reverse.
std::string_view format_name(Format format);
std::optional<Format> format_from_name(std::string_view name);
// A longer name for people ("PEER NGA (.AT2)", ...).
std::string_view format_title(Format format);

enum class Outcome {
  read,                // every value read; nothing to report
  read_with_warnings,  // read; the warnings say what was assumed, dropped or resampled
  refused,             // nothing usable; the errors say why
};

enum class Severity {
  warning,  // the record is usable, but not exactly as the file has it
  error,    // the record cannot be used
};

struct Problem {
  Severity severity = Severity::error;
  std::string text;
  std::size_t line = 0;  // 1-based line of the file; 0: the file as a whole
};

// How the warning of a raw record (read without the agency's correction) begins: a caller that
// processes the record itself has nothing left to warn of.
inline constexpr std::string_view uncorrected_warning = "uncorrected acceleration";
inline bool says_uncorrected(const Problem& p) {
  return p.severity == Severity::warning && p.text.starts_with(uncorrected_warning);
}

// Lines first..last (1-based, inclusive) hold values; the rest is header, comment or structure.
struct LineSpan {
  std::size_t first = 0;
  std::size_t last = 0;
};

struct ReadOptions {
  Format format = Format::automatic;
  // The file's unit where the format does not state it (columns; a header without one).
  // Without it such values are taken as they are, in the target unit.
  std::optional<Unit> file_unit;
  TargetUnit target;
  double scale = 1.0;
  // Columns: the first data line (1-based); 0 finds it after the header lines.
  std::size_t first_line = 0;
  // Columns: the time column (1-based, 0: none); empty: the first column when the data lines have
  // more than one and no time step is given.
  std::optional<std::size_t> time_column;
  // Value columns (1-based, at most three); for files of several channels, the channels.
  // Empty: every column but the time column, or every channel, up to three.
  std::vector<std::size_t> value_columns;
  // The time step when the file gives no times (columns without a time column).
  std::optional<double> time_step;
  // Resample linearly onto this uniform step; an uneven record without it is resampled onto
  // its smallest step.
  std::optional<double> resample_step;
  // The extension of the file's name (".V1"): it tells the volumes of CSMIP data apart where
  // their content does not. read_motion_file takes it from the path.
  std::string file_extension;
};

// What a file says of a component's direction.
enum class Axis { unknown, horizontal, vertical };
struct Orientation {
  std::string name;  // as the file names the component ("360 Deg", "Up", "HNZ", "E-W"); may be empty
  Axis axis = Axis::unknown;
};
// The axis a component's name stands for: vertical for "Up", "Down", "UD", "U-D", "V", "Z",
// "HNZ" and the like, horizontal for an azimuth ("360 Deg", "090", "N45E") or "NS", "E-W", "HN1",
// "X", "L", "T" and the like; unknown for anything else.
Axis axis_of_name(std::string_view name);

// Where a record's unit came from.
enum class UnitSource {
  none,     // nowhere: the values are taken as they are
  file,     // the file states it
  format,   // the file states none and its format has one (PEER: g)
  options,  // the reading options give it
};

struct Record {
  Format format = Format::automatic;  // the format the file was read as
  double start_time = 0.0;           // s, time of the first point
  double time_step = 0.0;            // s, uniform
  // One to three components of equal length, in `unit`, scale applied.
  std::vector<std::vector<double>> components;
  std::string unit;                  // name of the target unit
  std::optional<Unit> file_unit;     // the unit the values were converted from; none: not converted
  UnitSource unit_source = UnitSource::none;  // of file_unit
  std::vector<LineSpan> data_lines;  // where the values stand in the file
  std::vector<Orientation> orientations;  // one per component

  std::size_t point_count() const { return components.empty() ? 0 : components.front().size(); }
  double time(std::size_t i) const { return start_time + static_cast<double>(i) * time_step; }
  double duration() const { return point_count() < 2 ? 0.0 : time(point_count() - 1) - start_time; }
};

struct ReadResult {
  Outcome outcome = Outcome::refused;
  Record record;                  // empty when refused
  std::vector<Problem> problems;  // warnings and errors in the order found
};

// The format a file's content looks like (never Format::automatic; columns when nothing else fits).
Format detect_format(std::string_view content);

ReadResult read_motion_text(std::string_view content, const ReadOptions& options);
// Regular files only, of a size a record can have; a file that cannot be read is refused.
ReadResult read_motion_file(const std::string& path, const ReadOptions& options);

// The components a record's spectra combine and its factor is found on (0-based): the first two
// that are not marked vertical, else the one not so marked, else the first. A vertical
// component is never one of a horizontal pair.
std::vector<std::size_t> horizontal_components(const std::vector<Orientation>& orientations, std::size_t count);
// Those components and the vertical ones in words: "1 (360 Deg) and 3 (90 Deg); vertical: 2 (Up)".
std::string horizontal_components_text(const std::vector<Orientation>& orientations, std::size_t count);

// The point of largest magnitude (the first of equals) of one component.
struct Peak {
  double value = 0.0;
  std::size_t index = 0;
};
Peak peak_of(const std::vector<double>& values);

}  // namespace motion
