#include "ui/templates/import_time_history.h"

namespace ui::templates {

// The file on top; the reading options on the left, in the order a person settles them; the
// file's first lines and what was read on the right; Import and Cancel at the bottom.
const DialogTemplate& import_time_history() {
  using C = ImportTimeHistory;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Import Time History", 1180, 640,
      {
          {no_id, K::static_text, "File", {}, {12, 15, 60, 20}},
          {id(C::file), K::edit, "File", {}, {80, 12, 970, 26}, free_text(260)},
          {id(C::browse), K::push_button, "Browse...", {}, {1060, 11, 108, 28}},
          {no_id, K::group_box, "Reading", {}, {12, 50, 410, 436}},
          {no_id, K::static_text, "Format", {}, {24, 78, 120, 20}},
          {id(C::format), K::drop_down, "Format", {}, {150, 74, 260, 26}},
          {no_id, K::static_text, "Unit in the file", {}, {24, 112, 120, 20}},
          {id(C::unit), K::drop_down, "Unit in the file", {}, {150, 108, 260, 26}},
          {no_id, K::static_text, "First data line", {}, {24, 146, 120, 20}},
          {id(C::first_line), K::edit, "First data line", {}, {150, 142, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Time column", {}, {24, 180, 120, 20}},
          {id(C::time_column), K::edit, "Time column", {}, {150, 176, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Value columns", {}, {24, 214, 120, 20}},
          {id(C::value_columns), K::edit, "Value columns", {}, {150, 210, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Time step (s)", {}, {24, 248, 120, 20}},
          {id(C::time_step), K::edit, "Time step (s)", {}, {150, 244, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Scale factor", {}, {24, 282, 120, 20}},
          {id(C::scale), K::edit, "Scale factor", {}, {150, 278, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Resample step (s)", {}, {24, 316, 120, 20}},
          {id(C::resample), K::edit, "Resample step (s)", {}, {150, 312, 260, 26}, free_text(260)},
          {id(C::metres_label), K::static_text, "Length unit in metres", {}, {24, 350, 120, 36}},
          {id(C::metres), K::edit, "Length unit in metres", {}, {150, 354, 260, 26}, free_text(260)},
          {no_id, K::static_text, "Component", {}, {24, 392, 120, 20}},
          {id(C::component), K::drop_down, "Component", {}, {150, 388, 260, 26}},
          {no_id, K::static_text, "Blank fields: found from the file.", {}, {24, 426, 390, 40}},
          {no_id, K::static_text, "File (H: header, D: data)", {}, {434, 54, 734, 20}},
          {id(C::preview), K::list_box, "File (H: header, D: data)", {}, {434, 76, 734, 176}},
          {no_id, K::group_box, "Record", {}, {434, 260, 734, 326}},
          {id(C::summary), K::static_text, "", {}, {446, 280, 710, 264}},
          {no_id, K::static_text, "Velocity, displacement", {}, {446, 554, 150, 20}},
          {id(C::baseline), K::drop_down, "Velocity, displacement", {"as read", "mean removed"}, {600, 550, 150, 26}},
          {id(C::spectrum), K::push_button, "Spectrum...", {}, {956, 548, 98, 30}},
          {id(C::plot), K::push_button, "Plot...", {}, {1060, 548, 96, 30}},
          {id(C::processing), K::push_button, "Processing...", {}, {434, 598, 120, 30}},
          {id(C::import), K::push_button, "Import", {}, {968, 598, 96, 30}, {}, true, true},
          {id(C::cancel), K::push_button, "Cancel", {}, {1072, 598, 96, 30}},
      }};
  return t;
}

}  // namespace ui::templates
