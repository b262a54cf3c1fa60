#include "ui/templates/templates.h"

namespace ui::templates {

namespace {
using K = ControlKind;
}

// Two groups of the same shape: node range and value rows on the left, "ADD >>" in the middle,
// the processed ranges with their "Remove" on the right.
const DialogTemplate& initial_values() {
  static const DialogTemplate t{
      103, "INITIAL VALUES", 1000, 590,
      {
          {1078, K::static_text, "Case", {}, {14, 10, 160, 22}},
          // Displacements and velocities.
          {no_id, K::group_box, "DISPLACEMENTS and VELOCITIES - ", {}, {10, 40, 980, 205}},
          {no_id, K::group_box, "Nodes", {}, {20, 60, 150, 96}},
          {no_id, K::static_text, "From", {}, {30, 87, 40, 20}},
          {1074, K::edit, "From", {}, {75, 84, 85, 24}},
          {no_id, K::static_text, "To", {}, {30, 121, 40, 20}},
          {1075, K::edit, "To", {}, {75, 118, 85, 24}},
          {no_id, K::static_text, "X", {}, {275, 62, 95, 18}},
          {no_id, K::static_text, "Y", {}, {375, 62, 95, 18}},
          {no_id, K::static_text, "Z", {}, {475, 62, 95, 18}},
          {no_id, K::static_text, "Displacement", {}, {180, 87, 90, 20}},
          {1026, K::edit, "Displacement X", {}, {275, 84, 95, 24}},
          {1027, K::edit, "Displacement Y", {}, {375, 84, 95, 24}},
          {1028, K::edit, "Displacement Z", {}, {475, 84, 95, 24}},
          {1066, K::static_text, "", {}, {575, 87, 80, 20}},
          {1112, K::push_button, "0s", {}, {660, 83, 80, 26}},
          {no_id, K::static_text, "Velocity", {}, {180, 121, 90, 20}},
          {1029, K::edit, "Velocity X", {}, {275, 118, 95, 24}},
          {1030, K::edit, "Velocity Y", {}, {375, 118, 95, 24}},
          {1031, K::edit, "Velocity Z", {}, {475, 118, 95, 24}},
          {1067, K::static_text, "", {}, {575, 121, 80, 20}},
          {1113, K::push_button, "0s", {}, {660, 117, 80, 26}},
          {1041, K::push_button, "ADD >>", {}, {752, 100, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {848, 58, 140, 18}},
          {1040, K::list_box, "Processed Nodes", {}, {848, 78, 140, 122}},
          {1087, K::push_button, "Remove", {}, {848, 207, 140, 28}},
          // Initial loading, and the initial acceleration of accelerogram cases.
          {no_id, K::group_box, "LOADING", {}, {10, 255, 980, 255}},
          {no_id, K::group_box, "Nodes", {}, {20, 275, 150, 96}},
          {no_id, K::static_text, "From", {}, {30, 302, 40, 20}},
          {1076, K::edit, "From", {}, {75, 299, 85, 24}},
          {no_id, K::static_text, "To", {}, {30, 336, 40, 20}},
          {1077, K::edit, "To", {}, {75, 333, 85, 24}},
          {no_id, K::static_text, "Concentrated\nMass", {}, {180, 276, 90, 36}},
          {1065, K::edit, "Concentrated Mass", {}, {275, 282, 95, 24}},
          {1046, K::static_text, "", {}, {375, 285, 150, 20}},
          {no_id, K::static_text, "X", {}, {275, 322, 95, 18}},
          {no_id, K::static_text, "Y", {}, {375, 322, 95, 18}},
          {no_id, K::static_text, "Z", {}, {475, 322, 95, 18}},
          {no_id, K::static_text, "Loading", {}, {180, 345, 90, 20}},
          {1032, K::edit, "Loading X", {}, {275, 342, 95, 24}},
          {1033, K::edit, "Loading Y", {}, {375, 342, 95, 24}},
          {1034, K::edit, "Loading Z", {}, {475, 342, 95, 24}},
          {1068, K::static_text, "", {}, {575, 345, 80, 20}},
          {1114, K::push_button, "0s", {}, {660, 341, 80, 26}},
          {no_id, K::static_text, "Acceleration", {}, {180, 379, 90, 20}},
          {1035, K::edit, "Acceleration X", {}, {275, 376, 95, 24}},
          {1036, K::edit, "Acceleration Y", {}, {375, 376, 95, 24}},
          {1037, K::edit, "Acceleration Z", {}, {475, 376, 95, 24}},
          {1069, K::static_text, "", {}, {575, 379, 80, 20}},
          {1115, K::push_button, "0s", {}, {660, 375, 80, 26}},
          {1044, K::push_button, "ADD >>", {}, {752, 358, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {848, 273, 140, 18}},
          {1043, K::list_box, "Processed Nodes", {}, {848, 293, 140, 170}},
          {1088, K::push_button, "Remove", {}, {848, 470, 140, 28}},
          // Saving and closing.
          {1071, K::push_button, "SAVE Changes", {}, {20, 524, 150, 50}},
          {no_id, K::static_text, "Save Changes", {}, {180, 539, 110, 20}},
          {1, K::push_button, "DONE", {}, {792, 534, 94, 30}},
          {2, K::push_button, "Cancel", {}, {896, 534, 94, 30}},
      }};
  return t;
}

}  // namespace ui::templates
