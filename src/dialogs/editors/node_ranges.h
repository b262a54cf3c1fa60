// What the three node-range editors (initial values, discrete loading, sinusoidal and
// exponential loading) share: the growable range table, the range list item text, the list
// that shows the ranges, the textual lookup of "ADD >>" and the removal rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/context.h"
#include "dialogs/dialog_initializer.h"
#include "model/state.h"
#include "dialogs/editors/editor_messages.h"
#include "ui/toolkit.h"

namespace editors {

// Width of the "From" / "To" texts read and compared by "ADD >>".
inline constexpr std::size_t node_text_length = 6;

// The list item of a range: first node, "-", last node, without blanks ("12-40"), held in a
// 13-character field.
std::string range_item_text(const app::NodeRange& range);

// The parts of a list item around its first "-": before it and after it (the whole item and
// nothing when it has no "-").
struct ItemParts {
  std::string_view from, to;
};
ItemParts split_item(std::string_view item);

// A table of node ranges with 1-based entries. It holds only the entries that were ever
// written; every entry beyond them reads as the zero range, so memory follows the data and
// not the number of nodes of the model.
class RangeTable {
 public:
  const app::NodeRange& entry(int i) const;
  app::NodeRange& at(int i);  // grows the table to hold entry i
  void clear() { entries_.clear(); }
  std::size_t stored() const { return entries_.size(); }

 private:
  std::vector<app::NodeRange> entries_;
};

// The shared removal rule on entries 1..count: nothing when `selected` is 0 or count is 0;
// otherwise the entries after the selected one move down one place, the entry at count is
// zeroed and count drops by one (so a selection beyond the last entry removes the last).
// `shift_down(i)` moves entry i+1 to i, `zero(i)` clears entry i. true when something changed.
template <typename ShiftDown, typename Zero>
bool remove_entry(int selected, int& count, ShiftDown shift_down, Zero zero) {
  if (selected <= 0 || count <= 0) return false;
  for (int i = selected; i < count; ++i) shift_down(i);
  zero(count);
  --count;
  return true;
}

bool remove_range(RangeTable& table, int selected, int& count);

// A list control of the dialog together with what its items show. Only the program sets list
// items, so the copy is exact: a refresh sends only the items that change, and the textual
// lookup of "ADD >>" reads the items as the user sees them.
class ListItems {
 public:
  ListItems(ui::Dialog& dialog, ui::ControlId id) : dialog_(dialog), id_(id) {}
  // Sets the number of items; every item starts empty.
  void reset(int item_count);
  // An item beyond the number of items (a file holding more ranges than the model has nodes)
  // is not shown.
  void set(int item, std::string_view text);
  std::string_view item(int i) const;  // empty beyond the items set
  // Items 1..count show `text_of(i)`; every later item that shows something becomes empty.
  template <typename TextOf>
  void show(int count, TextOf text_of) {
    for (int i = 1; i <= count; ++i) set(i, text_of(i));
    for (int i = count + 1; i <= static_cast<int>(items_.size()); ++i) set(i, "");
    trim();
  }
  void show_ranges(const RangeTable& table, int count);

 private:
  void trim();
  ui::Dialog& dialog_;
  ui::ControlId id_;
  int item_count_ = 0;
  std::vector<std::string> items_;  // items 1..size(); later items are empty
};

// The textual lookup of "ADD >>": the first of items 1..count whose parts around the first "-"
// equal the typed "From" and "To" texts, each compared as a 6-character field exactly as typed
// (so "01" and "1" differ); 0 when there is none.
int find_range_by_text(const ListItems& list, int count, std::string_view from_text,
                       std::string_view to_text);

// A number shown in an edit: its G14.7 text, tidied and trimmed.
std::string shown(float value);

// A row of X, Y, Z edits. The Z edit takes part only when the model has three degrees of
// freedom per node; otherwise it stays disabled and untouched.
struct Row {
  ui::ControlId x, y, z;
};
int row_directions(int n_dof);  // 3 when n_dof is 3, else 2
// Converts the first `length` characters of each edit of the row into values[0..].
void read_row(const ui::Dialog& dialog, Row row, int n_dof, std::size_t length, float* values);
void show_row(ui::Dialog& dialog, Row row, int n_dof, const float* values);
void fill_row(ui::Dialog& dialog, Row row, int n_dof, std::string_view text);
// "From" / "To" texts as typed (6 characters) and their C-library integer values.
struct TypedNodes {
  std::string from_text, to_text;
  int first = 0, last = 0;
};
TypedNodes read_nodes(const ui::Dialog& dialog, ui::ControlId from, ui::ControlId to);

// "SAVE Changes" of a case file: writes the records (layouts::write_records); when that fails
// the user is told which file and why, and false is returned.
bool save_case_file(app::Context& context, const std::string& path,
                    const std::vector<std::string>& records);

// Runs a node-range editor as a modal dialog: each of `controls` reports to
// Editor::on_control, the common initializer dresses the window, and Editor::set_up fills the
// dialog before it shows.
template <typename Editor, std::size_t N>
void run_editor_dialog(app::Context& context, int template_id, const ui::ControlId (&controls)[N]) {
  auto dialog = context.toolkit.create_dialog(template_id);
  Editor editor(context, *dialog);
  for (ui::ControlId control : controls)
    dialog->on(control, [&editor](ui::Dialog&, ui::ControlId id) { editor.on_control(id); });
  app::register_common_initializer(context, *dialog, template_id);
  editor.set_up();
  dialog->run_modal();
}

}  // namespace editors
