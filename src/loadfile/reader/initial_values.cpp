// C4 and C9: the initial conditions (with an accelerogram case's initial accelerations) and
// the initial loading, repeated node-range sections.
#include "loadfile/reader/old_file_reader.h"

#include <algorithm>

namespace loadfile::reader {

namespace {

RecordKind range_kind(Section section) {
  switch (section) {
    case Section::initial_conditions: return RecordKind::initial_condition;
    case Section::initial_loading: return RecordKind::initial_load;
    default: return RecordKind::amplitude;
  }
}

model::AccelDirection direction_of_letter(char letter) {
  switch (letter) {
    case 'Y': case 'y': return model::AccelDirection::y;
    case 'Z': case 'z': return model::AccelDirection::z;
    default: return model::AccelDirection::x;
  }
}

}  // namespace

// A repeated section ends at the first record that cannot be read as one of its records: its
// end line, whatever its words, which is consumed with it. The end of the file before that
// line means the file was cut.
Step OldFileReader::read_ranges(const model::case_files::ComponentSlots& slots, Expected expected, Section section,
                                std::vector<model::NodeRange>& ranges) {
  RangeTargets range(slots);
  for (;;) {
    const std::size_t before = source_.position();
    const ReadStatus status = read(range_kind(section), range.empty_targets());
    if (status == ReadStatus::end_of_file) return fail(expected, status);
    if (status == ReadStatus::error || source_.position() == before) {
      check_section_end(before, section);
      return Step::go_on;
    }
    if (!room_for_range(ranges.size())) return fail(Expected::node_ranges_limit, false);
    ranges.push_back(range.value());
  }
}

Step OldFileReader::read_initial_conditions(model::Case& the_case) {
  model::CaseRecord& c = the_case.record;
  model::InitialConditions section;
  section.style = loaded_style();
  std::vector<model::NodeRange>& ranges = section.ranges;
  const Step step = read_ranges(model::case_files::initial_condition_slots(g_().n_dof), Expected::initial_conditions,
                                Section::initial_conditions, ranges);
  if (step != Step::go_on) return step;
  if (ranges.empty()) ranges.push_back({1, g_().n_nodes, {}});
  c.n_initial_conditions = static_cast<int>(ranges.size());
  if (model::accelerogram(c.loading_type)) {
    if (read_initial_accelerations(c) == Step::stop) return Step::stop;
    section.with_accelerations = true;
    std::copy(c.initial_acceleration, c.initial_acceleration + 3, section.acceleration);
  }
  the_case.initial_conditions = std::move(section);
  return Step::go_on;
}

// The Initial Values editor ends an accelerogram case's init.dat with one record of the three
// initial accelerations. Files of the older shape hold a record of one value instead, then
// the accelerations (three directions) or a direction letter and one acceleration.
Step OldFileReader::read_initial_accelerations(model::CaseRecord& c) {
  std::string_view record;
  if (stop_requested() || !source_.next(record)) return fail(Expected::initial_accelerations, true);
  float a[3] = {0, 0, 0};
  text::RecordSource alone(record);
  const std::vector<text::Target> three{target(a[0]), target(a[1]), target(a[2])};
  if (text::read_free_form(alone, three) == ReadStatus::ok) {
    tell(RecordKind::initial_accelerations, source_.position() - 1, three);
    std::copy(a, a + 3, c.initial_acceleration);
    return Step::go_on;
  }
  // The older shape begins with a record of one value; a record of several that could not be
  // read is the editor's record with a typo, and taking it as the older shape would take the
  // next records of the case for accelerations.
  if (holds_more_than_one_value(record)) return fail(Expected::initial_accelerations, false);
  return read_older_initial_accelerations(c, record);
}

Step OldFileReader::read_older_initial_accelerations(model::CaseRecord& c, std::string_view first_record) {
  float unused = 0;  // the older record's own value: nothing reads it
  text::RecordSource alone(first_record);
  if (text::read_free_form(alone, {target(unused)}) != ReadStatus::ok)
    return fail(Expected::initial_accelerations, false);
  const std::size_t first = source_.position() - 1;
  float a[3] = {0, 0, 0};
  ReadStatus status;
  std::vector<text::Target> targets;
  if (c.loading_type == model::LoadingType::accelerogram_3_directions) {
    for (int j = 0; j < std::clamp(g_().n_dof, 0, 3); ++j) targets.push_back(target(a[j]));
    status = text::read_free_form(source_, targets);
  } else {
    std::string letter;
    status = text::read_free_form(source_, {target(letter, 1)});
    if (status != ReadStatus::ok) return fail(Expected::initial_accelerations, status);
    const model::AccelDirection direction = direction_of_letter(letter.empty() ? ' ' : letter[0]);
    targets.push_back(target(a[slot(direction)]));
    status = text::read_free_form(source_, targets);
    if (status == ReadStatus::ok) a_.accel_direction = direction;
  }
  if (status != ReadStatus::ok) return fail(Expected::initial_accelerations, status);
  tell(RecordKind::initial_accelerations, first, targets);
  std::copy(a, a + 3, c.initial_acceleration);
  return Step::go_on;
}

Step OldFileReader::read_initial_loading(model::Case& the_case) {
  model::RangeSection section;
  section.style = loaded_style();
  std::vector<model::NodeRange>& ranges = section.ranges;
  const Step step = read_ranges(model::case_files::initial_loading_slots(g_().n_dof), Expected::initial_loading,
                                Section::initial_loading, ranges);
  if (step != Step::go_on) return step;
  if (ranges.empty()) ranges.push_back({1, g_().n_nodes, {}});
  the_case.record.n_initial_loadings = static_cast<int>(ranges.size());
  the_case.initial_loadings = std::move(section);
  return Step::go_on;
}

}  // namespace loadfile::reader
