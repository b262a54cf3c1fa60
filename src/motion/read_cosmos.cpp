// COSMOS V2c and CSMIP .V2 records: headers of varying length, then per channel a data
// descriptor that states the point count, the unit and the Fortran layout of the values.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>

#include "motion/parsing.h"

namespace motion::detail {
namespace {

constexpr double cosmos_unknown = -999.0;
constexpr std::size_t cosmos_sampling_interval_ms = 61;  // 0-based index of real-header value 62
constexpr std::size_t cosmos_orientation_index = 53;     // 0-based index of integer-header value 54
constexpr double cosmos_counts = 50;                        // the unit code of raw recorder counts
// Integer-header value 1, the processing stage: 0 raw counts (V0), 1 uncorrected (V1), 2 corrected.
constexpr double cosmos_stage_raw = 0, cosmos_stage_uncorrected = 1;

bool contains(std::string_view line, std::string_view word) {
  return find_nocase(line, word) != std::string_view::npos;
}

// " 100 Integer-header values follow on  10 lines, Format= (10I8)": how many values, in which layout.
struct Announcement {
  std::size_t count = 0;
  FieldLayout layout;
};

std::optional<Announcement> announcement(std::string_view line) {
  double count = 0.0;
  const std::size_t format_at = find_nocase(line, "format");
  if (!first_number_after(line, 0, count) || count < 1 || count > 10000 || format_at == std::string_view::npos)
    return std::nullopt;
  const auto layout = field_layout(line.substr(format_at));
  if (!layout) return std::nullopt;
  return Announcement{static_cast<std::size_t>(count), *layout};
}

std::optional<Unit> cosmos_unit_code(double code) {
  if (code == 2) return Unit::g;
  if (code == 4 || code == 10) return Unit::cm_s2;
  if (code == 7) return Unit::in_s2;
  if (code == 11) return Unit::milli_g;
  return std::nullopt;
}

std::size_t find_line(const Context& context, std::size_t from, std::size_t to, std::string_view word) {
  for (std::size_t i = from; i < std::min(to, context.size()); ++i)
    if (contains(context.line(i), word)) return i;
  return Context::npos;
}

// One header block announced on line `at`: its values, the index of the line after them.
bool read_header_block(Context& context, std::size_t at, std::string_view what, std::vector<double>& values,
                       std::size_t& next) {
  const auto announced = announcement(context.line(at));
  if (!announced) {
    context.fail("the " + std::string(what) + " announcement cannot be read", at);
    return false;
  }
  ValueLines block = read_value_lines(context, at + 1, announced->layout, announced->count);
  if (block.values.size() < announced->count) {
    context.fail("the " + std::string(what) + " holds " + std::to_string(block.values.size()) + " of its " +
                     std::to_string(announced->count) + " values",
                 block.end);
    return false;
  }
  values = std::move(block.values);
  next = block.end;
  return true;
}

// The descriptor "42000 acceleration pts, approx 210 secs, units=cm/sec2(04),Format=(1E15.6)".
struct CosmosDescriptor {
  std::size_t count = 0;
  bool acceleration = true;
  bool counts = false;  // raw recorder counts: no unit of acceleration at all
  std::optional<Unit> unit;
  std::optional<FieldLayout> layout;
};

std::optional<CosmosDescriptor> cosmos_descriptor(std::string_view line) {
  double count = 0.0;
  CosmosDescriptor d;
  if (!contains(line, "pts") || !first_number_after(line, 0, count) || !whole_count(count, d.count) || d.count == 0)
    return std::nullopt;
  d.acceleration = !contains(line, "veloc") && !contains(line, "displ");
  const std::size_t units_at = find_nocase(line, "units=");
  if (units_at != std::string_view::npos) {
    const std::string_view rest = line.substr(units_at + 6);
    const std::size_t open = rest.find('(');
    double code = 0.0;
    if (open != std::string_view::npos && first_number_after(rest.substr(open, 4), 0, code)) d.unit = cosmos_unit_code(code);
    const std::string_view unit_text = rest.substr(0, std::min({open, rest.find(','), rest.size()}));
    if (!d.unit) d.unit = unit_from_text(unit_text);
    d.counts = code == cosmos_counts || contains(unit_text, "count");
  }
  const std::size_t format_at = find_nocase(line, "format");
  if (format_at != std::string_view::npos) d.layout = field_layout(line.substr(format_at));
  return d;
}

// The values of one channel's block from line `first`: true when read (or knowingly skipped).
bool read_channel_values(Context& context, std::size_t first, std::size_t count, const std::optional<FieldLayout>& layout,
                         std::initializer_list<std::string_view> end_markers, ValueLines& block) {
  block = read_value_lines(context, first, layout, count);
  const bool at_marker = block.end >= context.size() ||
                         std::any_of(end_markers.begin(), end_markers.end(),
                                     [&](std::string_view m) { return contains(context.line(block.end), m); });
  if (block.values.size() < count && !at_marker) {
    context.fail("not a value: \"" + std::string(trim(context.line(block.end))) + "\"", block.end);
    return false;
  }
  return hold_to_count(context, block.values, count, "the descriptor's point count",
                       block.end == 0 ? 0 : block.end - 1);
}

// Channels of equal time step become the record's components.
void add_channel(Context& context, RawRecord& raw, std::vector<double> values, double dt, std::optional<Unit> unit,
                 LineSpan lines, std::size_t descriptor_line, Orientation orientation) {
  if (!raw.channels.empty() && (dt != raw.time_step || unit != raw.unit)) {
    context.fail("this channel's time step or unit differs from the first channel's", descriptor_line);
    return;
  }
  raw.time_step = dt;
  raw.unit = unit;
  raw.channels.push_back(std::move(values));
  raw.data_lines.push_back(lines);
  raw.orientations.push_back(std::move(orientation));
}

// The name of a channel in its text header, "Chan  2:  Up" or "Sta Chan   1:  90 deg (Rcrdr Chan  1)":
// the nearest such line before `before` and not before `from`.
Orientation named_channel(const Context& context, std::size_t from, std::size_t before) {
  for (std::size_t i = std::min(before, context.size()); i-- > from;) {
    const std::string_view line = context.line(i);
    for (std::size_t at = find_nocase(line, "chan"); at != std::string_view::npos; at = find_nocase(line, "chan", at + 4)) {
      std::size_t k = at + 4;
      while (k < line.size() && line[k] == ' ') ++k;
      const std::size_t digits = k;
      while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k]))) ++k;
      while (k < line.size() && line[k] == ' ') ++k;
      if (k == digits || k >= line.size() || line[k] != ':') continue;
      std::string_view name = trim(line.substr(k + 1));
      name = trim(name.substr(0, std::min({name.find("  "), name.find('('), name.size()})));
      if (!name.empty()) return {std::string(name), axis_of_name(name)};
    }
  }
  return {};
}

