#include "ui/templates/loading_cases.h"

namespace ui::templates {

namespace {

using C = LoadingCases;
using K = ControlKind;

ControlTemplate label(std::string text, Rect rect) {
  return {no_id, K::static_text, std::move(text), {}, rect};
}

// The case list, the processed list and the buttons that add and remove a case.
void add_case_lists(std::vector<ControlTemplate>& c) {
  c.push_back(label("Loading Case", {12, 12, 84, 20}));
  c.push_back({id(C::case_list), K::list_box, "Loading Case", {}, {12, 34, 84, 220}});
  c.push_back({id(C::add), K::push_button, "Add\nCase >>", {}, {104, 120, 88, 48}});
  c.push_back(label("Processed Cases", {200, 12, 100, 20}));
  c.push_back({id(C::processed_list), K::list_box, "Processed Cases", {}, {200, 34, 100, 220}});
  c.push_back({no_id, K::group_box, "LOADING CASE No.", {}, {12, 266, 180, 52}});
  c.push_back({id(C::case_number), K::static_text, "", {}, {24, 290, 60, 22}});
  c.push_back({id(C::remove), K::push_button, "Remove Case", {}, {200, 284, 100, 34}});
}

// The damping block; the captions of the two damping values follow the damping type.
void add_damping(std::vector<ControlTemplate>& c) {
  c.push_back(label("Damping Type", {12, 336, 92, 22}));
  c.push_back({id(C::damping),
               K::drop_down,
               "Damping Type",
               {"NO Damping", "Raleigh", "Structural", "Aero", "Aero+Structural"},
               {108, 334, 192, 26}});
  c.push_back(label("niu", {12, 370, 92, 22}));
  c.push_back({id(C::niu), K::edit, "niu", {}, {108, 368, 192, 26}, real(16)});
  c.push_back({id(C::first_damping_label), K::static_text, "", {}, {12, 404, 92, 22}});
  c.push_back({id(C::first_damping), K::edit, "alfa_D / ro_air", {}, {108, 402, 192, 26}, real(16)});
  c.push_back({id(C::second_damping_label), K::static_text, "", {}, {12, 438, 92, 22}});
  c.push_back({id(C::second_damping), K::edit, "beta_D / c_drag", {}, {108, 436, 192, 26}, real(16)});
  c.push_back({id(C::zeta_label), K::static_text, "zeta", {}, {12, 472, 92, 22}});
  c.push_back({id(C::zeta), K::edit, "zeta", {}, {108, 470, 192, 26}, real(16)});
  c.push_back({id(C::diameters), K::push_button, "Diameters", {}, {108, 504, 192, 32}});
}

// One row of a case value: its label, its edit and, when given, its unit.
void add_value_row(std::vector<ControlTemplate>& c, C edit, std::string text, int y,
                   int label_height, ControlId unit_id, std::string unit) {
  const int edit_y = y + (label_height - 26) / 2;
  std::string name = text;
  for (char& ch : name)
    if (ch == '\n') ch = ' ';
  c.push_back(label(std::move(text), {320, y, 176, label_height}));
  c.push_back({id(edit), K::edit, std::move(name), {}, {500, edit_y, 140, 26},
               edit == C::iterations ? integer(16) : real(16)});
  if (unit_id != no_id || !unit.empty())
    c.push_back({unit_id, K::static_text, std::move(unit), {}, {646, edit_y + 2, 78, 22}});
}

void add_case_values(std::vector<ControlTemplate>& c) {
  add_value_row(c, C::tolerance, "Tolerance", 34, 26, id(C::tolerance_unit), "");
  add_value_row(c, C::iterations, "Limit Number\nof Iterations", 68, 40, no_id, "");
  add_value_row(c, C::time_step, "Time Step", 116, 26, no_id, "sec");
  add_value_row(c, C::end_time, "End Time", 150, 26, no_id, "sec");
  add_value_row(c, C::gravity, "Gravity Acceleration\n(Projection on vertical axis)", 184, 40, id(C::gravity_unit), "");
  add_value_row(c, C::printing_time, "Printing Time", 232, 26, no_id, "sec");
}

void add_case_codes(std::vector<ControlTemplate>& c) {
  c.push_back(label("Mass Model", {320, 268, 96, 22}));
  c.push_back({id(C::mass_model), K::drop_down, "Mass Model", {}, {420, 266, 304, 26}});
  c.push_back(label("Printing Code", {320, 302, 96, 22}));
  c.push_back({id(C::printing_code), K::drop_down, "Printing Code", {}, {420, 300, 304, 26}});
  c.push_back(label("Loading Type", {320, 336, 96, 22}));
  c.push_back({id(C::loading_type), K::drop_down, "Loading Type", {}, {420, 334, 304, 26}});
}

// The editors of the case's data.
void add_editor_buttons(std::vector<ControlTemplate>& c) {
  c.push_back({id(C::initial_values), K::push_button, "Initial Values", {}, {320, 404, 150, 32}});
  c.push_back(label("<<  Push Button for Intial Values Dialog", {478, 409, 246, 22}));
  c.push_back(label("Loading", {320, 497, 96, 22}));
  c.push_back({id(C::input_loading), K::push_button, "Input LOADING", {}, {420, 480, 304, 56}});
}

// The loading file: language of its headers, its name, writing and viewing it, and leaving.
void add_file_controls(std::vector<ControlTemplate>& c) {
  c.push_back(label("Language (headers)", {744, 12, 140, 20}));
  c.push_back({id(C::language), K::drop_down, "Language (headers)", {}, {744, 34, 140, 26}});
  c.push_back({id(C::select), K::push_button, "Select", {}, {744, 80, 140, 44}});
  c.push_back({id(C::create), K::push_button, "Create", {}, {744, 132, 140, 44}});
  c.push_back({id(C::view), K::push_button, "View", {}, {744, 184, 140, 44}});
  c.push_back({id(C::plot), K::push_button, "Plot Loading", {}, {744, 252, 140, 34}});
  c.push_back({id(C::suite), K::push_button, "Suite...", {}, {744, 294, 140, 34}});
  c.push_back({id(C::exit), K::push_button, "E X I T", {}, {744, 460, 140, 34}});
  c.push_back({id(C::cancel), K::push_button, "Cancel", {}, {744, 502, 140, 34}});
  c.push_back({id(C::file_state), K::static_text, "File", {}, {12, 556, 56, 22}});
  c.push_back({id(C::file_path), K::static_text, "?", {}, {72, 556, 812, 22}});
}

std::vector<ControlTemplate> controls() {
  std::vector<ControlTemplate> c;
  add_case_lists(c);
  add_damping(c);
  add_case_values(c);
  add_case_codes(c);
  add_editor_buttons(c);
  add_file_controls(c);
  return c;
}

}  // namespace

const DialogTemplate& loading_cases() {
  static const DialogTemplate t{static_cast<int>(dialog_of(C{})), "BRANTEL: Loading Cases", 896, 590, controls()};
  return t;
}

}  // namespace ui::templates
