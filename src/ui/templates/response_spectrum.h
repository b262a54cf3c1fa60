// The Response Spectrum window of the Import dialog and the Accelerogram editor: a record's
// spectra, a design spectrum over a period range and the factor that scales one onto the other.
// Its edits are read whole (up to 260 characters).
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class ResponseSpectrum : ControlId {
  close = 2,
  chart = 1301,
  damping = 1302,
  design = 1303,
  parameters = 1304,
  browse = 1305,
  from = 1306,
  to = 1307,
  rule = 1308,
  factor = 1309,
  picture = 1310,
  table_export = 1311,
  table = 1312,
  apply = 1313,
  table_header = 1314,
  tolerance = 1315,
  match = 1316,
};
constexpr DialogId dialog_of(ResponseSpectrum) { return DialogId::response_spectrum; }

const DialogTemplate& response_spectrum();

}  // namespace ui::templates
