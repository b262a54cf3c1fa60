// The Loading Cases dialog: the cases and their values, damping, the editors of a case's data,
// and the loading file.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class LoadingCases : ControlId {
  exit = 1,
  cancel = 2,
  case_list = 1011,
  time_step = 1013,
  end_time = 1014,
  printing_time = 1017,
  processed_list = 1018,
  gravity = 1019,
  add = 1020,
  remove = 1021,
  create = 1033,
  view = 1034,
  initial_values = 1047,
  gravity_unit = 1064,
  case_number = 1080,
  input_loading = 1086,
  iterations = 1106,
  tolerance = 1107,
  tolerance_unit = 1108,
  select = 1110,
  file_path = 1117,
  first_damping = 1119,
  second_damping = 1120,
  niu = 1121,
  mass_model = 1122,
  printing_code = 1123,
  loading_type = 1124,
  file_state = 1127,
  language = 1128,
  first_damping_label = 1129,
  second_damping_label = 1130,
  damping = 1131,
  zeta = 1132,
  zeta_label = 1133,
  diameters = 1134,
  plot = 1155,
  suite = 1156,
};
constexpr DialogId dialog_of(LoadingCases) { return DialogId::loading_cases; }

const DialogTemplate& loading_cases();

}  // namespace ui::templates
