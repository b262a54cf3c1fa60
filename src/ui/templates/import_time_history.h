// The Import dialog: a ground-motion record or a load history from a file, with the options of
// its reading and a preview. Its edits are read whole (up to 260 characters).
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class ImportTimeHistory : ControlId {
  import = 1,
  cancel = 2,
  file = 1201,
  browse = 1202,
  format = 1203,
  unit = 1204,
  first_line = 1205,
  time_column = 1206,
  value_columns = 1207,
  time_step = 1208,
  scale = 1209,
  resample = 1210,
  metres_label = 1211,
  metres = 1212,
  preview = 1213,
  summary = 1214,
  baseline = 1215,
  plot = 1216,
  component = 1217,
  spectrum = 1218,
  processing = 1219,
};
constexpr DialogId dialog_of(ImportTimeHistory) { return DialogId::import_time_history; }

const DialogTemplate& import_time_history();

}  // namespace ui::templates
