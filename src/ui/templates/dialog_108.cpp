#include "ui/templates/templates.h"

namespace ui::templates {

const DialogTemplate& time_points() {
  static const DialogTemplate t{
      108, "BRANTEL: Time Points", 400, 110,
      {
          {no_id, ControlKind::static_text, "Maximum Number of Time Points\nfor Discrete Loading", {},
           {12, 16, 230, 36}},
          {1103, ControlKind::edit, "Maximum Number of Time Points for Discrete Loading", {},
           {252, 20, 130, 24}},
          {1, ControlKind::push_button, "OK", {}, {196, 70, 90, 28}, true, true},
          {2, ControlKind::push_button, "Cancel", {}, {292, 70, 90, 28}},
      }};
  return t;
}

}  // namespace ui::templates
