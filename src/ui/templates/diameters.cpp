#include "ui/templates/diameters.h"

namespace ui::templates {

// The element group (From, To, Diameter) and ADD on the left, the list of groups and REMOVE
// on the right, the save button and the closing buttons along the bottom.
const DialogTemplate& diameters() {
  using C = Diameters;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Diameter Dialog", 520, 330,
      {
          {no_id, K::group_box, "Elements Group", {}, {12, 10, 270, 100}},
          {no_id, K::static_text, "From", {}, {26, 40, 50, 20}},
          {id(C::from), K::edit, "From", {}, {80, 36, 80, 26}, element, true, false, true},
          {no_id, K::static_text, "To", {}, {26, 74, 50, 20}},
          {id(C::to), K::edit, "To", {}, {80, 70, 80, 26}, element, true, false, true},
          {no_id, K::static_text, "Diameter", {}, {26, 132, 70, 20}},
          {id(C::diameter), K::edit, "Diameter", {}, {100, 128, 120, 26}, real(14)},
          {id(C::unit), K::static_text, "dim", {}, {226, 132, 56, 20}},
          {id(C::add), K::push_button, "ADD Group >>", {}, {152, 176, 130, 30}},
          {no_id, K::static_text, "Processed Element Groups", {}, {300, 14, 208, 20}},
          {id(C::list), K::list_box, "Processed Element Groups", {}, {300, 36, 208, 190}},
          {id(C::remove), K::push_button, "REMOVE Group", {}, {300, 234, 208, 30}},
          {id(C::save), K::push_button, "", {}, {12, 282, 40, 40}},
          {no_id, K::static_text, "Save Changes", {}, {58, 292, 110, 20}},
          {id(C::done), K::push_button, "DONE", {}, {300, 288, 100, 30}, {}, true, true},
          {id(C::cancel), K::push_button, "Cancel", {}, {408, 288, 100, 30}},
      }};
  return t;
}

}  // namespace ui::templates
