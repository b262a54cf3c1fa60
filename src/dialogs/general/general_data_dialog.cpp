#include "dialogs/general/general_data_dialog.h"

#include <string>
#include <utility>

#include "dialogs/dialog_initializer.h"
#include "dialogs/file_boxes.h"
#include "dialogs/general/operator_block.h"
#include "dialogs/general/select_geometry_file.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/loading_file.h"
#include "model/case_files/scratch_files.h"
#include "model/limits.h"
#include "text/free_form.h"
#include "ui/templates/general_data.h"

namespace dialogs::general {

using C = ui::templates::GeneralData;
using ui::templates::coefficient_fields;
using ui::templates::custom_item;
using ui::templates::new_operator_item;
using ui::templates::newmark_item;
using ui::templates::standard_item;

namespace {


// What the dialog edits between two saves; only these fields are ever committed from it.
struct WorkingCopy {
  int n_loading_cases = 0;
  OperatorBlock operator_block;
};

struct Session {
  Context& context;
  WorkingCopy working;
};

// The three conditions that SAVE refuses, checked on the texts just read from the fields.
enum class SaveProblem {
  none,
  no_cases,             // the number of cases is 0 (or a typed sign made it negative)
  beta_or_gamma_blank,  // 1./Beta or 1./Gamma empty
  delta_or_teta_blank,  // New Operator only: one of 1./Delta .. 1./Teta2 empty
  cases_not_whole,      // the number of cases is not a whole number from 0 to 99 ("abc", -2, 123)
  coefficient_not_real, // a coefficient text is not one real number: the solver could not read it
};

// What SAVE refuses, and for a coefficient which one (index into coefficient_fields).
struct SaveCheck {
  SaveProblem problem = SaveProblem::none;
  std::size_t coefficient = 0;
  std::string text{};  // the refused text, trimmed
};

constexpr std::string_view coefficient_labels[] = {"1./Beta", "1./Gamma", "1./Delta",
                                                   "1./Teta", "1./Teta1", "1./Teta2"};
// The field is wider than what is read from it; what stands beyond is checked too, so that a
// cut never passes unseen.
constexpr std::size_t checked_length = 64;

std::string left_justified(int value, std::size_t width) {
  std::string s = std::to_string(value);
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

void show_coefficient(ui::Dialog& dialog, std::size_t index, std::string_view text) {
  dialog.set_text(coefficient_fields[index], text::trim_right(text));
}

// ---------------------------------------------------------------------------------------
// Display from the working copy.

void refresh(ui::Dialog& dialog, const OperatorBlock& w) {
  for (C id : coefficient_fields) dialog.set_text(id, "");
  dialog.select(C::operator_combo, w.new_operator ? new_operator_item : newmark_item);
  dialog.select(C::coefficient_combo, w.standard_coefficients ? standard_item : custom_item);
  const bool custom = !w.standard_coefficients;
  dialog.set_enabled(C::beta, custom);
  dialog.set_enabled(C::gamma, custom);
  for (std::size_t i = 2; i < coefficient_fields.size(); ++i)
    dialog.set_enabled(coefficient_fields[i], custom && w.new_operator);
  const auto& standard = standard_coefficient_texts(w.new_operator);
  for (std::size_t i = 0; i < coefficient_fields.size(); ++i)
    show_coefficient(dialog, i, custom ? w.coefficients[i].view() : standard[i]);
}

// The operator shown on entry, from the committed general data (which it also completes).
void show_committed_operator(ui::Dialog& dialog, model::GeneralData& general) {
  general.new_operator = model::six_coefficient_operator(general);
  const OperatorBlock block = committed_operator_block(general);
  dialog.select(C::operator_combo, block.new_operator ? new_operator_item : newmark_item);
  dialog.select(C::coefficient_combo,
                block.standard_coefficients ? standard_item : custom_item);
  const auto& standard = standard_coefficient_texts(block.new_operator);
  for (std::size_t i = 0; i < coefficient_fields.size(); ++i) {
    const bool shown = block.new_operator || i < 2;  // Newmark has no Delta .. Teta2
    const std::string_view text =
        block.standard_coefficients ? standard[i] : block.coefficients[i].view();
    show_coefficient(dialog, i, shown ? text : "");
  }
}

// ---------------------------------------------------------------------------------------
// SAVE Changes.

// The Parts' three checks first, then the typed numbers: the case count is read from two
// characters, so "123" or "-2" would otherwise be taken as 12 or give the =0 message, and a
// coefficient is written into the loading file as typed.
SaveCheck read_fields(const ui::Dialog& dialog, WorkingCopy& w) {
  OperatorBlock& block = w.operator_block;
  block.new_operator = dialog.selection(C::operator_combo) == new_operator_item;
  const bool newmark = dialog.selection(C::operator_combo) == newmark_item;
  for (std::size_t i = 0; i < coefficient_fields.size(); ++i)
    if (i < 2 || !newmark) block.coefficients[i] = dialog.text(coefficient_fields[i]);
  const std::size_t cases_length = ui::field_length(C::n_loading_cases);
  w.n_loading_cases = text::c_to_int(dialog.text(C::n_loading_cases), cases_length);

  auto blank = [&dialog](std::size_t i) {
    return text::trimmed_length(dialog.text(coefficient_fields[i])) == 0;
  };
  const std::string cases_text = dialog.text(C::n_loading_cases, checked_length);
  if (text::trimmed_length(cases_text) > 0 &&
      (!text::converts_whole_to_int(cases_text, cases_length) || w.n_loading_cases < 0))
    return {SaveProblem::cases_not_whole, 0, std::string(text::trim(cases_text))};
  if (w.n_loading_cases < 1) return {SaveProblem::no_cases};
  if (blank(0) || blank(1)) return {SaveProblem::beta_or_gamma_blank};
  if (block.new_operator && (blank(2) || blank(3) || blank(4) || blank(5)))
    return {SaveProblem::delta_or_teta_blank};
  if (block.standard_coefficients) return {};
  for (std::size_t i = 0; i < (block.new_operator ? coefficient_fields.size() : 2); ++i) {
    const std::string typed = dialog.text(coefficient_fields[i], checked_length);
    const std::size_t read = ui::field_length(coefficient_fields[i]);
    if (!text::is_free_form_real(typed.substr(0, read)) || text::trimmed_length(typed) > read ||
        typed.find_first_not_of(' ', read) != std::string::npos)
      return {SaveProblem::coefficient_not_real, i, std::string(text::trim(typed))};
  }
  return {};
}

void report_save_problem(Context& context, const SaveCheck& check) {
  auto show = [&context](std::string_view english, std::string_view romanian) {
    context.message(english, romanian, "SAVE Message", ui::Icon::information);
  };
  switch (check.problem) {
    case SaveProblem::none: return;
    case SaveProblem::no_cases:
      return show("ERROR: No. of Loading cases =0 !", "EROARE: Nr. de cazuri de incarcare =0 !");
    case SaveProblem::beta_or_gamma_blank:
      return show("ERROR: Beta or Gamma =0 !", "EROARE: Beta sau Gamma =0 !");
    case SaveProblem::delta_or_teta_blank:
      return show("ERROR: Delta or Teta =0 !", "EROARE: Delta sau Teta =0 !");
    case SaveProblem::cases_not_whole:
    {
      const std::string most = std::to_string(model::max_loading_cases);
      return show("ERROR: No. of Loading cases must be a whole number from 1 to " + most + ", not \"" + check.text + "\" !",
                  "EROARE: Nr. de cazuri de incarcare trebuie sa fie un numar intreg de la 1 la " + most + ", nu \"" +
                      check.text + "\" !");
    }
    case SaveProblem::coefficient_not_real: {
      const std::string label(coefficient_labels[check.coefficient]);
      return show("ERROR: " + label + " must be a number of at most 10 characters, not \"" + check.text + "\" !",
                  "EROARE: " + label + " trebuie sa fie un numar de cel mult 10 caractere, nu \"" + check.text +
                      "\" !");
    }
  }
}

void save_changes(Session& session, ui::Dialog& dialog) {
  model::ProgramState& state = session.context.state;
  const SaveCheck check = read_fields(dialog, session.working);
  if (check.problem != SaveProblem::none) {
    report_save_problem(session.context, check);
    state.general_data_saved = false;
    return;
  }
  model::GeneralData& general = session.context.cases.general();
  general.n_loading_cases = session.working.n_loading_cases;
  commit_operator_block(session.working.operator_block, general);
  state.general_data_saved = true;
  dialog.set_enabled(C::ok, true);
}

// ---------------------------------------------------------------------------------------
// LOAD from Old File.

// A longer path would be cut by the loading_file field, and "Create" would then write to a
// file the user never chose.
bool loading_path_fits(Context& context, std::string_view path) {
  if (text::trimmed_length(path) <= model::max_path_bytes) return true;
  const std::string name(text::trim_right(path));
  const std::string limit = std::to_string(model::max_path_bytes);
  context.message("ERROR: Loading file not read: the path is longer than " + limit + " bytes.\n" + name,
                  "EROARE: Fisierul de incarcare nu a fost citit: calea are mai mult de " + limit +
                      " de octeti.\n" + name,
                  "Message", ui::Icon::error);
  return false;
}

void load_from_old_file(Session& session, ui::Dialog& dialog) {
  Context& context = session.context;
  model::ProgramState& state = context.state;
  // The box offers the previous choice again; a refused choice is not remembered.
  std::string buffer = state.loading_box_choice;
  if (!context.toolkit.open_file_box(loading_file_box_request(state), buffer)) return;
  if (!loading_path_fits(context, buffer)) return;
  if (const PathProblem problem = kept_path_problem(buffer); !problem.empty()) {
    context.message("ERROR: Loading file not read: " + problem.english + ".\n" + shown_path(buffer),
                    "EROARE: Fisierul de incarcare nu a fost citit: " + problem.romanian + ".\n" +
                        shown_path(buffer),
                    "Message", ui::Icon::error);
    return;
  }
  // Another file replaces the cases taken back from a stopped run, as it replaces any.
  if (std::exchange(state.resume_cases, false)) context.cases.drop_all(state.case_folder, false);
  text::Field<260>& loading_file = context.cases.loading_file();
  const text::Field<260> previous_loading_file = loading_file;
  loading_file = text::trim_right(buffer);
  const dialogs::LoadOutcome outcome = dialogs::load_loading_file(context, std::string(loading_file.trimmed()));
  // The maximum may have been raised for the file.
  dialog.set_text(C::max_time_points, left_justified(state.max_time_points, 6));
  if (outcome == dialogs::LoadOutcome::not_opened || outcome == dialogs::LoadOutcome::kept_maximum) {
    loading_file = previous_loading_file;  // the reader has said why; nothing was read
    return;
  }
  // A path that failed is not offered again: the next box starts afresh in the data folder.
  if (outcome != dialogs::LoadOutcome::loaded) {
    loading_file = previous_loading_file;  // the reader has said why
    // A file that broke part-way leaves what was read before the fault in the committed data,
    // which the dialog does not show; the user's own entries stay on screen, and OK waits for
    // a SAVE, which commits what the dialog shows.
    dialog.set_enabled(C::ok, false);
    state.general_data_changed = true;
    state.general_data_saved = false;
    return;
  }
  state.loading_box_choice = buffer;
  state.old_file_loaded = true;
  state.n_loaded_cases = context.cases.general().n_loading_cases;
  dialog.set_enabled(C::coefficient_combo, true);
  dialog.set_enabled(C::operator_combo, true);
  dialog.set_enabled(C::n_loading_cases, true);
  session.working.operator_block = committed_operator_block(context.cases.general());
  refresh(dialog, session.working.operator_block);
  dialog.set_text(C::n_loading_cases, std::to_string(context.cases.general().n_loading_cases));
  dialog.update();
  dialog.set_enabled(C::ok, true);
  dialog.set_enabled(C::save_changes, false);
  state.general_data_changed = false;
}

// ---------------------------------------------------------------------------------------
// OK and the callback of the edited controls.

void ok_pressed(Context& context, ui::Dialog& dialog) {
  const model::ProgramState& state = context.state;
  if (state.general_data_changed && !state.general_data_saved) {
    const ui::Answer answer = context.message(
        "WARNING: Changes not saved!\nWould you like to allow saving?",
        "ATENTIE: Schimbarile nu s-au salvat!\nVreti sa permiteti salvarea?", "Save Message",
        ui::Icon::question, ui::Buttons::yes_no);
    if (answer == ui::Answer::yes) return;  // stays open so that the user can save
  }
  dialog.close(1);
}

void mark_changed(model::ProgramState& state) {
  state.general_data_changed = true;
  state.general_data_saved = false;
}

int coefficient_index(C id) {
  for (std::size_t i = 0; i < coefficient_fields.size(); ++i)
    if (coefficient_fields[i] == id) return static_cast<int>(i);
  return -1;
}

void edit_control(Session& session, ui::Dialog& dialog, C id) {
  OperatorBlock& block = session.working.operator_block;
  if (id == C::coefficient_combo) {
    block.standard_coefficients = dialog.selection(C::coefficient_combo) == standard_item;
    refresh(dialog, block);
  } else if (id == C::operator_combo) {
    choose_operator(block, dialog.selection(C::operator_combo) == new_operator_item);
    refresh(dialog, block);
  } else if (const int i = coefficient_index(id); i >= 0) {
    block.coefficients[i] = dialog.text(id);
  } else if (id == C::n_loading_cases) {
    session.working.n_loading_cases = text::c_to_int(dialog.text(id), ui::field_length(id));
  }
  mark_changed(session.context.state);
}

void general_data_callback(Session& session, ui::Dialog& dialog, C id) {
  const model::ProgramState& state = session.context.state;
  dialog.set_enabled(C::save_changes, true);
  dialog.set_enabled(C::ok, !state.general_data_changed || state.general_data_saved);
  if (id == C::save_changes) return save_changes(session, dialog);
  if (id == C::load_old_file) return load_from_old_file(session, dialog);
  if (id == C::ok) return ok_pressed(session.context, dialog);
  edit_control(session, dialog, id);
}

// ---------------------------------------------------------------------------------------
// Set-up.

void register_callbacks(Session& session, ui::Dialog& dialog) {
  register_common_initializer(session.context, dialog, ui::DialogId::general_data);
  dialog.on(C::select_geometry, [&session](ui::Dialog& d, ui::ControlId) {
    select_geometry_file(session.context, d);
  });
  const C handled[] = {C::load_old_file, C::operator_combo, C::coefficient_combo,
                                   C::beta, C::gamma, C::delta, C::teta, C::teta1, C::teta2,
                                   C::n_loading_cases, C::save_changes, C::ok};
  for (C id : handled)
    dialog.on(id, [&session](ui::Dialog& d, ui::ControlId control) {
      general_data_callback(session, d, static_cast<C>(control));
    });
}

void fill_combos(ui::Dialog& dialog) {
  dialog.set_item_count(C::operator_combo, 2);
  dialog.set_text(C::operator_combo, "New Operator", new_operator_item);
  dialog.set_text(C::operator_combo, "Newmark", newmark_item);
  dialog.set_item_count(C::coefficient_combo, 2);
  dialog.set_text(C::coefficient_combo, "Standard", standard_item);
  dialog.set_text(C::coefficient_combo, "Custom", custom_item);
}

void set_entry_states(ui::Dialog& dialog, const model::GeneralData& general) {
  dialog.set_enabled(C::coefficient_combo, false);
  dialog.set_enabled(C::operator_combo, false);
  dialog.set_enabled(C::n_loading_cases, false);
  for (C id : coefficient_fields) dialog.set_enabled(id, !general.standard_coefficients);
}

// A fresh pass starts from the New Operator with standard coefficients and no loaded file;
// coming back from the Loading Cases dialog by Cancel keeps what was chosen.
void reset_operator_choice(model::ProgramState& state, model::GeneralData& general) {
  general.operator_code = "ACH";
  state.n_loaded_cases = 0;
  state.old_file_loaded = false;
  general.standard_coefficients = true;
}

}  // namespace

int run_general_data_dialog(Context& context) {
  model::ProgramState& state = context.state;
  model::GeneralData& general = context.cases.general();
  // A run taken back from one that stopped goes on with its cases and its operator.
  const bool resumed = state.resume_cases;
  if (!resumed) context.cases.drop_all(state.case_folder, false);
  if (state.loading_cases_result != 2 && !resumed) reset_operator_choice(state, general);

  std::unique_ptr<ui::Dialog> dialog = context.toolkit.create_dialog(ui::DialogId::general_data);
  Session session{context, {}};
  register_callbacks(session, *dialog);
  fill_combos(*dialog);
  set_entry_states(*dialog, general);
  dialog->set_text(C::max_time_points, left_justified(state.max_time_points, 6));
  show_committed_operator(*dialog, general);
  dialog->set_text(C::n_loading_cases, std::to_string(general.n_loading_cases));
  dialog->set_enabled(C::load_old_file, false);
  dialog->set_enabled(C::save_changes, false);

  // A run taken back shows its model as it was chosen.
  if (resumed && !general.geometry_file.blank()) show_geometry(*dialog, general);

  session.working = {general.n_loading_cases, committed_operator_block(general)};
  state.general_data_changed = false;
  state.general_data_saved = false;
  dialog->set_enabled(C::ok, resumed);
  ask_before_discarding(context, *dialog, [&state] {
    return state.general_data_changed && !state.general_data_saved;
  });

  state.general_data_result = dialog->run_modal();
  return state.general_data_result;
}

}  // namespace dialogs::general
