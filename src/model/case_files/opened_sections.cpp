#include "model/case_files/opened_sections.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "model/case_files/accel_layout.h"
#include "model/case_files/scratch_layouts.h"
#include "model/case_files/section_records.h"
#include "text/format.h"
#include "text/free_form.h"
#include "text/number_parse.h"

namespace model::case_files {

namespace {

// Every component and time of a section that is not verbatim goes to its case file as its
// G14.7 text, except the discrete loading's, which are free-form texts that read back as the
// same float. A text that does not read back (not a number, infinity) ends the reading there.
std::optional<float> g14_7_read_back(float value) {
  float back = 0;
  if (!text::parse_real(text::g14_7_text(value), back)) return std::nullopt;
  return back;
}

std::optional<float> free_form_read_back(float value) {
  if (value != 0 && std::isfinite(value)) return value;
  char chars[text::free_form_real_max];
  float back = 0;
  if (!text::parse_real({chars, static_cast<std::size_t>(text::free_form_real_chars(value, chars) - chars)}, back))
    return std::nullopt;
  return back;
}

std::vector<NodeRange> read_back_ranges(const std::vector<NodeRange>& ranges, const ComponentSlots& slots) {
  std::vector<NodeRange> back;
  back.reserve(ranges.size());
  for (const NodeRange& range : ranges) {
    NodeRange read{range.first_node, range.last_node};
    for (int j = 0; j < slots.count; ++j) {
      const std::optional<float> v = g14_7_read_back(range.components[slots.slot[j]]);
      if (!v) return back;
      read.components[slots.slot[j]] = *v;
    }
    back.push_back(read);
  }
  return back;
}

using EntryReader = text::ReadStatus (*)(text::RecordSource&, int, NodeRange&);

std::vector<NodeRange> read_kept_ranges(const SectionStyle& style, int n_dof, EntryReader read) {
  std::vector<NodeRange> ranges;
  if (!style.lines) return ranges;
  text::RecordSource source(*style.lines);
  NodeRange range;
  while (read(source, n_dof, range) == text::ReadStatus::ok) ranges.push_back(range);
  return ranges;
}

bool verbatim(const SectionStyle& style) { return style.layout == SectionLayout::verbatim; }

bool one_direction(LoadingType type) { return type == LoadingType::accelerogram_1_direction; }

int direction_slot(AccelDirection direction) {
  const int number = code_number(direction);
  return number >= 1 && number <= 3 ? number - 1 : -1;
}

// The values of a point's record, read back, the time first; 0 values when one does not read.
std::size_t record_values(const Accelerogram& a, std::size_t i, bool loaded, int n_dof, float (&values)[4]) {
  const AccelPoint& p = a.points[i];
  float made[4];
  std::size_t n = 0;
  made[n++] = p.time;
  if (one_direction(a.type)) {
    const int slot = direction_slot(a.direction);
    if (slot >= 0 || loaded) made[n++] = p.acceleration[std::max(slot, 0)];  // a loaded one: X when none
  } else {
    for (int j = 0; j < accel_component_count(n_dof); ++j) made[n++] = p.acceleration[j];
  }
  for (std::size_t j = 0; j < n; ++j) {
    const std::optional<float> v = g14_7_read_back(made[j]);
    if (!v) return 0;
    values[j] = *v;
  }
  return n;
}

// A point read free-form takes its values from as many records as it needs and leaves the rest
// of the last one: the case file's records are gone through as its reader goes through them.
int read_back_points(const Accelerogram& a, bool loaded, LoadingType type, int n_dof, AccelDirection direction,
                     int n_points, std::vector<AccelPoint>& table) {
  const std::size_t needed = 1 + (one_direction(type) ? 1 : static_cast<std::size_t>(accel_component_count(n_dof)));
  std::size_t next = 0;
  int n_read = 0;
  while (n_read < n_points) {
    float got[4] = {};
    std::size_t have = 0;
    while (have < needed) {
      float values[4];
      const std::size_t n = next < a.points.size() ? record_values(a, next, loaded, n_dof, values) : 0;
      if (n == 0) return n_read;  // the end line, or a value that does not read
      ++next;
      for (std::size_t j = 0; j < n && have < needed; ++j) got[have++] = values[j];
    }
    if (static_cast<int>(table.size()) <= n_read) table.resize(static_cast<std::size_t>(n_read) + 1);
    AccelPoint& point = table[static_cast<std::size_t>(n_read++)];
    point.time = got[0];
    if (one_direction(type)) {
      if (direction_slot(direction) >= 0) point.acceleration[direction_slot(direction)] = got[1];
    } else {
      for (std::size_t j = 1; j < needed; ++j) point.acceleration[j - 1] = got[j];
    }
  }
  return n_read;
}

}  // namespace

std::vector<NodeRange> opened_conditions(const InitialConditions& section, const GeneralData& g) {
  if (verbatim(section.style)) return read_kept_ranges(section.style, g.n_dof, read_conditions_entry);
  return read_back_ranges(section.ranges, initial_condition_slots(g.n_dof));
}

std::vector<NodeRange> opened_initial_loadings(const RangeSection& section, const GeneralData& g) {
  if (verbatim(section.style)) return read_kept_ranges(section.style, g.n_dof, read_loadings_entry);
  return read_back_ranges(section.ranges, initial_loading_slots(g.n_dof));
}

std::vector<NodeRange> opened_amplitudes(const Loading& loading, const GeneralData& g) {
  if (verbatim(loading.style)) return read_kept_ranges(loading.style, g.n_dof, read_amplitude_entry);
  const auto* amplitudes = std::get_if<AmplitudeLoading>(&loading.data);
  return amplitudes ? read_back_ranges(amplitudes->ranges, load_slots(g.n_dof)) : std::vector<NodeRange>{};
}

DiscreteLoading opened_discrete(const Loading& loading, const GeneralData& g) {
  DiscreteLoading back;
  if (verbatim(loading.style)) {
    if (!loading.style.lines) return back;
    text::RecordSource source(*loading.style.lines);
    return read_discrete_loading(source, g.n_dof);
  }
  const auto* points = std::get_if<DiscreteLoading>(&loading.data);
  if (!points) return back;
  const ComponentSlots slots = load_slots(g.n_dof);
  back.times.reserve(points->size());
  back.range_ends.reserve(points->size());
  back.ranges.reserve(points->ranges.size());
  for (std::size_t i = 0; i < points->size(); ++i) {
    const std::optional<float> time = free_form_read_back(points->times[i]);
    if (!time) return back;
    for (const NodeRange& range : points->ranges_of(i)) {
      NodeRange read{range.first_node, range.last_node};
      for (int j = 0; j < slots.count; ++j) {
        const std::optional<float> v = free_form_read_back(range.components[slots.slot[j]]);
        if (!v) {
          back.end_point(*time);
          return back;
        }
        read.components[slots.slot[j]] = *v;
      }
      back.ranges.push_back(read);
    }
    back.end_point(*time);
  }
  return back;
}

int open_points(const Loading& loading, LoadingType type, const GeneralData& g, AccelDirection direction,
                int n_points, std::vector<AccelPoint>& table) {
  if (verbatim(loading.style)) {
    if (!loading.style.lines) return 0;
    text::RecordSource source(*loading.style.lines);
    return read_accel_points(source, n_points, type, g.n_dof, direction, table);
  }
  const auto* accelerogram = std::get_if<Accelerogram>(&loading.data);
  if (!accelerogram) return 0;
  return read_back_points(*accelerogram, loading.style.layout == SectionLayout::loaded, type, g.n_dof, direction,
                          n_points, table);
}

}  // namespace model::case_files
