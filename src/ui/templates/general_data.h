// The General Data dialog: the geometry file and its counts, the integration operator, its
// coefficients and the number of loading cases.
#pragma once

#include <array>

#include "ui/dialog_template.h"

namespace ui::templates {

enum class GeneralData : ControlId {
  ok = 1,
  cancel = 2,
  geometry_path = 1003,
  n_loading_cases = 1006,
  beta = 1008,
  gamma = 1009,
  delta = 1010,
  teta = 1011,
  teta1 = 1012,
  teta2 = 1013,
  n_nodes = 1035,
  n_dof = 1036,
  save_changes = 1079,
  max_time_points = 1104,
  select_geometry = 1109,
  load_old_file = 1111,
  operator_combo = 1125,
  coefficient_combo = 1126,
};
constexpr DialogId dialog_of(GeneralData) { return DialogId::general_data; }

// 1./Beta, 1./Gamma, 1./Delta, 1./Teta, 1./Teta1, 1./Teta2, in the order of the operator block.
inline constexpr std::array<GeneralData, 6> coefficient_fields = {
    GeneralData::beta, GeneralData::gamma, GeneralData::delta,
    GeneralData::teta, GeneralData::teta1, GeneralData::teta2};

// Items of the two drop-downs, as select() counts them.
inline constexpr int new_operator_item = 1;  // "New Operator"
inline constexpr int newmark_item = 2;       // "Newmark"
inline constexpr int standard_item = 1;      // "Standard"
inline constexpr int custom_item = 2;        // "Custom"

const DialogTemplate& general_data();

}  // namespace ui::templates
