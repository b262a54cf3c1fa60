#include "ui/templates/general_data.h"

namespace ui::templates {

// General Data: the geometry file and its counts above ("INFO"), the operator, its
// coefficients and the number of cases below ("COMMON DATA"), the two closing buttons last.
// Labels stand left of the fields they name; the control order is the tab order.
const DialogTemplate& general_data() {
  using C = GeneralData;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "BRANTEL 2020: General Data", 640, 480,
      {
          {no_id, K::group_box, "INFO", {}, {12, 8, 616, 172}},
          {id(C::select_geometry), K::push_button, "BEGIN:\nSelect Geometry File", {}, {24, 32, 192, 60}},
          {no_id, K::group_box, "Geometry File", {}, {228, 26, 388, 72}},
          {no_id, K::static_text, "File", {}, {240, 52, 36, 20}},
          {id(C::geometry_path), K::static_text, "?\nX", {}, {280, 44, 324, 44}},
          {no_id, K::static_text, "Max. Number of Time Points", {}, {24, 112, 200, 20}},
          {id(C::max_time_points), K::static_text, "", {}, {228, 112, 80, 20}},
          {no_id, K::static_text, "No. of Nodes", {}, {24, 144, 200, 20}},
          {id(C::n_nodes), K::static_text, "?", {}, {228, 144, 80, 20}},
          {no_id, K::static_text, "No. of Degrees of Freedom", {}, {330, 144, 200, 20}},
          {id(C::n_dof), K::static_text, "?", {}, {534, 144, 70, 20}},

          {no_id, K::group_box, "COMMON DATA", {}, {12, 190, 616, 238}},
          {no_id, K::static_text, "Integration Operator", {}, {24, 218, 150, 20}},
          {id(C::operator_combo), K::drop_down, "Integration Operator", {"New Operator", "Newmark"},
           {178, 214, 160, 26}},
          {no_id, K::static_text, "Operator Coefficients", {}, {24, 252, 150, 20}},
          {id(C::coefficient_combo), K::drop_down, "Operator Coefficients", {"Standard", "Custom"}, {178, 248, 160, 26}},
          {no_id, K::static_text, "1./Beta", {}, {24, 292, 70, 20}},
          {id(C::beta), K::edit, "1./Beta", {}, {98, 288, 100, 24}, real(10)},
          {no_id, K::static_text, "1./Gamma", {}, {24, 324, 70, 20}},
          {id(C::gamma), K::edit, "1./Gamma", {}, {98, 320, 100, 24}, real(10)},
          {no_id, K::static_text, "1./Delta", {}, {24, 356, 70, 20}},
          {id(C::delta), K::edit, "1./Delta", {}, {98, 352, 100, 24}, real(10)},
          {no_id, K::static_text, "1./Teta", {}, {216, 292, 70, 20}},
          {id(C::teta), K::edit, "1./Teta", {}, {290, 288, 100, 24}, real(10)},
          {no_id, K::static_text, "1./Teta1", {}, {216, 324, 70, 20}},
          {id(C::teta1), K::edit, "1./Teta1", {}, {290, 320, 100, 24}, real(10)},
          {no_id, K::static_text, "1./Teta2", {}, {216, 356, 70, 20}},
          {id(C::teta2), K::edit, "1./Teta2", {}, {290, 352, 100, 24}, real(10)},
          {no_id, K::static_text, "No. of\nLoading Cases", {}, {24, 386, 100, 34}},
          {id(C::n_loading_cases), K::edit, "No. of Loading Cases", {}, {128, 390, 70, 24}, integer(2)},
          {no_id, K::static_text, "Old\nLoading File", {}, {432, 212, 184, 34}},
          {id(C::load_old_file), K::push_button, "LOAD from Old File", {}, {432, 248, 184, 52}},
          {no_id, K::static_text, "Save Changes", {}, {432, 318, 184, 20}},
          {id(C::save_changes), K::push_button, "SAVE Changes", {}, {432, 340, 184, 48}},

          {id(C::ok), K::push_button, "OK", {}, {428, 442, 96, 28}, {}, true, true},
          {id(C::cancel), K::push_button, "Cancel", {}, {532, 442, 96, 28}},
      }};
  return t;
}

}  // namespace ui::templates
