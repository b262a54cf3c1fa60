// The Discrete Loading editor: the time points of one case and, per time point, the loading
// of node ranges. It edits a copy of time_point_table, which the Loading Cases dialog fills
// from the case's saved loading; "SAVE Changes" hands the points in use to the case store as
// the case's loading (written to its TP.dat there) and leaves the table their places and what
// it holds beyond them.
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "dialogs/editors/discrete_time_points.h"
#include "dialogs/editors/editors.h"
#include "dialogs/editors/import_dialog.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/editors/node_ranges.h"
#include "dialogs/typed_fields.h"
#include "model/case_files/opened_sections.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"
#include "ui/templates/discrete_loading.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::DiscreteLoading;

constexpr Row loading_row = row(C::loading_x, C::loading_y, C::loading_z);


// The node ranges belong to a time point: none can be added or shown without one.
void report_no_time_point(Context& context) {
  context.message("No Time Point has been selected or added!",
                  "Nici un punct de timp nu a fost delectat sau adaugat!", "Processed Message",
                  ui::Icon::error);
}

// What the time list shows. Its items are computed from the working copy when the list asks,
// in the form the last action that showed them gave: "ADD to List >>" shows items 1..n as
// tidied G14.7 texts (a time of 0 as its number), opening shows them so but leaves a time of
// 0 blank, and "Remove" shows every item as its G16.6 text untidied, or blank for 0. An item
// that no action showed is blank. Each action thus costs the same whatever the list's length.
struct TimeListForm {
  int number_upto = 0;  // items 1..this: G14.7 tidied, 0 shown as a number
  int opened_upto = 0;  // then up to this: G14.7 tidied, 0 blank
  bool removed = false;  // items after both: G16.6 untidied, 0 blank; else blank
};

class DiscreteLoadingEditor {
 public:
  DiscreteLoadingEditor(Context& context, ui::Dialog& dialog)
      : context_(context),
        state_(context.state),
        dialog_(dialog),
        case_number_(context.state.current_case),
        work_(context.state.time_point_table, context.cases.sections(case_number_).record.n_time_points),
        nodes_(dialog, ui::id(C::node_list)) {}
  // The dialog may outlive the editor whose table its time list reads.
  ~DiscreteLoadingEditor() { dialog_.show_items(C::time_list, time_items(), {}); }
  DiscreteLoadingEditor(const DiscreteLoadingEditor&) = delete;
  DiscreteLoadingEditor& operator=(const DiscreteLoadingEditor&) = delete;

  void set_up();
  void on_control(C control);
  bool changes_saved = false;  // set by a SAVE that wrote the case file

 private:
  int time_items() const { return std::max(state_.max_time_points, 0); }

  std::string time_item(int i) const;
  void show_ranges(int s);
  void add_time();
  void select_time();
  void show_time_point(int s);
  void remove_time();
  void add_range();
  void select_range();
  void remove_range();
  void save();
  void import_history();
  bool raise_maximum_for(int count);
  void plot();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  int case_number_;
  TimePoints work_;
  // The loading the last SAVE replaced: the next one is made in its room, not in fresh memory.
  model::DiscreteLoading spare_;
  TimeListForm form_;
  ListItems nodes_;
  // The node list shows the ranges of a time point as they were when it was shown: a time
  // point that moves or leaves the table while shown stays there as it was.
  std::vector<model::NodeRange> shown_ranges_;
  bool range_typed_ = false;  // "From", "To" or a loading typed since the last ADD >> or list choice
};

std::string DiscreteLoadingEditor::time_item(int i) const {
  const float t = work_.time(i);
  if (i <= form_.number_upto) return shown(t);
  if (t == 0) return {};
  if (i <= form_.opened_upto) return shown(t);
  if (form_.removed) return std::string(text::trim_right(text::format_g(t, 16, 6)));
  return {};
}

void DiscreteLoadingEditor::set_up() {
  form_ = {0, std::min(work_.count(), time_items()), false};
  dialog_.show_items(C::time_list, time_items(), [this](int i) { return time_item(i); });
  nodes_.reset(context_.cases.general().n_nodes);
  dialog_.set_text(C::unit, context_.cases.general().force_unit.trimmed());
  if (context_.cases.general().n_dof == 2) dialog_.set_enabled(loading_row.z, false);
  for (C c : {C::add_time, C::add_range, C::remove_time, C::remove_range})
    dialog_.set_enabled(c, false);
}

