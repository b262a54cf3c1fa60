#include "model/case_files/reader_scratch.h"

#include <algorithm>

#include "model/case_files/scratch_layouts.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace model::case_files {

namespace {

// Node numbers share the width of the model's largest node number, so the columns line up.
// A number beyond the model (the editors do not check) widens its field instead of turning
// into asterisks, which would lose it and end the section early when read back.
int node_width(int node, int n_nodes) { return std::max(text::digit_count(n_nodes), text::digit_count(node)); }

text::RecordWriter& node_pair(text::RecordWriter& record, const model::NodeRange& range, int n_nodes) {
  return record.i(range.first_node, node_width(range.first_node, n_nodes))
      .tr(2)
      .i(range.last_node, node_width(range.last_node, n_nodes))
      .tr(2);
}

std::string range_record(const model::NodeRange& range, int n_nodes, const ComponentSlots& slots) {
  text::RecordWriter record;
  node_pair(record, range, n_nodes);
  for (int j = 0; j < slots.count; ++j) record.a(text::g14_7_text(range.components[slots.slot[j]])).tr(2);
  return record.str();
}

int clamped_dof(int n_dof) { return n_dof < 0 ? 0 : (n_dof > 3 ? 3 : n_dof); }

}  // namespace

ComponentSlots initial_condition_slots(int n_dof) {
  ComponentSlots s{{}, 0};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = j;
  for (int j = 0; j < n; ++j) s.slot[s.count++] = 3 + j;
  return s;
}

ComponentSlots initial_loading_slots(int n_dof) {
  ComponentSlots s{{0}, 1};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = 3 + j;
  return s;
}

ComponentSlots load_slots(int n_dof) {
  ComponentSlots s{{}, 0};
  const int n = clamped_dof(n_dof);
  for (int j = 0; j < n; ++j) s.slot[s.count++] = j;
  return s;
}

std::string initial_condition_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  return range_record(range, n_nodes, initial_condition_slots(n_dof));
}

std::string initial_loading_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  return range_record(range, n_nodes, initial_loading_slots(n_dof));
}

// The amplitudes are 14-character left-justified texts, as the Sin/Exp editor writes them,
// but with two blanks fewer before the first.
std::string loaded_amplitude_record(const model::NodeRange& range, int n_nodes, int n_dof) {
  text::RecordWriter record;
  record.i(range.first_node, node_width(range.first_node, n_nodes))
      .tr(2)
      .i(range.last_node, node_width(range.last_node, n_nodes));
  const ComponentSlots slots = load_slots(n_dof);
  for (int j = 0; j < slots.count; ++j)
    record.tr(2).a(text::padded(text::g14_7_text(range.components[slots.slot[j]]), 14));
  return record.str();
}


// (A,TR3,A,TR3,A,:,TR3,A)
void append_accel_point_record(std::string& out, std::span<const std::string_view> texts) {
  for (std::size_t j = 0; j < texts.size(); ++j) {
    if (j > 0) out.append(3, ' ');
    out.append(texts[j]);
  }
}

std::string_view initial_conditions_end(bool romanian) {
  return romanian ? "End Deplasari & Viteze Initiale" : "End Initial Displcements & Velocities";
}

std::string_view initial_loading_end(bool romanian) {
  return model::case_files::loadings_end_record(romanian);
}

std::string loading_data_end(int case_number, bool romanian) {
  return (romanian ? "SFARSIT_CAZ" : "END_OF_CASE") + std::to_string(case_number);
}

}  // namespace model::case_files
