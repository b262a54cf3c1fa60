#include "motion/reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "files/regular_file.h"
#include "motion/parsing.h"

namespace motion {
namespace {

using detail::Context;
using detail::number_text;
using detail::RawRecord;

constexpr std::uintmax_t max_file_bytes = 256u << 20;  // a long three-component record is a few MB
// Far beyond any record (a 1000 Hz record of a quarter of an hour), small beside memory.
constexpr double max_resampled_points = 1e6;
// An uneven record resampled onto its smallest step may grow this many times the points read;
// more means one step is far shorter than the others (a time written twice, a typing slip),
// and the record would become mostly interpolated points.
constexpr double max_uneven_growth = 10.0;
constexpr std::size_t max_components = 3;
// No ground has moved at more than a few g; a value beyond this is a wrong unit or a damaged
// record, and shown as it is it would pass unnoticed into an analysis.
constexpr double implausible_acceleration_g = 100.0;
// Steps that differ by less than this share of the mean step are one step written with
// rounded times.
constexpr double even_step_tolerance = 1e-6;

struct FormatNames {
  Format format;
  std::string_view name;
  std::string_view title;
};
constexpr std::array format_names{
    FormatNames{Format::automatic, "auto", "found from the content"},
    FormatNames{Format::peer, "peer", "PEER NGA (.AT2)"},
    FormatNames{Format::cosmos, "cosmos", "COSMOS V2c"},
    FormatNames{Format::csmip, "csmip", "CSMIP .V2"},
    FormatNames{Format::esm, "esm", "ESM ASCII"},
    FormatNames{Format::knet, "knet", "K-NET / KiK-net ASCII"},
    FormatNames{Format::columns, "columns", "columns of text"},
};

Format detect(const Context& context) {
  if (detail::looks_like_knet(context)) return Format::knet;
  if (detail::looks_like_esm(context)) return Format::esm;
  if (detail::looks_like_cosmos(context)) return Format::cosmos;
  if (detail::looks_like_csmip(context)) return Format::csmip;
  if (detail::looks_like_peer(context)) return Format::peer;
  if (detail::looks_like_csmip_volume(context)) return Format::csmip;
  return Format::columns;
}

RawRecord read_format(Format format, Context& context) {
  switch (format) {
    case Format::peer: return detail::read_peer(context);
    case Format::cosmos: return detail::read_cosmos(context);
    case Format::csmip: return detail::read_csmip(context);
    case Format::esm: return detail::read_esm(context);
    case Format::knet: return detail::read_knet(context);
    case Format::automatic:
    case Format::columns: break;
  }
  return detail::read_columns(context);
}

bool positive(const std::optional<double>& v) { return !v || (*v > 0.0 && std::isfinite(*v)); }

bool check_options(Context& context) {
  const ReadOptions& o = context.options();
  if (!std::isfinite(o.scale)) context.fail("the scale factor is not a finite number");
  if (!positive(o.time_step)) context.fail("the time step is not a positive number");
  if (!positive(o.resample_step)) context.fail("the resampling step is not a positive number");
  if (o.value_columns.size() > max_components) context.fail("at most three value columns");
  return !context.failed();
}

// Channels of several-channel files: the chosen ones, or the first three.
void select_channels(Context& context, RawRecord& raw, Format format) {
  const std::vector<std::size_t>& chosen = context.options().value_columns;
  raw.orientations.resize(raw.channels.size());
  if (format == Format::columns) return;
  if (!chosen.empty()) {
    std::vector<std::vector<double>> picked;
    std::vector<Orientation> orientations;
    for (std::size_t c : chosen) {
      if (c == 0 || c > raw.channels.size()) {
        context.fail("no channel " + std::to_string(c) + ": the file has " + std::to_string(raw.channels.size()));
        return;
      }
      picked.push_back(raw.channels[c - 1]);
      orientations.push_back(raw.orientations[c - 1]);
    }
    raw.channels = std::move(picked);
    raw.orientations = std::move(orientations);
  } else if (raw.channels.size() > max_components) {
    context.warn(std::to_string(raw.channels.size()) + " channels: the first three taken");
    raw.channels.resize(max_components);
    raw.orientations.resize(max_components);
  }
  // A channel that stopped recording earlier is at rest after its end; cutting the others to
  // it would drop the end of the motion.
  std::size_t longest = 0;
  std::string lengths;
  for (const auto& c : raw.channels) {
    longest = std::max(longest, c.size());
    lengths += (lengths.empty() ? "" : ", ") + std::to_string(c.size());
  }
  bool padded = false;
  for (auto& c : raw.channels)
    if (c.size() < longest) {
      c.resize(longest, 0.0);
      padded = true;
    }
  if (padded)
    context.warn("channels of different lengths (" + lengths + " points): the shorter padded with zeros after their end to " +
                 std::to_string(longest) + " points");
}

// The unit the values are in, from the file or else from the options; none leaves them as they are.
std::optional<Unit> source_unit(Context& context, const RawRecord& raw, Format format) {
  const std::optional<Unit>& given = context.options().file_unit;
  if (raw.unit && given && *raw.unit != *given)
    context.warn("the file states " + std::string(unit_name(*raw.unit)) + "; the given unit " +
                 std::string(unit_name(*given)) + " is not used");
  // A record format always has a unit; one not found is a header this reader misread, and
  // values taken as they are could be off by a factor of 100 or 981.
  if (!raw.unit && !given && format != Format::columns)
    context.warn("no unit of acceleration found in the file: the values are taken as they are; give the file's unit");
  return raw.unit ? raw.unit : given;
}

// False when a value leaves the range of reals on the way (a huge value times a large factor).
bool convert(std::vector<std::vector<double>>& channels, double factor, double scale) {
  bool finite = true;
  for (auto& c : channels)
    for (double& v : c) {
      v *= factor;
      if (scale != 1.0) v *= scale;
      finite = finite && std::isfinite(v);
    }
  return finite;
}

// Linear interpolation of points at `times` onto start + k * step.
bool resample(Context& context, const std::vector<double>& times, std::vector<std::vector<double>>& channels, double step) {
  const double start = times.front();
  const double intervals = std::floor((times.back() - start) / step + 1e-9);
  if (!(intervals + 1 <= max_resampled_points)) {
    context.fail("resampling onto " + number_text(step) + " s would give " + number_text(intervals + 1) +
                 " points, more than the limit of " +
                 std::to_string(static_cast<long>(max_resampled_points)));
    return false;
  }
  const auto n = static_cast<std::size_t>(intervals) + 1;
  for (auto& values : channels) {
    std::vector<double> out(n);
    std::size_t j = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const double t = std::min(start + static_cast<double>(k) * step, times.back());
      while (j + 2 < times.size() && times[j + 1] <= t) ++j;
      const std::size_t right = std::min(j + 1, times.size() - 1);
      const double span = times[right] - times[j];
      if (t == times[right] || !(span > 0.0))
        out[k] = values[t == times[right] ? right : j];
      else
        out[k] = values[j] + (values[right] - values[j]) * ((t - times[j]) / span);
    }
    values = std::move(out);
  }
  return true;
}

// Times given point by point become a uniform step: kept when the steps are even, otherwise
// resampled onto the requested step or the smallest step found.
bool make_uniform(Context& context, RawRecord& raw) {
  const std::optional<double>& requested = context.options().resample_step;
  if (raw.times.empty()) {
    if (!requested || *requested == raw.time_step || raw.channels.front().size() < 2) return true;
    raw.times.resize(raw.channels.front().size());
    for (std::size_t i = 0; i < raw.times.size(); ++i) raw.times[i] = raw.start_time + static_cast<double>(i) * raw.time_step;
  }
  raw.start_time = raw.times.front();
  const std::size_t n = raw.times.size();
  if (n < 2) {
    raw.time_step = requested.value_or(0.0);
    return true;
  }
  const double mean = (raw.times.back() - raw.times.front()) / static_cast<double>(n - 1);
  double smallest = mean, largest = mean;
  for (std::size_t i = 1; i < n; ++i) {
    smallest = std::min(smallest, raw.times[i] - raw.times[i - 1]);
    largest = std::max(largest, raw.times[i] - raw.times[i - 1]);
  }
  const bool even = largest - smallest <= even_step_tolerance * mean;
  if (even && (!requested || *requested == mean)) {
    raw.time_step = mean;
    return true;
  }
  raw.time_step = requested.value_or(smallest);
  const double resampled = std::floor((raw.times.back() - raw.start_time) / raw.time_step + 1e-9) + 1;
  if (!requested && resampled > max_uneven_growth * static_cast<double>(n)) {
    context.fail("uneven time steps (" + number_text(smallest) + " to " + number_text(largest) +
                 " s): resampling onto the smallest would give " + number_text(resampled) + " points from " +
                 std::to_string(n) + ", more than " + number_text(max_uneven_growth) +
                 " times as many: give the resampling step");
    return false;
  }
  if (!even)
    context.warn("uneven time steps (" + number_text(smallest) + " to " + number_text(largest) +
                 " s): resampled linearly onto " + number_text(raw.time_step) + " s");
  return resample(context, raw.times, raw.channels, raw.time_step);
}

// Warns of the largest value when it is beyond any real acceleration; only values of a known unit
// can be judged.
void warn_implausible(Context& context, const RawRecord& raw, const std::optional<Unit>& unit) {
  if (!unit) return;
  const double g = unit_in_m_s2(Unit::g);
  const double limit = implausible_acceleration_g * g / unit_in_m_s2(*unit) / std::fabs(context.options().scale);
  for (std::size_t c = 0; c < raw.channels.size(); ++c) {
    const Peak peak = peak_of(raw.channels[c]);
    if (!(std::fabs(peak.value) > limit)) continue;
    // Called once the record is uniform.
    const double at = raw.start_time + static_cast<double>(peak.index) * raw.time_step;
    context.warn("a value of " + number_text(peak.value) + " " + std::string(unit_name(*unit)) + " at " +
                 number_text(at) + " s is above " + number_text(implausible_acceleration_g) + " g (" +
                 number_text(implausible_acceleration_g * g) + " m/s2): the unit or the record is likely wrong");
    return;
  }
}

void finish(Context& context, RawRecord& raw, Format format, ReadResult& result) {
  if (raw.channels.empty() || raw.channels.front().empty()) {
    context.fail("the file holds no values");
    return;
  }
  select_channels(context, raw, format);
  const std::optional<double>& given_step = context.options().time_step;
  if (format != Format::columns && given_step && *given_step != raw.time_step)
    context.warn("the file's time step " + number_text(raw.time_step) + " s is used, not the given " + number_text(*given_step));
  if (context.failed() || !make_uniform(context, raw)) return;
  const std::optional<Unit> unit = source_unit(context, raw, format);
  warn_implausible(context, raw, unit);
  const TargetUnit& target = context.options().target;
  if (!convert(raw.channels, unit ? target.factor_from(*unit) : 1.0, context.options().scale)) {
    context.fail("a value converted to " + target.name() + " and scaled is beyond the range of numbers");
    return;
  }

  Record& record = result.record;
  record.format = format;
  record.start_time = raw.start_time;
  record.time_step = raw.time_step;
  record.components = std::move(raw.channels);
  record.unit = target.name();
  record.file_unit = unit;
  record.unit_source = !unit           ? UnitSource::none
                       : !raw.unit     ? UnitSource::options
                       : raw.unit_assumed ? UnitSource::format
                                       : UnitSource::file;
  record.data_lines = std::move(raw.data_lines);
  record.orientations = std::move(raw.orientations);
  record.orientations.resize(record.components.size());
}

}  // namespace

