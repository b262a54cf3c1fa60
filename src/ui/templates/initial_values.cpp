#include "ui/templates/initial_values.h"

namespace ui::templates {

namespace {

using C = InitialValues;
using K = ControlKind;

// Both groups share one grid: node range and value rows on the left, "ADD >>" in the middle, the
// processed ranges with their "Remove" on the right.

// Displacements and velocities. The case number follows the group's title, which ends in a dash
// for it.
void add_conditions(std::vector<ControlTemplate>& c) {
  c.insert(c.end(), {
      {id(C::case_label), K::static_text, "Case", {}, {226, 12, 90, 18}},
      {no_id, K::group_box, "DISPLACEMENTS and VELOCITIES - ", {}, {12, 12, 971, 156}},
      {no_id, K::group_box, "Nodes", {}, {24, 32, 150, 94}},
      {no_id, K::static_text, "From", {}, {34, 61, 40, 20}},
      {id(C::condition_from), K::edit, "From", {}, {78, 58, 86, 24}, node},
      {no_id, K::static_text, "To", {}, {34, 95, 40, 20}},
      {id(C::condition_to), K::edit, "To", {}, {78, 92, 86, 24}, node},
      {no_id, K::static_text, "X", {}, {282, 36, 95, 18}},
      {no_id, K::static_text, "Y", {}, {381, 36, 95, 18}},
      {no_id, K::static_text, "Z", {}, {480, 36, 95, 18}},
      {no_id, K::static_text, "Displacement", {}, {188, 61, 90, 20}},
      {id(C::displacement_x), K::edit, "Displacement X", {}, {282, 58, 95, 24}, real(24)},
      {id(C::displacement_y), K::edit, "Displacement Y", {}, {381, 58, 95, 24}, real(24)},
      {id(C::displacement_z), K::edit, "Displacement Z", {}, {480, 58, 95, 24}, real(24)},
      {id(C::displacement_unit), K::static_text, "", {}, {581, 61, 72, 20}},
      {id(C::zeros_displacement), K::push_button, "0s", {}, {659, 57, 56, 26}},
      {no_id, K::static_text, "Velocity", {}, {188, 95, 90, 20}},
      {id(C::velocity_x), K::edit, "Velocity X", {}, {282, 92, 95, 24}, real(24)},
      {id(C::velocity_y), K::edit, "Velocity Y", {}, {381, 92, 95, 24}, real(24)},
      {id(C::velocity_z), K::edit, "Velocity Z", {}, {480, 92, 95, 24}, real(24)},
      {id(C::velocity_unit), K::static_text, "", {}, {581, 95, 72, 20}},
      {id(C::zeros_velocity), K::push_button, "0s", {}, {659, 91, 56, 26}},
      {id(C::add_condition), K::push_button, "ADD >>", {}, {731, 73, 84, 28}},
      {no_id, K::static_text, "Processed Nodes", {}, {831, 34, 140, 18}},
      {id(C::condition_list), K::list_box, "Processed Nodes", {}, {831, 54, 140, 72}},
      {id(C::remove_condition), K::push_button, "Remove", {}, {831, 132, 140, 26}},
  });
}

// Initial loading, and the initial acceleration of accelerogram cases.
void add_loading(std::vector<ControlTemplate>& c) {
  c.insert(c.end(), {
      {no_id, K::group_box, "LOADING", {}, {12, 180, 971, 180}},
      {no_id, K::group_box, "Nodes", {}, {24, 200, 150, 94}},
      {no_id, K::static_text, "From", {}, {34, 229, 40, 20}},
      {id(C::loading_from), K::edit, "From", {}, {78, 226, 86, 24}, node},
      {no_id, K::static_text, "To", {}, {34, 263, 40, 20}},
      {id(C::loading_to), K::edit, "To", {}, {78, 260, 86, 24}, node},
      {no_id, K::static_text, "Concentrated\nMass", {}, {188, 202, 90, 36}},
      {id(C::mass), K::edit, "Concentrated Mass", {}, {282, 208, 95, 24}, real(24)},
      {id(C::mass_unit), K::static_text, "", {}, {381, 211, 194, 20}},
      {no_id, K::static_text, "X", {}, {282, 240, 95, 18}},
      {no_id, K::static_text, "Y", {}, {381, 240, 95, 18}},
      {no_id, K::static_text, "Z", {}, {480, 240, 95, 18}},
      {no_id, K::static_text, "Loading", {}, {188, 263, 90, 20}},
      {id(C::loading_x), K::edit, "Loading X", {}, {282, 260, 95, 24}, real(24)},
      {id(C::loading_y), K::edit, "Loading Y", {}, {381, 260, 95, 24}, real(24)},
      {id(C::loading_z), K::edit, "Loading Z", {}, {480, 260, 95, 24}, real(24)},
      {id(C::loading_unit), K::static_text, "", {}, {581, 263, 72, 20}},
      {id(C::zeros_loading), K::push_button, "0s", {}, {659, 259, 56, 26}},
      {no_id, K::static_text, "Acceleration", {}, {188, 297, 90, 20}},
      {id(C::acceleration_x), K::edit, "Acceleration X", {}, {282, 294, 95, 24}, real(24)},
      {id(C::acceleration_y), K::edit, "Acceleration Y", {}, {381, 294, 95, 24}, real(24)},
      {id(C::acceleration_z), K::edit, "Acceleration Z", {}, {480, 294, 95, 24}, real(24)},
      {id(C::acceleration_unit), K::static_text, "", {}, {581, 297, 72, 20}},
      {id(C::zeros_acceleration), K::push_button, "0s", {}, {659, 293, 56, 26}},
      {id(C::add_loading), K::push_button, "ADD >>", {}, {731, 275, 84, 28}},
      {no_id, K::static_text, "Processed Nodes", {}, {831, 202, 140, 18}},
      {id(C::loading_list), K::list_box, "Processed Nodes", {}, {831, 222, 140, 96}},
      {id(C::remove_loading), K::push_button, "Remove", {}, {831, 324, 140, 26}},
  });
}

void add_saving_and_closing(std::vector<ControlTemplate>& c) {
  c.insert(c.end(), {
      {id(C::save), K::push_button, "SAVE Changes", {}, {12, 372, 150, 50}},
      {no_id, K::static_text, "Save Changes", {}, {172, 387, 110, 20}},
      {id(C::done), K::push_button, "DONE", {}, {785, 382, 94, 30}},
      {id(C::cancel), K::push_button, "Cancel", {}, {889, 382, 94, 30}},
  });
}

std::vector<ControlTemplate> controls() {
  std::vector<ControlTemplate> c;
  add_conditions(c);
  add_loading(c);
  add_saving_and_closing(c);
  return c;
}

}  // namespace

const DialogTemplate& initial_values() {
  static const DialogTemplate t{static_cast<int>(dialog_of(C{})), "INITIAL VALUES", 995, 434, controls()};
  return t;
}

}  // namespace ui::templates
