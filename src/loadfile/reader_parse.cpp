#include "loadfile/reader_parse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string_view>
#include <utility>

#include "loadfile/reader_checks.h"
#include "loadfile/records.h"
#include "model/case_files/section_records.h"
#include "model/case_files/scratch_layouts.h"
#include "model/limits.h"
#include "model/case_files/section_records.h"
#include "text/fixed_text.h"
#include "text/format.h"

namespace loadfile {

namespace {

using text::ReadStatus;
using text::target;

using model::max_loading_cases;

// Whether a section reader lets the case go on, gives the case up (the rule for an
// unreadable C2, C3 or C10: go on with the next case), or stops the whole reading.
enum class Step {
  go_on,         // the section was read; read the next one
  abandon_case,  // the rest of this case block is not read; go on with the next case
  stop,          // a fault or the time-point limit was recorded in the result
};

bool valid_loading_type(int code) { return code >= -2 && code <= 2; }

// The targets of one node-range record, bound once to a range that every read refills.
class RangeTargets {
 public:
  explicit RangeTargets(const model::case_files::ComponentSlots& slots) {
    targets_ = {target(range_.first_node), target(range_.last_node)};
    for (int j = 0; j < slots.count; ++j) targets_.push_back(target(range_.components[slots.slot[j]]));
  }
  RangeTargets(const RangeTargets&) = delete;
  RangeTargets& operator=(const RangeTargets&) = delete;

  const std::vector<text::Target>& empty_targets() {
    range_ = {};
    return targets_;
  }
  // A last node of 0 stands for a range of one node.
  model::NodeRange value() const {
    model::NodeRange r = range_;
    if (r.last_node == 0) r.last_node = r.first_node;
    return r;
  }

 private:
  model::NodeRange range_;
  std::vector<text::Target> targets_;
};

// Later diameter records win over earlier ones; painting them from the last backwards and
// skipping painted elements keeps the work linear however the records overlap.
std::vector<float> element_diameters(const std::vector<model::DiameterGroup>& records, int n_elements) {
  const int n = std::max(n_elements, 0);
  std::vector<float> diameter(n, 0.0f);
  std::vector<int> next_unpainted(n + 1);
  std::iota(next_unpainted.begin(), next_unpainted.end(), 0);
  auto find = [&](int e) {
    while (next_unpainted[e] != e) e = next_unpainted[e] = next_unpainted[next_unpainted[e]];
    return e;
  };
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    const int lo = std::max(it->first_element, 1) - 1;
    const int hi = std::min(it->last_element, n) - 1;
    if (lo > hi) continue;
    for (int e = find(lo); e <= hi; e = find(e)) {
      diameter[e] = it->diameter;
      next_unpainted[e] = e + 1;
    }
  }
  return diameter;
}

// Runs of consecutive elements with equal diameter, from element 1 to the last.
std::vector<model::DiameterGroup> diameter_groups(const std::vector<float>& diameter) {
  std::vector<model::DiameterGroup> groups;
  for (int e = 1; e <= static_cast<int>(diameter.size()); ++e) {
    const float d = diameter[e - 1];
    if (!groups.empty() && groups.back().diameter == d)
      groups.back().last_element = e;
    else
      groups.push_back({e, e, d});
  }
  return groups;
}

RecordKind range_kind(Section section) {
  switch (section) {
    case Section::initial_conditions: return RecordKind::initial_condition;
    case Section::initial_loading: return RecordKind::initial_load;
    default: return RecordKind::amplitude;
  }
}

RecordKind section_end_kind(Section section) {
  switch (section) {
    case Section::initial_conditions: return RecordKind::initial_conditions_end;
    case Section::diameters: return RecordKind::diameters_end;
    case Section::initial_loading: return RecordKind::initial_loading_end;
    case Section::loading_data: break;
  }
  return RecordKind::loading_data_end;
}

model::AccelDirection direction_of_letter(char letter) {
  switch (letter) {
    case 'Y': case 'y': return model::AccelDirection::y;
    case 'Z': case 'z': return model::AccelDirection::z;
    default: return model::AccelDirection::x;
  }
}

// The direction a one-direction accelerogram is read in: the one of the moment, X when none.
model::AccelDirection reading_direction(model::AccelDirection direction) {
  return direction == model::AccelDirection::none ? model::AccelDirection::x : direction;
}

// The component slot of a chosen direction (X 0, Y 1, Z 2).
int slot(model::AccelDirection direction) { return model::code_number(direction) - 1; }

class OldFileReader {
 public:
  OldFileReader(text::RecordSource& source, const ReadStart& start, ReadObserver* observer)
      : source_(source), romanian_(start.romanian), max_time_points_(start.max_time_points), observer_(observer) {
    a_.general = start.general;
    a_.damping = start.damping;
    a_.accel_direction = start.accel_direction;
  }

