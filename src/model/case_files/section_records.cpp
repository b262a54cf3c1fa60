#include "model/case_files/section_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#include "model/case_files/accel_layout.h"
#include "model/case_files/scratch_layouts.h"
#include "model/record_words.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace model::case_files {

namespace {

// ---- the layout of sections LOAD took apart -------------------------------------------------
// The editors' records are in scratch_layouts.h and accel_layout.h. These differ from them on
// purpose, so that a file loaded and written again is the same file:
//  - a node number wider than the model's largest widens its field (the editors refuse such
//    numbers; a file may hold them, and asterisks would lose them);
//  - components are plain G14.7 texts followed by two blanks (the editors tidy them in A14);
//  - the end lines carry the reader's own wording.

// Node numbers share the width of the model's largest node number, so the columns line up.
// A number beyond the model (the editors do not check) widens its field instead of turning
// into asterisks, which would lose it and end the section early when read back.
int node_width(int node, int n_nodes) { return std::max(text::digit_count(n_nodes), text::digit_count(node)); }

text::RecordWriter& node_pair(text::RecordWriter& record, const model::NodeRange& range, int n_nodes) {
  return record.i(range.first_node, node_width(range.first_node, n_nodes))
      .tr(2)
      .i(range.last_node, node_width(range.last_node, n_nodes))
      .tr(2);
}

std::string range_record(const model::NodeRange& range, int n_nodes, const ComponentSlots& slots) {
  text::RecordWriter record;
  node_pair(record, range, n_nodes);
  for (int j = 0; j < slots.count; ++j) record.a(text::g14_7_text(range.components[slots.slot[j]])).tr(2);
  return record.str();
}



std::string initial_condition_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  return range_record(range, n_nodes, initial_condition_slots(n_dof));
}

std::string initial_loading_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  return range_record(range, n_nodes, initial_loading_slots(n_dof));
}

// The amplitudes are 14-character left-justified texts, as the Sin/Exp editor writes them,
// but with two blanks fewer before the first.
std::string loaded_amplitude_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  text::RecordWriter record;
  record.i(range.first_node, node_width(range.first_node, n_nodes))
      .tr(2)
      .i(range.last_node, node_width(range.last_node, n_nodes));
  const ComponentSlots slots = load_slots(n_dof);
  for (int j = 0; j < slots.count; ++j)
    record.tr(2).a(text::padded(text::g14_7_text(range.components[slots.slot[j]]), 14));
  return record.str();
}


// (A,TR3,A,TR3,A,:,TR3,A)
void append_accel_point_record(std::string& out, std::span<const std::string_view> texts) {
  for (std::size_t j = 0; j < texts.size(); ++j) {
    if (j > 0) out.append(3, ' ');
    out.append(texts[j]);
  }
}

std::string_view initial_conditions_end(bool romanian) {
  return model::conditions_end.in(romanian);
}

std::string_view initial_loading_end(bool romanian) {
  return model::case_files::loadings_end_record(romanian);
}

std::string loading_data_end(int case_number, bool romanian) {
  return std::string(model::case_end.in(romanian)) + std::to_string(case_number);
}


void line(std::string& out, std::string_view record, LineForm form) {
  out.append(form == LineForm::loading_file ? copied_line(record) : record);
  out.append("\r\n");
}

// A long section goes to its file a block at a time when the caller drains it.
constexpr std::size_t drain_size = std::size_t{1} << 20;
void maybe_drain(std::string& out, const Drain& drain) {
  if (drain && out.size() >= drain_size) drain(out);
}

bool loaded(const SectionStyle& style) { return style.layout == SectionLayout::loaded; }

// A kept case file: as it stands, or line by line as the loading file holds its lines.
bool put_verbatim(std::string& out, const SectionStyle& style, LineForm form) {
  if (style.layout != SectionLayout::verbatim) return false;
  if (!style.lines) return true;
  const std::string_view text = *style.lines;
  if (form == LineForm::case_file) {
    out.append(text);
    return true;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view record = text.substr(start, end - start);
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    line(out, record, form);
    start = next;
  }
  return true;
}