void DiscreteLoadingEditor::show_ranges(int s) {
  const std::span<const model::NodeRange> ranges = work_.ranges(s);
  shown_ranges_.assign(ranges.begin(), ranges.end());
  nodes_.show(static_cast<int>(std::min<std::size_t>(ranges.size(), std::max(context_.cases.general().n_nodes, 0))),
              [this](int i) { return range_item_text(shown_ranges_[i - 1]); });
}

void DiscreteLoadingEditor::add_time() {
  if (!fields_taken_whole(context_, dialog_, {C::time}, "ADD Message")) return;
  const float t = dialogs::typed_real(dialog_, C::time);
  const TimePoints::Place place = work_.place(t);
  bool listed = place.held;
  if (!place.held) {
    // A full list refuses the time, and the list and "ADD >>" then act as for a time it holds.
    if (work_.count() >= time_items()) {
      report_time_points_full(context_, time_items());
    } else {
      listed = true;
      if (work_.count() == 0) {
        work_.start(t);
      } else {
        work_.insert(place.below + 1, t);
      }
    }
  }
  form_.number_upto = std::min(work_.count(), time_items());
  dialog_.items_changed(C::time_list, 1, form_.number_upto);
  dialog_.set_enabled(C::add_range, true);
  // The time just added (or found) is the one whose node ranges come next.
  if (listed) show_time_point(place.below + 1);
}

// "From", "To" and the loadings are blanked for the next range once what they hold has been
// added or came from the list; typing not yet added stays, so that it is neither lost nor, once
// added, merged with values meant for another range.
void DiscreteLoadingEditor::select_time() {
  const int s = dialog_.selection(C::time_list);
  const float t = work_.time(s);
  dialog_.set_text(C::time, t == 0 ? std::string() : shown(t));
  show_ranges(s);
  if (!range_typed_) {
    dialog_.set_text(C::from, " ");
    dialog_.set_text(C::to, " ");
    fill_row(dialog_, loading_row, context_.cases.general().n_dof, " ");
  }
  dialog_.set_enabled(C::remove_time, t != 0);
  dialog_.set_enabled(C::add_time, t != 0);
}

void DiscreteLoadingEditor::show_time_point(int s) {
  dialog_.select(C::time_list, s);
  show_ranges(s);
  dialog_.set_enabled(C::remove_time, work_.time(s) != 0);
}

// After a removal the whole list is shown again, by G16.6 untidied as the user has always
// seen it there.
void DiscreteLoadingEditor::remove_time() {
  if (!work_.remove(dialog_.selection(C::time_list))) return;
  form_ = {0, 0, true};
  dialog_.items_changed(C::time_list, 1, time_items());
}

void DiscreteLoadingEditor::add_range() {
  std::vector<ui::ControlId> fields{ui::id(C::from), ui::id(C::to)};
  add_row_fields(fields, loading_row, context_.cases.general().n_dof);
  if (!fields_taken_whole(context_, dialog_, dialog_of(C{}), fields, "ADD Message")) return;
  const int s = dialog_.selection(C::time_list);
  const TypedNodes nodes = read_nodes(dialog_, ui::id(C::from), ui::id(C::to));
  model::NodeRange range{nodes.first, nodes.last};
  read_row(dialog_, loading_row, context_.cases.general().n_dof, ui::field_length(C::loading_x), range.components);
  // A blank item after the last time point is no time point: ranges put there would never
  // reach the file.
  if (s == 0 || s > work_.count()) return report_no_time_point(context_);
  if (nodes.last < nodes.first) return report_to_before_from(context_);
  if (!nodes_in_model(context_, nodes)) return;
  const int n_ranges = static_cast<int>(work_.ranges(s).size());
  const int found = find_range_by_text(nodes_, n_ranges, nodes.from_text, nodes.to_text);
  if (found != 0) {
    work_.set_components(s, found, range.components, row_directions(context_.cases.general().n_dof));
    range_typed_ = false;
    return;
  }
  if (n_ranges >= context_.cases.general().n_nodes) return report_ranges_full(context_, context_.cases.general().n_nodes);
  work_.add_range(s, range);
  show_ranges(s);
  range_typed_ = false;
}

