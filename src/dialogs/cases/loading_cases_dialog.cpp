#include "dialogs/cases/loading_cases_dialog.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/cases/case_form.h"
#include "dialogs/cases/case_list.h"
#include "dialogs/cases/damping_block.h"
#include "dialogs/cases/loading_file_actions.h"
#include "dialogs/cases/suite_dialog.h"
#include "dialogs/case_change.h"
#include "dialogs/editors/editors.h"
#include "dialogs/saved_loading.h"
#include "dialogs/typed_fields.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/typed_numbers.h"
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
      : context_(context),
        state_(context.state),
        dialog_(dialog),
        damping_(context, dialog),
        cases_(context, dialog),
        file_(context, dialog),
        entries_(context, dialog, dialog_of(C{})) {}

  void set_up();
  void on_control(C id);

 private:
  void initialize();
  void fill_list(C id, auto const& items);
  void disable_form();
  void show_resumed_cases();

  void select_case();
  void clear_form();
  void show_stored_values(const model::CaseRecord& record);
  void select_item(C id, int item, int count);

  CaseForm read_form() const;
  bool form_taken_whole(std::string_view title);
  float read_real(C id) const;
  void store_form(const CaseForm& form);
  void add_case();
  void remove_current_case();

  void store_list_code(C id);
  void choose_loading_type();
  void take_loading_type();
  void choose_language();
  void input_loading();
  void prepare_discrete_loading();
  void open_initial_values();
  void create_loading_file();

  bool current_case_ready() const;
  // The case chosen, as the store holds it.
  const model::Case& current() const { return context_.cases.sections(state_.current_case); }
  // Hands back the chosen case with what `edit` changed in its record and facts.
  void commit_current(const std::function<void(model::Case&)>& edit);
  bool require_current_case(std::string_view title);
  void refresh_plot_button();
  void open_suite();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
  DampingBlock damping_;
  CaseList cases_;
  LoadingFileActions file_;
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
  file_.show_file_state();
  file_.refresh_view_button();
  fill_list(C::language, language_items);
  const char first = state_.language.first();
  dialog_.select(C::language, first == 'E' || first == 'e' ? 1 : 2);
  const bool resumed = state_.resume_cases && context_.cases.count() > 0;
  create_case_arrays(state_, context_.cases);
  cases_.fill();
  if (resumed) show_resumed_cases();
  dialog_.set_text(C::gravity_unit, gravity_unit_text(context_.cases.general()));
  dialog_.set_text(C::tolerance_unit, tolerance_unit_text(context_.cases.general()));
  damping_.show_type();
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

// A run taken back after a crash shows its cases added and its loading file chosen as they
// were; what it holds is in no file this run created, so leaving asks first.
void LoadingCasesDialog::show_resumed_cases() {
  cases_.show_resumed();
  file_.show_resumed_file();
  entries_.hold();
}

// ----- dispatch -----

// "Plot Loading" is offered when the chosen case has a saved loading to show.
void LoadingCasesDialog::refresh_plot_button() {
  const bool saved = current_case_ready() && editors::has_saved_loading(context_, state_.current_case);
  dialog_.set_enabled(C::plot, saved);
  // "Suite..." replaces the accelerogram of a case that has one saved.
  const auto type = saved ? current().record.loading_type : model::LoadingType::discrete;
  dialog_.set_enabled(C::suite, type == model::LoadingType::accelerogram_1_direction ||
                                    type == model::LoadingType::accelerogram_3_directions);
}

void LoadingCasesDialog::on_control(C id) {
  if (id != C::select && id != C::create && id != C::view && id != C::language &&
      id != C::plot && id != C::suite)
    entries_.note(ui::id(id));
  switch (id) {
    case C::case_list: select_case(); break;
    case C::processed_list: cases_.choose_processed(); break;
    case C::add: add_case(); break;
    case C::remove: remove_current_case(); break;
    case C::damping: damping_.choose(); break;
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
    case C::select: file_.select(); break;
    case C::create: create_loading_file(); break;
    case C::view: file_.view(); break;
    default: break;  // edit fields are read when the case is stored
  }
  refresh_plot_button();
}

bool LoadingCasesDialog::current_case_ready() const {
  const int k = state_.current_case;
  return case_selected_ && k >= 1 && k <= context_.cases.general().n_loading_cases && context_.cases.has_case(k);
}

