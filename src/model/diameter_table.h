// The element diameter table: one for the whole run, the groups in the order they were added,
// at most n_elements of them. The table holds exactly the groups in use: their count is its size.
#pragma once

#include <string>
#include <vector>

#include "model/general_data.h"

namespace model {

// Group i (1-based) of `table`, or an empty group beyond its end.
model::DiameterGroup diameter_group(const std::vector<model::DiameterGroup>& table, int i);

// The list item text of a group: first element, "-", last element, no blanks ("1-25").
std::string diameter_group_text(const model::DiameterGroup& group);

}  // namespace model