  model::GeneralData& g_() { return a_.general; }
  const model::GeneralData& g_() const { return a_.general; }

  ReadResult run() {
    if (read_operator_code() == Step::go_on && read_coefficients() == Step::go_on &&
        read_case_count() == Step::go_on) {
      bool stopped = false;
      for (int i = 1; i <= a_.general.n_loading_cases && !stopped; ++i) {
        case_number_ = i;
        stopped = read_case(a_.cases[i - 1]) == Step::stop;
      }
      if (!stopped) {
        case_number_ = 0;
        check_end_of_file_record();
      }
    }
    result_.analysis = std::move(a_);
    return std::move(result_);
  }

 private:
  Step fail(Expected expected, bool at_end) {
    result_.outcome = ReadOutcome::fault;
    result_.fault = {expected, case_number_, at_end ? source_.size() : source_.position(), at_end};
    return Step::stop;
  }
  Step fail(Expected expected, ReadStatus status) {
    return fail(expected, status == ReadStatus::end_of_file);
  }
  Step too_many_points() {
    result_.outcome = ReadOutcome::too_many_points;
    return Step::stop;
  }
  void note(Severity severity, std::size_t index, std::string english, std::string romanian) {
    result_.problems.push_back({{}, index + 1, severity, std::move(english), std::move(romanian)});
  }
  std::string of_case(bool romanian) const {
    return (romanian ? "cazul " : "case ") + std::to_string(case_number_);
  }
  std::string quoted(std::size_t index) const {
    return "\"" + std::string(text::trim_right(source_.record(index))) + "\"";
  }
  void check_section_end(std::size_t index, Section section);
  void abandon_case(std::size_t index, std::string_view english_record, std::string_view romanian_record,
                    bool whole_case);
  void check_end_of_file_record();
  // One free-form read of a record of `kind`; the observer hears of it when it was read.
  ReadStatus read(RecordKind kind, const std::vector<text::Target>& targets) {
    if (stop_requested()) return ReadStatus::end_of_file;
    const std::size_t before = source_.position();
    const ReadStatus status = text::read_free_form(source_, targets);
    if (status == ReadStatus::ok && source_.position() != before) tell(kind, before, targets);
    return status;
  }
  ReadStatus read(RecordKind kind, std::initializer_list<text::Target> targets) {
    return read(kind, std::vector<text::Target>(targets));
  }
  // The lines from `first` to the current position were taken as `kind`.
  void tell(RecordKind kind, std::size_t first, std::span<const text::Target> values = {}) {
    if (observer_) observer_->on_record({kind, case_number_, first, source_.position(), values});
  }
  bool stop_requested() const { return observer_ && observer_->stop_requested(); }
  // A reading watched by an observer is for what the records say, which the observer hears:
  // it keeps neither the texts to write nor the time-point tables, only their counts.
  bool keeps_texts() const { return !observer_; }
  model::SectionStyle loaded_style() const { return {model::SectionLayout::loaded, romanian_}; }
  bool room_for_range(std::size_t ranges) const { return static_cast<long long>(ranges) < a_.general.n_nodes; }
  bool room_for_point(std::size_t n_points) const {
    return static_cast<long long>(n_points) < max_time_points_;
  }

  // General data.
  Step read_operator_code();
  Step read_coefficients();
  Step read_case_count();