// Integer-header value 54: the sensor's azimuth 0..360, or a code of another direction.
std::optional<Orientation> cosmos_orientation(const std::vector<double>& integers) {
  if (integers.size() <= cosmos_orientation_index) return std::nullopt;
  const double code = integers[cosmos_orientation_index];
  if (code >= 0 && code <= 360 && code == std::floor(code)) return Orientation{number_text(code) + " deg", Axis::horizontal};
  struct Named {
    double code;
    const char* name;
    Axis axis;
  };
  static constexpr Named codes[] = {{400, "Up", Axis::vertical},           {401, "Down", Axis::vertical},
                                    {402, "Vertical", Axis::vertical},     {500, "Radial", Axis::horizontal},
                                    {501, "Transverse", Axis::horizontal}, {600, "Longitudinal", Axis::horizontal},
                                    {601, "Tangential", Axis::horizontal}, {700, "H1", Axis::horizontal},
                                    {701, "H2", Axis::horizontal}};
  for (const Named& n : codes)
    if (n.code == code) return Orientation{n.name, n.axis};
  return std::nullopt;
}

struct CosmosHeaders {
  std::vector<double> integers;
  std::vector<double> reals;
};

// The text lines, the integer and real headers and the comments of the channel that begins on
// line `h`; the index of the line after them (the data descriptor), npos when refused.
std::size_t read_cosmos_headers(Context& context, std::size_t h, CosmosHeaders& headers) {
  double text_lines = 0.0;
  std::size_t text_count = 0;
  const std::string_view first = context.line(h);
  const std::size_t with_at = find_nocase(first, "with");
  if (with_at == std::string_view::npos || !first_number_after(first, with_at, text_lines) ||
      !whole_count(text_lines, text_count) || text_count == 0 || text_count > context.size()) {
    context.fail("the number of text lines cannot be read", h);
    return Context::npos;
  }
  const std::size_t integer_at = find_line(context, h + text_count, h + text_count + 3, "Integer-header values follow");
  if (integer_at == Context::npos) {
    context.fail("no \"Integer-header values follow\" line after the " + number_text(text_lines) + " text lines", h);
    return Context::npos;
  }
  std::size_t next = 0;
  if (!read_header_block(context, integer_at, "integer header", headers.integers, next)) return Context::npos;
  if (next >= context.size() || !contains(context.line(next), "Real-header values follow")) {
    context.fail("no \"Real-header values follow\" line after the integer header", next);
    return Context::npos;
  }
  if (!read_header_block(context, next, "real header", headers.reals, next)) return Context::npos;
  double comments = 0.0;
  std::size_t comment_count = 0;
  if (next < context.size() && contains(context.line(next), "Comment line") &&
      first_number_after(context.line(next), 0, comments) && whole_count(comments, comment_count))
    next += 1 + std::min(comment_count, context.size());
  while (next < context.size() && trim(context.line(next)).starts_with('|')) ++next;
  return next;
}

