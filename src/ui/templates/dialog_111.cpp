#include "ui/templates/templates.h"

namespace ui::templates {

// The file on top; the reading options on the left, in the order a person settles them; the
// file's first lines and what was read on the right; Import and Cancel at the bottom.
const DialogTemplate& import_time_history() {
  using K = ControlKind;
  static const DialogTemplate t{
      111, "Import Time History", 900, 504,
      {
          {no_id, K::static_text, "File", {}, {12, 15, 60, 20}},
          {1201, K::edit, "File", {}, {80, 12, 690, 26}},
          {1202, K::push_button, "Browse...", {}, {780, 11, 108, 28}},
          {no_id, K::group_box, "Reading", {}, {12, 50, 340, 400}},
          {no_id, K::static_text, "Format", {}, {24, 78, 120, 20}},
          {1203, K::drop_down, "Format", {}, {150, 74, 190, 26}},
          {no_id, K::static_text, "Unit in the file", {}, {24, 112, 120, 20}},
          {1204, K::drop_down, "Unit in the file", {}, {150, 108, 190, 26}},
          {no_id, K::static_text, "First data line", {}, {24, 146, 120, 20}},
          {1205, K::edit, "First data line", {}, {150, 142, 190, 26}},
          {no_id, K::static_text, "Time column", {}, {24, 180, 120, 20}},
          {1206, K::edit, "Time column", {}, {150, 176, 190, 26}},
          {no_id, K::static_text, "Value columns", {}, {24, 214, 120, 20}},
          {1207, K::edit, "Value columns", {}, {150, 210, 190, 26}},
          {no_id, K::static_text, "Time step (s)", {}, {24, 248, 120, 20}},
          {1208, K::edit, "Time step (s)", {}, {150, 244, 190, 26}},
          {no_id, K::static_text, "Scale factor", {}, {24, 282, 120, 20}},
          {1209, K::edit, "Scale factor", {}, {150, 278, 190, 26}},
          {no_id, K::static_text, "Resample step (s)", {}, {24, 316, 120, 20}},
          {1210, K::edit, "Resample step (s)", {}, {150, 312, 190, 26}},
          {1211, K::static_text, "Length unit in metres", {}, {24, 350, 120, 36}},
          {1212, K::edit, "Length unit in metres", {}, {150, 354, 190, 26}},
          {no_id, K::static_text, "Blank fields: found from the file.", {}, {24, 404, 320, 36}},
          {no_id, K::static_text, "File (H: header, D: data)", {}, {364, 54, 520, 20}},
          {1213, K::list_box, "File (H: header, D: data)", {}, {364, 76, 524, 236}},
          {no_id, K::group_box, "Record", {}, {364, 320, 524, 130}},
          {1214, K::static_text, "", {}, {376, 340, 500, 70}},
          {no_id, K::static_text, "Velocity, displacement", {}, {376, 418, 150, 20}},
          {1215, K::drop_down, "Velocity, displacement", {"as read", "mean removed"}, {530, 414, 140, 26}},
          {1217, K::push_button, "Spectrum...", {}, {676, 412, 98, 30}},
          {1216, K::push_button, "Plot...", {}, {780, 412, 96, 30}},
          {1, K::push_button, "Import", {}, {688, 462, 96, 30}, {}, true, true},
          {2, K::push_button, "Cancel", {}, {792, 462, 96, 30}},
      }};
  return t;
}

}  // namespace ui::templates
