#include <algorithm>
#include <climits>
#include <utility>
#include <string>
#include <vector>

#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/editor_messages.h"
#include "dialogs/editors/editors.h"
#include "dialogs/editors/node_ranges.h"
#include "dialogs/typed_fields.h"
#include "dialogs/unsaved_entries.h"
#include "model/diameter_table.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"
#include "ui/templates/diameters.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::Diameters;
constexpr ui::DialogId dialog_id = dialog_of(C{});
constexpr std::size_t element_text_length = ui::element.length;

// The diameter as the selection shows it: 1P,G14.3, left-justified, not tidied (0.400).
std::string diameter_text(float diameter) {
  const std::string g = text::format_g(diameter, 14, 3, 1);
  const std::size_t first = g.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : std::string(text::trim_right(g.substr(first)));
}

// The two parts of a list item around its first "-"; no "-": all of it is "From".
std::pair<std::string, std::string> split_item(const std::string& item) {
  const std::size_t dash = item.find('-');
  if (dash == std::string::npos) return {item, std::string()};
  return {item.substr(0, dash), item.substr(dash + 1)};
}

struct GroupFields {
  std::string from_text, to_text;  // as typed, 6 characters
  model::DiameterGroup group;
};

class DiametersEditor {
 public:
  explicit DiametersEditor(Context& context) : context_(context), state_(context.state) {}
  void run();

 private:
  GroupFields read_fields(ui::Dialog& d) const;
  void on_control(ui::Dialog& d, C id);
  void on_field_changed(ui::Dialog& d);
  void on_add(ui::Dialog& d);
  int find_listed_group(const GroupFields& fields) const;
  bool append_group(const model::DiameterGroup& group);
  void on_select(ui::Dialog& d);
  void on_remove(ui::Dialog& d);
  void on_save(ui::Dialog& d);
  void on_done(ui::Dialog& d);
  void fill_list(ui::Dialog& d);

  Context& context_;
  model::ProgramState& state_;
  std::vector<model::DiameterGroup> working_;
  ListItems* items_ = nullptr;  // the list, while the dialog runs
};

void DiametersEditor::run() {
  auto dialog = context_.toolkit.create_dialog(dialog_id);
  ui::Dialog& d = *dialog;
  register_common_initializer(context_, d, dialog_id);
  // A SAVE disables Cancel, and with it Esc and the close box.
  UnsavedEntries entries(context_, d, dialog_id);
  for (C id : {C::from, C::to, C::diameter, C::list, C::add, C::remove, C::save, C::done})
    d.on(id, [this, &entries](ui::Dialog& dlg, ui::ControlId control) {
      entries.note(control);
      on_control(dlg, static_cast<C>(control));
    });

  // Declared after the dialog, so that it goes first even when a script error unwinds.
  ListItems items(d, ui::id(C::list));
  items_ = &items;
  items.reset(context_.cases.general().n_elements);
  d.set_text(C::unit, context_.cases.general().length_unit.trimmed());
  working_ = context_.cases.damping().diameters;
  // Groups already entered are shown whether or not they came from an old file: an empty list
  // over stored groups would hide them and let the same group be entered twice.
  fill_list(d);
  d.set_enabled(C::add, false);
  d.set_enabled(C::remove, false);
  state_.diameters_saved = true;
  // Leaving without saving drops the working copy: the damping's count is set only by SAVE.
  d.run_modal();
}

GroupFields DiametersEditor::read_fields(ui::Dialog& d) const {
  GroupFields f;
  f.from_text = d.text(C::from, element_text_length);
  f.to_text = d.text(C::to, element_text_length);
  f.group.first_element = text::c_to_int(f.from_text, element_text_length);
  f.group.last_element = text::c_to_int(f.to_text, element_text_length);
  f.group.diameter = dialogs::typed_real(d, C::diameter);
  return f;
}

void DiametersEditor::on_control(ui::Dialog& d, C id) {
  switch (id) {
    case C::from:
    case C::to:
    case C::diameter: on_field_changed(d); break;
    case C::add: on_add(d); break;
    case C::list: on_select(d); break;
    case C::remove: on_remove(d); break;
    case C::save: on_save(d); break;
    case C::done: on_done(d); break;
    default: break;
  }
}

