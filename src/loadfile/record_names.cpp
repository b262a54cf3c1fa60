#include "loadfile/record_names.h"

namespace loadfile {

namespace {

struct KindNames {
  std::string_view id, title;
};

KindNames names_of(RecordKind kind) {
  switch (kind) {
    case RecordKind::not_read: return {"not_read", "not read"};
    case RecordKind::comment: return {"comment", "header"};
    case RecordKind::operator_code: return {"operator_code", "operator"};
    case RecordKind::coefficients: return {"coefficients", "operator coefficients"};
    case RecordKind::case_count: return {"case_count", "number of loading cases"};
    case RecordKind::damping_code: return {"damping_code", "damping code"};
    case RecordKind::tolerance: return {"tolerance", "tolerance, iteration limit"};
    case RecordKind::case_parameters:
      return {"case_parameters",
              "loading type, time step, end time, mass model, gravity acceleration, printing code, printing time"};
    case RecordKind::unreadable: return {"unreadable", "cannot be read: the rest of the case is skipped"};
    case RecordKind::initial_condition: return {"initial_condition", "initial displacements, velocities"};
    case RecordKind::initial_conditions_end: return {"initial_conditions_end", "end of initial conditions"};
    case RecordKind::initial_accelerations: return {"initial_accelerations", "initial accelerations"};
    case RecordKind::niu: return {"niu", "damping niu"};
    case RecordKind::damping_values: return {"damping_values", "damping values"};
    case RecordKind::diameter: return {"diameter", "diameter"};
    case RecordKind::diameters_end: return {"diameters_end", "end of element diameters"};
    case RecordKind::zeta: return {"zeta", "damping zeta"};
    case RecordKind::initial_load: return {"initial_load", "concentrated mass, initial loads"};
    case RecordKind::initial_loading_end: return {"initial_loading_end", "end of initial loading"};
    case RecordKind::loading_parameters: return {"loading_parameters", "loading parameters"};
    case RecordKind::amplitude: return {"amplitude", "amplitudes"};
    case RecordKind::time: return {"time", "time point"};
    case RecordKind::point_load: return {"point_load", "loads"};
    case RecordKind::time_separator: return {"time_separator", "between time points"};
    case RecordKind::accel_point: return {"accel_point", "accelerations"};
    case RecordKind::loading_data_end: return {"loading_data_end", "end of loading data"};
    case RecordKind::end_of_file: return {"end_of_file", "end of file"};
  }
  return {"", ""};
}

void numbered(std::vector<std::string>& names, std::string_view stem, int n) {
  for (int j = 1; j <= n; ++j) names.push_back(std::string(stem) + "_" + std::to_string(j));
}

std::vector<std::string> fixed_names(RecordKind kind, std::size_t count, model::LoadingType loading_type, model::DampingType damping_type,
                                     bool new_operator) {
  const int n = static_cast<int>(count);
  switch (kind) {
    case RecordKind::coefficients:
      return new_operator ? std::vector<std::string>{"beta", "teta", "gamma", "teta1", "delta", "teta2"}
                          : std::vector<std::string>{"beta", "gamma"};
    case RecordKind::case_count: return {"n_loading_cases"};
    case RecordKind::damping_code: return {"damping_type"};
    case RecordKind::tolerance: return {"tolerance", "iteration_limit"};
    case RecordKind::case_parameters:
      return {"loading_type", "time_step", "end_time", "mass_model", "gravity_acceleration", "printing_code",
              "printing_time"};
    case RecordKind::niu: return {"niu"};
    case RecordKind::zeta: return {"zeta"};
    case RecordKind::damping_values:
      return damping_type == model::DampingType::rayleigh ? std::vector<std::string>{"alfa_d", "beta_d"}
                               : std::vector<std::string>{"ro_air", "c_drag"};
    case RecordKind::diameter: return {"first_element", "last_element", "diameter"};
    case RecordKind::loading_parameters: return {"omega", "phi"};
    case RecordKind::time: return {"time"};
    default: break;
  }
  std::vector<std::string> names;
  switch (kind) {
    case RecordKind::initial_condition:
      names = {"first_node", "last_node"};
      numbered(names, "displacement", (n - 2) / 2);
      numbered(names, "velocity", (n - 2) / 2);
      break;
    case RecordKind::initial_load:
      names = {"first_node", "last_node", "mass"};
      numbered(names, "load", n - 3);
      break;
    case RecordKind::amplitude:
    case RecordKind::point_load:
      names = {"first_node", "last_node"};
      numbered(names, kind == RecordKind::amplitude ? "amplitude" : "load", n - 2);
      break;
    case RecordKind::initial_accelerations: numbered(names, "initial_acceleration", n); break;
    case RecordKind::accel_point:
      names = {"time"};
      if (loading_type == model::LoadingType::accelerogram_1_direction && n == 2)
        names.push_back("acceleration");
      else
        numbered(names, "acceleration", n - 1);
      break;
    default: break;
  }
  return names;
}

}  // namespace

std::string_view record_title(RecordKind kind) { return names_of(kind).title; }
std::string_view record_id(RecordKind kind) { return names_of(kind).id; }

std::vector<std::string> value_names(RecordKind kind, std::size_t count, model::LoadingType loading_type, model::DampingType damping_type,
                                     bool new_operator) {
  std::vector<std::string> names = fixed_names(kind, count, loading_type, damping_type, new_operator);
  names.resize(count);
  for (std::size_t j = 0; j < count; ++j)
    if (names[j].empty()) names[j] = "value_" + std::to_string(j + 1);
  return names;
}

std::string_view loading_type_words(int code) {
  switch (code) {
    case 0: return "Discrete Loading";
    case 1: return "Sinusoidal";
    case 2: return "Exponential";
    case -1: return "Accelerogram: 3 directions";
    case -2: return "Accelerogram: 1 direction";
    default: return {};
  }
}

std::string_view damping_type_words(int code) {
  switch (code) {
    case 0: return "NO Damping";
    case 1: return "Raleigh";
    case 2: return "Structural";
    case 3: return "Aero";
    case 4: return "Aero+Structural";
    default: return {};
  }
}

}  // namespace loadfile
