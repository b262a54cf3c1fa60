// The Sinusoidal and exponential loading editor: omega and phi of the case, and the
// amplitudes of node ranges kept in the case's TPsin.dat or TPexp.dat.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/editors/editors.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/editors/node_ranges.h"
#include "dialogs/saved_loading.h"
#include "dialogs/typed_fields.h"
#include "model/case_files/opened_sections.h"
#include "ui/templates/sin_exp.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::SinExp;

constexpr Row amplitude_row = row(C::amplitude_x, C::amplitude_y, C::amplitude_z);

class SinExpEditor {
 public:
  SinExpEditor(Context& context, ui::Dialog& dialog)
      : context_(context),
        state_(context.state),
        dialog_(dialog),
        case_number_(context.state.current_case),
        items_(dialog, ui::id(C::list)) {}

  void set_up();
  void on_control(C control);
  bool changes_saved = false;  // set by a SAVE that wrote the case file

 private:
  const model::CaseRecord& record() const { return context_.cases.sections(case_number_).record; }
  bool sinusoidal() const { return record().loading_type == model::LoadingType::sinusoidal; }
  bool shows_existing_data();
  void load_existing_data();
  void show_list() { items_.show_ranges(table_, std::min(count_, context_.cases.general().n_nodes)); }
  void add();
  void select();
  void remove();
  void save();
  void plot();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  int case_number_;
  RangeTable table_;
  ListItems items_;
  // The ranges in use: entries 1..count_ of the table. The case record's count is set from them
  // only by SAVE, so leaving without it leaves the record as it was.
  int count_ = 0;
};

void SinExpEditor::set_up() {
  items_.reset(context_.cases.general().n_nodes);
  if (sinusoidal()) {
    dialog_.set_text(C::title, " Loading: A*sin(omega*t +phi) ");
  } else {
    dialog_.set_text(C::title, " Loading: A*exp(omega*t)      ");
    dialog_.set_enabled(C::phi, false);
  }
  dialog_.set_text(C::unit, context_.cases.general().force_unit.trimmed());
  dialog_.set_enabled(C::remove, false);
  dialog_.set_enabled(C::save, false);
  if (context_.cases.general().n_dof == 2) dialog_.set_enabled(amplitude_row.z, false);
  // Without existing data (a new case, or one whose loading type changed since the file was
  // loaded) the ranges start afresh: a count left from before would write ranges 0-0.
  if (shows_existing_data()) load_existing_data();
}

// Data of a case taken from an old loading file is shown while the case keeps the loading
// type it had there; any other case shows what this editor saved.
bool SinExpEditor::shows_existing_data() {
  return holds_saved_loading(context_, case_number_);
}

void SinExpEditor::load_existing_data() {
  dialog_.set_text(C::omega, shown(record().omega));
  if (sinusoidal()) dialog_.set_text(C::phi, shown(record().phi));
  // The count becomes the number of ranges the saved section holds, at most the case's count:
  // an entry it does not reach would be an invisible range 0-0.
  const std::optional<model::Loading>& loading =
      context_.cases.sections_for(case_number_).loading(model::loading_kind(record().loading_type));
  if (loading) {
    const std::vector<model::NodeRange> ranges = model::case_files::opened_amplitudes(*loading, context_.cases.general());
    count_ = static_cast<int>(std::min<std::size_t>(ranges.size(), std::max(record().n_load_ranges, 0)));
    for (int i = 1; i <= count_; ++i) table_.at(i) = ranges[static_cast<std::size_t>(i - 1)];
  }
  show_list();
}

void SinExpEditor::add() {
  std::vector<ui::ControlId> fields{ui::id(C::from), ui::id(C::to)};
  add_row_fields(fields, amplitude_row, context_.cases.general().n_dof);
  if (!fields_taken_whole(context_, dialog_, ui::DialogId::sin_exp, fields, "ADD Message")) return;
  const TypedNodes nodes = read_nodes(dialog_, ui::id(C::from), ui::id(C::to));
  if (!nodes_in_model(context_, nodes)) return;
  model::NodeRange range{nodes.first, nodes.last};
  read_row(dialog_, amplitude_row, context_.cases.general().n_dof, ui::field_length(C::amplitude_x), range.components);
  int& n = count_;
  int target = find_range_by_text(items_, n, nodes.from_text, nodes.to_text);
  if (target == 0) {
    if (n >= context_.cases.general().n_nodes) return report_ranges_full(context_, context_.cases.general().n_nodes);
    target = n + 1;
  }
  table_.at(target) = range;
  n = std::max(n, target);
  show_list();
}