void DiscreteLoadingEditor::select_range() {
  const int s = dialog_.selection(C::time_list);
  if (s == 0)
    return report_no_time_point(context_);
  const int k = dialog_.selection(C::node_list);
  const std::string item = nodes_.item(k);
  const ItemParts parts = split_item(item);
  dialog_.set_text(C::from, text::trim_right(parts.from.substr(0, node_text_length)));
  dialog_.set_text(C::to, text::trim_right(parts.to));
  const std::span<const model::NodeRange> ranges = work_.ranges(s);
  static const model::NodeRange zero_range{};
  const model::NodeRange& range = k >= 1 && static_cast<std::size_t>(k) <= ranges.size() ? ranges[k - 1] : zero_range;
  show_row(dialog_, loading_row, context_.cases.general().n_dof, range.components);
  range_typed_ = false;
  dialog_.set_enabled(C::remove_range, true);
}

void DiscreteLoadingEditor::remove_range() {
  const int s = dialog_.selection(C::time_list);
  const int k = dialog_.selection(C::node_list);
  const int n_ranges = static_cast<int>(work_.ranges(s).size());
  if (s == 0 || k == 0 || n_ranges == 0) return;
  work_.remove_range(s, std::min(k, n_ranges));
  show_ranges(s);
}

void DiscreteLoadingEditor::save() {
  // The old table goes before the loading is made: what it held is in the working copy, and a
  // table of 10^5 time points is not held beside the loading at the peak.
  state_.time_point_table = model::DiscreteLoading{};
  const int n = work_.count();
  model::Case edited = context_.cases.facts(case_number_);
  edited.loading_saved = true;
  model::case_files::SavedSections saved;
  if (n >= 1) {
    // The points in use become the case's loading. A range left without a node number is not
    // part of it.
    model::Loading& loading = edited.loading(model::LoadingKind::discrete).emplace();
    saved.loading = model::LoadingKind::discrete;
    work_.loading_into(loading.data.emplace<model::DiscreteLoading>(std::move(spare_)), true);
  }
  edited.record.n_time_points = n;
  model::case_files::FileFailure failure;
  std::optional<model::Loading> replaced;
  if (!context_.cases.commit(state_, case_number_, std::move(edited), saved, failure, &replaced)) {
    state_.time_point_table = work_.entries();
    report_write_failure(context_, failure.path, failure.reason);
    return;
  }
  // The table keeps the places of the points in use, which the Loading Cases dialog fills again
  // from the case's loading when the editor next opens, and the entries held beyond them.
  state_.time_point_table = work_.places_and_beyond();
  if (auto* room = replaced ? std::get_if<model::DiscreteLoading>(&replaced->data) : nullptr) spare_ = std::move(*room);
  changes_saved = true;
  dialog_.set_enabled(C::cancel, false);
}

// Each row of the history (time, then X, Y, Z) becomes the loading of the typed node range at
// the time point of that time (see merge_history). A column the file does not have loads that
// direction with 0. Nothing changes until every question is answered.
void DiscreteLoadingEditor::import_history() {
  if (!fields_taken_whole(context_, dialog_, {C::from, C::to}, "Import Message")) return;
  const TypedNodes nodes = read_nodes(dialog_, ui::id(C::from), ui::id(C::to));
  if (nodes.last < nodes.first) return report_to_before_from(context_);
  if (!nodes_in_model(context_, nodes)) return;
  const ImportCase target{{}, context_.cases.sections(case_number_).record.end_time};
  std::optional<ImportedHistory> imported = run_import_dialog(context_, ImportKind::load, nullptr, &target);
  if (!imported) return;
  MergedHistory merged = merge_history(work_, imported->record, imported->first_component, row_directions(context_.cases.general().n_dof),
                                       model::NodeRange{nodes.first, nodes.last}, context_.cases.general().n_nodes);
  if (merged.fault == MergedHistory::Fault::ranges_full) return report_ranges_full(context_, context_.cases.general().n_nodes);
  if (merged.fault == MergedHistory::Fault::times_not_apart) {
    const std::string t = std::to_string(merged.fault_time);
    context_.message("The times of " + imported->file + " cannot be stored apart from time " + t +
                         " s on: nothing was imported.",
                     "Timpii din " + imported->file + " nu pot fi memorati distinct de la " + t +
                         " s: nu s-a importat nimic.",
                     "Import Message", ui::Icon::error);
    return;
  }
  const int count = static_cast<int>(merged.points.size());
  if (count > time_items() && !raise_maximum_for(count)) return;
  work_.replace(std::move(merged.points));
  form_ = {std::min(count, time_items()), 0, false};
  dialog_.items_changed(C::time_list, 1, time_items());
  // The selected item may now be another time point: the time and ranges shown follow it.
  const int s = dialog_.selection(C::time_list);
  if (s != 0) {
    dialog_.set_text(C::time, shown(work_.time(s)));
    show_ranges(s);
  }
  dialog_.set_enabled(C::add_range, true);
}