void LoadingCasesDialog::commit_current(const std::function<void(model::Case&)>& edit) {
  change_case_at_once(context_, state_.current_case, edit);
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
  if (item < 1 || item > context_.cases.general().n_loading_cases) return;
  state_.current_case = item;
  case_selected_ = true;
  dialog_.set_enabled(C::add, true);
  dialog_.set_text(C::case_number, text::format_i(item, 2));
  damping_.offer_for_case();
  for (C id : form_controls) dialog_.set_enabled(id, true);
  dialog_.set_enabled(C::initial_values, true);
  clear_form();
  damping_.show_values_if_present();
  const bool loaded = item <= state_.n_loaded_cases;
  if (loaded || current().processed || state_.old_file_loaded)
    show_stored_values(current().record);
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
  damping_.show();
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

void LoadingCasesDialog::select_item(C id, int item, int count) {
  select_listed_item(dialog_, ui::id(id), item, count);
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
  form.mass_model_item = dialog_.selection(C::mass_model);
  form.printing_code_item = dialog_.selection(C::printing_code);
  form.loading_type_item = dialog_.selection(C::loading_type);
  damping_.read(form);
  form.iteration_limit = dialogs::typed_integer(dialog_, C::iterations);
  form.tolerance = read_real(C::tolerance);
  form.time_step = read_real(C::time_step);
  form.end_time = read_real(C::end_time);
  form.printing_time = read_real(C::printing_time);
  form.gravity_acceleration = read_real(C::gravity);
  return form;
}

bool LoadingCasesDialog::form_taken_whole(std::string_view title) {
  std::vector<ControlId> fields;
  for (C f : {C::iterations, C::tolerance, C::time_step, C::end_time, C::printing_time, C::gravity})
    fields.push_back(ui::id(f));
  damping_.add_used_fields(fields);
  return fields_taken_whole(context_, dialog_, dialog_of(C{}), fields, title);
}

void LoadingCasesDialog::store_form(const CaseForm& form) {
  store_damping(form, context_.cases);
  commit_current([&form](model::Case& c) { store_case_values(form, c.record); });
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
  store_damping(form, context_.cases);
  commit_current([&form](model::Case& c) {
    store_case_values(form, c.record);
    c.processed = true;
  });
  cases_.mark_added(state_.current_case);
}

void LoadingCasesDialog::remove_current_case() {
  if (!require_current_case("Remove Message")) return;
  if (!cases_.remove(state_.current_case)) return;
  dialog_.set_text(C::case_number, "");
  dialog_.set_enabled(C::add, false);
  case_selected_ = false;
}

// ----- lists -----

void LoadingCasesDialog::store_list_code(C id) {
  if (!require_current_case("Message")) return;
  const int item = dialog_.selection(id);
  commit_current([id, item](model::Case& c) {
    if (id == C::mass_model)
      c.record.mass_model = mass_model_of_item(item);
    else
      c.record.printing_code = printing_code_of_item(item);
  });
}

void LoadingCasesDialog::choose_loading_type() {
  if (!require_current_case("Message")) return;
  take_loading_type();
}

void LoadingCasesDialog::take_loading_type() {
  const model::LoadingType type = loading_type_of_item(dialog_.selection(C::loading_type));
  commit_current([type](model::Case& c) { c.record.loading_type = type; });
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
  const model::LoadingType type = current().record.loading_type;
  if (type == model::LoadingType::discrete) {
    prepare_discrete_loading();
    editors::open_discrete_loading_editor(context_, dialog_);
  } else if (model::accelerogram(type)) {
    editors::open_accelerogram_editor(context_, dialog_);
    // "KOD" in the editor may change the case between one and three directions; the form
    // must show it, or "Create" stores the old type back over a file of the new layout.
    const model::LoadingType now = current().record.loading_type;
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
  const int n_time_points = current().record.n_time_points;
  if (holds_saved_loading(context_, k) && n_time_points != 0) editors::open_saved_time_points(context_, k, n_time_points);
}

void LoadingCasesDialog::open_initial_values() {
  if (!require_current_case("Message")) return;
  editors::open_initial_values_editor(context_, dialog_);
}

// ----- the loading file -----

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
  if (!file_.create()) return;
  entries_.kept();
  dialog_.set_enabled(C::cancel, false);
}

// Back to General Data starts the cases afresh, facts and all; the other ways out leave the
// facts, which the next pass replaces when it makes its cases.
void discard_case_arrays(model::case_files::CaseStore& cases, int closing_code) {
  cases.clear_records(closing_code == 2);
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
  discard_case_arrays(context.cases, code);
  return code;
}

}  // namespace dialogs::cases
