#include "ui/templates/response_spectrum.h"

namespace ui::templates {

// The spectra on the left, as large as the window allows; on the right, top to bottom, what a
// person settles in order: damping, design spectrum, period range and rule, then the factor
// they give, the exports and the table, the tolerance of a match; Match, Apply factor and Close
// at the bottom.
const DialogTemplate& response_spectrum() {
  using C = ResponseSpectrum;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Response Spectrum", 1180, 640,
      {
          {id(C::chart), K::chart, "Spectra", {}, {12, 12, 664, 616}},
          {no_id, K::static_text, "Damping (%)", {}, {688, 16, 126, 20}},
          {id(C::damping), K::edit, "Damping (%)", {}, {820, 12, 348, 26}, free_text(260)},
          {no_id, K::static_text, "Design spectrum", {}, {688, 50, 126, 20}},
          {id(C::design), K::drop_down, "Design spectrum", {"None", "Eurocode 8", "ASCE 7", "Table (CSV file)"},
           {820, 46, 348, 26}},
          {no_id, K::static_text, "Parameters", {}, {688, 82, 126, 20}},
          {id(C::parameters), K::edit, "Parameters", {}, {688, 104, 480, 26}, free_text(260)},
          {id(C::browse), K::push_button, "Browse...", {}, {1060, 136, 108, 28}},
          {no_id, K::static_text, "Periods from (s)", {}, {688, 176, 126, 20}},
          {id(C::from), K::edit, "Periods from (s)", {}, {820, 172, 150, 26}, free_text(260)},
          {no_id, K::static_text, "to", {}, {980, 176, 24, 20}},
          {id(C::to), K::edit, "to (s)", {}, {1018, 172, 150, 26}, free_text(260)},
          {no_id, K::static_text, "Rule", {}, {688, 210, 126, 20}},
          {id(C::rule), K::drop_down, "Rule", {"fit: least squares in log", "min90: 90% of the target"}, {820, 206, 348, 26}},
          {no_id, K::group_box, "Scale factor", {}, {688, 240, 480, 134}},
          {id(C::factor), K::static_text, "", {}, {700, 258, 456, 110}},
          {id(C::picture), K::push_button, "Export picture...", {}, {688, 384, 234, 30}},
          {id(C::table_export), K::push_button, "Export table...", {}, {934, 384, 234, 30}},
          {id(C::table_header), K::static_text, "", {}, {688, 422, 480, 20}},
          {id(C::table), K::list_box, "Table", {}, {688, 444, 480, 108}},
          {no_id, K::static_text, "Match tolerance (%)", {}, {688, 566, 160, 20}},
          {id(C::tolerance), K::edit, "Match tolerance (%)", {}, {852, 562, 150, 26}, free_text(260)},
          {id(C::match), K::push_button, "Match...", {}, {688, 598, 150, 30}},
          {id(C::apply), K::push_button, "Apply factor", {}, {852, 598, 150, 30}},
          {id(C::close), K::push_button, "Close", {}, {1018, 598, 150, 30}},
      }};
  return t;
}

}  // namespace ui::templates