// The sampling interval stands in milliseconds in one place only; other real-header values
// can hold numbers of the same size that are no time step.
std::optional<double> cosmos_time_step(Context& context, const CosmosHeaders& headers, std::size_t at) {
  const std::vector<double>& reals = headers.reals;
  const double interval_ms = reals.size() > cosmos_sampling_interval_ms ? reals[cosmos_sampling_interval_ms] : cosmos_unknown;
  if (interval_ms > 0.0 && interval_ms != cosmos_unknown) return interval_ms / 1000.0;
  if (!context.options().time_step) context.fail("the sampling interval (real-header value 62) is unknown: give the time step", at);
  return context.options().time_step;
}

// One COSMOS channel from its first line `h`; the index of the line after it, npos when refused.
std::size_t read_cosmos_channel(Context& context, RawRecord& raw, std::size_t h) {
  CosmosHeaders headers;
  const std::size_t at = read_cosmos_headers(context, h, headers);
  if (at == Context::npos) return Context::npos;
  const auto descriptor = at < context.size() ? cosmos_descriptor(context.line(at)) : std::nullopt;
  if (!descriptor) {
    context.fail("no data descriptor (\"N acceleration pts, ... Format=(...)\") after the headers", at);
    return Context::npos;
  }
  const std::optional<double> dt = cosmos_time_step(context, headers, at);
  if (!dt) return Context::npos;
  const std::vector<double>& integers = headers.integers;
  const std::string_view data_type = context.line(h).substr(0, 25);
  const double stage = integers.empty() ? cosmos_unknown : integers[0];
  if (descriptor->counts || contains(data_type, "count") || stage == cosmos_stage_raw) {
    context.fail("the channel holds the recorder's raw counts, not an acceleration: read the record's corrected (V2) "
                 "file",
                 at);
    return Context::npos;
  }
  if (contains(data_type, "uncorrected") || stage == cosmos_stage_uncorrected)
    context.warn("uncorrected acceleration (V1): read as it is, without the baseline correction and filtering of "
                 "processed data");
  std::optional<Unit> unit = descriptor->unit;
  if (!unit && integers.size() > 2) unit = cosmos_unit_code(integers[2]);
  const bool acceleration = descriptor->acceleration && !(integers.size() > 1 && (integers[1] == 2 || integers[1] == 3));

  ValueLines block;
  if (!read_channel_values(context, at + 1, descriptor->count, descriptor->layout, {"End-of-data"}, block))
    return Context::npos;
  const Orientation orientation = cosmos_orientation(integers).value_or(named_channel(context, h, at));
  if (acceleration) add_channel(context, raw, std::move(block.values), *dt, unit, {at + 2, block.end}, at, orientation);
  return block.end;
}