std::string_view format_name(Format format) {
  for (const auto& f : format_names)
    if (f.format == format) return f.name;
  return "auto";
}

std::string_view format_title(Format format) {
  for (const auto& f : format_names)
    if (f.format == format) return f.title;
  return "";
}

std::optional<Format> format_from_name(std::string_view name) {
  for (const auto& f : format_names)
    if (f.name == name) return f.format;
  return std::nullopt;
}

Format detect_format(std::string_view content) {
  const ReadOptions options;
  return detect(Context(content, options));
}

ReadResult read_motion_text(std::string_view content, const ReadOptions& options) {
  Context context(content, options);
  ReadResult result;
  if (check_options(context)) {
    const Format format = options.format == Format::automatic ? detect(context) : options.format;
    RawRecord raw = read_format(format, context);
    if (!context.failed()) finish(context, raw, format, result);
  }
  result.problems = std::move(context.problems());
  const bool refused = context.failed();
  if (refused) result.record = Record{};
  result.outcome = refused ? Outcome::refused : result.problems.empty() ? Outcome::read : Outcome::read_with_warnings;
  return result;
}

ReadResult read_motion_file(const std::string& path, const ReadOptions& options) {
  ReadResult refused;
  auto refuse = [&refused](std::string text) {
    refused.problems.push_back({Severity::error, std::move(text), 0});
    return refused;
  };
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return refuse("cannot open " + path + ": no such file");
  if (!std::filesystem::is_regular_file(status)) return refuse(path + " is not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return refuse("cannot read " + path + ": " + ec.message());
  if (size > max_file_bytes)
    return refuse(path + " holds " + std::to_string(size) + " bytes, more than a record can (" +
                  std::to_string(max_file_bytes >> 20) + " MiB)");
  ReadOptions named = options;
  if (named.file_extension.empty()) named.file_extension = std::filesystem::path(path).extension().string();
  std::string content;
  const files::FileRead read = files::read_regular_file(path, content, max_file_bytes);
  if (read.status == files::FileReadStatus::too_large)
    return refuse(path + " grew beyond what a record can hold (" + std::to_string(max_file_bytes >> 20) + " MiB)");
  if (read.status != files::FileReadStatus::ok)
    return refuse("cannot read " + path + ": " + std::strerror(read.error != 0 ? read.error : EIO));
  return read_motion_text(content, named);
}

namespace {

std::string upper(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool all_of_class(std::string_view s, int (*is)(int)) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [is](char c) { return is(static_cast<unsigned char>(c)) != 0; });
}

// One word of a name, upper case, letters and digits only.
Axis axis_of_word(const std::string& word) {
  static const std::set<std::string, std::less<>> vertical{"UP", "DOWN", "DWN", "DN", "UD", "DU", "V", "VER", "VERT",
                                                          "VERTICAL", "Z", "AZ", "UPDOWN"};
  static const std::set<std::string, std::less<>> horizontal{
      "N",    "S",     "E",     "W",     "NS",   "SN",    "EW",         "WE",   "NORTH", "SOUTH", "EAST",
      "WEST", "H",     "HOR",   "HORIZ", "HORIZONTAL",   "X",          "Y",    "AX",    "AY",    "L",
      "T",    "R",     "LONG",  "LONGITUDINAL",  "TRAN", "TRANS", "TRANSVERSE", "RADIAL", "RADL", "TANG",
      "TANGENTIAL"};
  // An azimuth: "090", "360".
  if (all_of_class(word, isdigit)) return std::stoi(word.substr(0, 4)) <= 360 ? Axis::horizontal : Axis::unknown;
  // "N45E", "S30W".
  if (word.size() >= 3 && (word.front() == 'N' || word.front() == 'S') && (word.back() == 'E' || word.back() == 'W') &&
      all_of_class(std::string_view(word).substr(1, word.size() - 2), isdigit))
    return Axis::horizontal;
  // A sensor's number after its direction: "UD1", "EW2", "H1".
  std::string_view base = word;
  while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.remove_suffix(1);
  if (vertical.contains(base)) return Axis::vertical;
  if (horizontal.contains(base)) return Axis::horizontal;
  // Channel codes of seismic networks: band, instrument, then Z, N, E, 1 or 2 ("HNZ", "HGE", "HN1").
  if (word.size() == 3 && all_of_class(std::string_view(word).substr(0, 2), isalpha)) {
    if (word[2] == 'Z') return Axis::vertical;
    if (word[2] == 'N' || word[2] == 'E' || word[2] == '1' || word[2] == '2') return Axis::horizontal;
  }
  return Axis::unknown;
}

}  // namespace

