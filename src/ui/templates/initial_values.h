// The Initial Values editor: displacements and velocities of node ranges, and their initial
// loading (with the initial acceleration of an accelerogram case).
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class InitialValues : ControlId {
  done = 1,
  cancel = 2,
  displacement_x = 1026,
  displacement_y = 1027,
  displacement_z = 1028,
  velocity_x = 1029,
  velocity_y = 1030,
  velocity_z = 1031,
  loading_x = 1032,
  loading_y = 1033,
  loading_z = 1034,
  acceleration_x = 1035,
  acceleration_y = 1036,
  acceleration_z = 1037,
  condition_list = 1040,
  add_condition = 1041,
  loading_list = 1043,
  add_loading = 1044,
  mass_unit = 1046,
  mass = 1065,
  displacement_unit = 1066,
  velocity_unit = 1067,
  loading_unit = 1068,
  acceleration_unit = 1069,
  save = 1071,
  condition_from = 1074,
  condition_to = 1075,
  loading_from = 1076,
  loading_to = 1077,
  case_label = 1078,
  remove_condition = 1087,
  remove_loading = 1088,
  zeros_displacement = 1112,
  zeros_velocity = 1113,
  zeros_loading = 1114,
  zeros_acceleration = 1115,
};
constexpr DialogId dialog_of(InitialValues) { return DialogId::initial_values; }

const DialogTemplate& initial_values();

}  // namespace ui::templates