// The records are made in place at the end of `out`: a loading of 10^5 time points is written on
// every SAVE. They are short and end in a number, so a loading file holds them as they are.
void append_discrete(std::string& out, const DiscreteLoading& d, const SectionStyle& style, int case_number,
                     const GeneralData& g, LineForm form, const Drain& drain) {
  DiscreteRecordTexts texts;
  DiscreteRecordTexts* const repeated = loaded(style) ? nullptr : &texts;
  static_assert(discrete_range_record_max < copied_line_length && time_record_max < copied_line_length);
  for (std::size_t i = 0; i < d.size(); ++i) {
    const std::span<const NodeRange> ranges = d.ranges_of(i);
    const std::size_t used = out.size();
    out.resize(used + time_record_max + 2 + ranges.size() * (discrete_range_record_max + 2));
    char* at = out.data() + used;
    at = put_time_record(at, d.times[i]);
    *at++ = '\r';
    *at++ = '\n';
    for (const NodeRange& range : ranges) {
      at = put_discrete_range_record(at, range, g.n_dof, repeated);
      *at++ = '\r';
      *at++ = '\n';
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    maybe_drain(out, drain);
  }
  line(out, loaded(style) ? loading_data_end(case_number, style.romanian) : end_of_case_record(case_number), form);
}

void append_amplitudes(std::string& out, const AmplitudeLoading& a, const SectionStyle& style, int case_number,
                       const GeneralData& g, LineForm form) {
  for (const NodeRange& range : a.ranges)
    line(out,
         loaded(style) ? loaded_amplitude_record(range, g.n_nodes, g.n_dof) : amplitude_record(range, g.n_nodes, g.n_dof),
         form);
  line(out, loaded(style) ? loading_data_end(case_number, style.romanian) : end_of_case_record(case_number), form);
}

// The values of a point in the order its record holds them: the time, then the components.
std::size_t point_values(const AccelPoint& p, LoadingType type, int n_dof, AccelDirection direction, float (&v)[4]) {
  std::size_t n = 0;
  v[n++] = p.time;
  if (type == LoadingType::accelerogram_1_direction) {
    const int number = code_number(direction);
    v[n++] = p.acceleration[number >= 1 && number <= 3 ? number - 1 : 0];  // X when none is chosen
  } else {
    for (int j = 0; j < accel_component_count(n_dof); ++j) v[n++] = p.acceleration[j];
  }
  return n;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The blank-separated constants of a plain record, the first `n` of them.
void split_constants(std::string_view record, std::string_view (&texts)[4], std::size_t n) {
  std::size_t pos = 0;
  for (std::size_t j = 0; j < n; ++j) {
    while (pos < record.size() && is_blank(record[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < record.size() && !is_blank(record[pos])) ++pos;
    texts[j] = record.substr(start, pos - start);
  }
}

// A constant of the file's record that is already the value's G14.7 text is copied, and the
// record as it stands when it holds nothing else; the texts of the others are made anew.
void append_loaded_point(std::string& out, const Accelerogram& a, LoadedTexts::Walk& walk, std::size_t i, int n_dof) {
  float v[4];
  const std::size_t n = point_values(a.points[i], a.type, n_dof, a.direction, v);
  const std::optional<std::string_view> record = walk.plain_record(i);
  std::string_view texts[4];
  std::string made[4];
  const bool spelt_as_written = record && walk.spelt_as_written(i);
  bool all_copied = record.has_value();
  if (record) split_constants(*record, texts, n);
  for (std::size_t j = 0; j < n; ++j) {
    // A point written with more values than it was read with has no text for the others.
    if (record && (spelt_as_written ? !texts[j].empty() : text::is_g14_7_text(texts[j], v[j]))) continue;
    made[j] = text::g14_7_text(v[j]);
    texts[j] = made[j];
    all_copied = false;
  }
  if (all_copied && is_point_record(*record, {texts, n}))
    out.append(*record);
  else
    append_accel_point_record(out, {texts, n});
}

void append_accelerogram(std::string& out, const Accelerogram& a, const SectionStyle& style, int case_number,
                         const GeneralData& g, LineForm form, const Drain& drain) {
  std::string record;
  LoadedTexts::Walk walk(a.texts);
  for (std::size_t i = 0; i < a.points.size(); ++i) {
    record.clear();
    if (loaded(style))
      append_loaded_point(record, a, walk, i, g.n_dof);
    else
      record = accel_point_record(a.points[i], a.type, g.n_dof, a.direction);
    line(out, record, form);
    maybe_drain(out, drain);
  }
  line(out, loaded(style) ? loading_data_end(case_number, style.romanian) : accel_end_record(case_number), form);
}

}  // namespace

namespace {
int clamped_dof(int n_dof) { return n_dof < 0 ? 0 : (n_dof > 3 ? 3 : n_dof); }
}  // namespace

ComponentSlots initial_condition_slots(int n_dof) {
  ComponentSlots s{{}, 0};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = j;
  for (int j = 0; j < n; ++j) s.slot[s.count++] = 3 + j;
  return s;
}

ComponentSlots initial_loading_slots(int n_dof) {
  ComponentSlots s{{0}, 1};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = 3 + j;
  return s;
}

ComponentSlots load_slots(int n_dof) {
  ComponentSlots s{{}, 0};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = j;
  return s;
}

bool has_data(std::string_view case_file) {
  std::size_t start = 0;
  while (start < case_file.size()) {
    std::size_t end = case_file.find('\n', start);
    if (end == std::string_view::npos) end = case_file.size();
    std::string_view record = case_file.substr(start, end - start);
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    if (!copied_line(record).empty()) return true;
    start = end + 1;
  }
  return false;
}

bool is_point_record(std::string_view record, std::span<const std::string_view> texts) {
  if (texts.empty() || record.size() > copied_line_length || texts.front().data() != record.data()) return false;
  for (std::size_t j = 1; j < texts.size(); ++j) {
    const char* gap = texts[j - 1].data() + texts[j - 1].size();
    if (texts[j].data() != gap + 3 || gap[0] != ' ' || gap[1] != ' ' || gap[2] != ' ') return false;
  }
  return texts.back().data() + texts.back().size() == record.data() + record.size();
}

std::string_view copied_line(std::string_view line) {
  return text::trim_right(line.substr(0, copied_line_length));
}

void append_initial_conditions(std::string& out, const InitialConditions& section, const GeneralData& g,
                               LineForm form) {
  if (put_verbatim(out, section.style, form)) return;
  const bool as_loaded = loaded(section.style);
  for (const NodeRange& range : section.ranges)
    line(out,
         as_loaded ? initial_condition_record(range, g.n_nodes, g.n_dof) : conditions_record(range, g.n_nodes, g.n_dof),
         form);
  line(out, as_loaded ? initial_conditions_end(section.style.romanian) : conditions_end_record(section.style.romanian),
       form);
  if (section.with_accelerations) line(out, acceleration_record(section.acceleration), form);
}

void append_initial_loadings(std::string& out, const RangeSection& section, const GeneralData& g, LineForm form) {
  if (put_verbatim(out, section.style, form)) return;
  const bool as_loaded = loaded(section.style);
  for (const NodeRange& range : section.ranges)
    line(out,
         as_loaded ? initial_loading_record(range, g.n_nodes, g.n_dof) : loadings_record(range, g.n_nodes, g.n_dof),
         form);
  line(out, as_loaded ? initial_loading_end(section.style.romanian) : loadings_end_record(section.style.romanian),
       form);
}

void append_loading(std::string& out, const Loading& loading, int case_number, const GeneralData& g, LineForm form,
                    const Drain& drain) {
  if (put_verbatim(out, loading.style, form)) return;
  std::visit(
      [&](const auto& data) {
        using T = std::decay_t<decltype(data)>;
        if constexpr (std::is_same_v<T, DiscreteLoading>)
          append_discrete(out, data, loading.style, case_number, g, form, drain);
        else if constexpr (std::is_same_v<T, AmplitudeLoading>)
          append_amplitudes(out, data, loading.style, case_number, g, form);
        else
          append_accelerogram(out, data, loading.style, case_number, g, form, drain);
      },
      loading.data);
}

}  // namespace model::case_files
