#include "dialogs/cases/case_form.h"

#include <utility>

#include <algorithm>

namespace dialogs::cases {

// The lists show the codes in the order of their numbers, except the accelerogram loading
// types, which follow the other three.
model::MassModel mass_model_of_item(int item) { return model::code_from_number<model::MassModel>(item - 1); }
model::PrintingCode printing_code_of_item(int item) {
  return model::code_from_number<model::PrintingCode>(item - 2);
}

model::LoadingType loading_type_of_item(int item) {
  switch (item) {
    case 4: return model::LoadingType::accelerogram_3_directions;
    case 5: return model::LoadingType::accelerogram_1_direction;
    default: return model::code_from_number<model::LoadingType>(item - 1);
  }
}

int mass_model_item(model::MassModel mass_model) { return model::code_number(mass_model) + 1; }

int printing_code_item(model::PrintingCode printing_code) {
  return model::code_number(printing_code) + 2;
}

int loading_type_item(model::LoadingType loading_type) {
  switch (loading_type) {
    case model::LoadingType::accelerogram_3_directions: return 4;
    case model::LoadingType::accelerogram_1_direction: return 5;
    default: return model::code_number(loading_type) + 1;
  }
}

model::DampingType damping_type_of_item(int item) {
  return model::code_from_number<model::DampingType>(item >= 1 ? item - 1 : 0);
}

int damping_type_item(model::DampingType damping_type) { return model::code_number(damping_type) + 1; }

DampingFields damping_fields(model::DampingType damping_type, bool new_operator) {
  using model::DampingType;
  DampingFields f;
  if (damping_type == DampingType::none) return f;
  f.niu = new_operator;
  f.first = f.second = damping_type != DampingType::structural;
  f.zeta = damping_type == DampingType::structural || damping_type == DampingType::aero_structural;
  f.diameters = model::aerodynamic(damping_type) ? DiametersButton::enabled : DiametersButton::disabled;
  if (damping_type == DampingType::rayleigh) {
    f.first_label = "alfa_D";
    f.second_label = "beta_D";
  } else if (model::aerodynamic(damping_type)) {
    f.first_label = "ro_air";
    f.second_label = "c_drag";
  }
  return f;
}

AddCheck check_case_form(const CaseForm& form) {
  if (form.mass_model_item == 0 || form.printing_code_item == 0 || form.loading_type_item == 0)
    return AddCheck::list_not_selected;
  if (form.iteration_limit == 0 || form.tolerance == 0) return AddCheck::iterations_or_tolerance;
  if (form.time_step == 0 || form.end_time == 0) return AddCheck::time_step_or_end_time;
  const bool time_history = form.printing_code_item == 3 || form.printing_code_item == 4;
  if (time_history && form.printing_time == 0) return AddCheck::printing_time;
  return AddCheck::ok;
}

MessageText add_check_message(AddCheck check) {
  switch (check) {
    case AddCheck::list_not_selected:
      return {"Mass model, Printing code, or Loading Type NOT selected !",
              "Modelul de masa, Codul de tiparire, sau Incarcarea NU s-au selectat !"};
    case AddCheck::iterations_or_tolerance:
      return {"Limit Number of iterations, or Tolerance NOT completed !",
              "Numarul limita de iteratii sau Toleranta NU s-au completat !"};
    case AddCheck::time_step_or_end_time:
      return {"Time Step, or End Time NOT completed !",
              "Pasul de timp sau Timpul final nu s-au completat !"};
    case AddCheck::printing_time:
      return {"Printing Time NOT completed !", "Timpul pentru tiparire NU s-a completat !"};
    case AddCheck::ok: break;
  }
  return {"", ""};
}

void store_damping(const CaseForm& form, model::case_files::CaseStore& document) {
  using model::DampingType;
  model::Damping& damping = document.damping();
  damping.type = damping_type_of_item(form.damping_item);
  damping.present = damping.type != DampingType::none;
  if (!damping.present) return;
  if (document.general().new_operator) damping.niu = form.niu;
  switch (damping.type) {
    case DampingType::rayleigh:
      damping.alfa_d = form.first_damping;
      damping.beta_d = form.second_damping;
      break;
    case DampingType::structural: damping.zeta = form.zeta; break;
    case DampingType::aero:
    case DampingType::aero_structural:
      damping.ro_air = form.first_damping;
      damping.c_drag = form.second_damping;
      if (damping.type == DampingType::aero_structural) damping.zeta = form.zeta;
      break;
    case DampingType::none: break;
  }
}

void store_case_values(const CaseForm& form, model::CaseRecord& record) {
  record.iteration_limit = form.iteration_limit;
  record.tolerance = form.tolerance;
  record.time_step = form.time_step;
  record.end_time = form.end_time;
  record.printing_time = form.printing_time;
  record.gravity_acceleration = form.gravity_acceleration;
  record.mass_model = mass_model_of_item(form.mass_model_item);
  record.printing_code = printing_code_of_item(form.printing_code_item);
  record.loading_type = loading_type_of_item(form.loading_type_item);
}

std::string processed_item_text(int case_number, bool shown_as_processed) {
  return shown_as_processed ? std::to_string(case_number) : std::string("- ");
}

std::string added_item_text(int case_number) { return std::to_string(case_number) + " +"; }

std::string gravity_unit_text(const model::GeneralData& general) {
  return std::string(general.length_unit.shown()) + "/sec2";
}

// The six-coefficient operator takes the tolerance on the rate of acceleration.
std::string tolerance_unit_text(const model::GeneralData& general) {
  return std::string(general.length_unit.shown()) + (model::six_coefficient_operator(general) ? "/sec3" : "/sec2");
}

void create_case_arrays(model::ProgramState& state, model::case_files::CaseStore& cases) {
  const int n = std::max(cases.general().n_loading_cases, 0);
  if (std::exchange(state.resume_cases, false) && cases.count() > 0) {
    // The cases of a run taken back stay as they were; a number of cases changed since keeps
    // the first ones.
    cases.set_count(n);
    return;
  }
  cases.set_count(0);
  cases.set_count(n);
  const int loaded = std::min(std::max(state.n_loaded_cases, 0), n);
  for (int k = 1; k <= loaded; ++k) {
    model::Case& c = cases.at(k);
    if (c.loaded) c.record = *c.loaded;
    c.processed = c.loading_saved = c.initial_values_saved = true;
  }
}

std::vector<std::string> remove_case(model::ProgramState& state, model::case_files::CaseStore& cases, int removed) {
  const int n = cases.general().n_loading_cases;
  if (removed < 1 || removed > n) return {};
  if (removed <= state.n_loaded_cases) --state.n_loaded_cases;
  --cases.general().n_loading_cases;
  return cases.remove_case(state.case_folder, removed, n);
}

}  // namespace dialogs::cases
