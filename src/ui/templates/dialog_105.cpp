#include "ui/templates/templates.h"

namespace ui::templates {

namespace {
using K = ControlKind;
}

// The time function's parameters above; the amplitudes of the node ranges below.
const DialogTemplate& sin_exp() {
  static const DialogTemplate t{
      105, "SIN / EXP", 810, 520,
      {
          {1105, K::static_text, "", {}, {14, 10, 400, 22}},
          {no_id, K::group_box, "COMMON Data", {}, {10, 40, 420, 100}},
          {no_id, K::static_text, "Omega", {}, {20, 68, 60, 20}},
          {1059, K::edit, "Omega", {}, {85, 65, 120, 24}},
          {no_id, K::static_text, "rad/sec", {}, {212, 68, 70, 20}},
          {no_id, K::static_text, "Phi", {}, {20, 102, 60, 20}},
          {1045, K::edit, "Phi", {}, {85, 99, 120, 24}},
          {no_id, K::static_text, "rad", {}, {212, 102, 70, 20}},
          {no_id, K::group_box, "AMPLITUDE", {}, {10, 150, 790, 300}},
          {no_id, K::group_box, "Nodes", {}, {20, 170, 150, 96}},
          {no_id, K::static_text, "From", {}, {30, 197, 40, 20}},
          {1089, K::edit, "From", {}, {75, 194, 85, 24}},
          {no_id, K::static_text, "To", {}, {30, 231, 40, 20}},
          {1090, K::edit, "To", {}, {75, 228, 85, 24}},
          {no_id, K::static_text, "Amplitude (A)", {}, {185, 170, 150, 18}},
          {no_id, K::static_text, "X", {}, {185, 192, 90, 18}},
          {no_id, K::static_text, "Y", {}, {280, 192, 90, 18}},
          {no_id, K::static_text, "Z", {}, {375, 192, 90, 18}},
          {1063, K::edit, "Amplitude X", {}, {185, 212, 90, 24}},
          {1064, K::edit, "Amplitude Y", {}, {280, 212, 90, 24}},
          {1065, K::edit, "Amplitude Z", {}, {375, 212, 90, 24}},
          {1091, K::static_text, "", {}, {472, 215, 80, 20}},
          {1115, K::push_button, "0s", {}, {185, 246, 80, 26}},
          {1062, K::push_button, "ADD >>", {}, {552, 210, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {650, 165, 140, 18}},
          {1061, K::list_box, "Processed Nodes", {}, {650, 185, 140, 218}},
          {1088, K::push_button, "Remove", {}, {650, 410, 140, 28}},
          {1092, K::push_button, "SAVE Changes", {}, {10, 460, 150, 50}},
          {no_id, K::static_text, "Save Changes", {}, {170, 475, 110, 20}},
          {1, K::push_button, "DONE", {}, {602, 470, 94, 30}},
          {2, K::push_button, "Cancel", {}, {706, 470, 94, 30}},
      }};
  return t;
}

}  // namespace ui::templates
