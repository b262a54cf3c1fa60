#include "ui/templates/sin_exp.h"

namespace ui::templates {

// The time function's parameters above, with the function itself beside them; the amplitudes
// of the node ranges below, on the same grid as the initial values.
const DialogTemplate& sin_exp() {
  using C = SinExp;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "SIN / EXP", 995, 350,
      {
          {id(C::title), K::static_text, "", {}, {282, 59, 300, 20}},
          {no_id, K::group_box, "COMMON Data", {}, {12, 12, 971, 96}},
          {no_id, K::static_text, "Omega", {}, {34, 43, 60, 20}},
          {id(C::omega), K::edit, "Omega", {}, {98, 40, 120, 24}, real(24)},
          {no_id, K::static_text, "rad/sec", {}, {224, 43, 50, 20}},
          {no_id, K::static_text, "Phi", {}, {34, 77, 60, 20}},
          {id(C::phi), K::edit, "Phi", {}, {98, 74, 120, 24}, real(24)},
          {no_id, K::static_text, "rad", {}, {224, 77, 50, 20}},
          {no_id, K::group_box, "AMPLITUDE", {}, {12, 120, 971, 156}},
          {no_id, K::group_box, "Nodes", {}, {24, 140, 150, 94}},
          {no_id, K::static_text, "From", {}, {34, 169, 40, 20}},
          {id(C::from), K::edit, "From", {}, {78, 166, 86, 24}, node},
          {no_id, K::static_text, "To", {}, {34, 203, 40, 20}},
          {id(C::to), K::edit, "To", {}, {78, 200, 86, 24}, node},
          {no_id, K::static_text, "Amplitude (A)", {}, {188, 169, 90, 20}},
          {no_id, K::static_text, "X", {}, {282, 144, 95, 18}},
          {no_id, K::static_text, "Y", {}, {381, 144, 95, 18}},
          {no_id, K::static_text, "Z", {}, {480, 144, 95, 18}},
          {id(C::amplitude_x), K::edit, "Amplitude X", {}, {282, 166, 95, 24}, real(16)},
          {id(C::amplitude_y), K::edit, "Amplitude Y", {}, {381, 166, 95, 24}, real(16)},
          {id(C::amplitude_z), K::edit, "Amplitude Z", {}, {480, 166, 95, 24}, real(16)},
          {id(C::unit), K::static_text, "", {}, {581, 169, 72, 20}},
          {id(C::zeros), K::push_button, "0s", {}, {659, 165, 56, 26}},
          {id(C::add), K::push_button, "ADD >>", {}, {731, 164, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {831, 142, 140, 18}},
          {id(C::list), K::list_box, "Processed Nodes", {}, {831, 162, 140, 72}},
          {id(C::remove), K::push_button, "Remove", {}, {831, 240, 140, 26}},
          {id(C::save), K::push_button, "SAVE Changes", {}, {12, 288, 150, 50}},
          {no_id, K::static_text, "Save Changes", {}, {172, 303, 110, 20}},
          {id(C::done), K::push_button, "DONE", {}, {785, 298, 94, 30}},
          {id(C::cancel), K::push_button, "Cancel", {}, {889, 298, 94, 30}},
          // Last in the tab order: SAVE is followed by DONE, as the keyboard has always found it.
          {id(C::plot), K::push_button, "Plot", {}, {681, 298, 94, 30}},
      }};
  return t;
}

}  // namespace ui::templates
