// The Initial Values editor: displacement/velocity ranges and mass/loading ranges of one
// case, kept in the case's init.dat and InitLoad.dat, plus an accelerogram case's initial
// acceleration.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "dialogs/case_change.h"
#include "dialogs/editors/editors.h"
#include "dialogs/editors/node_ranges.h"
#include "dialogs/typed_fields.h"
#include "model/case_files/opened_sections.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"
#include "ui/templates/initial_values.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::InitialValues;
using ui::id;

constexpr Row displacement_row = row(C::displacement_x, C::displacement_y, C::displacement_z);
constexpr Row velocity_row = row(C::velocity_x, C::velocity_y, C::velocity_z);
constexpr Row loading_row = row(C::loading_x, C::loading_y, C::loading_z);
constexpr Row acceleration_row = row(C::acceleration_x, C::acceleration_y, C::acceleration_z);

// One of the two groups of the dialog: its controls, its range table and its working count.
struct Group {
  Group(ui::Dialog& dialog, C from_id, C to_id, C list_id, C remove_id)
      : from(id(from_id)), to(id(to_id)), list(id(list_id)), remove(id(remove_id)), items(dialog, list) {}
  ui::ControlId from, to, list, remove;
  ListItems items;
  RangeTable table;
  int count = 0;
};

class InitialValuesEditor {
 public:
  InitialValuesEditor(Context& context, ui::Dialog& dialog)
      : context_(context),
        state_(context.state),
        dialog_(dialog),
        case_number_(context.state.current_case),
        conditions_(dialog, C::condition_from, C::condition_to, C::condition_list, C::remove_condition),
        loadings_(dialog, C::loading_from, C::loading_to, C::loading_list, C::remove_loading) {}

  void set_up();
  void on_control(C control);
  bool changes_saved = false;  // set by a SAVE that wrote the case file

 private:
  const model::CaseRecord& record() const { return context_.cases.sections(case_number_).record; }
  bool saved() const { return context_.cases.sections(case_number_).initial_values_saved; }
  bool accelerogram() const { return model::accelerogram(record().loading_type); }

  void show_units();
  void load_group(Group& group, const std::vector<model::NodeRange>& saved);
  int choose_target(Group& group, const TypedNodes& nodes);
  void add_condition();
  void add_loading();
  void select_condition();
  void select_loading();
  void remove(Group& group);
  void keep_writable(Group& group);
  void save();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  int case_number_;
  Group conditions_;
  Group loadings_;
};

void InitialValuesEditor::set_up() {
  conditions_.items.reset(context_.cases.general().n_nodes);
  loadings_.items.reset(context_.cases.general().n_nodes);
  for (ui::ControlId c : {conditions_.remove, loadings_.remove, id(C::save)})
    dialog_.set_enabled(c, false);
  if (state_.n_loaded_cases >= case_number_ || saved()) {
    conditions_.count = record().n_initial_conditions;
    loadings_.count = record().n_initial_loadings;
    const model::Case& sections = context_.cases.sections_for(case_number_);
    using model::case_files::opened_conditions, model::case_files::opened_initial_loadings;
    load_group(conditions_, sections.initial_conditions ? opened_conditions(*sections.initial_conditions, context_.cases.general())
                                                        : std::vector<model::NodeRange>{});
    load_group(loadings_, sections.initial_loadings ? opened_initial_loadings(*sections.initial_loadings, context_.cases.general())
                                                    : std::vector<model::NodeRange>{});
  } else {
    // A case without data on file holds one zero range per group, replaced by the first ADD.
    conditions_.count = 1;
    loadings_.count = 1;
  }
  dialog_.set_text(C::case_label, "CASE " + text::format_i(case_number_, 2));
  show_units();
  for (ui::ControlId z : {displacement_row.z, velocity_row.z, loading_row.z, acceleration_row.z})
    dialog_.set_enabled(z, context_.cases.general().n_dof == 3);
  if (accelerogram()) {
    show_row(dialog_, acceleration_row, context_.cases.general().n_dof, record().initial_acceleration);
  } else {
    for (ui::ControlId c : {acceleration_row.x, acceleration_row.y, acceleration_row.z,
                            id(C::zeros_acceleration)})
      dialog_.set_enabled(c, false);
  }
}

void InitialValuesEditor::show_units() {
  const std::string length(context_.cases.general().length_unit.trimmed());
  const std::string force(context_.cases.general().force_unit.trimmed());
  dialog_.set_text(C::displacement_unit, length);
  dialog_.set_text(C::velocity_unit, length + "/sec");
  dialog_.set_text(C::mass_unit, force + "/" + length + "/sec2");
  dialog_.set_text(C::loading_unit, force);
  dialog_.set_text(C::acceleration_unit, length + "/sec2");
}