  // One case block.
  Step read_case(model::Case& the_case);
  Step read_damping_code();
  Step read_case_head(model::CaseRecord& c);
  Step read_initial_conditions(model::Case& the_case);
  Step read_initial_accelerations(model::CaseRecord& c);
  Step read_older_initial_accelerations(model::CaseRecord& c, std::string_view first_record);
  Step read_damping();
  Step read_diameters();
  Step read_initial_loading(model::Case& the_case);
  Step read_loading_data(model::Case& the_case);
  Step read_amplitudes(model::Case& the_case);
  Step read_time_points(model::Case& the_case);
  Step read_point_ranges(RangeTargets& range, std::vector<model::NodeRange>& ranges);
  Step read_accelerogram(model::Case& the_case);
  Step read_ranges(const model::case_files::ComponentSlots& slots, Expected expected, Section section,
                   std::vector<model::NodeRange>& ranges);

  text::RecordSource& source_;
  model::Analysis a_;
  const bool romanian_;
  const int max_time_points_;
  ReadObserver* const observer_;
  int case_number_ = 0;
  ReadResult result_;
};

// The record that ended a repeated section was read as nothing: when it is no end line, it is
// most likely a record of the section with a typo, and it and what follows were misread.
void OldFileReader::check_section_end(std::size_t index, Section section) {
  tell(section_end_kind(section), index);
  // Blank lines are read past, as part of the read that failed.
  while (index + 1 < source_.size() && text::trimmed_length(source_.record(index)) == 0) ++index;
  if (is_section_end(source_.record(index), section)) return;
  note(Severity::error, index,
       std::string(section_words(section, false)) + " of " + of_case(false) + " end at a line that is not their end line: " +
           quoted(index),
       std::string(section_words(section, true)) + " din " + of_case(true) +
           " se termina la o linie care nu este linia lor de sfarsit: " + quoted(index));
}

// `whole_case`: nothing of the case was read (C2 or C3); otherwise its sections read so far
// keep their case files (C10).
void OldFileReader::abandon_case(std::size_t index, std::string_view english_record,
                                 std::string_view romanian_record, bool whole_case) {
  tell(RecordKind::unreadable, index);
  note(Severity::error, index,
       "the " + std::string(english_record) + " of " + of_case(false) + " cannot be read: " + quoted(index) +
           (whole_case ? "; the case was not read and its case files are empty"
                       : "; the rest of the case was not read and its loading data file is empty"),
       std::string(romanian_record) + " din " + of_case(true) + " nu se poate citi: " + quoted(index) +
           (whole_case ? "; cazul nu a fost citit si fisierele lui de caz sunt goale"
                       : "; restul cazului nu a fost citit si fisierul datelor incarcarii este gol"));
}

// Blank lines may follow the last case; then the end record must come, or the file holds more
// than its cases (or was cut right after them).
void OldFileReader::check_end_of_file_record() {
  std::string_view record;
  bool found = false;
  while ((found = source_.next(record)) && text::trimmed_length(record) == 0) {
  }
  if (found && is_end_of_file_record(record)) {
    tell(RecordKind::end_of_file, source_.position() - 1);
    return;
  }
  if (!found) {
    note(Severity::warning, source_.size() - 1, "the file has no End_of_File line after the last case",
         "fisierul nu are linia Sfarsit de fisier dupa ultimul caz");
    return;
  }
  const std::size_t index = source_.position() - 1;
  note(Severity::warning, index, "the line after the last case is not the End_of_File line: " + quoted(index),
       "linia de dupa ultimul caz nu este linia Sfarsit de fisier: " + quoted(index));
}

Step OldFileReader::read_operator_code() {
  std::string_view record;
  do {
    if (!source_.next(record)) return fail(Expected::operator_code, true);
    if (record.starts_with("//")) tell(RecordKind::comment, source_.position() - 1);
  } while (record.starts_with("//"));
  tell(RecordKind::operator_code, source_.position() - 1);
  g_().operator_code = text::padded(record, 7);
  g_().new_operator = model::six_coefficient_operator(g_());
  return Step::go_on;
}

// The two-coefficient operator has no Delta and Teta values; the dialog shows them as "0.".
Step OldFileReader::read_coefficients() {
  double v[6] = {0, 0, 0, 0, 0, 0};
  const ReadStatus status = g_().new_operator
      ? read(RecordKind::coefficients,
             {target(v[0]), target(v[1]), target(v[2]), target(v[3]), target(v[4]), target(v[5])})
      : read(RecordKind::coefficients, {target(v[0]), target(v[1])});
  if (status != ReadStatus::ok) return fail(Expected::coefficients, status);
  if (g_().new_operator) {
    g_().beta = coefficient_text(v[0]);
    g_().teta = coefficient_text(v[1]);
    g_().gamma = coefficient_text(v[2]);
    g_().teta1 = coefficient_text(v[3]);
    g_().delta = coefficient_text(v[4]);
    g_().teta2 = coefficient_text(v[5]);
    g_().standard_coefficients = v[0] == 0 && v[2] == 0 && v[4] == 0;
  } else {
    g_().beta = coefficient_text(v[0]);
    g_().gamma = coefficient_text(v[1]);
    g_().teta = g_().teta1 = g_().delta = g_().teta2 = "0.";
    g_().standard_coefficients = v[0] == 0 && v[1] == 0;
  }
  return Step::go_on;
}

Step OldFileReader::read_case_count() {
  int n = 0;
  const ReadStatus status = read(RecordKind::case_count, {target(n)});
  if (status != ReadStatus::ok) return fail(Expected::case_count, status);
  if (n < 0 || n > max_loading_cases) return fail(Expected::case_count, false);
  a_.general.n_loading_cases = n;
  a_.cases.assign(n, model::Case{});
  result_.cases_read = true;
  return Step::go_on;
}

Step OldFileReader::read_case(model::Case& the_case) {
  if (read_damping_code() == Step::stop) return Step::stop;
  const Step head = read_case_head(the_case.record);
  if (head != Step::go_on) return head;
  if (read_initial_conditions(the_case) == Step::stop) return Step::stop;
  if (a_.damping.present && read_damping() == Step::stop) return Step::stop;
  if (read_initial_loading(the_case) == Step::stop) return Step::stop;
  return read_loading_data(the_case);
}

Step OldFileReader::read_damping_code() {
  int code = 0;
  const ReadStatus status = read(RecordKind::damping_code, {target(code)});
  if (status != ReadStatus::ok) return fail(Expected::damping_code, status);
  if (code < 0 || code > 4) return fail(Expected::damping_code, false);
  a_.damping.type = model::code_from_number<model::DampingType>(code);
  a_.damping.present = a_.damping.type != model::DampingType::none;
  return Step::go_on;
}

// C2 and C3. A value is stored only when its whole record was read.
Step OldFileReader::read_case_head(model::CaseRecord& c) {
  model::CaseRecord p;
  std::size_t before = source_.position();
  int loading_type = 0, mass_model = 0, printing_code = 0;
  ReadStatus status = read(RecordKind::tolerance, {target(p.tolerance), target(p.iteration_limit)});
  if (status == ReadStatus::end_of_file) return fail(Expected::tolerance, status);
  if (status == ReadStatus::error) {
    abandon_case(before, "tolerance record", "inregistrarea tolerantei", true);
    return Step::abandon_case;
  }
  c.tolerance = p.tolerance;
  c.iteration_limit = p.iteration_limit;
  before = source_.position();
  status = read(RecordKind::case_parameters, {target(loading_type), target(p.time_step), target(p.end_time), target(mass_model),
                 target(p.gravity_acceleration), target(printing_code), target(p.printing_time)});
  if (status == ReadStatus::end_of_file) return fail(Expected::case_parameters, status);
  if (status == ReadStatus::error) {
    abandon_case(before, "case parameters record", "inregistrarea parametrilor", true);
    return Step::abandon_case;
  }
  if (!valid_loading_type(loading_type)) return fail(Expected::loading_type, false);
  c.loading_type = model::code_from_number<model::LoadingType>(loading_type);
  c.time_step = p.time_step;
  c.end_time = p.end_time;
  c.mass_model = model::code_from_number<model::MassModel>(mass_model);
  c.gravity_acceleration = p.gravity_acceleration;
  c.printing_code = model::code_from_number<model::PrintingCode>(printing_code);
  c.printing_time = p.printing_time;
  return Step::go_on;
}

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

Step OldFileReader::read_damping() {
  model::Damping& d = a_.damping;
  if (g_().new_operator) {
    float niu = 0;
    const ReadStatus status = read(RecordKind::niu, {target(niu)});
    if (status != ReadStatus::ok) return fail(Expected::niu, status);
    d.niu = niu;
  }
  float first = 0, second = 0;
  if (d.type == model::DampingType::structural) {
    const ReadStatus status = read(RecordKind::zeta, {target(first)});
    if (status != ReadStatus::ok) return fail(Expected::zeta, status);
    d.zeta = first;
    return Step::go_on;
  }
  const ReadStatus status = read(RecordKind::damping_values, {target(first), target(second)});
  if (status != ReadStatus::ok) return fail(Expected::damping_values, status);
  if (d.type == model::DampingType::rayleigh) {
    d.alfa_d = first;
    d.beta_d = second;
    return Step::go_on;
  }
  d.ro_air = first;
  d.c_drag = second;
  if (read_diameters() == Step::stop) return Step::stop;
  if (d.type != model::DampingType::aero_structural) return Step::go_on;
  float zeta = 0;
  const ReadStatus zeta_status = read(RecordKind::zeta, {target(zeta)});
  if (zeta_status != ReadStatus::ok) return fail(Expected::zeta, zeta_status);
  d.zeta = zeta;
  return Step::go_on;
}

Step OldFileReader::read_diameters() {
  std::vector<model::DiameterGroup> records;
  model::DiameterGroup g;
  const std::vector<text::Target> targets{target(g.first_element), target(g.last_element), target(g.diameter)};
  for (;;) {
    const std::size_t before = source_.position();
    g = {};
    const ReadStatus status = read(RecordKind::diameter, targets);
    if (status == ReadStatus::end_of_file) return fail(Expected::diameters, status);
    if (status == ReadStatus::error || source_.position() == before) {
      check_section_end(before, Section::diameters);
      break;
    }
    records.push_back(g);
  }
  a_.damping.diameters = diameter_groups(element_diameters(records, g_().n_elements));
  a_.damping.n_diameter_groups = static_cast<int>(a_.damping.diameters.size());
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

Step OldFileReader::read_loading_data(model::Case& the_case) {
  switch (the_case.record.loading_type) {
    case model::LoadingType::sinusoidal:
    case model::LoadingType::exponential: return read_amplitudes(the_case);
    case model::LoadingType::discrete: return read_time_points(the_case);
    case model::LoadingType::accelerogram_3_directions:
    case model::LoadingType::accelerogram_1_direction: break;
  }
  return read_accelerogram(the_case);
}

Step OldFileReader::read_amplitudes(model::Case& the_case) {
  model::CaseRecord& c = the_case.record;
  const bool sinusoidal = c.loading_type == model::LoadingType::sinusoidal;
  float omega = 0, phi = 0;
  const std::size_t before = source_.position();
  const ReadStatus status = sinusoidal ? read(RecordKind::loading_parameters, {target(omega), target(phi)})
                                       : read(RecordKind::loading_parameters, {target(omega)});
  if (status == ReadStatus::end_of_file) return fail(Expected::loading_parameters, status);
  if (status == ReadStatus::error) {
    abandon_case(before, "loading parameters record (omega, phi)",
                 "inregistrarea parametrilor incarcarii (omega, phi)", false);
    return Step::abandon_case;
  }
  c.omega = omega;
  if (sinusoidal) c.phi = phi;
  model::AmplitudeLoading amplitudes{c.loading_type, {}};
  const Step step =
      read_ranges(model::case_files::load_slots(g_().n_dof), Expected::loading_data, Section::loading_data, amplitudes.ranges);
  if (step != Step::go_on) return step;
  c.n_load_ranges = static_cast<int>(amplitudes.ranges.size());
  the_case.loading(model::loading_kind(c.loading_type)) = model::Loading{loaded_style(), std::move(amplitudes)};
  return Step::go_on;
}

// Time records and range records alternate with nothing between time points: a record that
// cannot be read as a range is read again as the next time, and one that is no time either
// (the end line) ends the section.
Step OldFileReader::read_time_points(model::Case& the_case) {
  model::DiscreteLoading points;
  RangeTargets range(model::case_files::load_slots(g_().n_dof));
  float time = 0;
  const std::vector<text::Target> time_target{target(time)};
  for (;;) {
    const std::size_t before = source_.position();
    time = 0;
    const ReadStatus status = read(RecordKind::time, time_target);
    if (status == ReadStatus::end_of_file) return fail(Expected::loading_data, status);
    if (status == ReadStatus::error || source_.position() == before) {
      check_section_end(before, Section::loading_data);
      break;
    }
    if (holds_more_than_one_value(source_.record(before)))
      note(Severity::error, before,
           "a time of " + of_case(false) + " is read from a line of more than one value: " + quoted(before),
           "un timp din " + of_case(true) + " este citit dintr-o linie cu mai multe valori: " + quoted(before));
    if (!room_for_point(points.size())) return too_many_points();
    if (read_point_ranges(range, points.ranges) == Step::stop) return Step::stop;
    points.end_point(time);
  }
  the_case.record.n_time_points = static_cast<int>(points.size());
  if (!keeps_texts()) points = {};
  the_case.loading(model::LoadingKind::discrete) = model::Loading{loaded_style(), std::move(points)};
  return Step::go_on;
}

// The ranges of one time point are appended to `ranges`, after those of the points before it.
Step OldFileReader::read_point_ranges(RangeTargets& range, std::vector<model::NodeRange>& ranges) {
  const std::size_t first = ranges.size();
  for (;;) {
    const std::size_t before = source_.position();
    const ReadStatus status = read(RecordKind::point_load, range.empty_targets());
    if (status == ReadStatus::end_of_file) return fail(Expected::loading_data, status);
    if (status == ReadStatus::error || source_.position() == before) {
      const bool separator =
          before < source_.size() && model::case_files::time_point_separator(source_.record(before));
      source_.seek(separator ? before + 1 : before);
      if (separator) tell(RecordKind::time_separator, before);
      return Step::go_on;
    }
    if (!room_for_range(ranges.size() - first)) return fail(Expected::node_ranges_limit, false);
    ranges.push_back(range.value());
  }
}

// A one-direction accelerogram carries the component of accel_direction only; the file does
// not say which direction that is, so the direction of the moment (X when none) is kept.
// Accelerograms are the bulk of a large loading file: a point record of plain constants is
// taken apart once, and a constant that already is its value's G14.7 text is copied into the
// case file as it stands instead of being made again.
Step OldFileReader::read_accelerogram(model::Case& the_case) {
  model::CaseRecord& c = the_case.record;
  const bool one_direction = c.loading_type == model::LoadingType::accelerogram_1_direction;
  const model::AccelDirection direction = reading_direction(a_.accel_direction);
  model::AccelPoint p;
  std::vector<text::Target> targets{target(p.time)};
  if (one_direction)
    targets.push_back(target(p.acceleration[slot(direction)]));
  else
    for (int j = 0; j < std::clamp(g_().n_dof, 0, 3); ++j) targets.push_back(target(p.acceleration[j]));
  const std::size_t n_values = targets.size();
  float values[4];
  std::string_view texts[4];
  std::vector<model::AccelPoint> points;
  model::LoadedTexts kept;
  const bool keep_texts = keeps_texts();
  // Room for every record left (untouched room costs no memory): the table is never copied.
  if (keep_texts) {
    const std::size_t room = std::min<std::size_t>(source_.size() - source_.position(),
                                                   static_cast<std::size_t>(std::max(max_time_points_, 0)));
    points.reserve(room);
    kept.record_starts.reserve(room);
    kept.own.reserve(room);
  }
  std::size_t n_points = 0;
  if (keep_texts) {
    kept.file = source_.text();
    kept.file_size = source_.text_size();
  }
  for (;;) {
    const std::size_t before = source_.position();
    p = {};
    if (stop_requested()) return fail(Expected::loading_data, true);
    std::string_view record;
    bool plain = source_.next(record) && text::read_plain_reals(record, {values, n_values}, {texts, n_values});
    if (plain) {
      for (std::size_t j = 0; j < n_values; ++j) *static_cast<float*>(targets[j].address) = values[j];
    } else {
      source_.seek(before);
      const ReadStatus status = text::read_free_form(source_, targets);
      if (status == ReadStatus::end_of_file) return fail(Expected::loading_data, status);
      if (status == ReadStatus::error || source_.position() == before) {
        check_section_end(before, Section::loading_data);
        break;
      }
      for (std::size_t j = 0; j < n_values; ++j) values[j] = *static_cast<float*>(targets[j].address);
    }
    tell(RecordKind::accel_point, before, targets);
    if (!room_for_point(n_points)) return too_many_points();
    ++n_points;
    // A reading told to an observer (the check, the viewer's labels) keeps no points: the
    // observer has each as it is read, and a file of many points then costs its text once.
    if (!keep_texts) continue;
    points.push_back(p);
    std::uint8_t own = 0;
    for (std::size_t j = 0; plain && j < n_values; ++j)
      if (text::is_g14_7_text(texts[j], values[j])) own |= static_cast<std::uint8_t>(1u << j);
    if (own == (1u << n_values) - 1 && model::case_files::is_point_record(record, {texts, n_values}))
      own |= model::LoadedTexts::whole_record;
    kept.record_starts.push_back(static_cast<std::uint32_t>(own ? record.data() - kept.file.get() : 0));
    kept.own.push_back(own);
  }
  c.n_time_points = static_cast<int>(n_points);
  if (one_direction) a_.accel_direction = direction;
  the_case.loading(model::LoadingKind::accelerogram) =
      model::Loading{loaded_style(), model::Accelerogram{c.loading_type, direction, std::move(points), std::move(kept)}};
  return Step::go_on;
}

}  // namespace

ReadResult read(text::RecordSource& source, const ReadStart& start, ReadObserver* observer) {
  return OldFileReader(source, start, observer).run();
}

ReadResult read(std::string_view bytes, const ReadStart& start, ReadObserver* observer) {
  text::RecordSource source(bytes);
  return read(source, start, observer);
}

namespace {

// value = 0.<digits> x 10^exponent, with the fewest digits that read back as the same double.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal shortest_decimal(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
  std::string_view s(buffer, static_cast<std::size_t>(end - buffer));
  Decimal d;
  d.negative = s.front() == '-';
  if (d.negative) s.remove_prefix(1);
  const std::size_t e = s.find('e');
  for (const char c : s.substr(0, e))
    if (c != '.') d.digits += c;
  d.exponent = std::atoi(std::string(s.substr(e + 1)).c_str()) + 1;
  return d;
}

std::string fixed_form(const Decimal& d) {
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent <= 0) return "0." + std::string(-d.exponent, '0') + d.digits;
  if (d.exponent < n) return d.digits.substr(0, d.exponent) + "." + d.digits.substr(d.exponent);
  return d.digits + std::string(d.exponent - n, '0') + ".";
}

