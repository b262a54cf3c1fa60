// The Discrete Loading editor: the time points of one case and, per time point, the loading
// of node ranges. It edits a copy of time_point_table and writes it back, and into the case's
// TP.dat, on "SAVE Changes".
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/editors/editors.h"
#include "dialogs/editors/import_dialog.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/editors/node_ranges.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace editors {

namespace {

namespace id {
constexpr ui::ControlId dialog = 104, time = 1052, add_time = 1053, time_list = 1102,
                        remove_time = 1083, from = 1084, to = 1085, unit = 1081, zeros = 1116,
                        add_range = 1050, node_list = 1049, remove_range = 1082, save = 1093,
                        import = 1152, plot = 1153, cancel = 2;
}  // namespace id

constexpr Row loading_row{1055, 1056, 1057};
constexpr std::size_t time_length = 24;
constexpr std::size_t loading_length = 16;

const app::TimePoint empty_time_point{};
const app::NodeRange zero_range{};

// The time points of the working copy, 1-based. Entries past the stored ones are empty time
// points, so the copy holds what was entered and no more.
class TimePoints {
 public:
  explicit TimePoints(std::vector<app::TimePoint> entries) : entries_(std::move(entries)) {}
  const std::vector<app::TimePoint>& entries() const { return entries_; }
  int stored() const { return static_cast<int>(entries_.size()); }
  const app::TimePoint& entry(int i) const {
    return i >= 1 && i <= stored() ? entries_[i - 1] : empty_time_point;
  }
  app::TimePoint& at(int i) {
    if (stored() < i) entries_.resize(i);
    return entries_[i - 1];
  }
  // Notes whether times 1..count ascend, which lets the two searches below halve their way.
  void check_order(int count);
  bool holds_time(float t, int count) const;
  // How many of times 1..count are below t: where "ADD >>" puts the new time.
  int count_below(float t, int count) const;
  void insert(int position, float t, int count);
  bool remove(int selected, int& count);
  void replace(std::vector<app::TimePoint> entries) {
    entries_ = std::move(entries);
    drop_empty_tail();
  }

 private:
  void drop_empty_tail();
  bool searchable(int count) const { return ascending_ && count <= stored(); }
  std::vector<app::TimePoint> entries_;
  // Times 1..count ascend (with no NaN). Insertions at count_below and removals keep that
  // order; a table handed over out of order (an old loading file) is searched one by one.
  bool ascending_ = false;
};

void TimePoints::check_order(int count) {
  ascending_ = count <= stored();
  for (int i = 1; ascending_ && i <= count; ++i)
    ascending_ = entries_[i - 1].time == entries_[i - 1].time && (i == 1 || entries_[i - 2].time <= entries_[i - 1].time);
}

bool TimePoints::holds_time(float t, int count) const {
  if (searchable(count)) {
    const int below = count_below(t, count);
    return below < count && entries_[below].time == t;
  }
  for (int i = 1; i <= count; ++i)
    if (entry(i).time == t) return true;
  return false;
}

int TimePoints::count_below(float t, int count) const {
  if (searchable(count))
    return static_cast<int>(std::lower_bound(entries_.begin(), entries_.begin() + count, t,
                                             [](const app::TimePoint& p, float v) { return p.time < v; }) -
                            entries_.begin());
  int below = 0;
  for (int i = 1; i <= count; ++i) below += entry(i).time < t ? 1 : 0;
  return below;
}

// Entries position..count move up one place with their ranges (overwriting entry count+1);
// the new entry at `position` has the time and no ranges.
void TimePoints::insert(int position, float t, int count) {
  at(count + 1);
  std::move_backward(entries_.begin() + (position - 1), entries_.begin() + count,
                     entries_.begin() + (count + 1));
  entries_[position - 1] = app::TimePoint{t, 0, {}};
  if (t != t) ascending_ = false;
}

bool TimePoints::remove(int selected, int& count) {
  // Entries move with their ranges; nothing is copied.
  const bool changed = remove_entry(
      selected, count,
      [&](int i) {
        if (i < stored()) entries_[i - 1] = std::move(entries_[i]);
        else if (i == stored()) entries_[i - 1] = app::TimePoint{};
      },
      [&](int i) {
        if (i <= stored()) at(i) = app::TimePoint{};
      });
  drop_empty_tail();
  return changed;
}

void TimePoints::drop_empty_tail() {
  while (!entries_.empty() && entries_.back() == empty_time_point) entries_.pop_back();
}

const app::NodeRange& range_of(const app::TimePoint& point, int k) {
  return k >= 1 && k <= static_cast<int>(point.ranges.size()) ? point.ranges[k - 1] : zero_range;
}

app::NodeRange& range_at(app::TimePoint& point, int k) {
  if (static_cast<int>(point.ranges.size()) < k) point.ranges.resize(k);
  return point.ranges[k - 1];
}

// The node ranges belong to a time point: none can be added or shown without one.
void report_no_time_point(app::Context& context) {
  context.message("No Time Point has been selected or added!",
                  "Nici un punct de timp nu a fost delectat sau adaugat!", "Processed Message",
                  ui::Icon::error);
}

class DiscreteLoadingEditor {
 public:
  DiscreteLoadingEditor(app::Context& context, ui::Dialog& dialog)
      : context_(context),
        state_(context.state),
        dialog_(dialog),
        case_number_(context.state.current_case),
        work_(context.state.time_point_table),
        times_(dialog, id::time_list),
        nodes_(dialog, id::node_list) {}

