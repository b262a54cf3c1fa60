#include "ui/templates/templates.h"

namespace ui::templates {

// Placeholder until this dialog's controls are laid out: only its closing buttons.
const DialogTemplate& initial_values() {
  static const DialogTemplate t{
      103, "INITIAL VALUES", 420, 160,
      {
          {1, ControlKind::push_button, "OK", {}, {220, 120, 90, 28}, true, true},
          {2, ControlKind::push_button, "Cancel", {}, {320, 120, 90, 28}},
      }};
  return t;
}

}  // namespace ui::templates
