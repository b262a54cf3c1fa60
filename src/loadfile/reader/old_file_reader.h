// The reader of an old loading file, one section kind to a source file: each reads its records
// from the source into the analysis, tells the observer what it took them for, and says whether
// the case goes on.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "loadfile/reader_checks.h"
#include "loadfile/reader_parse.h"
#include "model/case_files/point_records.h"
#include "model/case_files/scratch_layouts.h"
#include "model/case_files/section_records.h"
#include "text/fixed_text.h"
#include "text/free_form.h"

namespace loadfile::reader {

using text::ReadStatus;
using text::target;

// Whether a section reader lets the case go on, gives the case up (the rule for an
// unreadable C2, C3 or C10: go on with the next case), or stops the whole reading.
enum class Step {
  go_on,         // the section was read; read the next one
  abandon_case,  // the rest of this case block is not read; go on with the next case
  stop,          // a fault or the time-point limit was recorded in the result
};

using model::case_files::AccelRecord;
using model::case_files::RangeTargets;

// The component slot of a chosen direction (X 0, Y 1, Z 2).
inline int slot(model::AccelDirection direction) { return model::code_number(direction) - 1; }

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
  Step read_accelerogram(model::Case& the_case);
  Step read_accel_record(const std::vector<text::Target>& targets, AccelRecord& record);
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

}  // namespace loadfile::reader
