#include "ui/templates/templates.h"

namespace ui::templates {

namespace {
using K = ControlKind;
}

// Two groups of the same grid: node range and value rows on the left, "ADD >>" in the middle,
// the processed ranges with their "Remove" on the right. The case number follows the first
// group's title, which ends in a dash for it.
const DialogTemplate& initial_values() {
  static const DialogTemplate t{
      103, "INITIAL VALUES", 995, 434,
      {
          {1078, K::static_text, "Case", {}, {226, 12, 90, 18}},
          // Displacements and velocities.
          {no_id, K::group_box, "DISPLACEMENTS and VELOCITIES - ", {}, {12, 12, 971, 156}},
          {no_id, K::group_box, "Nodes", {}, {24, 32, 150, 94}},
          {no_id, K::static_text, "From", {}, {34, 61, 40, 20}},
          {1074, K::edit, "From", {}, {78, 58, 86, 24}},
          {no_id, K::static_text, "To", {}, {34, 95, 40, 20}},
          {1075, K::edit, "To", {}, {78, 92, 86, 24}},
          {no_id, K::static_text, "X", {}, {282, 36, 95, 18}},
          {no_id, K::static_text, "Y", {}, {381, 36, 95, 18}},
          {no_id, K::static_text, "Z", {}, {480, 36, 95, 18}},
          {no_id, K::static_text, "Displacement", {}, {188, 61, 90, 20}},
          {1026, K::edit, "Displacement X", {}, {282, 58, 95, 24}},
          {1027, K::edit, "Displacement Y", {}, {381, 58, 95, 24}},
          {1028, K::edit, "Displacement Z", {}, {480, 58, 95, 24}},
          {1066, K::static_text, "", {}, {581, 61, 72, 20}},
          {1112, K::push_button, "0s", {}, {659, 57, 56, 26}},
          {no_id, K::static_text, "Velocity", {}, {188, 95, 90, 20}},
          {1029, K::edit, "Velocity X", {}, {282, 92, 95, 24}},
          {1030, K::edit, "Velocity Y", {}, {381, 92, 95, 24}},
          {1031, K::edit, "Velocity Z", {}, {480, 92, 95, 24}},
          {1067, K::static_text, "", {}, {581, 95, 72, 20}},
          {1113, K::push_button, "0s", {}, {659, 91, 56, 26}},
          {1041, K::push_button, "ADD >>", {}, {731, 73, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {831, 34, 140, 18}},
          {1040, K::list_box, "Processed Nodes", {}, {831, 54, 140, 72}},
          {1087, K::push_button, "Remove", {}, {831, 132, 140, 26}},
          // Initial loading, and the initial acceleration of accelerogram cases.
          {no_id, K::group_box, "LOADING", {}, {12, 180, 971, 180}},
          {no_id, K::group_box, "Nodes", {}, {24, 200, 150, 94}},
          {no_id, K::static_text, "From", {}, {34, 229, 40, 20}},
          {1076, K::edit, "From", {}, {78, 226, 86, 24}},
          {no_id, K::static_text, "To", {}, {34, 263, 40, 20}},
          {1077, K::edit, "To", {}, {78, 260, 86, 24}},
          {no_id, K::static_text, "Concentrated\nMass", {}, {188, 202, 90, 36}},
          {1065, K::edit, "Concentrated Mass", {}, {282, 208, 95, 24}},
          {1046, K::static_text, "", {}, {381, 211, 194, 20}},
          {no_id, K::static_text, "X", {}, {282, 240, 95, 18}},
          {no_id, K::static_text, "Y", {}, {381, 240, 95, 18}},
          {no_id, K::static_text, "Z", {}, {480, 240, 95, 18}},
          {no_id, K::static_text, "Loading", {}, {188, 263, 90, 20}},
          {1032, K::edit, "Loading X", {}, {282, 260, 95, 24}},
          {1033, K::edit, "Loading Y", {}, {381, 260, 95, 24}},
          {1034, K::edit, "Loading Z", {}, {480, 260, 95, 24}},
          {1068, K::static_text, "", {}, {581, 263, 72, 20}},
          {1114, K::push_button, "0s", {}, {659, 259, 56, 26}},
          {no_id, K::static_text, "Acceleration", {}, {188, 297, 90, 20}},
          {1035, K::edit, "Acceleration X", {}, {282, 294, 95, 24}},
          {1036, K::edit, "Acceleration Y", {}, {381, 294, 95, 24}},
          {1037, K::edit, "Acceleration Z", {}, {480, 294, 95, 24}},
          {1069, K::static_text, "", {}, {581, 297, 72, 20}},
          {1115, K::push_button, "0s", {}, {659, 293, 56, 26}},
          {1044, K::push_button, "ADD >>", {}, {731, 275, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {831, 202, 140, 18}},
          {1043, K::list_box, "Processed Nodes", {}, {831, 222, 140, 96}},
          {1088, K::push_button, "Remove", {}, {831, 324, 140, 26}},
          // Saving and closing.
          {1071, K::push_button, "SAVE Changes", {}, {12, 372, 150, 50}},
          {no_id, K::static_text, "Save Changes", {}, {172, 387, 110, 20}},
          {1, K::push_button, "DONE", {}, {785, 382, 94, 30}},
          {2, K::push_button, "Cancel", {}, {889, 382, 94, 30}},
      }};
  return t;
}

}  // namespace ui::templates
