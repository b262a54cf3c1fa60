#include "ui/templates/accelerogram.h"

namespace ui::templates {

// The DATA group on the left (code, direction, time, accelerations, ADD), the list of points
// on the right with the record's import and plot, the save button and the closing buttons along the bottom.
const DialogTemplate& accelerogram() {
  using C = Accelerogram;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "DISCRETE Accelerogram", 560, 392,
      {
          {no_id, K::group_box, "DATA", {}, {12, 10, 320, 300}},
          {no_id, K::static_text, "KOD", {}, {26, 38, 70, 20}},
          {id(C::kod), K::drop_down, "KOD", {"-1", "-2"}, {100, 34, 70, 26}},
          {no_id, K::static_text, "Direction", {}, {26, 74, 70, 20}},
          {id(C::direction), K::drop_down, "Direction", {"X", "Y", "Z"}, {100, 70, 70, 26}},
          {no_id, K::static_text, "Time Point (TP)", {}, {26, 112, 110, 20}},
          {id(C::time), K::edit, "Time Point (TP)", {}, {140, 108, 130, 26}, real(16)},
          {no_id, K::static_text, "sec", {}, {278, 112, 40, 20}},
          {no_id, K::group_box, "Acceleration (A)", {}, {22, 146, 300, 118}},
          {no_id, K::static_text, "X", {}, {36, 172, 20, 20}},
          {id(C::acceleration_x), K::edit, "X", {}, {60, 168, 130, 26}, real(16)},
          {no_id, K::static_text, "Y", {}, {36, 202, 20, 20}},
          {id(C::acceleration_y), K::edit, "Y", {}, {60, 198, 130, 26}, real(16)},
          {no_id, K::static_text, "Z", {}, {36, 232, 20, 20}},
          {id(C::acceleration_z), K::edit, "Z", {}, {60, 228, 130, 26}, real(16)},
          {id(C::unit), K::static_text, "", {}, {198, 202, 118, 20}},
          {id(C::add), K::push_button, "ADD  >>", {}, {218, 272, 104, 30}},
          {no_id, K::static_text, "Processed Time Points", {}, {346, 14, 200, 20}},
          {id(C::list), K::list_box, "Processed Time Points", {}, {346, 36, 200, 196}},
          {id(C::remove), K::push_button, "Remove", {}, {346, 240, 96, 30}},
          {id(C::spectrum), K::push_button, "Spectrum...", {}, {450, 240, 96, 30}},
          {id(C::import), K::push_button, "Import...", {}, {346, 276, 96, 30}},
          {id(C::plot), K::push_button, "Plot", {}, {450, 276, 96, 30}},
          {id(C::scaled_by), K::static_text, "", {}, {346, 308, 200, 36}},
          {id(C::save), K::push_button, "SAVE Changes", {}, {12, 344, 140, 40}},
          {no_id, K::static_text, "Save Changes", {}, {160, 354, 110, 20}},
          {id(C::done), K::push_button, "DONE", {}, {346, 350, 96, 30}, {}, true, true},
          {id(C::cancel), K::push_button, "Cancel", {}, {450, 350, 96, 30}},
      }};
  return t;
}

}  // namespace ui::templates
