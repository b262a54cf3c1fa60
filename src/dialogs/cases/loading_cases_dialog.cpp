#include "dialogs/cases/loading_cases_dialog.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/cases/case_form.h"
#include "dialogs/cases/loading_file_target.h"
#include "dialogs/editors/editors.h"
#include "dialogs/file_boxes.h"
#include "dialogs/typed_fields.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/loading_file.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/scratch_layouts.h"
#include "text/format.h"
#include "text/free_form.h"

namespace cases {

namespace {

using ui::ControlId;

constexpr int template_id = 102;
constexpr ControlId cancel_button = 2;
constexpr ControlId case_list = 1011, processed_list = 1018, add_button = 1020,
                    remove_button = 1021, case_number_text = 1080;
constexpr ControlId damping_list = 1131, niu_edit = 1121, first_damping_edit = 1119,
                    second_damping_edit = 1120, zeta_edit = 1132, diameters_button = 1134,
                    first_damping_label = 1129, second_damping_label = 1130, zeta_label = 1133;
constexpr ControlId iteration_edit = 1106, tolerance_edit = 1107, tolerance_unit = 1108,
                    time_step_edit = 1013, end_time_edit = 1014, gravity_edit = 1019,
                    gravity_unit = 1064, printing_time_edit = 1017;
constexpr ControlId mass_model_list = 1122, printing_code_list = 1123, loading_type_list = 1124;
constexpr ControlId initial_values_button = 1047, input_loading_button = 1086, plot_button = 1155;
constexpr ControlId file_state_text = 1127, file_path_text = 1117, language_list = 1128,
                    select_button = 1110, create_button = 1033, view_button = 1034;

// Case values are read from the first 16 characters of their fields.
constexpr std::size_t value_length = 16;

constexpr ControlId callback_controls[] = {
    case_list,        processed_list,     add_button,         remove_button,   damping_list,
    niu_edit,         first_damping_edit, second_damping_edit, zeta_edit,      diameters_button,
    iteration_edit,   tolerance_edit,     time_step_edit,     end_time_edit,   gravity_edit,
    mass_model_list,  initial_values_button, printing_time_edit, printing_code_list,
    loading_type_list, input_loading_button, language_list,   select_button,   create_button,
    view_button,      plot_button};

constexpr ControlId form_controls[] = {iteration_edit,  tolerance_edit,     time_step_edit,
                                       end_time_edit,   printing_time_edit, gravity_edit,
                                       mass_model_list, printing_code_list, loading_type_list};

constexpr ControlId edits_cleared_by_selection[] = {
    first_damping_edit, second_damping_edit, niu_edit,      zeta_edit,          iteration_edit,
    tolerance_edit,     time_step_edit,      end_time_edit, printing_time_edit, gravity_edit};

class LoadingCasesDialog {
 public:
  LoadingCasesDialog(app::Context& context, ui::Dialog& dialog)
      : context_(context), state_(context.state), dialog_(dialog), entries_(context, dialog, static_cast<ui::DialogId>(template_id)) {}

  void set_up();
  void on_control(ControlId id);

 private:
  void initialize();
  void fill_list(ControlId id, auto const& items);
  void disable_form();
  void show_file_state();
  void fill_case_lists();
  void refresh_case_lists_after_removal();

  void select_case();
  void clear_form();
  void show_stored_values(const model::CaseRecord& record);
  void show_damping_values();
  void select_item(ControlId id, int item, int count);
  void apply_damping_table(model::DampingType damping_type);

  CaseForm read_form() const;
  bool form_taken_whole(std::string_view title);
  float read_real(ControlId id) const;
  void store_form(const CaseForm& form);
  void add_case();
  void choose_processed_case();
  void remove_current_case();
  void move_scratch_files(int removed, int last);

  void choose_damping();
  void store_list_code(ControlId id);
  void choose_loading_type();
  void take_loading_type();
  void choose_language();
  void input_loading();
  void prepare_discrete_loading();
  void open_initial_values();
  void select_loading_file();
  void create_loading_file();
  void view_loading_file();
  void refresh_view_button();

  bool current_case_ready() const;
  bool require_current_case(std::string_view title);
  void refresh_plot_button();

