#include "model/case_files/section_records.h"

#include <cstring>
#include <type_traits>

#include "model/case_files/accel_layout.h"
#include "model/case_files/reader_scratch.h"
#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/free_form.h"

namespace model::case_files {

namespace {

void line(std::string& out, std::string_view record, LineForm form) {
  out.append(form == LineForm::loading_file ? copied_line(record) : record);
  out.append("\r\n");
}

// Lines already ended by CR LF, such as the records a loaded accelerogram keeps.
void lines(std::string& out, std::string_view text, LineForm form) {
  if (form == LineForm::case_file) {
    out.append(text);
    return;
  }
  while (!text.empty()) {
    const char* newline = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
    const std::size_t length = newline ? static_cast<std::size_t>(newline - text.data()) : text.size();
    std::string_view record = text.substr(0, length);
    if (record.ends_with('\r')) record.remove_suffix(1);
    line(out, record, form);
    text.remove_prefix(newline ? length + 1 : length);
  }
}

bool loaded(const SectionStyle& style) { return style.layout == SectionLayout::loaded; }

void append_discrete(std::string& out, const DiscreteLoading& d, const SectionStyle& style, int case_number,
                     const GeneralData& g, LineForm form) {
  text::FreeFormRealTexts texts;
  std::string record;
  for (const TimePoint& point : d.points) {
    record.clear();
    append_time_record(record, point.time);
    line(out, record, form);
    for (const NodeRange& range : point.ranges) {
      record.clear();
      append_discrete_range_record(record, range, g.n_dof, loaded(style) ? nullptr : &texts);
      line(out, record, form);
    }
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

void append_accelerogram(std::string& out, const Accelerogram& a, const SectionStyle& style, LoadingType case_type,
                         int case_number, const GeneralData& g, LineForm form) {
  if (!loaded(style)) {
    lines(out,
          accel_file_content(a.points, static_cast<int>(a.points.size()), a.type, g.n_dof, a.direction, case_number),
          form);
    return;
  }
  if (!a.records_as_read.empty() || a.points.empty())
    lines(out, a.records_as_read, form);
  else
    for (const AccelPoint& point : a.points)
      line(out, loaded_accel_point_record(point, case_type, g.n_dof, a.direction), form);
  line(out, loading_data_end(case_number, style.romanian), form);
}

}  // namespace

std::string_view copied_line(std::string_view line) {
  return text::trim_right(line.substr(0, copied_line_length));
}

void append_initial_conditions(std::string& out, const InitialConditions& section, const GeneralData& g,
                               LineForm form) {
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
  const bool as_loaded = loaded(section.style);
  for (const NodeRange& range : section.ranges)
    line(out,
         as_loaded ? initial_loading_record(range, g.n_nodes, g.n_dof) : loadings_record(range, g.n_nodes, g.n_dof),
         form);
  line(out, as_loaded ? initial_loading_end(section.style.romanian) : loadings_end_record(section.style.romanian),
       form);
}

void append_loading(std::string& out, const Loading& loading, LoadingType case_type, int case_number,
                    const GeneralData& g, LineForm form) {
  std::visit(
      [&](const auto& data) {
        using T = std::decay_t<decltype(data)>;
        if constexpr (std::is_same_v<T, DiscreteLoading>)
          append_discrete(out, data, loading.style, case_number, g, form);
        else if constexpr (std::is_same_v<T, AmplitudeLoading>)
          append_amplitudes(out, data, loading.style, case_number, g, form);
        else
          append_accelerogram(out, data, loading.style, case_type, case_number, g, form);
      },
      loading.data);
}

}  // namespace model::case_files
