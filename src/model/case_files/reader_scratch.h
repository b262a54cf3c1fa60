// The case files as the loading file reader writes them when it takes an old loading file
// apart. Each record is built as its text, without the line end. The editors read these files
// back in free form, so only the order of the values matters to them. Where these records
// differ from the editors' (scratch_layouts.h, accel_layout.h) they differ on purpose, and
// only here:
//  - a node number wider than the model's largest widens its field (the editors refuse such
//    numbers; a file may hold them, and asterisks would lose them);
//  - components are plain G14.7 texts followed by two blanks (the editors tidy them in A14);
//  - the end lines carry the reader's own wording.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/state.h"

namespace model::case_files {

// init.dat: first and last node, the n_dof displacements and the n_dof velocities.
std::string initial_condition_record(const model::NodeRange& range, int n_nodes, int n_dof);
// InitLoad.dat: first and last node, the concentrated mass and the n_dof loads.
std::string initial_loading_record(const model::NodeRange& range, int n_nodes, int n_dof);
// TPsin.dat / TPexp.dat: first and last node and the n_dof amplitudes.
std::string loaded_amplitude_record(const model::NodeRange& range, int n_nodes, int n_dof);
// TP.dat: the Discrete Loading editor's own records (time_record and
// discrete_range_record): free form, every digit of each float kept.
// TPacc.dat: the texts of a point's values in file order (the time, then the accelerations; a
// one-direction accelerogram holds only the component of its direction), appended to `out`.
void append_accel_point_record(std::string& out, std::span<const std::string_view> texts);
// The record of the three initial accelerations that ends init.dat of an accelerogram case
// is loadfile::initial_acceleration_record (records.h), as the Initial Values editor writes it.

std::string_view initial_conditions_end(bool romanian);
std::string_view initial_loading_end(bool romanian);
std::string loading_data_end(int case_number, bool romanian);

// The component slots of node_range that each kind of range record carries, in file order.
struct ComponentSlots {
  int slot[6];
  int count;
};
ComponentSlots initial_condition_slots(int n_dof);  // displacements 1..n, velocities 4..3+n
ComponentSlots initial_loading_slots(int n_dof);    // mass 1, loads 4..3+n
ComponentSlots load_slots(int n_dof);               // loads or amplitudes 1..n

}  // namespace model::case_files
