// The Processing window of the Import dialog: the choices of record processing, and the
// acceleration, velocity and displacement of one component before and after, one above the
// other on one time axis. Its edits are read whole (up to 260 characters).
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class ProcessingWindow : ControlId {
  use = 1,
  cancel = 2,
  acceleration = 1401,
  velocity = 1402,
  displacement = 1403,
  component = 1404,
  highpass = 1405,
  lowpass = 1406,
  order = 1407,
  taper = 1408,
  pad = 1409,
  baseline = 1410,
  trim = 1411,
  summary = 1412,
  as_read = 1413,
};
constexpr DialogId dialog_of(ProcessingWindow) { return DialogId::processing; }

const DialogTemplate& processing_window();

}  // namespace ui::templates