// As G14.7 shows large and small values, for example 0.45E-05.
std::string exponent_form(const Decimal& d) {
  const int e = d.exponent;
  std::string exponent = std::to_string(e < 0 ? -e : e);
  if (exponent.size() < 2) exponent.insert(0, "0");
  return "0." + d.digits + "E" + (e < 0 ? "-" : "+") + exponent;
}

// Shorter forms for values that the two above cannot hold in 10 characters: 4.5429E-6,
// 45429E-10, 1234567890.
std::vector<std::string> compact_forms(const Decimal& d) {
  const int n = static_cast<int>(d.digits.size());
  std::vector<std::string> forms{d.digits.substr(0, 1) + "." + d.digits.substr(1) + "E" + std::to_string(d.exponent - 1),
                                 d.digits + "E" + std::to_string(d.exponent - n)};
  if (d.exponent >= n) forms.push_back(d.digits + std::string(d.exponent - n, '0'));
  return forms;
}

constexpr std::size_t coefficient_length = 10;

// The closest value 10 characters can show, when no form holds every digit.
std::string rounded_coefficient_text(double value) {
  std::string best = "0.";
  for (int digits = 1; digits <= 9; ++digits) {
    std::string t = text::format_g(value, 24, digits);
    text::tidy_number_text(t);
    t = std::string(text::trim_right(t));
    if (t.size() <= coefficient_length) best = t;
  }
  return best;
}

}  // namespace

std::string coefficient_text(double value) {
  if (value == 0) return "0.";
  if (!std::isfinite(value)) return rounded_coefficient_text(value);
  const Decimal d = shortest_decimal(value);
  const std::string sign = d.negative ? "-" : "";
  for (const std::string& form : {fixed_form(d), exponent_form(d)})
    if (sign.size() + form.size() <= coefficient_length) return sign + form;
  std::string shortest;
  for (const std::string& form : compact_forms(d))
    if (shortest.empty() || form.size() < shortest.size()) shortest = form;
  if (sign.size() + shortest.size() <= coefficient_length) return sign + shortest;
  return rounded_coefficient_text(value);
}

}  // namespace loadfile
