#include "model/case_files/accel_layout.h"

#include <algorithm>

#include "model/case_files/point_records.h"
#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/format.h"

namespace model::case_files {

namespace {

constexpr std::size_t field_width = 16;

// The G14.7 text of a value tidied, left-justified in a 16-character field.
std::string tidy_field(float value) { return text::padded(text::g14_7_text(value), field_width); }

// The G14.7 text as written, 14 characters followed by 2 blanks.
std::string plain_field(float value) {
  return text::padded(text::format_g(value, 14, 7), field_width);
}

bool valid_direction(model::AccelDirection direction) {
  return direction == model::AccelDirection::x || direction == model::AccelDirection::y ||
         direction == model::AccelDirection::z;
}

// The component slot of a valid direction.
int slot(model::AccelDirection direction) { return model::code_number(direction) - 1; }

model::AccelPoint entry_or_zero(const std::vector<model::AccelPoint>& points, int index) {
  return index < static_cast<int>(points.size()) ? points[index] : model::AccelPoint{};
}

}  // namespace

int accel_component_count(int n_dof) { return std::clamp(n_dof, 0, 3); }

std::string accel_point_record(const model::AccelPoint& point, model::LoadingType loading_type, int n_dof,
                               model::AccelDirection direction) {
  std::string record = " " + tidy_field(point.time);
  if (loading_type == model::LoadingType::accelerogram_1_direction) {
    if (valid_direction(direction)) record += plain_field(point.acceleration[slot(direction)]);
    return record;
  }
  for (int c = 0; c < accel_component_count(n_dof); ++c)
    record += tidy_field(point.acceleration[c]);
  return record;
}

std::string accel_end_record(int case_number) { return end_of_case_record(case_number); }

text::ReadStatus read_accel_point(text::RecordSource& source, model::LoadingType loading_type, int n_dof,
                                  model::AccelDirection direction, model::AccelPoint& point) {
  model::AccelPoint read = point;
  float dropped = 0;
  std::vector<text::Target> targets{text::target(read.time)};
  if (loading_type == model::LoadingType::accelerogram_1_direction) {
    targets.push_back(text::target(valid_direction(direction) ? read.acceleration[slot(direction)]
                                                              : dropped));
  } else {
    for (int c = 0; c < accel_component_count(n_dof); ++c)
      targets.push_back(text::target(read.acceleration[c]));
  }
  AccelRecord record;
  const text::ReadStatus status = read_point_record(source, targets, record);
  if (status == text::ReadStatus::ok) point = read;
  return status;
}

text::ReadStatus read_point_record(text::RecordSource& source, const std::vector<text::Target>& targets,
                                   AccelRecord& record) {
  const std::size_t before = source.position();
  const std::size_t n = record.n_values = std::min<std::size_t>(targets.size(), 4);
  record.plain = source.next(record.text) && text::read_plain_reals(record.text, {record.values, n}, {record.texts, n});
  if (record.plain && n == targets.size()) {
    for (std::size_t j = 0; j < n; ++j) *static_cast<float*>(targets[j].address) = record.values[j];
    return text::ReadStatus::ok;
  }
  record.plain = false;
  source.seek(before);
  const text::ReadStatus status = text::read_free_form(source, targets);
  if (status != text::ReadStatus::ok || source.position() == before)
    return status == text::ReadStatus::ok ? text::ReadStatus::error : status;
  for (std::size_t j = 0; j < n; ++j) record.values[j] = *static_cast<float*>(targets[j].address);
  return text::ReadStatus::ok;
}

int read_accel_points(text::RecordSource& source, int n_points, model::LoadingType loading_type, int n_dof,
                      model::AccelDirection direction, std::vector<model::AccelPoint>& table) {
  int n_read = 0;
  while (n_read < n_points) {
    model::AccelPoint point = entry_or_zero(table, n_read);
    if (read_accel_point(source, loading_type, n_dof, direction, point) != text::ReadStatus::ok)
      break;
    if (static_cast<int>(table.size()) <= n_read) table.resize(n_read + 1);
    table[n_read++] = point;
  }
  return n_read;
}

}  // namespace model::case_files
