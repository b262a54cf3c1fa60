#include "dialogs/editors/node_ranges.h"

#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace editors {

namespace {
const app::NodeRange zero_range{};
}

std::string range_item_text(const app::NodeRange& range) {
  std::string s = std::to_string(range.first_node) + "-" + std::to_string(range.last_node);
  if (s.size() > 13) s.resize(13);
  return s;
}

ItemParts split_item(std::string_view item) {
  const std::size_t dash = item.find('-');
  if (dash == std::string_view::npos) return {item, {}};
  return {item.substr(0, dash), item.substr(dash + 1)};
}

const app::NodeRange& RangeTable::entry(int i) const {
  if (i < 1 || i > static_cast<int>(entries_.size())) return zero_range;
  return entries_[i - 1];
}

app::NodeRange& RangeTable::at(int i) {
  if (static_cast<int>(entries_.size()) < i) entries_.resize(i);
  return entries_[i - 1];
}

bool remove_range(RangeTable& table, int selected, int& count) {
  // Entries beyond the stored ones are zero already: neither moving nor zeroing touches them,
  // so a removal never grows the table.
  const auto stored = [&](int i) { return static_cast<std::size_t>(i) <= table.stored(); };
  return remove_entry(
      selected, count,
      [&](int i) {
        if (stored(i)) table.at(i) = app::NodeRange(table.entry(i + 1));
      },
      [&](int i) {
        if (stored(i)) table.at(i) = app::NodeRange{};
      });
}

void ListItems::reset(int item_count) {
  dialog_.set_item_count(id_, item_count);
  item_count_ = item_count;
  items_.clear();
}

void ListItems::set(int item, std::string_view text) {
  if (item < 1 || item > item_count_) return;
  if (static_cast<int>(items_.size()) < item) {
    if (text.empty()) return;  // already empty
    items_.resize(item);
  }
  std::string& current = items_[item - 1];
  if (current == text) return;
  current.assign(text);
  dialog_.set_text(id_, text, item);
}

std::string_view ListItems::item(int i) const {
  if (i < 1 || i > static_cast<int>(items_.size())) return {};
  return items_[i - 1];
}

void ListItems::show_ranges(const RangeTable& table, int count) {
  show(count, [&](int i) { return range_item_text(table.entry(i)); });
}

void ListItems::trim() {
  while (!items_.empty() && items_.back().empty()) items_.pop_back();
}

int find_range_by_text(const ListItems& list, int count, std::string_view from_text,
                       std::string_view to_text) {
  const std::string from = text::padded(from_text, node_text_length);
  const std::string to = text::padded(to_text, node_text_length);
  for (int i = 1; i <= count; ++i) {
    const ItemParts parts = split_item(list.item(i));
    if (text::padded(parts.from, node_text_length) == from &&
        text::padded(parts.to, node_text_length) == to)
      return i;
  }
  return 0;
}

std::string shown(float value) { return text::g14_7_text(value); }

int row_directions(int n_dof) { return n_dof == 3 ? 3 : 2; }

namespace {
ui::ControlId row_edit(Row row, int c) { return c == 0 ? row.x : c == 1 ? row.y : row.z; }
}  // namespace

void read_row(const ui::Dialog& dialog, Row row, int n_dof, std::size_t length, float* values) {
  for (int c = 0; c < row_directions(n_dof); ++c)
    values[c] = text::c_to_float(dialog.text(row_edit(row, c), length), length);
}

void show_row(ui::Dialog& dialog, Row row, int n_dof, const float* values) {
  for (int c = 0; c < row_directions(n_dof); ++c) dialog.set_text(row_edit(row, c), shown(values[c]));
}

void fill_row(ui::Dialog& dialog, Row row, int n_dof, std::string_view text) {
  for (int c = 0; c < row_directions(n_dof); ++c) dialog.set_text(row_edit(row, c), text);
}

TypedNodes read_nodes(const ui::Dialog& dialog, ui::ControlId from, ui::ControlId to) {
  TypedNodes nodes;
  nodes.from_text = dialog.text(from, node_text_length);
  nodes.to_text = dialog.text(to, node_text_length);
  nodes.first = text::c_to_int(nodes.from_text, node_text_length);
  nodes.last = text::c_to_int(nodes.to_text, node_text_length);
  return nodes;
}

bool save_case_file(app::Context& context, const std::string& path,
                    const std::vector<std::string>& records) {
  std::string reason;
  if (layouts::write_records(path, records, reason)) return true;
  report_write_failure(context, path, reason);
  return false;
}

}  // namespace editors
