#include "model/diameter_table.h"

namespace model {

model::DiameterGroup diameter_group(const std::vector<model::DiameterGroup>& table, int i) {
  if (i < 1 || i > static_cast<int>(table.size())) return {};
  return table[static_cast<std::size_t>(i - 1)];
}

std::string diameter_group_text(const model::DiameterGroup& group) {
  return std::to_string(group.first_element) + "-" + std::to_string(group.last_element);
}

}  // namespace model