void SinExpEditor::select() {
  const int s = dialog_.selection(C::list);
  if (s == 0) return;
  const bool in_use = s <= count_;
  if (in_use) {
    const model::NodeRange& range = table_.entry(s);
    dialog_.set_text(C::from, std::to_string(range.first_node));
    dialog_.set_text(C::to, std::to_string(range.last_node));
    show_row(dialog_, amplitude_row, context_.cases.general().n_dof, range.components);
  } else {
    dialog_.set_text(C::from, "");
    dialog_.set_text(C::to, "");
    fill_row(dialog_, amplitude_row, context_.cases.general().n_dof, "");
  }
  dialog_.set_enabled(C::remove, in_use);
}

void SinExpEditor::remove() {
  if (remove_range(table_, dialog_.selection(C::list), count_)) show_list();
}

void SinExpEditor::save() {
  if (!fields_taken_whole(context_, dialog_, sinusoidal() ? std::initializer_list{C::omega, C::phi}
                                                               : std::initializer_list{C::omega},
                               "SAVE Message"))
    return;
  // Omega and phi are kept with the amplitudes or not at all: a SAVE whose file cannot be
  // written leaves the case as it was.
  model::Case edited = context_.cases.facts(case_number_);
  edited.record.omega = dialogs::typed_real(dialog_, C::omega);
  if (sinusoidal()) edited.record.phi = dialogs::typed_real(dialog_, C::phi);
  model::AmplitudeLoading amplitudes{record().loading_type, {}};
  for (int i = 1; i <= count_; ++i)
    if (writable(table_.entry(i))) amplitudes.ranges.push_back(table_.entry(i));
  const model::LoadingKind kind = model::loading_kind(record().loading_type);
  edited.loading(kind) = model::Loading{{}, std::move(amplitudes)};
  edited.loading_saved = true;
  edited.record.n_load_ranges = count_;
  model::case_files::FileFailure failure;
  if (!context_.cases.commit(state_, case_number_, std::move(edited), {false, kind}, failure)) {
    report_write_failure(context_, failure.path, failure.reason);
    return;
  }
  changes_saved = true;
  dialog_.set_enabled(C::cancel, false);
}

// What SAVE would store: the typed omega and phi, the ranges of the table.
void SinExpEditor::plot() {
  const float omega = dialogs::typed_real(dialog_, C::omega);
  const float phi = sinusoidal() ? dialogs::typed_real(dialog_, C::phi) : 0.0f;
  std::vector<model::NodeRange> ranges;
  for (int i = 1; i <= count_; ++i) ranges.push_back(table_.entry(i));
  context_.toolkit.show_plot(amplitude_plot(
      (sinusoidal() ? "Sinusoidal loading of case " : "Exponential loading of case ") + std::to_string(case_number_),
      ranges, context_.cases.general().n_dof, sinusoidal(), omega, phi, record().end_time,
      std::string(context_.cases.general().force_unit.trimmed())));
}

void SinExpEditor::on_control(C control) {
  if (control == C::plot) return plot();  // looking changes nothing that SAVE would keep
  dialog_.set_enabled(C::save, true);
  switch (control) {
    case C::add: return add();
    case C::list: return select();
    case C::remove: return remove();
    case C::zeros: return fill_row(dialog_, amplitude_row, context_.cases.general().n_dof, "0.");
    case C::save: return save();
    default: return;  // the edits: read by "ADD >>" and "SAVE Changes"
  }
}

constexpr C callback_controls[] = {C::omega,       C::phi,         C::from,        C::to,
                                   C::zeros,       C::amplitude_x, C::amplitude_y, C::amplitude_z,
                                   C::list,        C::add,         C::remove,      C::save,
                                   C::plot};

}  // namespace

void open_sin_exp_editor(Context& context, ui::Dialog&) {
  if (!context.cases.has_case(context.state.current_case)) return;
  run_editor_dialog<SinExpEditor>(context, callback_controls);
}

}  // namespace dialogs::editors
