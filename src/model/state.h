// The program state: the run's own facts every dialog and editor shares. The document (general
// data, damping, the loading file's name, the cases) is in the case store.
// Logical fields are bool here; files and texts that need the -1/0 form convert at that edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/discrete_loading.h"
#include "model/domain_codes.h"
#include "text/fixed_text.h"

namespace model {

using text::Field;

// One loading case, fields in the order of the loading file and the old tool's records.
struct CaseRecord {
  float tolerance = 0;
  int iteration_limit = 0;
  LoadingType loading_type = LoadingType::discrete;
  float time_step = 0;
  float end_time = 0;
  float printing_time = 0;
  MassModel mass_model = MassModel::concentrated;
  float gravity_acceleration = 0;
  PrintingCode printing_code = PrintingCode::maximum_values;
  float omega = 0;
  float phi = 0;
  float initial_acceleration[3] = {0, 0, 0};  // X, Y, Z
  int n_initial_conditions = 0;
  int n_initial_loadings = 0;
  int n_time_points = 0;
  int n_load_ranges = 0;

  friend bool operator==(const CaseRecord&, const CaseRecord&) = default;
};

struct AccelPoint {
  float time = 0;
  float acceleration[3] = {0, 0, 0};  // X, Y, Z

  friend bool operator==(const AccelPoint&, const AccelPoint&) = default;
};

// The longest path, in bytes, that the program takes from a file box: the path fields below
// keep it whole and the loading file's records carry it unchanged.
inline constexpr std::size_t max_path_bytes = 255;

struct ProgramState {
  // Folders and settings (start-up).
  Field<260> current_directory;
  Field<260> dat_directory;
  Field<260> uir_directory;
  Field<20> language{"English"};
  int max_time_points = 0;
  // The run's private folder of the case files, absolute. Empty: the current directory, which
  // only tests that work in a folder of their own use.
  std::string case_folder;

  // What each open-file box offers again: the path chosen last in a box of that kind.
  std::string geometry_box_choice;
  std::string loading_box_choice;   // LOAD from Old File
  std::string created_box_choice;   // Select of the file to create

  // Wizard and load flags.
  int general_data_result = 0;
  int loading_cases_result = 0;
  bool general_data_changed = false;
  bool general_data_saved = false;
  bool old_file_loaded = false;
  int n_loaded_cases = 0;
  int current_case = 0;
  // The case arrays and case files came back from a run that stopped: the next General Data
  // and Loading Cases dialogs keep them instead of starting the cases afresh.
  bool resume_cases = false;

  // Editor tables; they outlive the dialogs that edit them. They grow with the data:
  // max_time_points and n_nodes / n_elements are limits, not sizes. A case's saved loading is
  // in the case store; the editors open it through these tables.
  // The Discrete Loading editor's table: its entries 1..n_time_points of the case are the points
  // in use, and the table may hold entries beyond them, which the editor shows.
  DiscreteLoading time_point_table;
  bool time_point_table_exists = false;
  std::vector<AccelPoint> accel_table;
  bool accel_table_exists = false;
  bool diameters_saved = true;
};

// Romanian message texts when the language starts with "R" or "r".
inline bool romanian_messages(const ProgramState& s) {
  return s.language.first() == 'R' || s.language.first() == 'r';
}

}  // namespace model
