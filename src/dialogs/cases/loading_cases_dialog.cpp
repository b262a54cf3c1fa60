#include "dialogs/cases/loading_cases_dialog.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/cases/case_form.h"
#include "dialogs/cases/loading_file_target.h"
#include "dialogs/cases/suite_dialog.h"
#include "dialogs/editors/editors.h"
#include "dialogs/file_boxes.h"
#include "dialogs/typed_fields.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/loading_file.h"
#include "dialogs/typed_numbers.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/scratch_layouts.h"
#include "text/format.h"
#include "text/free_form.h"
#include "ui/templates/loading_cases.h"

namespace dialogs::cases {

namespace {

using ui::ControlId;

using C = ui::templates::LoadingCases;

constexpr C callback_controls[] = {
    C::case_list,   C::processed_list, C::add,           C::remove,         C::damping,
    C::niu,         C::first_damping,  C::second_damping, C::zeta,          C::diameters,
    C::iterations,  C::tolerance,      C::time_step,      C::end_time,      C::gravity,
    C::mass_model,  C::initial_values, C::printing_time,  C::printing_code, C::loading_type,
    C::input_loading, C::language,     C::select,         C::create,        C::view,
    C::plot,        C::suite};

constexpr C form_controls[] = {C::iterations, C::tolerance,     C::time_step,
                               C::end_time,   C::printing_time, C::gravity,
                               C::mass_model, C::printing_code, C::loading_type};

constexpr C edits_cleared_by_selection[] = {
    C::first_damping, C::second_damping, C::niu,      C::zeta,          C::iterations,
    C::tolerance,     C::time_step,      C::end_time, C::printing_time, C::gravity};

class LoadingCasesDialog {
 public:
  LoadingCasesDialog(Context& context, ui::Dialog& dialog)
      : context_(context), state_(context.state), dialog_(dialog), entries_(context, dialog, dialog_of(C{})) {}

  void set_up();
  void on_control(C id);

 private:
  void initialize();
  void fill_list(C id, auto const& items);
  void disable_form();
  void show_file_state();
  void fill_case_lists();
  void show_resumed_cases();
  void refresh_case_lists_after_removal();

  void select_case();
  void clear_form();
  void show_stored_values(const model::CaseRecord& record);
  void show_damping_values();
  void select_item(C id, int item, int count);
  void apply_damping_table(model::DampingType damping_type);

  CaseForm read_form() const;
  bool form_taken_whole(std::string_view title);
  float read_real(C id) const;
  void store_form(const CaseForm& form);
  void add_case();
  void choose_processed_case();
  void remove_current_case();
  void move_scratch_files(int removed, int last);