// A history of more points than the maximum: the user may raise it for this run.
bool DiscreteLoadingEditor::raise_maximum_for(int count) {
  const std::string needed = std::to_string(count), max = std::to_string(time_items());
  if (context_.message("The load history needs " + needed + " Time Points; the Maximum No. of Time Points is " + max +
                           ".\nRaise the Maximum to " + needed + " for this run ?",
                       "Istoria incarcarii are nevoie de " + needed +
                           " puncte de timp; numarul maxim de puncte de timp este " + max +
                           ".\nMariti maximul la " + needed + " pentru aceasta rulare ?",
                       "Import Message", ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes)
    return false;
  state_.max_time_points = count;
  dialog_.show_items(C::time_list, time_items(), [this](int i) { return time_item(i); });
  return true;
}

void DiscreteLoadingEditor::plot() {
  context_.toolkit.show_plot(discrete_loading_plot("Discrete loading of case " + std::to_string(case_number_),
                                                   work_.loading(false), work_.count(), context_.cases.general().n_dof,
                                                   std::string(context_.cases.general().force_unit.trimmed())));
}

void DiscreteLoadingEditor::on_control(C control) {
  switch (control) {
    case C::time: return dialog_.set_enabled(C::add_time, true);
    case C::add_time: return add_time();
    case C::time_list: return select_time();
    case C::remove_time: return remove_time();
    case C::add_range: return add_range();
    case C::node_list: return select_range();
    case C::remove_range: return remove_range();
    case C::zeros:
      range_typed_ = true;
      return fill_row(dialog_, loading_row, context_.cases.general().n_dof, "0.");
    case C::from:
    case C::to:
    case C::loading_x:
    case C::loading_y:
    case C::loading_z: range_typed_ = true; return;
    case C::save: return save();
    case C::import: return import_history();
    case C::plot: return plot();
    default: return;
  }
}

constexpr C callback_controls[] = {
    C::time,      C::from,      C::to,          C::zeros,     C::loading_x,    C::loading_y,
    C::loading_z, C::time_list, C::node_list,   C::add_time,  C::remove_time,  C::add_range,
    C::remove_range, C::save,   C::import,      C::plot};

}  // namespace

void open_discrete_loading_editor(Context& context, ui::Dialog&) {
  if (!context.cases.has_case(context.state.current_case)) return;
  run_editor_dialog<DiscreteLoadingEditor>(context, callback_controls);
}

void open_saved_time_points(Context& context, int case_number, int n_time_points) {
  model::ProgramState& s = context.state;
  const std::optional<model::Loading>& saved =
      context.cases.sections_for(case_number).loading(model::LoadingKind::discrete);
  if (!saved) return;
  const model::DiscreteLoading points = model::case_files::opened_discrete(*saved, context.cases.general());
  model::DiscreteLoading table;
  points.copy_front(static_cast<std::size_t>(std::max(n_time_points, 0)), table);
  // The entries after them stay as they were.
  for (std::size_t i = table.size(); i < s.time_point_table.size(); ++i)
    table.append_point(s.time_point_table.times[i], s.time_point_table.ranges_of(i));
  s.time_point_table = std::move(table);
}

}  // namespace dialogs::editors