Axis axis_of_name(std::string_view name) {
  const std::string text = upper(name);
  // Words are split at anything but letters and digits; "U-D" and "N-S" are also taken whole.
  std::vector<std::string> words;
  std::string joined, word;
  for (const char c : text + ' ') {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += c;
      joined += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (words.size() > 1) words.push_back(joined);
  Axis axis = Axis::unknown;
  for (const std::string& w : words) {
    const Axis a = axis_of_word(w);
    if (a == Axis::vertical) return a;
    if (a == Axis::horizontal) axis = a;
  }
  return axis;
}

std::vector<std::size_t> horizontal_components(const std::vector<Orientation>& orientations, std::size_t count) {
  std::vector<std::size_t> chosen;
  for (std::size_t k = 0; k < count && chosen.size() < 2; ++k)
    if (k >= orientations.size() || orientations[k].axis != Axis::vertical) chosen.push_back(k);
  if (chosen.empty() && count > 0) chosen.push_back(0);
  return chosen;
}

std::string horizontal_components_text(const std::vector<Orientation>& orientations, std::size_t count) {
  auto named = [&](std::size_t k) {
    const std::string& name = k < orientations.size() ? orientations[k].name : std::string();
    return std::to_string(k + 1) + (name.empty() ? "" : " (" + name + ")");
  };
  const std::vector<std::size_t> chosen = horizontal_components(orientations, count);
  std::string text;
  for (std::size_t i = 0; i < chosen.size(); ++i) text += (i == 0 ? "" : " and ") + named(chosen[i]);
  std::string vertical;
  for (std::size_t k = 0; k < count; ++k)
    if (k < orientations.size() && orientations[k].axis == Axis::vertical)
      vertical += (vertical.empty() ? "" : ", ") + named(k);
  return vertical.empty() ? text : text + "; vertical: " + vertical;
}

Peak peak_of(const std::vector<double>& values) {
  Peak peak;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (std::fabs(values[i]) > std::fabs(peak.value)) peak = {values[i], i};
  return peak;
}

}  // namespace motion