// CSMIP: " 13000 points of accel data equally spaced at 0.005 sec, in cm/sec2. (8f10.6)".
struct CsmipDescriptor {
  std::size_t count = 0;
  bool acceleration = false;
  double dt = 0.0;
  std::optional<Unit> unit;
  std::optional<FieldLayout> layout;
};

// Uncorrected volumes give the rate instead of the step:
// " 13200 Accelerogram points at 200 pts/sec in units of g .      Format: (8f9.6)".
std::optional<CsmipDescriptor> csmip_rate_descriptor(std::string_view line) {
  const std::size_t points_at = find_nocase(line, "accelerogram points at");
  const std::size_t rate_at = find_nocase(line, "pts/sec");
  double count = 0.0, rate = 0.0;
  CsmipDescriptor d;
  if (points_at == std::string_view::npos || rate_at == std::string_view::npos ||
      !first_number_after(line.substr(0, points_at), 0, count) || !whole_count(count, d.count) || d.count == 0 ||
      !first_number_after(line.substr(0, rate_at), points_at, rate) || !(rate > 0.0))
    return std::nullopt;
  d.acceleration = true;
  d.dt = 1.0 / rate;
  const std::size_t open = line.rfind('(');
  if (const std::size_t units_at = find_nocase(line, "units of", rate_at); units_at != std::string_view::npos) {
    const std::size_t format_at = find_nocase(line, "format", units_at);
    std::string_view unit_text = trim(line.substr(units_at + 8, (format_at == std::string_view::npos ? line.size() : format_at) - units_at - 8));
    while (!unit_text.empty() && (unit_text.back() == '.' || unit_text.back() == ',' || unit_text.back() == ' ')) unit_text.remove_suffix(1);
    d.unit = unit_from_text(unit_text);
  }
  if (open != std::string_view::npos && open > rate_at) d.layout = field_layout(line.substr(open));
  return d;
}

std::optional<CsmipDescriptor> csmip_descriptor(std::string_view line) {
  if (auto d = csmip_rate_descriptor(line)) return d;
  const std::size_t points_at = find_nocase(line, "points of");
  const std::size_t spaced_at = find_nocase(line, "spaced at");
  double count = 0.0;
  CsmipDescriptor d;
  if (points_at == std::string_view::npos || spaced_at == std::string_view::npos ||
      !first_number_after(line.substr(0, points_at), 0, count) || !whole_count(count, d.count) || d.count == 0)
    return std::nullopt;
  // "points of accel data", and in uncorrected volumes also "points of uncorrected accel data".
  const std::string_view kind = line.substr(points_at + 9, std::min(find_nocase(line, "data", points_at), spaced_at) - points_at - 9);
  d.acceleration = contains(kind, "accel");
  std::size_t dt_end = 0;
  if (!first_number_after(line, spaced_at, d.dt, &dt_end)) return std::nullopt;
  const std::size_t in_at = find_nocase(line, " in ", dt_end);
  const std::size_t open = line.rfind('(');
  if (in_at != std::string_view::npos) {
    std::string_view unit_text = trim(line.substr(in_at + 4, (open == std::string_view::npos ? line.size() : open) - in_at - 4));
    while (!unit_text.empty() && (unit_text.back() == '.' || unit_text.back() == ',')) unit_text.remove_suffix(1);
    d.unit = unit_from_text(unit_text);
  }
  // The older layout: "... SPACED AT  .020 SEC.  (UNITS: CM/SEC/SEC)".
  if (const std::size_t units_at = find_nocase(line, "units", dt_end); !d.unit && units_at != std::string_view::npos)
    d.unit = unit_after_key(line.substr(units_at + 5));
  if (open != std::string_view::npos && open > spaced_at) d.layout = field_layout(line.substr(open));
  return d;
}

// The unit of "PEAK ACCELERATION = 171.589 CM/SEC/SEC" in a text header, for descriptors that
// state none.
std::optional<Unit> csmip_peak_unit(const Context& context, std::size_t before) {
  for (std::size_t i = 0; i < before; ++i) {
    const std::string_view line = context.line(i);
    const std::size_t at = find_nocase(line, "peak acceleration");
    double peak = 0.0;
    std::size_t end = 0;
    if (at == std::string_view::npos || !first_number_after(line, at, peak, &end)) continue;
    std::string_view rest = trim(line.substr(end));
    rest = rest.substr(0, std::min(rest.find_first_of(" \t,;"), rest.size()));
    if (const auto unit = unit_from_text(rest)) return unit;
  }
  return std::nullopt;
}

}  // namespace

