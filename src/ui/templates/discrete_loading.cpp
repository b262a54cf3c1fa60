#include "ui/templates/discrete_loading.h"

namespace ui::templates {

// Time points on the left; the loading of the node ranges of the selected time on the right.
const DialogTemplate& discrete_loading() {
  using C = DiscreteLoading;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "DISCRETE Loading", 960, 520,
      {
          {no_id, K::group_box, "TIME Points", {}, {10, 10, 300, 440}},
          {no_id, K::static_text, "Time Point", {}, {20, 38, 75, 20}},
          {id(C::time), K::edit, "Time Point", {}, {100, 35, 120, 24}, real(24)},
          {no_id, K::static_text, "sec", {}, {226, 38, 30, 20}},
          {id(C::add_time), K::push_button, "ADD to List >>", {}, {100, 68, 120, 28}},
          {no_id, K::static_text, "Time Points List", {}, {20, 106, 180, 18}},
          {id(C::time_list), K::list_box, "Time Points List", {}, {20, 126, 180, 314}},
          {id(C::remove_time), K::push_button, "Remove", {}, {210, 126, 90, 28}},
          {no_id, K::group_box, "LOADING   ", {}, {320, 10, 630, 440}},
          {no_id, K::static_text, "First: Select Time Point from List", {}, {332, 32, 300, 18}},
          {no_id, K::group_box, "Nodes", {}, {330, 58, 150, 96}},
          {no_id, K::static_text, "From", {}, {340, 85, 40, 20}},
          {id(C::from), K::edit, "From", {}, {385, 82, 85, 24}, node},
          {no_id, K::static_text, "To", {}, {340, 119, 40, 20}},
          {id(C::to), K::edit, "To", {}, {385, 116, 85, 24}, node},
          {no_id, K::static_text, "X", {}, {555, 62, 85, 18}},
          {no_id, K::static_text, "Y", {}, {645, 62, 85, 18}},
          {no_id, K::static_text, "Z", {}, {735, 62, 85, 18}},
          {no_id, K::static_text, "Loading", {}, {492, 85, 60, 20}},
          {id(C::loading_x), K::edit, "Loading X", {}, {555, 82, 85, 24}, real(16)},
          {id(C::loading_y), K::edit, "Loading Y", {}, {645, 82, 85, 24}, real(16)},
          {id(C::loading_z), K::edit, "Loading Z", {}, {735, 82, 85, 24}, real(16)},
          {id(C::unit), K::static_text, "", {}, {555, 112, 175, 20}},
          {id(C::zeros), K::push_button, "0s", {}, {828, 81, 80, 26}},
          {id(C::add_range), K::push_button, "ADD >>", {}, {492, 170, 84, 28}},
          {no_id, K::static_text, "Processed Nodes", {}, {590, 150, 150, 18}},
          {id(C::node_list), K::list_box, "Processed Nodes", {}, {590, 170, 150, 270}},
          {id(C::remove_range), K::push_button, "Remove", {}, {750, 170, 90, 28}},
          {id(C::save), K::push_button, "SAVE Changes", {}, {10, 460, 150, 50}},
          {no_id, K::static_text, "Save Changes", {}, {170, 475, 110, 20}},
          {id(C::import), K::push_button, "Import Load History...", {}, {320, 470, 180, 30}},
          {id(C::plot), K::push_button, "Plot", {}, {510, 470, 94, 30}},
          {id(C::done), K::push_button, "DONE", {}, {752, 470, 94, 30}},
          {id(C::cancel), K::push_button, "Cancel", {}, {856, 470, 94, 30}},
      }};
  return t;
}

}  // namespace ui::templates