void DiametersEditor::on_field_changed(ui::Dialog& d) {
  const GroupFields f = read_fields(d);
  d.set_enabled(C::add, f.group.first_element > 0 && f.group.last_element > 0 &&
                                f.group.diameter != 0);
}

void DiametersEditor::on_add(ui::Dialog& d) {
  if (!fields_taken_whole(context_, d, {C::from, C::to, C::diameter}, "ADD Message")) return;
  const GroupFields f = read_fields(d);
  if (f.group.first_element > f.group.last_element) return report_to_before_from(context_);
  if (f.group.first_element < 1 || f.group.last_element > context_.cases.general().n_elements)
    return report_outside_model(context_, true, context_.cases.general().n_elements);
  const int target = find_listed_group(f);
  if (target > 0) {
    working_[target - 1].diameter = f.group.diameter;
  } else {
    if (!append_group(f.group)) return;
    fill_list(d);
  }
  state_.diameters_saved = false;
}

// A group is found by its list text compared with the texts as typed, so "01" does not find
// the group 1-25.
int DiametersEditor::find_listed_group(const GroupFields& fields) const {
  const std::string from = text::padded(fields.from_text, element_text_length);
  const std::string to = text::padded(fields.to_text, element_text_length);
  for (int i = 1; i <= static_cast<int>(working_.size()); ++i) {
    const std::string item = items_->item(i);
    const auto [before, after] = split_item(item);
    if (text::padded(before, element_text_length) == from &&
        text::padded(after, element_text_length) == to)
      return i;
  }
  return 0;
}

bool DiametersEditor::append_group(const model::DiameterGroup& group) {
  if (static_cast<int>(working_.size()) >= context_.cases.general().n_elements) {
    const std::string n = std::to_string(context_.cases.general().n_elements);
    context_.message(
        "No more Element Groups: the table already has " + n + " groups (the No. of Elements) !",
        "Nu se mai pot adauga grupe de elemente: tabelul are deja " + n +
            " grupe (numarul de elemente) !",
        "Message", ui::Icon::error);
    return false;
  }
  working_.push_back(group);
  return true;
}

void DiametersEditor::on_select(ui::Dialog& d) {
  const int s = d.selection(C::list);
  if (s == 0) return;
  const std::string item = items_->item(s);
  const auto [before, after] = split_item(item);
  d.set_text(C::from, text::trim_right(text::padded(before, element_text_length)));
  d.set_text(C::to, text::trim_right(text::padded(after, element_text_length)));
  d.set_text(C::diameter, diameter_text(diameter_group(working_, s).diameter));
  d.set_enabled(C::remove, true);
}

void DiametersEditor::on_remove(ui::Dialog& d) {
  const int s = d.selection(C::list);
  const int n = static_cast<int>(working_.size());
  if (s == 0 || n == 0) return;
  working_.erase(working_.begin() + (std::min(s, n) - 1));
  fill_list(d);
  state_.diameters_saved = false;
}

void DiametersEditor::on_save(ui::Dialog& d) {
  context_.cases.damping().diameters = working_;
  state_.diameters_saved = true;
  d.set_enabled(C::cancel, false);
}

void DiametersEditor::on_done(ui::Dialog& d) {
  if (!state_.diameters_saved) {
    const ui::Answer answer = context_.message(
        "Changes Not Saved !\nWould You Like to Save Changes ?",
        "Modificarile nu au fost salvate !\nVreti sa salvati modificarile ?", "Diameter Message",
        ui::Icon::warning, ui::Buttons::yes_no);
    if (answer == ui::Answer::yes) on_save(d);
  }
  d.close(1);
}

// Items 1..n_elements: the groups, then empty items.
void DiametersEditor::fill_list(ui::Dialog&) {
  items_->show(static_cast<int>(std::min<std::size_t>(working_.size(), INT_MAX)),
               [this](int i) { return diameter_group_text(working_[static_cast<std::size_t>(i) - 1]); });
}

}  // namespace

void open_diameters_editor(Context& context, ui::Dialog&) {
  DiametersEditor editor(context);
  editor.run();
}
}  // namespace dialogs::editors
