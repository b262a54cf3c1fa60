// C10 and C11: the loading parameters and the loading data of each loading type.
#include "loadfile/reader/old_file_reader.h"

#include <algorithm>
#include <optional>

#include "text/format.h"

namespace loadfile::reader {

namespace {

// The direction a one-direction accelerogram is read in: the one of the moment, X when none.
model::AccelDirection reading_direction(model::AccelDirection direction) {
  return direction == model::AccelDirection::none ? model::AccelDirection::x : direction;
}

// The points of a loaded accelerogram, and where the file holds their records: the writer
// copies a constant of them that is already the text it would make, told once here for the
// points whose constants all are.
class KeptPoints {
 public:
  // Room for every record left (untouched room costs no memory): the table is never copied.
  KeptPoints(const text::RecordSource& source, std::size_t room) : texts_(source.text(), source.text_size()) {
    points_.reserve(room);
  }

  // `record` is the first of the `records` records the point was read from.
  void add(const model::AccelPoint& p, const AccelRecord& record, std::size_t records) {
    points_.push_back(p);
    bool spelt_as_written = record.plain;
    for (std::size_t j = 0; spelt_as_written && j < record.n_values; ++j)
      spelt_as_written = text::is_g14_7_text(record.texts[j], record.values[j]);
    texts_.add(static_cast<std::size_t>(record.text.data() - texts_.file()), records, record.plain, spelt_as_written);
  }

  void move_to(model::Accelerogram& accelerogram) {
    accelerogram.points = std::move(points_);
    accelerogram.texts = std::move(texts_);
  }

 private:
  std::vector<model::AccelPoint> points_;
  model::LoadedTexts texts_;
};

}  // namespace

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

// The section's records are read as a case file's are; what LOAD adds is watched here: the
// observer hears of each record, a time read from a line of more values is warned of, and the
// limits of time points and of ranges stop the reading.
Step OldFileReader::read_time_points(model::Case& the_case) {
  struct Watch {
    OldFileReader& r;
    bool points_full = false;
    bool stop_requested() const { return r.stop_requested(); }
    bool time_read(std::size_t first, std::size_t n_points, std::span<const text::Target> time) {
      r.tell(RecordKind::time, first, time);
      if (holds_more_than_one_value(r.source_.record(first)))
        r.note(Severity::error, first,
               "a time of " + r.of_case(false) + " is read from a line of more than one value: " + r.quoted(first),
               "un timp din " + r.of_case(true) + " este citit dintr-o linie cu mai multe valori: " + r.quoted(first));
      points_full = !r.room_for_point(n_points);
      return !points_full;
    }
    bool range_read(std::size_t first, std::size_t n_ranges, std::span<const text::Target> range) {
      r.tell(RecordKind::point_load, first, range);
      return r.room_for_range(n_ranges);
    }
    void separator(std::size_t at) { r.tell(RecordKind::time_separator, at); }
  } watch{*this};
  model::DiscreteLoading points;
  const model::case_files::DiscreteRead read = model::case_files::read_discrete_records(source_, g_().n_dof, points, watch);
  if (read.end == model::case_files::DiscreteEnd::end_of_file) return fail(Expected::loading_data, true);
  if (read.end == model::case_files::DiscreteEnd::refused)
    return watch.points_full ? too_many_points() : fail(Expected::node_ranges_limit, false);
  check_section_end(read.record, Section::loading_data);
  the_case.record.n_time_points = static_cast<int>(points.size());
  if (!keeps_texts()) points = {};
  the_case.loading(model::LoadingKind::discrete) = model::Loading{loaded_style(), std::move(points)};
  return Step::go_on;
}

// A one-direction accelerogram carries the component of accel_direction only; the file does
// not say which direction that is, so the direction of the moment (X when none) is kept.
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
  AccelRecord record;
  record.n_values = targets.size();
  // A reading told to an observer (the check, the viewer's labels) keeps no points: the
  // observer has each as it is read, and a file of many points then costs its text once.
  std::optional<KeptPoints> kept;
  if (keeps_texts())
    kept.emplace(source_, std::min<std::size_t>(source_.size() - source_.position(),
                                                 static_cast<std::size_t>(std::max(max_time_points_, 0))));
  std::size_t n_points = 0;
  for (;;) {
    const std::size_t before = source_.position();
    p = {};
    const Step step = read_accel_record(targets, record);
    if (step == Step::stop) return step;
    if (step == Step::abandon_case) break;
    tell(RecordKind::accel_point, before, targets);
    if (!room_for_point(n_points)) return too_many_points();
    ++n_points;
    if (kept) kept->add(p, record, source_.position() - before);
  }
  c.n_time_points = static_cast<int>(n_points);
  if (one_direction) a_.accel_direction = direction;
  model::Accelerogram loaded{c.loading_type, direction, {}, {}};
  if (kept) kept->move_to(loaded);
  the_case.loading(model::LoadingKind::accelerogram) = model::Loading{loaded_style(), std::move(loaded)};
  return Step::go_on;
}

// Accelerograms are the bulk of a large loading file: a point record of plain constants is
// taken apart once, and any other is read free-form. go_on with the point in `targets`,
// abandon_case at the end of the section (the end of the loading data, not of the case).
Step OldFileReader::read_accel_record(const std::vector<text::Target>& targets, AccelRecord& record) {
  const std::size_t before = source_.position();
  if (stop_requested()) return fail(Expected::loading_data, true);
  const ReadStatus status = model::case_files::read_point_record(source_, targets, record);
  if (status == ReadStatus::end_of_file) return fail(Expected::loading_data, status);
  if (status == ReadStatus::error) {
    check_section_end(before, Section::loading_data);
    return Step::abandon_case;
  }
  return Step::go_on;
}

}  // namespace loadfile::reader