  app::Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  // A case chosen in the case list during this run of the dialog; current_case itself may
  // still hold the choice of an earlier run, which names no case of this one.
  bool case_selected_ = false;
  // Case data typed, chosen or edited since the dialog opened or the loading file was last
  // created: the case arrays go when the dialog closes.
  app::UnsavedEntries entries_;
};

// ----- set-up -----

void LoadingCasesDialog::set_up() {
  dialog_.on(template_id, [this](ui::Dialog&, ControlId) { initialize(); });
  for (ControlId id : callback_controls)
    dialog_.on(id, [this](ui::Dialog&, ControlId control) { on_control(control); });
  fill_list(mass_model_list, mass_model_items);
  fill_list(printing_code_list, printing_code_items);
  fill_list(loading_type_list, loading_type_items);
  disable_form();
  if (state_.old_file_loaded) {
    dialog_.set_enabled(input_loading_button, true);
    dialog_.select(loading_type_list, 1);
  } else {
    dialog_.set_enabled(input_loading_button, false);
  }
  dialog_.set_enabled(create_button, false);
  dialog_.set_enabled(plot_button, false);
  show_file_state();
  refresh_view_button();
  fill_list(language_list, language_items);
  const char first = state_.language.first();
  dialog_.select(language_list, first == 'E' || first == 'e' ? 1 : 2);
  create_case_arrays(state_);
  fill_case_lists();
  dialog_.set_text(gravity_unit, gravity_unit_text(state_));
  dialog_.set_text(tolerance_unit, tolerance_unit_text(state_));
  // The damping block is program-wide: the list shows its present type, so a case stored
  // without touching the list keeps it instead of taking a type of "no item".
  select_item(damping_list, damping_type_item(state_.damping_type), 5);
}

void LoadingCasesDialog::initialize() {
  const app::Images& images = context_.images;
  dialog_.set_window_icon(images.input_file2_icon);
  dialog_.set_image(select_button, images.open_icon);
  dialog_.set_image(create_button, images.input_file2_icon);
  dialog_.set_image(view_button, images.notepad_icon);
  dialog_.set_image(input_loading_button, images.loading_bitmap);
}

void LoadingCasesDialog::fill_list(ControlId id, auto const& items) {
  dialog_.set_item_count(id, static_cast<int>(items.size()));
  int k = 0;
  for (std::string_view item : items) dialog_.set_text(id, item, ++k);
}

void LoadingCasesDialog::disable_form() {
  static constexpr ControlId disabled[] = {
      damping_list,    niu_edit,           first_damping_edit, second_damping_edit,
      zeta_edit,       iteration_edit,     tolerance_edit,     time_step_edit,
      end_time_edit,   printing_time_edit, gravity_edit,       mass_model_list,
      printing_code_list, loading_type_list, diameters_button, initial_values_button,
      add_button,      remove_button};
  for (ControlId id : disabled) dialog_.set_enabled(id, false);
}

void LoadingCasesDialog::show_file_state() {
  if (state_.old_file_loaded) {
    dialog_.set_text(file_state_text, "Old");
    dialog_.set_text(file_path_text, state_.loading_file.trimmed());
  } else {
    dialog_.set_text(file_state_text, "New");
  }
}

void LoadingCasesDialog::fill_case_lists() {
  const int n = state_.n_loading_cases;
  dialog_.set_item_count(case_list, n);
  dialog_.set_item_count(processed_list, n);
  for (int k = 1; k <= n; ++k) {
    dialog_.set_text(case_list, std::to_string(k), k);
    dialog_.set_text(processed_list, processed_item_text(k, k <= state_.n_loaded_cases), k);
  }
}

// ----- dispatch -----

// "Plot Loading" is offered when the chosen case has a saved loading to show.
void LoadingCasesDialog::refresh_plot_button() {
  dialog_.set_enabled(plot_button,
                      current_case_ready() && editors::has_saved_loading(state_, state_.current_case));
}

void LoadingCasesDialog::on_control(ControlId id) {
  if (id != select_button && id != create_button && id != view_button && id != language_list &&
      id != plot_button)
    entries_.note(id);
  switch (id) {
    case case_list: select_case(); break;
    case processed_list: choose_processed_case(); break;
    case add_button: add_case(); break;
    case remove_button: remove_current_case(); break;
    case damping_list: choose_damping(); break;
    case diameters_button: editors::open_diameters_editor(context_, dialog_); break;
    case mass_model_list:
    case printing_code_list: store_list_code(id); break;
    case loading_type_list: choose_loading_type(); break;
    case initial_values_button: open_initial_values(); break;
    case input_loading_button: input_loading(); break;
    case plot_button:
      if (require_current_case("Message")) editors::plot_case_loading(context_, state_.current_case);
      break;
    case language_list: choose_language(); break;
    case select_button: select_loading_file(); break;
    case create_button: create_loading_file(); break;
    case view_button: view_loading_file(); break;
    default: break;  // edit fields are read when the case is stored
  }
  refresh_plot_button();
}

bool LoadingCasesDialog::current_case_ready() const {
  const int k = state_.current_case;
  return case_selected_ && k >= 1 && k <= state_.n_loading_cases && state_.case_records.contains(k);
}

bool LoadingCasesDialog::require_current_case(std::string_view title) {
  if (current_case_ready()) return true;
  context_.message("No Loading Case has been selected. Select a case in the \"Loading Case\" list first !",
                   "Nici un caz de incarcare nu s-a selectat. Selectati intai un caz din lista \"Loading Case\" !",
                   title, ui::Icon::information);
  return false;
}

// ----- the case list and the form -----

void LoadingCasesDialog::select_case() {
  const int item = dialog_.selection(case_list);
  if (item < 1 || item > state_.n_loading_cases) return;
  state_.current_case = item;
  case_selected_ = true;
  dialog_.set_enabled(add_button, true);
  dialog_.set_text(case_number_text, text::format_i(item, 2));
  dialog_.set_enabled(damping_list, true);
  apply_damping_table(damping_type_of_item(dialog_.selection(damping_list)));
  for (ControlId id : form_controls) dialog_.set_enabled(id, true);
  dialog_.set_enabled(initial_values_button, true);
  clear_form();
  // The damping block belongs to every case: a new case shows it too, or its "Add" would
  // store the blanked fields as zeros for all the cases already added.
  if (state_.damping_present) show_damping_values();
  const bool loaded = item <= state_.n_loaded_cases;
  if (loaded || state_.case_processed[item] || state_.old_file_loaded)
    show_stored_values(state_.case_records[item]);
  else
    take_loading_type();  // the type the list shows is the case's until another is picked
  dialog_.set_enabled(input_loading_button, dialog_.selection(loading_type_list) >= 1);
}

void LoadingCasesDialog::clear_form() {
  dialog_.select(mass_model_list, 1);
  dialog_.select(printing_code_list, 1);
  dialog_.select(loading_type_list, 1);
  for (ControlId id : edits_cleared_by_selection) dialog_.set_text(id, "");
}

void LoadingCasesDialog::show_stored_values(const model::CaseRecord& record) {
  select_item(damping_list, damping_type_item(state_.damping_type), 5);
  apply_damping_table(state_.damping_type);
  if (state_.damping_present) show_damping_values();
  dialog_.set_text(iteration_edit, std::to_string(record.iteration_limit));
  dialog_.set_text(tolerance_edit, text::g1p14_6_text(record.tolerance));
  dialog_.set_text(time_step_edit, text::g1p14_6_text(record.time_step));
  dialog_.set_text(end_time_edit, text::g14_7_text(record.end_time));
  dialog_.set_text(printing_time_edit, text::g14_7_text(record.printing_time));
  dialog_.set_text(gravity_edit, text::g14_7_text(record.gravity_acceleration));
  select_item(mass_model_list, mass_model_item(record.mass_model), 3);
  select_item(printing_code_list, printing_code_item(record.printing_code), 4);
  select_item(loading_type_list, loading_type_item(record.loading_type), 5);
}

void LoadingCasesDialog::show_damping_values() {
  if (state_.new_operator) dialog_.set_text(niu_edit, text::f14_7_text(state_.niu));
  using model::DampingType;
  switch (state_.damping_type) {
    case DampingType::rayleigh:
      dialog_.set_text(first_damping_edit, text::g14_7_text(state_.alfa_d));
      dialog_.set_text(second_damping_edit, text::g14_7_text(state_.beta_d));
      break;
    case DampingType::aero_structural:
      dialog_.set_text(zeta_edit, text::g14_7_text(state_.zeta));
      [[fallthrough]];
    case DampingType::aero:
      dialog_.set_text(first_damping_edit, text::g14_7_text(state_.ro_air));
      dialog_.set_text(second_damping_edit, text::g14_7_text(state_.c_drag));
      break;
    case DampingType::structural: dialog_.set_text(zeta_edit, text::g14_7_text(state_.zeta)); break;
    case DampingType::none: break;
  }
}

// A code read from an old file may lie outside the list; the list then shows no item.
void LoadingCasesDialog::select_item(ControlId id, int item, int count) {
  dialog_.select(id, item >= 1 && item <= count ? item : 0);
}

void LoadingCasesDialog::apply_damping_table(model::DampingType damping_type) {
  const DampingFields fields = damping_fields(damping_type, state_.new_operator);
  dialog_.set_enabled(first_damping_edit, fields.first);
  dialog_.set_enabled(second_damping_edit, fields.second);
  dialog_.set_enabled(zeta_edit, fields.zeta);
  dialog_.set_enabled(niu_edit, fields.niu);
  if (fields.diameters != DiametersButton::unchanged)
    dialog_.set_enabled(diameters_button, fields.diameters == DiametersButton::enabled);
  if (!fields.first_label.empty()) {
    dialog_.set_text(first_damping_label, fields.first_label);
    dialog_.set_text(second_damping_label, fields.second_label);
  }
  dialog_.set_text(zeta_label, "zeta");
}

// ----- storing and removing cases -----

// A typed value beyond the range of a 32-bit real keeps its sign at the largest magnitude:
// an infinity would be shown as "Infinity", read back as 0 when the form is stored again, and
// written into the loading file as a word the solver cannot read.
float LoadingCasesDialog::read_real(ControlId id) const {
  return text::c_to_float(dialog_.text(id, value_length), value_length);
}

CaseForm LoadingCasesDialog::read_form() const {
  CaseForm form;
  form.damping_item = dialog_.selection(damping_list);
  form.mass_model_item = dialog_.selection(mass_model_list);
  form.printing_code_item = dialog_.selection(printing_code_list);
  form.loading_type_item = dialog_.selection(loading_type_list);
  if (damping_type_of_item(form.damping_item) != model::DampingType::none) {
    if (state_.new_operator) form.niu = read_real(niu_edit);
    form.first_damping = read_real(first_damping_edit);
    form.second_damping = read_real(second_damping_edit);
    form.zeta = read_real(zeta_edit);
  }
  form.iteration_limit = text::c_to_int(dialog_.text(iteration_edit, value_length), value_length);
  form.tolerance = read_real(tolerance_edit);
  form.time_step = read_real(time_step_edit);
  form.end_time = read_real(end_time_edit);
  form.printing_time = read_real(printing_time_edit);
  form.gravity_acceleration = read_real(gravity_edit);
  return form;
}

// The damping fields that the chosen type does not use are disabled and may hold an old text;
// they are not stored either.
bool LoadingCasesDialog::form_taken_whole(std::string_view title) {
  std::vector<ControlId> fields{iteration_edit, tolerance_edit,     time_step_edit,
                                end_time_edit,  printing_time_edit, gravity_edit};
  const model::DampingType damping = damping_type_of_item(dialog_.selection(damping_list));
  if (damping != model::DampingType::none) {
    const DampingFields used = damping_fields(damping, state_.new_operator);
    if (used.niu) fields.push_back(niu_edit);
    if (used.first) fields.push_back(first_damping_edit);
    if (used.second) fields.push_back(second_damping_edit);
    if (used.zeta) fields.push_back(zeta_edit);
  }
  return app::fields_taken_whole(context_, dialog_, template_id, fields, title);
}

void LoadingCasesDialog::store_form(const CaseForm& form) {
  store_damping(form, state_);
  store_case_values(form, state_.case_records[state_.current_case]);
}

void LoadingCasesDialog::add_case() {
  const int item = dialog_.selection(case_list);
  if (case_selected_ && item >= 1) state_.current_case = item;
  if (!require_current_case("ADD Message")) return;
  if (!form_taken_whole("ADD Message")) return;
  const CaseForm form = read_form();
  const AddCheck check = check_case_form(form);
  if (check != AddCheck::ok) {
    const MessageText m = add_check_message(check);
    context_.message(m.english, m.romanian, "ADD Message", ui::Icon::error);
    return;
  }
  store_form(form);
  dialog_.set_text(processed_list, added_item_text(state_.current_case), state_.current_case);
  state_.case_processed[state_.current_case] = true;
}

void LoadingCasesDialog::choose_processed_case() {
  if (dialog_.selection(processed_list) > state_.n_loading_cases) {
    context_.message("No Processed Case has been selected", "Nici un caz procesat nu s-a selectat",
                     "Remove Message", ui::Icon::information);
    dialog_.set_enabled(remove_button, false);
  } else {
    dialog_.set_enabled(remove_button, true);
  }
}

void LoadingCasesDialog::remove_current_case() {
  if (!require_current_case("Remove Message")) return;
  const ui::Answer answer = context_.message(
      "Do You really want to remove case?\n(All case data will be lost)",
      "Vreti intr-adevar sa eliminati cazul?\n(Toate datele cazului se vor pierde)", "Remove Message",
      ui::Icon::question, ui::Buttons::yes_no_default_no);
  if (answer != ui::Answer::yes) return;
  const int removed = state_.current_case;
  const int last = state_.n_loading_cases;
  remove_case(state_, removed);
  move_scratch_files(removed, last);
  refresh_case_lists_after_removal();
  dialog_.set_text(case_number_text, "");
  dialog_.set_enabled(add_button, false);
  case_selected_ = false;
}

void LoadingCasesDialog::move_scratch_files(int removed, int last) {
  const std::vector<std::string> failures = model::case_files::move_case_scratch_files_down(removed, last, state_.case_folder);
  if (failures.empty()) return;
  std::string lines;
  for (const std::string& f : failures) lines += "\n" + f;
  context_.message("ERROR: case data files could not be moved:" + lines,
                   "EROARE: fisierele cu datele cazurilor nu s-au putut muta:" + lines,
                   "Remove Message", ui::Icon::error);
}

void LoadingCasesDialog::refresh_case_lists_after_removal() {
  if (state_.n_loading_cases >= 1) {
    const int n = state_.n_loading_cases;
    dialog_.set_item_count(case_list, n);
    dialog_.set_item_count(processed_list, n);
    for (int k = 1; k <= n; ++k) {
      const bool shown = k <= state_.n_loaded_cases || state_.case_processed[k];
      dialog_.set_text(case_list, std::to_string(k), k);
      dialog_.set_text(processed_list, processed_item_text(k, shown), k);
    }
    return;
  }
  // No item is left that could name a case.
  dialog_.set_item_count(case_list, 0);
  dialog_.set_item_count(processed_list, 0);
  context_.message("Loading Case no more exist. Press CANCEL or EXIT !",
                   "Cazul de incarcare nu mai exista. Apasa CANCEL sau EXIT !", "Remove Message",
                   ui::Icon::information);
}

// ----- lists -----

void LoadingCasesDialog::choose_damping() {
  state_.damping_type = damping_type_of_item(dialog_.selection(damping_list));
  // Choosing "NO Damping" must clear the flag too, or a file written before the next
  // "Add" would carry damping records under damping code 0.
  state_.damping_present = state_.damping_type != model::DampingType::none;
  apply_damping_table(state_.damping_type);
}

void LoadingCasesDialog::store_list_code(ControlId id) {
  if (!require_current_case("Message")) return;
  model::CaseRecord& record = state_.case_records[state_.current_case];
  const int item = dialog_.selection(id);
  if (id == mass_model_list)
    record.mass_model = mass_model_of_item(item);
  else
    record.printing_code = printing_code_of_item(item);
}

void LoadingCasesDialog::choose_loading_type() {
  if (!require_current_case("Message")) return;
  take_loading_type();
}

void LoadingCasesDialog::take_loading_type() {
  const model::LoadingType type = loading_type_of_item(dialog_.selection(loading_type_list));
  state_.case_records[state_.current_case].loading_type = type;
  // Fresh tables: the entries in use are added by the editors (an empty table is all zero).
  if (type == model::LoadingType::discrete) {
    state_.time_point_table.clear();
    state_.time_point_table_exists = true;
  } else if (model::accelerogram(type)) {
    state_.accel_table.clear();
    state_.accel_table_exists = true;
  }
  dialog_.set_enabled(input_loading_button, true);
}

void LoadingCasesDialog::choose_language() {
  state_.language = dialog_.selection(language_list) == 2 ? "Romanian" : "English";
}

// ----- editors -----

void LoadingCasesDialog::input_loading() {
  if (!require_current_case("Message")) return;
  const model::LoadingType type = state_.case_records[state_.current_case].loading_type;
  if (type == model::LoadingType::discrete) {
    prepare_discrete_loading();
    editors::open_discrete_loading_editor(context_, dialog_);
  } else if (model::accelerogram(type)) {
    editors::open_accelerogram_editor(context_, dialog_);
    // "KOD" in the editor may change the case between one and three directions; the form
    // must show it, or "Create" stores the old type back over a file of the new layout.
    const model::LoadingType now = state_.case_records[state_.current_case].loading_type;
    select_item(loading_type_list, loading_type_item(now), 5);
  } else if (type == model::LoadingType::sinusoidal || type == model::LoadingType::exponential) {
    editors::open_sin_exp_editor(context_, dialog_);
  }
}

// The editor shows time_point_table: fill it from the case's file when that file holds the
// case's saved loading (for a loaded case: it was a discrete loading in the old file).
void LoadingCasesDialog::prepare_discrete_loading() {
  const int k = state_.current_case;
  if (!state_.time_point_table_exists) {
    state_.time_point_table.clear();
    state_.time_point_table_exists = true;
  }
  const bool loaded = k <= state_.n_loaded_cases && state_.loaded_case_records.contains(k);
  const bool may_show = loaded ? state_.loaded_case_records[k].loading_type == model::LoadingType::discrete
                               : state_.loading_saved[k];
  if (!may_show || state_.case_records[k].n_time_points == 0) return;
  const std::string path = model::case_files::scratch_file_path(state_.case_folder, k, model::case_files::ScratchKind::discrete_loading);
  if (!model::case_files::read_discrete_loading_file(path, state_, state_.time_point_table))
    context_.message("ERROR: cannot open the file " + path + " of the case's loading.",
                     "EROARE: fisierul " + path + " cu incarcarea cazului nu se poate deschide.",
                     "Message", ui::Icon::error);
}

void LoadingCasesDialog::open_initial_values() {
  if (!require_current_case("Message")) return;
  editors::open_initial_values_editor(context_, dialog_);
}

// ----- the loading file -----

void LoadingCasesDialog::select_loading_file() {
  // The box offers the name chosen last; a refused choice is not remembered.
  std::string buffer = state_.created_box_choice;
  if (!context_.toolkit.open_file_box(app::loading_file_box_request(state_), buffer)) return;
  // A longer path would be cut to another file's name when stored or written.
  if (buffer.size() > model::max_path_bytes) {
    const std::string limit = std::to_string(model::max_path_bytes);
    context_.message("ERROR: the path of the loading file is longer than " + limit + " bytes: " + buffer,
                     "EROARE: calea fisierului de incarcare are peste " + limit + " de octeti: " + buffer,
                     "Message", ui::Icon::error);
    return;
  }
  if (!loading_file_name_allowed(context_, buffer)) return;
  state_.created_box_choice = buffer;
  state_.loading_file = buffer;
  dialog_.set_text(file_state_text, "New");
  dialog_.set_text(file_path_text, buffer);
  dialog_.set_enabled(create_button, true);
  refresh_view_button();
}

void LoadingCasesDialog::create_loading_file() {
  if (current_case_ready()) {
    if (!form_taken_whole("Create Message")) return;
    store_form(read_form());
  }
  const int n = state_.n_loading_cases;
  state_.written_case_records.assign(n, {});
  for (int k = 1; k <= n && state_.case_records.contains(k); ++k)
    state_.written_case_records[k] = state_.case_records[k];
  if (!may_write_loading_file(context_, std::string(state_.loading_file.trimmed()))) return;
  const bool written = dialogs::write_loading_file(context_);
  refresh_view_button();
  if (!written) return;
  entries_.kept();
  dialog_.set_enabled(cancel_button, false);
}

// "View" shows a file that is there: before the first Create it would only say there is none.
void LoadingCasesDialog::refresh_view_button() {
  const std::string path(state_.loading_file.trimmed());
  std::error_code error;
  dialog_.set_enabled(view_button, !path.empty() && std::filesystem::is_regular_file(path, error));
}

void LoadingCasesDialog::view_loading_file() {
  context_.toolkit.start_program_and_wait("c:\\Windows\\notepad.exe",
                                          std::string(state_.loading_file.trimmed()));
}

void discard_case_arrays(model::ProgramState& state, int closing_code) {
  state.case_records.clear();
  state.written_case_records.clear();
  if (closing_code != 2) return;
  state.case_processed.clear();
  state.loading_saved.clear();
  state.initial_values_saved.clear();
}

}  // namespace

int run_loading_cases_dialog(app::Context& context) {
  int code = 0;
  {
    std::unique_ptr<ui::Dialog> dialog = context.toolkit.create_dialog(template_id);
    LoadingCasesDialog logic(context, *dialog);
    logic.set_up();
    code = dialog->run_modal();
  }
  context.state.loading_cases_result = code;
  discard_case_arrays(context.state, code);
  return code;
}

}  // namespace cases
