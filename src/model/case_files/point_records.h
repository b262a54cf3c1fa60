// The one reader of each point layout, shared by a loading file's section and a case file:
// the discrete loading (time records, each followed by its node-range records) and the
// accelerogram's point records. LOAD watches what is read (its observer, its limits, its
// warnings); a case file taken back is read without a watcher.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "model/analysis.h"
#include "model/case_files/section_records.h"
#include "text/free_form.h"

namespace model::case_files {

// The targets of one node-range record, bound once to a range that every read refills.
class RangeTargets {
 public:
  explicit RangeTargets(const ComponentSlots& slots) {
    targets_ = {text::target(range_.first_node), text::target(range_.last_node)};
    for (int j = 0; j < slots.count; ++j) targets_.push_back(text::target(range_.components[slots.slot[j]]));
  }
  RangeTargets(const RangeTargets&) = delete;
  RangeTargets& operator=(const RangeTargets&) = delete;

  const std::vector<text::Target>& empty_targets() {
    range_ = {};
    return targets_;
  }
  // The targets as the last read filled them.
  const std::vector<text::Target>& targets() const { return targets_; }
  // A last node of 0 stands for a range of one node.
  NodeRange value() const {
    NodeRange r = range_;
    if (r.last_node == 0) r.last_node = r.first_node;
    return r;
  }

 private:
  NodeRange range_;
  std::vector<text::Target> targets_;
};

// "end_1", "end_2", ...: lines that older loading files carry between the time points of a
// discrete loading. They are not a record of the section but must not end it, or the rest of
// such a file could not be read.
bool time_point_separator(std::string_view record);

// A reading without a watcher: every record is taken, nothing is told.
struct Unwatched {
  bool stop_requested() const { return false; }
  bool time_read(std::size_t, std::size_t, std::span<const text::Target>) { return true; }
  bool range_read(std::size_t, std::size_t, std::span<const text::Target>) { return true; }
  void separator(std::size_t) {}
};

// How the records of a discrete loading ended, and at which record.
enum class DiscreteEnd {
  section_end,  // at a record that is no time (the end line)
  end_of_file,  // the records ran out, or the watcher asked to stop
  refused,      // the watcher refused a time point or a range
};
struct DiscreteRead {
  DiscreteEnd end;
  std::size_t record;  // section_end: the record that ended the section
};

// Appends the time points to `out`. A record that cannot be read as a range is read again as
// the next time, so the time records need no separator. The watcher hears of each record
// (its first line, the number of points or of the point's ranges before it, its values) and
// may refuse it; a time point cut off by the end of the records keeps the ranges read.
template <typename Watch>
DiscreteRead read_discrete_records(text::RecordSource& source, int n_dof, DiscreteLoading& out, Watch& watch) {
  RangeTargets range(load_slots(n_dof));
  float time = 0;
  const std::vector<text::Target> time_target{text::target(time)};
  auto read = [&](const std::vector<text::Target>& targets) {
    return watch.stop_requested() ? text::ReadStatus::end_of_file : text::read_free_form(source, targets);
  };
  for (;;) {
    std::size_t before = source.position();
    time = 0;
    text::ReadStatus status = read(time_target);
    if (status == text::ReadStatus::end_of_file) return {DiscreteEnd::end_of_file, before};
    if (status == text::ReadStatus::error || source.position() == before) return {DiscreteEnd::section_end, before};
    if (!watch.time_read(before, out.size(), time_target)) return {DiscreteEnd::refused, before};
    const std::size_t first = out.ranges.size();
    for (;;) {
      before = source.position();
      status = read(range.empty_targets());
      if (status == text::ReadStatus::end_of_file) {
        out.end_point(time);
        return {DiscreteEnd::end_of_file, before};
      }
      if (status == text::ReadStatus::error || source.position() == before) break;
      if (!watch.range_read(before, out.ranges.size() - first, range.targets())) return {DiscreteEnd::refused, before};
      out.ranges.push_back(range.value());
    }
    const bool separator = before < source.size() && time_point_separator(source.record(before));
    source.seek(separator ? before + 1 : before);
    if (separator) watch.separator(before);
    out.end_point(time);
  }
}

// One record of an accelerogram's points: the values of a record of plain constants come with
// their texts as they stand in the record.
struct AccelRecord {
  std::size_t n_values = 0;
  std::string_view text;
  bool plain = false;
  float values[4] = {};
  std::string_view texts[4];
};

// Reads one point record into `targets` (the time, then the components; at most 4). A record
// of plain constants is taken apart once, any other is read free-form. ok, error (no point:
// the end of the points, the source standing on it) or end_of_file.
text::ReadStatus read_point_record(text::RecordSource& source, const std::vector<text::Target>& targets,
                                   AccelRecord& record);

}  // namespace model::case_files
