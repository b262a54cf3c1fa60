#include "ui/templates/time_points.h"

namespace ui::templates {

const DialogTemplate& time_points() {
  using C = TimePoints;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "BRANTEL: Time Points", 400, 110,
      {
          {no_id, K::static_text, "Maximum Number of Time Points\nfor Discrete Loading", {},
           {12, 16, 230, 36}},
          {id(C::count), K::edit, "Maximum Number of Time Points for Discrete Loading", {},
           {252, 20, 130, 24}, integer(10)},
          {id(C::ok), K::push_button, "OK", {}, {196, 70, 90, 28}, {}, true, true},
          {id(C::cancel), K::push_button, "Cancel", {}, {292, 70, 90, 28}},
      }};
  return t;
}

}  // namespace ui::templates
