// The Discrete Loading editor: the time points of a case and, per time point, the loading of
// node ranges.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class DiscreteLoading : ControlId {
  done = 1,
  cancel = 2,
  node_list = 1049,
  add_range = 1050,
  time = 1052,
  add_time = 1053,
  loading_x = 1055,
  loading_y = 1056,
  loading_z = 1057,
  unit = 1081,
  remove_range = 1082,
  remove_time = 1083,
  from = 1084,
  to = 1085,
  save = 1093,
  time_list = 1102,
  zeros = 1116,
  import = 1152,
  plot = 1153,
};
constexpr DialogId dialog_of(DiscreteLoading) { return DialogId::discrete_loading; }

const DialogTemplate& discrete_loading();

}  // namespace ui::templates
