// The Sinusoidal and Exponential loading editor: omega and phi of the case's time function and
// the amplitudes of node ranges.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class SinExp : ControlId {
  done = 1,
  cancel = 2,
  phi = 1045,
  omega = 1059,
  list = 1061,
  add = 1062,
  amplitude_x = 1063,
  amplitude_y = 1064,
  amplitude_z = 1065,
  remove = 1088,
  from = 1089,
  to = 1090,
  unit = 1091,
  save = 1092,
  title = 1105,
  zeros = 1115,
  plot = 1154,
};
constexpr DialogId dialog_of(SinExp) { return DialogId::sin_exp; }

const DialogTemplate& sin_exp();

}  // namespace ui::templates
