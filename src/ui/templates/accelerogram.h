// The Accelerogram editor: the time points of a ground acceleration, its KOD and direction.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class Accelerogram : ControlId {
  done = 1,
  cancel = 2,
  list = 1054,
  unit = 1094,
  acceleration_z = 1095,
  acceleration_y = 1096,
  acceleration_x = 1097,
  add = 1098,
  remove = 1099,
  time = 1100,
  save = 1101,
  kod = 1145,
  direction = 1146,
  import = 1150,
  plot = 1151,
  spectrum = 1152,
  scaled_by = 1153,  // the factor the points were scaled by since their import, and whether it is saved
};
constexpr DialogId dialog_of(Accelerogram) { return DialogId::accelerogram; }

const DialogTemplate& accelerogram();

}  // namespace ui::templates
