// The element diameter table: one for the whole run, groups 1..n_diameter_groups in the order
// they were added, at most n_elements of them. Entries beyond n_diameter_groups are empty and
// are not stored (the table grows with the groups, n_elements is its limit).
#pragma once

#include <string>

#include "model/state.h"

namespace model {

// Makes the diameter table usable by the editor and the loading file writer, also when no old
// loading file was read: n_diameter_groups is never negative and entries 1..n_diameter_groups
// exist (missing ones empty). Groups already stored are kept.
void ensure_diameter_table(model::ProgramState& state);

// Group i (1-based) of `table`, or an empty group beyond its end.
model::DiameterGroup diameter_group(const std::vector<model::DiameterGroup>& table, int i);

// The list item text of a group: first element, "-", last element, no blanks ("1-25").
std::string diameter_group_text(const model::DiameterGroup& group);

}  // namespace model