bool looks_like_cosmos(const Context& context) {
  if (context.size() > 0 && contains(context.line(0), "(Format v")) return true;
  return find_line(context, 0, 60, "Integer-header values follow") != Context::npos;
}

bool looks_like_csmip(const Context& context) {
  for (std::size_t i = 0; i < std::min<std::size_t>(context.size(), 200); ++i)
    if (const auto d = csmip_descriptor(context.line(i)); d && d->acceleration) return true;
  return false;
}

bool looks_like_csmip_volume(const Context& context) {
  const CsmipVolume volume = csmip_volume(context);
  return volume != CsmipVolume::unknown;
}

CsmipVolume csmip_volume(const Context& context) {
  // The first line of each channel's text header names the volume.
  const std::string_view first = context.size() > 0 ? trim(context.line(0)) : std::string_view();
  if (starts_with_nocase(first, "Uncorrected accelerogram")) return CsmipVolume::uncorrected;
  if (starts_with_nocase(first, "Corrected accelerogram")) return CsmipVolume::corrected;
  if (contains(first, "spectra") && !contains(first, "(Format v")) return CsmipVolume::spectra;
  const std::string extension = context.options().file_extension;
  if (extension == ".v1" || extension == ".V1") return CsmipVolume::uncorrected;
  if (extension == ".v3" || extension == ".V3") return CsmipVolume::spectra;
  return CsmipVolume::unknown;
}

RawRecord read_cosmos(Context& context) {
  RawRecord raw;
  std::size_t h = find_line(context, 0, context.size(), "(Format v");
  if (h == Context::npos) {
    context.fail("no COSMOS header line (\"... (Format v01.20 with N text lines)\")");
    return raw;
  }
  while (h != Context::npos && !context.failed()) {
    const std::size_t next = read_cosmos_channel(context, raw, h);
    if (next == Context::npos) break;
    h = find_line(context, next, context.size(), "(Format v");
  }
  if (!context.failed() && raw.channels.empty()) context.fail("the file holds no acceleration channel");
  return raw;
}

RawRecord read_csmip(Context& context) {
  RawRecord raw;
  const CsmipVolume volume = csmip_volume(context);
  if (volume == CsmipVolume::spectra) {
    context.fail("a CSMIP Vol. 3 file (.V3) holds response spectra, not a time history: read the record's .V2 file");
    return raw;
  }
  std::size_t header_from = 0;  // where the channel's text header can begin
  for (std::size_t i = 0; i < context.size() && !context.failed(); ++i) {
    const auto descriptor = csmip_descriptor(context.line(i));
    if (!descriptor || !descriptor->acceleration) continue;
    if (!(descriptor->dt > 0.0 && std::isfinite(descriptor->dt))) {
      context.fail("the time step is not positive", i);
      break;
    }
    ValueLines block;
    if (!read_channel_values(context, i + 1, descriptor->count, descriptor->layout, {"points of", "/&", "End of data"}, block))
      break;
    const std::optional<Unit> unit = descriptor->unit ? descriptor->unit : csmip_peak_unit(context, i);
    add_channel(context, raw, std::move(block.values), descriptor->dt, unit, {i + 2, block.end}, i,
                named_channel(context, header_from, i));
    header_from = block.end;
    i = block.end - 1;
  }
  if (context.failed()) return raw;
  if (raw.channels.empty()) {
    context.fail(volume == CsmipVolume::uncorrected
                     ? "a CSMIP Vol. 1 file (.V1) of uncorrected data without a descriptor \"N points of accel data "
                       "equally spaced at DT sec\": read the record's .V2 file"
                     : "no descriptor \"N points of accel data equally spaced at DT sec\" found");
    return raw;
  }
  if (volume == CsmipVolume::uncorrected)
    context.warn("uncorrected acceleration (Vol. 1): read as it is, without the baseline correction and filtering of "
                 "processed data");
  return raw;
}

}  // namespace motion::detail