// The group's saved ranges, at most as many as the case's count; a short or missing section
// just ends them, and the working count becomes the number taken: an entry the section does not
// hold would otherwise be an invisible range of node 0.
void InitialValuesEditor::load_group(Group& group, const std::vector<model::NodeRange>& saved) {
  group.count = static_cast<int>(std::min<std::size_t>(saved.size(), std::max(group.count, 0)));
  for (int i = 1; i <= group.count; ++i) group.table.at(i) = saved[static_cast<std::size_t>(i - 1)];
  group.items.show_ranges(group.table, group.count);
}

// The ranges that may be written, moved to the front: the zero range a new case starts with
// (never replaced when the group got no "ADD >>") is dropped, so an empty group writes its end
// line alone.
void InitialValuesEditor::keep_writable(Group& group) {
  int kept = 0;
  for (int i = 1; i <= group.count; ++i)
    if (writable(group.table.entry(i))) group.table.at(++kept) = model::NodeRange(group.table.entry(i));
  for (int i = kept + 1; i <= group.count; ++i)
    if (static_cast<std::size_t>(i) <= group.table.stored()) group.table.at(i) = model::NodeRange{};
  group.items.show_ranges(group.table, kept);
  group.count = kept;
}

// The entry that "ADD >>" writes: entry 1 until the case's initial values were first saved,
// else the range with the same typed texts or a new one after the last. 0: the table is full.
int InitialValuesEditor::choose_target(Group& group, const TypedNodes& nodes) {
  if (!saved()) {
    if (context_.cases.general().n_nodes < 1) return 0;
    group.count = 1;
    return 1;
  }
  const int found = find_range_by_text(group.items, group.count, nodes.from_text, nodes.to_text);
  if (found != 0) return found;
  if (group.count >= context_.cases.general().n_nodes) return 0;
  return ++group.count;
}

void InitialValuesEditor::add_condition() {
  std::vector<ui::ControlId> fields{conditions_.from, conditions_.to};
  add_row_fields(fields, displacement_row, context_.cases.general().n_dof);
  add_row_fields(fields, velocity_row, context_.cases.general().n_dof);
  if (!fields_taken_whole(context_, dialog_, ui::DialogId::initial_values, fields, "ADD Message")) return;
  const TypedNodes nodes = read_nodes(dialog_, conditions_.from, conditions_.to);
  if (nodes.first > nodes.last) return report_to_before_from(context_);
  if (!nodes_in_model(context_, nodes)) return;
  model::NodeRange range{nodes.first, nodes.last};
  read_row(dialog_, displacement_row, context_.cases.general().n_dof, ui::field_length(C::displacement_x),
           &range.components[0]);
  read_row(dialog_, velocity_row, context_.cases.general().n_dof, ui::field_length(C::velocity_x), &range.components[3]);
  const int target = choose_target(conditions_, nodes);
  if (target == 0) return report_ranges_full(context_, context_.cases.general().n_nodes);
  conditions_.table.at(target) = range;
  conditions_.items.set(target, range_item_text(range));
}

void InitialValuesEditor::add_loading() {
  std::vector<ui::ControlId> fields{loadings_.from, loadings_.to, id(C::mass)};
  add_row_fields(fields, loading_row, context_.cases.general().n_dof);
  if (accelerogram()) add_row_fields(fields, acceleration_row, context_.cases.general().n_dof);
  if (!fields_taken_whole(context_, dialog_, ui::DialogId::initial_values, fields, "ADD Message")) return;
  const TypedNodes nodes = read_nodes(dialog_, loadings_.from, loadings_.to);
  if (nodes.first > nodes.last) return report_to_before_from(context_);
  model::NodeRange range{nodes.first, nodes.last};
  range.components[0] = dialogs::typed_real(dialog_, C::mass);
  read_row(dialog_, loading_row, context_.cases.general().n_dof, ui::field_length(C::loading_x), &range.components[3]);
  // The acceleration row is taken over here and nowhere else, before the range finds its
  // place: a full table or nodes outside the model refuse the range, not the case's acceleration.
  // It is the case's at once, saved or not; SAVE puts it into the initial conditions' file.
  if (accelerogram()) {
    change_case_at_once(context_, case_number_, [this](model::Case& c) {
      read_row(dialog_, acceleration_row, context_.cases.general().n_dof, ui::field_length(C::acceleration_x),
               c.record.initial_acceleration);
    });
  }
  if (!nodes_in_model(context_, nodes)) return;
  const int target = choose_target(loadings_, nodes);
  if (target == 0) return report_ranges_full(context_, context_.cases.general().n_nodes);
  loadings_.table.at(target) = range;
  loadings_.items.set(target, range_item_text(range));
}

