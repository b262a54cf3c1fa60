// The rules of the Loading Cases form that do not depend on the dialog: list codes, the
// damping table, the checks of a case before it is stored, and the removal of a case.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/case_files/case_store.h"
#include "model/state.h"

namespace dialogs::cases {

inline constexpr std::array<std::string_view, 3> mass_model_items = {
    "Concentrated Mass", "Distributed Mass", "Concentrated & Distributed Mass"};
inline constexpr std::array<std::string_view, 4> printing_code_items = {
    "Nothing", "Maximum Values", "Time History", "Time History & Maximum Values"};
inline constexpr std::array<std::string_view, 5> loading_type_items = {
    "Discrete Loading", "Sinusoidal", "Exponential", "Accelerogram: 3 directions",
    "Accelerogram: 1 direction"};
inline constexpr std::array<std::string_view, 2> language_items = {"English", "Romanian"};

// Item numbers (1-based) and the codes stored in a case record.
model::MassModel mass_model_of_item(int item);
model::PrintingCode printing_code_of_item(int item);
model::LoadingType loading_type_of_item(int item);
int mass_model_item(model::MassModel mass_model);
int printing_code_item(model::PrintingCode printing_code);
int loading_type_item(model::LoadingType loading_type);

// What the damping fields show for one damping type.
enum class DiametersButton {
  unchanged,  // "NO Damping" leaves the button as it was
  enabled,
  disabled,
};
struct DampingFields {
  bool first = false;   // alfa_D / ro_air, with its caption
  bool second = false;  // beta_D / c_drag, with its caption
  bool zeta = false;
  bool niu = false;
  DiametersButton diameters = DiametersButton::unchanged;
  // Captions of the two damping values; empty: they keep their last captions.
  std::string_view first_label, second_label;
};
DampingFields damping_fields(model::DampingType damping_type, bool new_operator);

// The form as read from the dialog: list items and converted numbers.
struct CaseForm {
  int damping_item = 0;
  int mass_model_item = 0;
  int printing_code_item = 0;
  int loading_type_item = 0;
  float niu = 0;
  float first_damping = 0;   // alfa_D or ro_air
  float second_damping = 0;  // beta_D or c_drag
  float zeta = 0;
  int iteration_limit = 0;
  float tolerance = 0;
  float time_step = 0;
  float end_time = 0;
  float printing_time = 0;
  float gravity_acceleration = 0;
};

// The damping type of a damping list item; no selection counts as "NO Damping", so the
// file never gets a code outside 0..4.
model::DampingType damping_type_of_item(int item);
int damping_type_item(model::DampingType damping_type);

// Outcome of the checks made before a case is stored, in the order they are made.
enum class AddCheck {
  ok,                         // the case may be stored
  list_not_selected,          // mass model, printing code or loading type has no item
  iterations_or_tolerance,    // iteration limit or tolerance is 0
  time_step_or_end_time,      // time step or end time is 0
  printing_time,              // a time history is printed but the printing time is 0
};
AddCheck check_case_form(const CaseForm& form);

struct MessageText {
  std::string_view english, romanian;
};
MessageText add_check_message(AddCheck check);

// Stores the damping block (program-wide) as the form holds it.
void store_damping(const CaseForm& form, model::case_files::CaseStore& document);
// Stores the case values and codes of the form into `record`; other fields stay.
void store_case_values(const CaseForm& form, model::CaseRecord& record);

// Text of item k of the processed list.
std::string processed_item_text(int case_number, bool shown_as_processed);
std::string added_item_text(int case_number);

// Unit captions of the gravity acceleration and of the tolerance.
std::string gravity_unit_text(const model::GeneralData& general);
std::string tolerance_unit_text(const model::GeneralData& general);

// Makes the cases of one run of the dialog in the store. Only the first n_loading_cases loaded
// records are taken when the user lowered the number of cases after loading an old file.
void create_case_arrays(model::ProgramState& state, model::case_files::CaseStore& cases);

// Removes case `removed` of 1..n_loading_cases: every later case moves down one number with its
// record, its loaded record, its facts, its sections and their files, so each case keeps its
// own parameters. One line per case file that could not be deleted or renamed.
std::vector<std::string> remove_case(model::ProgramState& state, model::case_files::CaseStore& cases, int removed);

}  // namespace dialogs::cases