  void choose_damping();
  void store_list_code(C id);
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
  void open_suite();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  // A case chosen in the case list during this run of the dialog; current_case itself may
  // still hold the choice of an earlier run, which names no case of this one.
  bool case_selected_ = false;
  // Case data typed, chosen or edited since the dialog opened or the loading file was last
  // created: the case arrays go when the dialog closes.
  UnsavedEntries entries_;
};

// ----- set-up -----

void LoadingCasesDialog::set_up() {
  dialog_.on(dialog_of(C{}), [this](ui::Dialog&, ControlId) { initialize(); });
  for (C id : callback_controls)
    dialog_.on(id, [this](ui::Dialog&, ControlId control) { on_control(static_cast<C>(control)); });
  fill_list(C::mass_model, mass_model_items);
  fill_list(C::printing_code, printing_code_items);
  fill_list(C::loading_type, loading_type_items);
  disable_form();
  if (state_.old_file_loaded) {
    dialog_.set_enabled(C::input_loading, true);
    dialog_.select(C::loading_type, 1);
  } else {
    dialog_.set_enabled(C::input_loading, false);
  }
  dialog_.set_enabled(C::create, false);
  dialog_.set_enabled(C::plot, false);
  dialog_.set_enabled(C::suite, false);
  show_file_state();
  refresh_view_button();
  fill_list(C::language, language_items);
  const char first = state_.language.first();
  dialog_.select(C::language, first == 'E' || first == 'e' ? 1 : 2);
  const bool resumed = state_.resume_cases && !state_.case_records.empty();
  create_case_arrays(state_);
  fill_case_lists();
  if (resumed) show_resumed_cases();
  dialog_.set_text(C::gravity_unit, gravity_unit_text(state_));
  dialog_.set_text(C::tolerance_unit, tolerance_unit_text(state_));
  // The damping block is program-wide: the list shows its present type, so a case stored
  // without touching the list keeps it instead of taking a type of "no item".
  select_item(C::damping, damping_type_item(state_.damping_type), 5);
}

void LoadingCasesDialog::initialize() {
  const Images& images = context_.images;
  dialog_.set_window_icon(images.input_file2_icon);
  dialog_.set_image(C::select, images.open_icon);
  dialog_.set_image(C::create, images.input_file2_icon);
  dialog_.set_image(C::view, images.notepad_icon);
  dialog_.set_image(C::input_loading, images.loading_bitmap);
}

void LoadingCasesDialog::fill_list(C id, auto const& items) {
  dialog_.set_item_count(id, static_cast<int>(items.size()));
  int k = 0;
  for (std::string_view item : items) dialog_.set_text(id, item, ++k);
}

void LoadingCasesDialog::disable_form() {
  static constexpr C disabled[] = {
      C::damping,    C::niu,           C::first_damping, C::second_damping,
      C::zeta,       C::iterations,     C::tolerance,     C::time_step,
      C::end_time,   C::printing_time, C::gravity,       C::mass_model,
      C::printing_code, C::loading_type, C::diameters, C::initial_values,
      C::add,      C::remove};
  for (C id : disabled) dialog_.set_enabled(id, false);
}

void LoadingCasesDialog::show_file_state() {
  if (state_.old_file_loaded) {
    dialog_.set_text(C::file_state, "Old");
    dialog_.set_text(C::file_path, state_.loading_file.trimmed());
  } else {
    dialog_.set_text(C::file_state, "New");
  }
}

void LoadingCasesDialog::fill_case_lists() {
  const int n = state_.n_loading_cases;
  dialog_.set_item_count(C::case_list, n);
  dialog_.set_item_count(C::processed_list, n);
  for (int k = 1; k <= n; ++k) {
    dialog_.set_text(C::case_list, std::to_string(k), k);
    dialog_.set_text(C::processed_list, processed_item_text(k, k <= state_.n_loaded_cases), k);
  }
}

// A run taken back after a crash shows its cases added and its loading file chosen as they
// were; what it holds is in no file this run created, so leaving asks first.
void LoadingCasesDialog::show_resumed_cases() {
  for (int k = state_.n_loaded_cases + 1; k <= state_.n_loading_cases; ++k)
    if (state_.case_processed[k]) dialog_.set_text(C::processed_list, added_item_text(k), k);
  const std::string file(state_.loading_file.trimmed());
  if (!file.empty() && file == state_.created_box_choice) {
    dialog_.set_text(C::file_path, file);
    dialog_.set_enabled(C::create, true);
  }
  entries_.hold();
}

// ----- dispatch -----

// "Plot Loading" is offered when the chosen case has a saved loading to show.
void LoadingCasesDialog::refresh_plot_button() {
  const bool saved = current_case_ready() && editors::has_saved_loading(state_, state_.current_case);
  dialog_.set_enabled(C::plot, saved);
  // "Suite..." replaces the accelerogram of a case that has one saved.
  const auto type = saved ? state_.case_records[state_.current_case].loading_type : model::LoadingType::discrete;
  dialog_.set_enabled(C::suite, type == model::LoadingType::accelerogram_1_direction ||
                                    type == model::LoadingType::accelerogram_3_directions);
}

void LoadingCasesDialog::on_control(C id) {
  if (id != C::select && id != C::create && id != C::view && id != C::language &&
      id != C::plot && id != C::suite)
    entries_.note(ui::id(id));
  switch (id) {
    case C::case_list: select_case(); break;
    case C::processed_list: choose_processed_case(); break;
    case C::add: add_case(); break;
    case C::remove: remove_current_case(); break;
    case C::damping: choose_damping(); break;
    case C::diameters: editors::open_diameters_editor(context_, dialog_); break;
    case C::mass_model:
    case C::printing_code: store_list_code(id); break;
    case C::loading_type: choose_loading_type(); break;
    case C::initial_values: open_initial_values(); break;
    case C::input_loading: input_loading(); break;
    case C::plot:
      if (require_current_case("Message")) editors::plot_case_loading(context_, state_.current_case);
      break;
    case C::suite: open_suite(); break;
    case C::language: choose_language(); break;
    case C::select: select_loading_file(); break;
    case C::create: create_loading_file(); break;
    case C::view: view_loading_file(); break;
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
  const int item = dialog_.selection(C::case_list);
  if (item < 1 || item > state_.n_loading_cases) return;
  state_.current_case = item;
  case_selected_ = true;
  dialog_.set_enabled(C::add, true);
  dialog_.set_text(C::case_number, text::format_i(item, 2));
  dialog_.set_enabled(C::damping, true);
  apply_damping_table(damping_type_of_item(dialog_.selection(C::damping)));
  for (C id : form_controls) dialog_.set_enabled(id, true);
  dialog_.set_enabled(C::initial_values, true);
  clear_form();
  // The damping block belongs to every case: a new case shows it too, or its "Add" would
  // store the blanked fields as zeros for all the cases already added.
  if (state_.damping_present) show_damping_values();
  const bool loaded = item <= state_.n_loaded_cases;
  if (loaded || state_.case_processed[item] || state_.old_file_loaded)
    show_stored_values(state_.case_records[item]);
  else
    take_loading_type();  // the type the list shows is the case's until another is picked
  dialog_.set_enabled(C::input_loading, dialog_.selection(C::loading_type) >= 1);
}

void LoadingCasesDialog::clear_form() {
  dialog_.select(C::mass_model, 1);
  dialog_.select(C::printing_code, 1);
  dialog_.select(C::loading_type, 1);
  for (C id : edits_cleared_by_selection) dialog_.set_text(id, "");
}

void LoadingCasesDialog::show_stored_values(const model::CaseRecord& record) {
  select_item(C::damping, damping_type_item(state_.damping_type), 5);
  apply_damping_table(state_.damping_type);
  if (state_.damping_present) show_damping_values();
  dialog_.set_text(C::iterations, std::to_string(record.iteration_limit));
  dialog_.set_text(C::tolerance, text::g1p14_6_text(record.tolerance));
  dialog_.set_text(C::time_step, text::g1p14_6_text(record.time_step));
  dialog_.set_text(C::end_time, text::g14_7_text(record.end_time));
  dialog_.set_text(C::printing_time, text::g14_7_text(record.printing_time));
  dialog_.set_text(C::gravity, text::g14_7_text(record.gravity_acceleration));
  select_item(C::mass_model, mass_model_item(record.mass_model), 3);
  select_item(C::printing_code, printing_code_item(record.printing_code), 4);
  select_item(C::loading_type, loading_type_item(record.loading_type), 5);
}

void LoadingCasesDialog::show_damping_values() {
  if (state_.new_operator) dialog_.set_text(C::niu, text::f14_7_text(state_.niu));
  using model::DampingType;
  switch (state_.damping_type) {
    case DampingType::rayleigh:
      dialog_.set_text(C::first_damping, text::g14_7_text(state_.alfa_d));
      dialog_.set_text(C::second_damping, text::g14_7_text(state_.beta_d));
      break;
    case DampingType::aero_structural:
      dialog_.set_text(C::zeta, text::g14_7_text(state_.zeta));
      [[fallthrough]];
    case DampingType::aero:
      dialog_.set_text(C::first_damping, text::g14_7_text(state_.ro_air));
      dialog_.set_text(C::second_damping, text::g14_7_text(state_.c_drag));
      break;
    case DampingType::structural: dialog_.set_text(C::zeta, text::g14_7_text(state_.zeta)); break;
    case DampingType::none: break;
  }
}

// A code read from an old file may lie outside the list; the list then shows no item.
void LoadingCasesDialog::select_item(C id, int item, int count) {
  dialog_.select(id, item >= 1 && item <= count ? item : 0);
}

void LoadingCasesDialog::apply_damping_table(model::DampingType damping_type) {
  const DampingFields fields = damping_fields(damping_type, state_.new_operator);
  dialog_.set_enabled(C::first_damping, fields.first);
  dialog_.set_enabled(C::second_damping, fields.second);
  dialog_.set_enabled(C::zeta, fields.zeta);
  dialog_.set_enabled(C::niu, fields.niu);
  if (fields.diameters != DiametersButton::unchanged)
    dialog_.set_enabled(C::diameters, fields.diameters == DiametersButton::enabled);
  if (!fields.first_label.empty()) {
    dialog_.set_text(C::first_damping_label, fields.first_label);
    dialog_.set_text(C::second_damping_label, fields.second_label);
  }
  dialog_.set_text(C::zeta_label, "zeta");
}

// ----- storing and removing cases -----

// A typed value beyond the range of a 32-bit real keeps its sign at the largest magnitude:
// an infinity would be shown as "Infinity", read back as 0 when the form is stored again, and
// written into the loading file as a word the solver cannot read.
float LoadingCasesDialog::read_real(C id) const {
  return dialogs::typed_real(dialog_, id);
}

CaseForm LoadingCasesDialog::read_form() const {
  CaseForm form;
  form.damping_item = dialog_.selection(C::damping);
  form.mass_model_item = dialog_.selection(C::mass_model);
  form.printing_code_item = dialog_.selection(C::printing_code);
  form.loading_type_item = dialog_.selection(C::loading_type);
  if (damping_type_of_item(form.damping_item) != model::DampingType::none) {
    if (state_.new_operator) form.niu = read_real(C::niu);
    form.first_damping = read_real(C::first_damping);
    form.second_damping = read_real(C::second_damping);
    form.zeta = read_real(C::zeta);
  }
  form.iteration_limit = dialogs::typed_integer(dialog_, C::iterations);
  form.tolerance = read_real(C::tolerance);
  form.time_step = read_real(C::time_step);
  form.end_time = read_real(C::end_time);
  form.printing_time = read_real(C::printing_time);
  form.gravity_acceleration = read_real(C::gravity);
  return form;
}

// The damping fields that the chosen type does not use are disabled and may hold an old text;
// they are not stored either.
bool LoadingCasesDialog::form_taken_whole(std::string_view title) {
  std::vector<ControlId> fields;
  for (C f : {C::iterations, C::tolerance, C::time_step, C::end_time, C::printing_time, C::gravity})
    fields.push_back(ui::id(f));
  const model::DampingType damping = damping_type_of_item(dialog_.selection(C::damping));
  if (damping != model::DampingType::none) {
    const DampingFields used = damping_fields(damping, state_.new_operator);
    if (used.niu) fields.push_back(ui::id(C::niu));
    if (used.first) fields.push_back(ui::id(C::first_damping));
    if (used.second) fields.push_back(ui::id(C::second_damping));
    if (used.zeta) fields.push_back(ui::id(C::zeta));
  }
  return fields_taken_whole(context_, dialog_, dialog_of(C{}), fields, title);
}

void LoadingCasesDialog::store_form(const CaseForm& form) {
  store_damping(form, state_);
  store_case_values(form, state_.case_records[state_.current_case]);
}

void LoadingCasesDialog::add_case() {
  const int item = dialog_.selection(C::case_list);
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
  dialog_.set_text(C::processed_list, added_item_text(state_.current_case), state_.current_case);
  state_.case_processed[state_.current_case] = true;
}

void LoadingCasesDialog::choose_processed_case() {
  if (dialog_.selection(C::processed_list) > state_.n_loading_cases) {
    context_.message("No Processed Case has been selected", "Nici un caz procesat nu s-a selectat",
                     "Remove Message", ui::Icon::information);
    dialog_.set_enabled(C::remove, false);
  } else {
    dialog_.set_enabled(C::remove, true);
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
  dialog_.set_text(C::case_number, "");
  dialog_.set_enabled(C::add, false);
  case_selected_ = false;
}

void LoadingCasesDialog::move_scratch_files(int removed, int last) {
  const std::vector<std::string> failures = context_.cases.remove_case(state_.case_folder, removed, last);
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
    dialog_.set_item_count(C::case_list, n);
    dialog_.set_item_count(C::processed_list, n);
    for (int k = 1; k <= n; ++k) {
      const bool shown = k <= state_.n_loaded_cases || state_.case_processed[k];
      dialog_.set_text(C::case_list, std::to_string(k), k);
      dialog_.set_text(C::processed_list, processed_item_text(k, shown), k);
    }
    return;
  }
  // No item is left that could name a case.
  dialog_.set_item_count(C::case_list, 0);
  dialog_.set_item_count(C::processed_list, 0);
  context_.message("Loading Case no more exist. Press CANCEL or EXIT !",
                   "Cazul de incarcare nu mai exista. Apasa CANCEL sau EXIT !", "Remove Message",
                   ui::Icon::information);
}

// ----- lists -----

void LoadingCasesDialog::choose_damping() {
  state_.damping_type = damping_type_of_item(dialog_.selection(C::damping));
  // Choosing "NO Damping" must clear the flag too, or a file written before the next
  // "Add" would carry damping records under damping code 0.
  state_.damping_present = state_.damping_type != model::DampingType::none;
  apply_damping_table(state_.damping_type);
}

void LoadingCasesDialog::store_list_code(C id) {
  if (!require_current_case("Message")) return;
  model::CaseRecord& record = state_.case_records[state_.current_case];
  const int item = dialog_.selection(id);
  if (id == C::mass_model)
    record.mass_model = mass_model_of_item(item);
  else
    record.printing_code = printing_code_of_item(item);
}

void LoadingCasesDialog::choose_loading_type() {
  if (!require_current_case("Message")) return;
  take_loading_type();
}

void LoadingCasesDialog::take_loading_type() {
  const model::LoadingType type = loading_type_of_item(dialog_.selection(C::loading_type));
  state_.case_records[state_.current_case].loading_type = type;
  // Fresh tables: the entries in use are added by the editors (an empty table is all zero).
  if (type == model::LoadingType::discrete) {
    state_.time_point_table.clear();
    state_.time_point_table_exists = true;
  } else if (model::accelerogram(type)) {
    state_.accel_table.clear();
    state_.accel_table_exists = true;
  }
  dialog_.set_enabled(C::input_loading, true);
}

void LoadingCasesDialog::choose_language() {
  state_.language = dialog_.selection(C::language) == 2 ? "Romanian" : "English";
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
    select_item(C::loading_type, loading_type_item(now), 5);
  } else if (type == model::LoadingType::sinusoidal || type == model::LoadingType::exponential) {
    editors::open_sin_exp_editor(context_, dialog_);
  }
}

// The editor shows time_point_table: fill it from the case's saved discrete loading when the
// case has one (for a loaded case: it was a discrete loading in the old file).
void LoadingCasesDialog::prepare_discrete_loading() {
  const int k = state_.current_case;
  if (!state_.time_point_table_exists) {
    state_.time_point_table.clear();
    state_.time_point_table_exists = true;
  }
  const bool loaded = k <= state_.n_loaded_cases && state_.loaded_case_records.contains(k);
  const bool may_show = loaded ? state_.loaded_case_records[k].loading_type == model::LoadingType::discrete
                               : state_.loading_saved[k];
  const int n_time_points = state_.case_records[k].n_time_points;
  text::RecordSource source;
  if (!may_show || n_time_points == 0 ||
      !context_.cases.case_file(state_, k, model::case_files::ScratchKind::discrete_loading, source))
    return;
  model::case_files::read_discrete_loading(source, n_time_points, state_.n_dof, state_.time_point_table);
}

void LoadingCasesDialog::open_initial_values() {
  if (!require_current_case("Message")) return;
  editors::open_initial_values_editor(context_, dialog_);
}

// ----- the loading file -----

void LoadingCasesDialog::select_loading_file() {
  // The box offers the name chosen last; a refused choice is not remembered.
  std::string buffer = state_.created_box_choice;
  if (!context_.toolkit.open_file_box(loading_file_box_request(state_), buffer)) return;
  // A longer path would be cut to another file's name when stored or written.
  if (buffer.size() > model::max_path_bytes) {
    const std::string limit = std::to_string(model::max_path_bytes);
    context_.message("ERROR: the path of the loading file is longer than " + limit + " bytes: " + buffer,
                     "EROARE: calea fisierului de incarcare are peste " + limit + " de octeti: " + buffer,
                     "Message", ui::Icon::error);
    return;
  }
  if (const PathProblem problem = kept_path_problem(buffer); !problem.empty()) {
    context_.message("ERROR: the Loading File is not taken: " + problem.english + ":\n" + shown_path(buffer),
                     "EROARE: fisierul de incarcare nu este luat: " + problem.romanian + ":\n" +
                         shown_path(buffer),
                     "Message", ui::Icon::error);
    return;
  }
  if (!loading_file_name_allowed(context_, buffer)) return;
  // The run writes here from now on: what a killed save of another run left here goes.
  model::case_files::remove_abandoned_temporaries(std::filesystem::path(buffer).parent_path());
  state_.created_box_choice = buffer;
  state_.loading_file = buffer;
  dialog_.set_text(C::file_state, "New");
  dialog_.set_text(C::file_path, buffer);
  dialog_.set_enabled(C::create, true);
  refresh_view_button();
}

// The suite writes the analysis as Create would: the form is taken as Create takes it.
void LoadingCasesDialog::open_suite() {
  if (!require_current_case("Suite Message")) return;
  if (!form_taken_whole("Suite Message")) return;
  store_form(read_form());
  run_suite_dialog(context_, state_.current_case);
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
  dialog_.set_enabled(C::cancel, false);
}

// "View" shows a file that is there: before the first Create it would only say there is none.
void LoadingCasesDialog::refresh_view_button() {
  const std::string path(state_.loading_file.trimmed());
  std::error_code error;
  dialog_.set_enabled(C::view, !path.empty() && std::filesystem::is_regular_file(path, error));
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
  state.accel_processing.clear();
  state.loading_saved.clear();
  state.initial_values_saved.clear();
}

}  // namespace

int run_loading_cases_dialog(Context& context) {
  int code = 0;
  {
    std::unique_ptr<ui::Dialog> dialog = context.toolkit.create_dialog(dialog_of(C{}));
    LoadingCasesDialog logic(context, *dialog);
    logic.set_up();
    code = dialog->run_modal();
  }
  context.state.loading_cases_result = code;
  discard_case_arrays(context.state, code);
  return code;
}

}  // namespace dialogs::cases
