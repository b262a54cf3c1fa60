// What the three node-range editors (initial values, discrete loading, sinusoidal and
// exponential loading) share: the growable range table, the range list item text, the list
// that shows the ranges, the textual lookup of "ADD >>" and the removal rule.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/context.h"
#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/editor_messages.h"
#include "base/indexed_list.h"
#include "dialogs/typed_numbers.h"
#include "dialogs/unsaved_entries.h"
#include "model/case_files/atomic_file.h"
#include "model/state.h"
#include "ui/dialog_template.h"
#include "ui/toolkit.h"

namespace dialogs::editors {

// Width of the "From" / "To" texts read and compared by "ADD >>".
inline constexpr std::size_t node_text_length = ui::node.length;

// The list item of a range: first node, "-", last node, without blanks ("12-40"), held in a
// 13-character field.
std::string range_item_text(const model::NodeRange& range);

// The parts of a list item around its first "-": before it and after it (the whole item and
// nothing when it has no "-").
struct ItemParts {
  std::string_view from, to;
};
ItemParts split_item(std::string_view item);

// A table of node ranges with 1-based entries. It holds only the entries that were ever
// written; every entry beyond them reads as the zero range, so memory follows the data and
// not the number of nodes of the model. A removal takes O(log n), whatever the position.
class RangeTable {
 public:
  const model::NodeRange& entry(int i) const;
  model::NodeRange& at(int i);  // grows the table to hold entry i
  void clear() { entries_ = {}; }
  std::size_t stored() const { return entries_.size(); }
  // The removal rule of remove_entry below, on this table.
  bool remove(int selected, int& count);

 private:
  base::IndexedList<model::NodeRange> entries_;
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

// A list control of the dialog as a view of the editor's data: the list asks for the texts
// of the items it shows, so a list of a billion nodes costs what its filled items cost, and
// showing a table anew is one call whatever its length. The items shown since the last show()
// one by one are kept; they are few (one per "ADD >>").
class ListItems {
 public:
  using TextOf = std::function<std::string(int)>;
  ListItems(ui::Dialog& dialog, ui::ControlId id) : dialog_(dialog), id_(id) {}
  ~ListItems();
  ListItems(const ListItems&) = delete;
  ListItems& operator=(const ListItems&) = delete;
  // Sets the number of items; every item starts empty.
  void reset(int item_count);
  // An item beyond the number of items (a file holding more ranges than the model has nodes)
  // is not shown.
  void set(int item, std::string_view text);
  std::string item(int i) const;  // empty beyond the items shown
  // Items 1..count show `text_of(i)` from now on, read when the list asks; every other item
  // is empty. `text_of` reads the editor's data, which must not change under it unseen.
  void show(int count, TextOf text_of);
  void show_ranges(const RangeTable& table, int count);

 private:
  int extent() const;  // the last item that may show something
  ui::Dialog& dialog_;
  ui::ControlId id_;
  int item_count_ = 0;
  int shown_ = 0;
  TextOf text_of_;
  std::map<int, std::string> set_;  // items set one by one since the last show()
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
template <ui::Controls E>
constexpr Row row(E x, E y, E z) {
  return {ui::id(x), ui::id(y), ui::id(z)};
}

int row_directions(int n_dof);  // 3 when n_dof is 3, else 2
// The edits of the row that read_row converts, appended to `fields`.
void add_row_fields(std::vector<ui::ControlId>& fields, Row row, int n_dof);
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

// Both typed numbers name a node of the model (1..n_nodes); otherwise the user is told the
// limit and false is returned. A blank field reads as 0 and is refused too.
bool nodes_in_model(Context& context, const TypedNodes& nodes);

// Whether a range may be written: a record with node 0 would load no node the solver knows.
inline bool writable(const model::NodeRange& range) { return range.first_node >= 1 && range.last_node >= 1; }

// Runs a node-range editor as a modal dialog: each of `controls` (of the dialog's enum E)
// reports to Editor::on_control (which sets Editor::changes_saved when a SAVE has written the
// case file, so that Esc leaves without a question), the common initializer dresses the window,
// and Editor::set_up fills the dialog before it shows.
template <typename Editor, ui::Controls E, std::size_t N>
void run_editor_dialog(Context& context, const E (&controls)[N]) {
  const ui::DialogId shown = dialog_of(E{});
  auto dialog = context.toolkit.create_dialog(shown);
  Editor editor(context, *dialog);
  UnsavedEntries entries(context, *dialog, shown);
  for (E control : controls)
    dialog->on(control, [&editor, &entries](ui::Dialog&, ui::ControlId id) {
      entries.note(id);
      editor.changes_saved = false;
      editor.on_control(static_cast<E>(id));
      if (editor.changes_saved) entries.kept();
    });
  register_common_initializer(context, *dialog, shown);
  editor.set_up();
  dialog->run_modal();
  if constexpr (requires { editor.closed(); }) editor.closed();
}

}  // namespace dialogs::editors
