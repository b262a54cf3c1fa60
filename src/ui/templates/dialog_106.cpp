#include "ui/templates/templates.h"

namespace ui::templates {

// The DATA group on the left (code, direction, time, accelerations, ADD), the list of points
// on the right with the record's import, spectrum and plot (and the factor the record was scaled by), the save button and the closing buttons along the bottom.
const DialogTemplate& accelerogram() {
  using K = ControlKind;
  static const DialogTemplate t{
      106, "DISCRETE Accelerogram", 560, 372,
      {
          {no_id, K::group_box, "DATA", {}, {12, 10, 320, 300}},
          {no_id, K::static_text, "KOD", {}, {26, 38, 70, 20}},
          {1145, K::drop_down, "KOD", {"-1", "-2"}, {100, 34, 70, 26}},
          {no_id, K::static_text, "Direction", {}, {26, 74, 70, 20}},
          {1146, K::drop_down, "Direction", {"X", "Y", "Z"}, {100, 70, 70, 26}},
          {no_id, K::static_text, "Time Point (TP)", {}, {26, 112, 110, 20}},
          {1100, K::edit, "Time Point (TP)", {}, {140, 108, 130, 26}},
          {no_id, K::static_text, "sec", {}, {278, 112, 40, 20}},
          {no_id, K::group_box, "Acceleration (A)", {}, {22, 146, 300, 118}},
          {no_id, K::static_text, "X", {}, {36, 172, 20, 20}},
          {1097, K::edit, "X", {}, {60, 168, 130, 26}},
          {no_id, K::static_text, "Y", {}, {36, 202, 20, 20}},
          {1096, K::edit, "Y", {}, {60, 198, 130, 26}},
          {no_id, K::static_text, "Z", {}, {36, 232, 20, 20}},
          {1095, K::edit, "Z", {}, {60, 228, 130, 26}},
          {1094, K::static_text, "", {}, {198, 202, 118, 20}},
          {1098, K::push_button, "ADD  >>", {}, {218, 272, 104, 30}},
          {no_id, K::static_text, "Processed Time Points", {}, {346, 14, 200, 20}},
          {1054, K::list_box, "Processed Time Points", {}, {346, 36, 200, 196}},
          {1099, K::push_button, "Remove", {}, {346, 240, 96, 30}},
          {1152, K::push_button, "Spectrum...", {}, {450, 240, 96, 30}},
          {1150, K::push_button, "Import...", {}, {346, 276, 96, 30}},
          {1151, K::push_button, "Plot", {}, {450, 276, 96, 30}},
          {1153, K::static_text, "", {}, {346, 308, 200, 20}},
          {1101, K::push_button, "SAVE Changes", {}, {12, 324, 140, 40}},
          {no_id, K::static_text, "Save Changes", {}, {160, 334, 110, 20}},
          {1, K::push_button, "DONE", {}, {346, 330, 96, 30}, {}, true, true},
          {2, K::push_button, "Cancel", {}, {450, 330, 96, 30}},
      }};
  return t;
}

}  // namespace ui::templates
