#include "dialogs/editors/node_ranges.h"

#include <algorithm>

#include "model/case_files/atomic_file.h"
#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace dialogs::editors {

namespace {
const model::NodeRange zero_range{};
}

std::string range_item_text(const model::NodeRange& range) {
  std::string s = std::to_string(range.first_node) + "-" + std::to_string(range.last_node);
  if (s.size() > 13) s.resize(13);
  return s;
}

ItemParts split_item(std::string_view item) {
  const std::size_t dash = item.find('-');
  if (dash == std::string_view::npos) return {item, {}};
  return {item.substr(0, dash), item.substr(dash + 1)};
}

const model::NodeRange& RangeTable::entry(int i) const {
  if (i < 1 || i > static_cast<int>(entries_.size())) return zero_range;
  return entries_[i - 1];
}

model::NodeRange& RangeTable::at(int i) {
  while (static_cast<int>(entries_.size()) < i) entries_.push_back(model::NodeRange{});
  return entries_[i - 1];
}

// The entry taken out leaves its place to the ones after it; an entry beyond the count stays
// where it is, so the zeroed entry at the count takes the place that frees. Zero entries at
// the end are not kept.
bool RangeTable::remove(int selected, int& count) {
  if (selected <= 0 || count <= 0) return false;
  const int position = std::min(selected, count);
  const int stored_before = static_cast<int>(entries_.size());
  if (position <= stored_before) {
    entries_.erase(position - 1);
    if (stored_before > count) entries_.insert(count - 1, model::NodeRange{});
  }
  while (!entries_.empty() && entries_[entries_.size() - 1] == model::NodeRange{}) entries_.erase(entries_.size() - 1);
  --count;
  return true;
}

bool remove_range(RangeTable& table, int selected, int& count) { return table.remove(selected, count); }

ListItems::~ListItems() {
  // The dialog may outlive the editor whose data the list reads.
  dialog_.show_items(id_, item_count_, {});
}

void ListItems::reset(int item_count) {
  item_count_ = std::max(item_count, 0);
  shown_ = 0;
  text_of_ = {};
  set_.clear();
  dialog_.show_items(id_, item_count_, [this](int i) { return item(i); });
}

void ListItems::set(int item, std::string_view text) {
  if (item < 1 || item > item_count_) return;
  set_[item] = std::string(text);
  dialog_.items_changed(id_, item, item);
}

std::string ListItems::item(int i) const {
  if (auto it = set_.find(i); it != set_.end()) return it->second;
  if (i >= 1 && i <= shown_ && text_of_) return text_of_(i);
  return {};
}

int ListItems::extent() const { return std::max(shown_, set_.empty() ? 0 : set_.rbegin()->first); }

void ListItems::show(int count, TextOf text_of) {
  const int before = extent();
  set_.clear();
  shown_ = std::clamp(count, 0, item_count_);
  text_of_ = std::move(text_of);
  const int last = std::max(before, shown_);
  if (last >= 1) dialog_.items_changed(id_, 1, last);
}

void ListItems::show_ranges(const RangeTable& table, int count) {
  show(count, [&table](int i) { return range_item_text(table.entry(i)); });
}

int find_range_by_text(const ListItems& list, int count, std::string_view from_text,
                       std::string_view to_text) {
  const std::string from = text::padded(from_text, node_text_length);
  const std::string to = text::padded(to_text, node_text_length);
  for (int i = 1; i <= count; ++i) {
    const std::string item = list.item(i);
    const ItemParts parts = split_item(item);
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

void add_row_fields(std::vector<ui::ControlId>& fields, Row row, int n_dof) {
  for (int c = 0; c < row_directions(n_dof); ++c) fields.push_back(row_edit(row, c));
}

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

bool nodes_in_model(Context& context, const TypedNodes& nodes) {
  const int n = context.cases.general().n_nodes;
  if (nodes.first >= 1 && nodes.last >= 1 && nodes.first <= n && nodes.last <= n) return true;
  report_outside_model(context, false, n);
  return false;
}

}  // namespace dialogs::editors