void InitialValuesEditor::select_condition() {
  const int s = dialog_.selection(conditions_.list);
  dialog_.set_enabled(conditions_.remove, true);
  const model::NodeRange& range = conditions_.table.entry(s);
  dialog_.set_text(conditions_.from, std::to_string(range.first_node));
  dialog_.set_text(conditions_.to, std::to_string(range.last_node));
  show_row(dialog_, displacement_row, context_.cases.general().n_dof, &range.components[0]);
  show_row(dialog_, velocity_row, context_.cases.general().n_dof, &range.components[3]);
}

void InitialValuesEditor::select_loading() {
  const int s = dialog_.selection(loadings_.list);
  dialog_.set_enabled(loadings_.remove, true);
  const model::NodeRange& range = loadings_.table.entry(s);
  dialog_.set_text(loadings_.from, std::to_string(range.first_node));
  dialog_.set_text(loadings_.to, std::to_string(range.last_node));
  dialog_.set_text(C::mass, shown(range.components[0]));
  show_row(dialog_, loading_row, context_.cases.general().n_dof, &range.components[3]);
  if (!accelerogram()) return;
  const Row shown_row = acceleration_row;
  for (int c = 0; c < row_directions(context_.cases.general().n_dof); ++c) {
    std::string g = text::format_g(record().initial_acceleration[c], 16, 6);
    text::tidy_number_text(g);
    dialog_.set_text(c == 0 ? shown_row.x : c == 1 ? shown_row.y : shown_row.z, text::trim_right(g));
  }
  if (context_.cases.general().n_dof != 3) dialog_.set_enabled(acceleration_row.z, false);
}

void InitialValuesEditor::remove(Group& group) {
  if (!remove_range(group.table, dialog_.selection(group.list), group.count)) return;
  group.items.show_ranges(group.table, group.count);
  group.items.set(group.count + 1, "  ");
}

void InitialValuesEditor::save() {
  const bool romanian = model::romanian_messages(state_);
  keep_writable(conditions_);
  keep_writable(loadings_);
  model::Case edited = context_.cases.facts(case_number_);
  model::InitialConditions& conditions = edited.initial_conditions.emplace();
  conditions.style.romanian = romanian;
  for (int i = 1; i <= conditions_.count; ++i) conditions.ranges.push_back(conditions_.table.entry(i));
  if (accelerogram()) {
    conditions.with_accelerations = true;
    std::copy(std::begin(record().initial_acceleration), std::end(record().initial_acceleration),
              conditions.acceleration);
  }
  model::RangeSection& loadings = edited.initial_loadings.emplace();
  loadings.style.romanian = romanian;
  for (int i = 1; i <= loadings_.count; ++i) loadings.ranges.push_back(loadings_.table.entry(i));
  edited.record.n_initial_conditions = conditions_.count;
  edited.record.n_initial_loadings = loadings_.count;
  edited.initial_values_saved = true;
  model::case_files::FileFailure failure;
  if (!context_.cases.commit(state_, case_number_, std::move(edited), {true, {}}, failure)) {
    report_write_failure(context_, failure.path, failure.reason);
    return;
  }
  changes_saved = true;
}

void InitialValuesEditor::on_control(C control) {
  dialog_.set_enabled(C::save, true);
  switch (control) {
    case C::add_condition: return add_condition();
    case C::add_loading: return add_loading();
    case C::condition_list: return select_condition();
    case C::loading_list: return select_loading();
    case C::remove_condition: return remove(conditions_);
    case C::remove_loading: return remove(loadings_);
    case C::zeros_displacement: return fill_row(dialog_, displacement_row, context_.cases.general().n_dof, "0.");
    case C::zeros_velocity: return fill_row(dialog_, velocity_row, context_.cases.general().n_dof, "0.");
    case C::zeros_loading: return fill_row(dialog_, loading_row, context_.cases.general().n_dof, "0.");
    case C::zeros_acceleration: return fill_row(dialog_, acceleration_row, context_.cases.general().n_dof, "0.");
    case C::save: return save();
    default: return;  // the edits: their texts are read when a range is added
  }
}

constexpr C callback_controls[] = {
    C::condition_from,   C::condition_to,       C::condition_list,  C::zeros_displacement,
    C::zeros_velocity,   C::displacement_x,     C::displacement_y,  C::displacement_z,
    C::velocity_x,       C::velocity_y,         C::velocity_z,      C::loading_from,
    C::loading_to,       C::loading_list,       C::mass,            C::zeros_loading,
    C::zeros_acceleration, C::loading_x,        C::loading_y,       C::loading_z,
    C::acceleration_x,   C::acceleration_y,     C::acceleration_z,  C::add_condition,
    C::add_loading,      C::remove_condition,   C::remove_loading,  C::save};

}  // namespace

void open_initial_values_editor(Context& context, ui::Dialog&) {
  if (!context.cases.has_case(context.state.current_case)) return;
  run_editor_dialog<InitialValuesEditor>(context, callback_controls);
}

}  // namespace dialogs::editors