  void set_up();
  void on_control(ui::ControlId control);
  // DONE and Cancel discard the unsaved time points, so the count goes back to what the file
  // and the table hold: a count beyond them would give time points of time 0 on the next save.
  void closed() { n_time_points() = saved_count_; }
  bool changes_saved = false;  // set by a SAVE that wrote the case file

 private:
  int& n_time_points() { return state_.case_records[case_number_].n_time_points; }
  int time_items() const { return std::max(state_.max_time_points, 0); }

  void show_ranges(int s);
  void add_time();
  void select_time();
  void remove_time();
  void add_range();
  void select_range();
  void remove_range();
  void save();
  void import_history();
  void plot();

  app::Context& context_;
  app::ProgramState& state_;
  ui::Dialog& dialog_;
  int case_number_;
  TimePoints work_;
  ListItems times_;
  ListItems nodes_;
  int saved_count_ = 0;  // n_time_points as last saved (or as the editor opened)
  // Items 1..times_shown_ show the tidied times of their entries: an addition sets only the
  // items from the new time on, so entering a long list in order costs one item a time.
  int times_shown_ = 0;
};

void DiscreteLoadingEditor::set_up() {
  saved_count_ = n_time_points();
  times_.reset(time_items());
  nodes_.reset(state_.n_nodes);
  dialog_.set_text(id::unit, state_.force_unit.trimmed());
  if (state_.n_dof == 2) dialog_.set_enabled(loading_row.z, false);
  const int shown_times = std::min(n_time_points(), time_items());
  for (int i = 1; i <= shown_times; ++i) {
    const float t = work_.entry(i).time;
    times_.set(i, t == 0 ? std::string() : shown(t));
  }
  for (ui::ControlId c : {id::add_time, id::add_range, id::remove_time, id::remove_range})
    dialog_.set_enabled(c, false);
  work_.check_order(n_time_points());
}

void DiscreteLoadingEditor::show_ranges(int s) {
  const app::TimePoint& point = work_.entry(s);
  nodes_.show(std::min(point.n_ranges, state_.n_nodes),
              [&](int i) { return range_item_text(range_of(point, i)); });
}

void DiscreteLoadingEditor::add_time() {
  const float t = text::c_to_float(dialog_.text(id::time, time_length), time_length);
  int& n = n_time_points();
  if (!work_.holds_time(t, n)) {
    // A full list refuses the time, and the list and "ADD >>" then act as for a time it holds.
    if (n >= time_items()) {
      report_time_points_full(context_, time_items());
    } else if (n == 0) {
      work_.at(1).time = t;
      work_.check_order(1);
      n = 1;
      times_shown_ = 0;
    } else {
      const int position = work_.count_below(t, n) + 1;
      work_.insert(position, t, n);
      ++n;
      times_shown_ = std::min(times_shown_, position - 1);
    }
  }
  // Only the items of the time points in use are set; the items after them keep what the
  // last "Remove" showed there.
  const int in_use = std::min(n, time_items());
  for (int i = times_shown_ + 1; i <= in_use; ++i) times_.set(i, shown(work_.entry(i).time));
  times_shown_ = std::max(times_shown_, in_use);
  dialog_.set_enabled(id::add_range, true);
}

void DiscreteLoadingEditor::select_time() {
  const int s = dialog_.selection(id::time_list);
  const float t = work_.entry(s).time;
  dialog_.set_text(id::time, t == 0 ? std::string() : shown(t));
  show_ranges(s);
  dialog_.set_text(id::from, " ");
  dialog_.set_text(id::to, " ");
  fill_row(dialog_, loading_row, state_.n_dof, " ");
  dialog_.set_enabled(id::remove_time, t != 0);
  dialog_.set_enabled(id::add_time, t != 0);
}

// After a removal the whole list is shown again, by G16.6 untidied as the user has always
// seen it there.
void DiscreteLoadingEditor::remove_time() {
  if (!work_.remove(dialog_.selection(id::time_list), n_time_points())) return;
  times_shown_ = 0;
  times_.show(std::min(work_.stored(), time_items()), [&](int i) {
    const float t = work_.entry(i).time;
    return t == 0 ? std::string() : std::string(text::trim_right(text::format_g(t, 16, 6)));
  });
}

void DiscreteLoadingEditor::add_range() {
  const int s = dialog_.selection(id::time_list);
  const TypedNodes nodes = read_nodes(dialog_, id::from, id::to);
  app::NodeRange range{nodes.first, nodes.last};
  read_row(dialog_, loading_row, state_.n_dof, loading_length, range.components);
  if (s == 0)
    return report_no_time_point(context_);
  if (nodes.last < nodes.first) return report_to_before_from(context_);
  if (!nodes_in_model(context_, nodes)) return;
  app::TimePoint& point = work_.at(s);
  const int found = find_range_by_text(nodes_, point.n_ranges, nodes.from_text, nodes.to_text);
  if (found != 0) {
    std::copy_n(range.components, row_directions(state_.n_dof), range_at(point, found).components);
    return;
  }
  if (point.n_ranges >= state_.n_nodes) return report_ranges_full(context_, state_.n_nodes);
  range_at(point, ++point.n_ranges) = range;
  show_ranges(s);
}

void DiscreteLoadingEditor::select_range() {
  const int s = dialog_.selection(id::time_list);
  if (s == 0)
    return report_no_time_point(context_);
  const int k = dialog_.selection(id::node_list);
  const ItemParts parts = split_item(nodes_.item(k));
  dialog_.set_text(id::from, text::trim_right(parts.from.substr(0, node_text_length)));
  dialog_.set_text(id::to, text::trim_right(parts.to));
  show_row(dialog_, loading_row, state_.n_dof, range_of(work_.entry(s), k).components);
  dialog_.set_enabled(id::remove_range, true);
}

void DiscreteLoadingEditor::remove_range() {
  const int s = dialog_.selection(id::time_list);
  const int k = dialog_.selection(id::node_list);
  if (s == 0 || k == 0 || work_.entry(s).n_ranges == 0) return;
  app::TimePoint& point = work_.at(s);
  remove_entry(
      k, point.n_ranges, [&](int i) { range_at(point, i) = app::NodeRange(range_of(point, i + 1)); },
      [&](int i) {
        if (i <= static_cast<int>(point.ranges.size())) point.ranges[i - 1] = app::NodeRange{};
      });
  point.ranges.resize(std::min<std::size_t>(point.ranges.size(), point.n_ranges));
  show_ranges(s);
}

void DiscreteLoadingEditor::save() {
  state_.time_point_table = work_.entries();
  const int n = n_time_points();
  if (n >= 1) {
    std::vector<std::string> records;
    for (int i = 1; i <= n; ++i) {
      const app::TimePoint& point = work_.entry(i);
      records.push_back(layouts::time_record(point.time));
      for (int k = 1; k <= point.n_ranges; ++k)
        if (writable(range_of(point, k)))
          records.push_back(layouts::discrete_range_record(range_of(point, k), state_.n_dof));
    }
    records.push_back(layouts::end_of_case_record(case_number_));
    const std::string path = cases::scratch_file_path(state_.case_folder, case_number_,
                                                     cases::ScratchKind::discrete_loading);
    if (!save_case_file(context_, path, records)) return;
  }
  saved_count_ = n_time_points();
  state_.loading_saved[case_number_] = true;
  changes_saved = true;
  dialog_.set_enabled(id::cancel, false);
}

// Each row of the history (time, then X, Y, Z) becomes the loading of the typed node range at
// the time point of that time: an existing time point gets the range added or its loading
// replaced (found by its text, as ADD finds it), a new time takes its place in time order.
// A column the file does not have loads that direction with 0. The rows are merged with the
// time points in one pass, and nothing changes until every question is answered.
void DiscreteLoadingEditor::import_history() {
  const TypedNodes nodes = read_nodes(dialog_, id::from, id::to);
  if (nodes.last < nodes.first) return report_to_before_from(context_);
  if (!nodes_in_model(context_, nodes)) return;
  std::optional<ImportedHistory> imported = run_import_dialog(context_, ImportKind::load);
  if (!imported) return;
  const motion::Record& r = imported->record;
  const int n = n_time_points();
  const std::string from = text::padded(nodes.from_text, node_text_length);
  const std::string to = text::padded(nodes.to_text, node_text_length);
  const int directions = row_directions(state_.n_dof);
  std::vector<app::TimePoint> merged;
  merged.reserve(static_cast<std::size_t>(n) + r.point_count());
  int i = 1;
  for (std::size_t row = 0; row < r.point_count(); ++row) {
    const float t = static_cast<float>(r.time(row));
    if (row > 0 && !(t > static_cast<float>(r.time(row - 1)))) {
      context_.message("The times of " + imported->file + " cannot be stored apart from time " +
                           std::to_string(t) + " s on: nothing was imported.",
                       "Timpii din " + imported->file + " nu pot fi memorati distinct de la " +
                           std::to_string(t) + " s: nu s-a importat nimic.",
                       "Import Message", ui::Icon::error);
      return;
    }
    while (i <= n && work_.entry(i).time < t) merged.push_back(work_.entry(i++));
    if (i <= n && work_.entry(i).time == t) merged.push_back(work_.entry(i++));
    else merged.push_back(app::TimePoint{t, 0, {}});
    app::TimePoint& point = merged.back();
    app::NodeRange range{nodes.first, nodes.last};
    for (int c = 0; c < directions && c < static_cast<int>(r.components.size()); ++c)
      range.components[c] = static_cast<float>(r.components[c][row]);
    int found = 0;
    for (int k = 1; k <= point.n_ranges && found == 0; ++k) {
      const std::string item = range_item_text(range_of(point, k));
      const ItemParts parts = split_item(item);
      if (text::padded(parts.from, node_text_length) == from && text::padded(parts.to, node_text_length) == to)
        found = k;
    }
    if (found != 0) {
      std::copy_n(range.components, directions, range_at(point, found).components);
    } else if (point.n_ranges >= state_.n_nodes) {
      return report_ranges_full(context_, state_.n_nodes);
    } else {
      range_at(point, ++point.n_ranges) = range;
    }
  }
  while (i <= n) merged.push_back(work_.entry(i++));
  const int count = static_cast<int>(merged.size());
  if (count > time_items()) {
    const std::string needed = std::to_string(count), max = std::to_string(time_items());
    if (context_.message("The load history needs " + needed +
                             " Time Points; the Maximum No. of Time Points is " + max +
                             ".\nRaise the Maximum to " + needed + " for this run ?",
                         "Istoria incarcarii are nevoie de " + needed +
                             " puncte de timp; numarul maxim de puncte de timp este " + max +
                             ".\nMariti maximul la " + needed + " pentru aceasta rulare ?",
                         "Import Message", ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes)
      return;
    state_.max_time_points = count;
    times_.reset(time_items());
  }
  work_.replace(std::move(merged));
  n_time_points() = count;
  times_.show(count, [&](int k) { return shown(work_.entry(k).time); });
  // The selected item may now be another time point: the time and ranges shown follow it.
  const int s = dialog_.selection(id::time_list);
  if (s != 0) {
    dialog_.set_text(id::time, shown(work_.entry(s).time));
    show_ranges(s);
  }
  dialog_.set_enabled(id::add_range, true);
}

void DiscreteLoadingEditor::plot() {
  context_.toolkit.show_plot(discrete_loading_plot("Discrete loading of case " + std::to_string(case_number_),
                                                   work_.entries(), n_time_points(), state_.n_dof,
                                                   std::string(state_.force_unit.trimmed())));
}

void DiscreteLoadingEditor::on_control(ui::ControlId control) {
  switch (control) {
    case id::time: return dialog_.set_enabled(id::add_time, true);
    case id::add_time: return add_time();
    case id::time_list: return select_time();
    case id::remove_time: return remove_time();
    case id::add_range: return add_range();
    case id::node_list: return select_range();
    case id::remove_range: return remove_range();
    case id::zeros: return fill_row(dialog_, loading_row, state_.n_dof, "0.");
    case id::save: return save();
    case id::import: return import_history();
    case id::plot: return plot();
    default: return;  // "From", "To" and the loading edits are read by "ADD >>"
  }
}

constexpr ui::ControlId callback_controls[] = {1052, 1084, 1085, 1116, 1055, 1056, 1057, 1102,
                                               1049, 1053, 1083, 1050, 1082, 1093, 1152, 1153};

}  // namespace

void open_discrete_loading_editor(app::Context& context, ui::Dialog&) {
  const app::ProgramState& state = context.state;
  const int c = state.current_case;
  if (!state.case_records.contains(c) || !state.loading_saved.contains(c)) return;
  run_editor_dialog<DiscreteLoadingEditor>(context, id::dialog, callback_controls);
}

}  // namespace editors
