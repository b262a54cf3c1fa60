#include "ui/templates/templates.h"

namespace ui::templates {

// The element group (From, To, Diameter) and ADD on the left, the list of groups and REMOVE
// on the right, the save button and the closing buttons along the bottom.
const DialogTemplate& diameters() {
  using K = ControlKind;
  static const DialogTemplate t{
      110, "Diameter Dialog", 520, 330,
      {
          {no_id, K::group_box, "Elements Group", {}, {12, 10, 270, 100}},
          {no_id, K::static_text, "From", {}, {26, 40, 50, 20}},
          {1135, K::edit, "From", {}, {80, 36, 80, 26}, true, false, true},
          {no_id, K::static_text, "To", {}, {26, 74, 50, 20}},
          {1136, K::edit, "To", {}, {80, 70, 80, 26}, true, false, true},
          {no_id, K::static_text, "Diameter", {}, {26, 132, 70, 20}},
          {1137, K::edit, "Diameter", {}, {100, 128, 120, 26}},
          {1141, K::static_text, "dim", {}, {226, 132, 56, 20}},
          {1138, K::push_button, "ADD Group >>", {}, {152, 176, 130, 30}},
          {no_id, K::static_text, "Processed Element Groups", {}, {300, 14, 208, 20}},
          {1139, K::list_box, "Processed Element Groups", {}, {300, 36, 208, 190}},
          {1140, K::push_button, "REMOVE Group", {}, {300, 234, 208, 30}},
          {1142, K::push_button, "", {}, {12, 282, 40, 40}},
          {no_id, K::static_text, "Save Changes", {}, {58, 292, 110, 20}},
          {1, K::push_button, "DONE", {}, {300, 288, 100, 30}, true, true},
          {2, K::push_button, "Cancel", {}, {408, 288, 100, 30}},
      }};
  return t;
}

}  // namespace ui::templates
