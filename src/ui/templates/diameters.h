// The Diameters editor: the element groups of a case's aerodynamic damping and their diameters.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class Diameters : ControlId {
  done = 1,
  cancel = 2,
  from = 1135,
  to = 1136,
  diameter = 1137,
  add = 1138,
  list = 1139,
  remove = 1140,
  unit = 1141,
  save = 1142,
};
constexpr DialogId dialog_of(Diameters) { return DialogId::diameters; }

const DialogTemplate& diameters();

}  // namespace ui::templates
