#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/case_change.h"
#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/accel_points.h"
#include "dialogs/editors/editor_messages.h"
#include "dialogs/editors/editors.h"
#include "dialogs/editors/import_dialog.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/editors/spectrum_dialog.h"
#include "dialogs/typed_fields.h"
#include "dialogs/typed_numbers.h"
#include "dialogs/unsaved_entries.h"
#include "model/case_files/accel_layout.h"
#include "model/case_files/scratch_files.h"
#include "motion/spectrum_report.h"
#include "motion/units.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"
#include "ui/templates/accelerogram.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::Accelerogram;
constexpr C component_fields[3] = {C::acceleration_x, C::acceleration_y, C::acceleration_z};
constexpr ui::DialogId dialog_id = dialog_of(C{});
constexpr const char* direction_names[3] = {"X", "Y", "Z"};

// The time of a point as a list item; `zero_blank` gives the empty item that opening shows
// for a time of exactly 0.
std::string time_item_text(float time, bool zero_blank) {
  if (zero_blank && time == 0) return {};
  return text::g14_7_text(time);
}

class AccelerogramEditor {
 public:
  AccelerogramEditor(Context& context, int case_number)
      : context_(context), state_(context.state), case_number_(case_number),
        processing_steps_(context.cases.sections(case_number).accel_processing) {}
  AccelerogramEditor(const AccelerogramEditor&) = delete;
  AccelerogramEditor& operator=(const AccelerogramEditor&) = delete;

  void run();

 private:
  const model::CaseRecord& record() const { return context_.cases.sections(case_number_).record; }
  int components() const { return model::case_files::accel_component_count(context_.cases.general().n_dof); }
  bool three_directions() const {
    return record().loading_type != model::LoadingType::accelerogram_1_direction;
  }
  // The component slot of the chosen direction (X 0, Y 1, Z 2); -1 when none is chosen.
  int direction_slot() const { return model::code_number(context_.cases.accel_direction()) - 1; }

  void set_up(ui::Dialog& d);
  void enable_component_fields(ui::Dialog& d);
  void on_control(ui::Dialog& d, C id);
  void on_kod(ui::Dialog& d);
  void on_direction(ui::Dialog& d);
  bool points_move(int from, int to);  // asks; directions 1 X, 2 Y, 3 Z
  void move_points(int from, int to);
  void on_add(ui::Dialog& d);
  void on_select(ui::Dialog& d);
  void on_remove(ui::Dialog& d);
  void on_save(ui::Dialog& d);
  void on_import(ui::Dialog& d);
  void on_plot(ui::Dialog& d);
  void on_spectrum(ui::Dialog& d);
  // The factor the points were scaled by since they were imported, beside the list, and
  // whether the case file holds them so.
  void show_factor(ui::Dialog& d, double factor, bool saved);
  model::LoadingType chosen_code(ui::Dialog& d);
  bool direction_chosen(ui::Dialog& d, const char* then_en, const char* then_ro);
  std::string point_item(int item) const;
  // After the first ADD, REMOVE or Import every item shows its time, a time of 0 included.
  void show_every_time(ui::Dialog& d, int first_changed);
  void replace_points(ui::Dialog& d, std::vector<model::AccelPoint> points);
  bool room_for(std::size_t n, const std::string& record_en, const std::string& record_ro, const char* title);
  void apply_match(ui::Dialog& d, float start, double step, const std::vector<int>& slots,
                   const std::vector<std::vector<double>>& matched);

  Context& context_;
  model::ProgramState& state_;
  int case_number_;
  AccelPointList working_;
  // The point list is a view of working_. It keeps its length when a point is removed, the
  // items past the last point then being blank; opening shows a time of 0 as an empty item.
  int list_items_ = 0;
  bool zero_blank_ = true;
  double factor_ = 1.0;
  bool saved_now_ = false;  // the action just handled wrote the accelerogram file
  // The processing steps of the record last imported, kept by the case at SAVE (one a line).
  std::string processing_steps_;
  bool points_scaled_ = false;  // the action just handled scaled the points
};

void AccelerogramEditor::run() {
  if (!state_.accel_table_exists) {
    state_.accel_table.clear();
    state_.accel_table_exists = true;
  }
  if (existing_data_readable(context_, case_number_)) read_existing_points(context_, case_number_);

  auto dialog = context_.toolkit.create_dialog(dialog_id);
  ui::Dialog& d = *dialog;
  register_common_initializer(context_, d, dialog_id);
  // A SAVE disables Cancel, and with it Esc and the close box: what was entered is never kept
  // while they can still throw it away.
  UnsavedEntries entries(context_, d, dialog_id);
  for (C id : {C::kod, C::direction, C::time, component_fields[0], component_fields[1],
               component_fields[2], C::list, C::add, C::remove, C::save, C::import, C::plot, C::spectrum})
    d.on(id, [this, &entries](ui::Dialog& dlg, ui::ControlId control) {
      // Looking at the points' plot or spectra enters nothing; a factor applied there does.
      const bool looks = control == ui::id(C::plot) || control == ui::id(C::spectrum);
      if (!looks) entries.note(control);
      saved_now_ = false;
      points_scaled_ = false;
      on_control(dlg, static_cast<C>(control));
      if (saved_now_) entries.kept();
      if (points_scaled_) entries.hold();
    });
  set_up(d);
  // The points not saved go with the working copy: the case's count is set only by SAVE.
  d.run_modal();
}

void AccelerogramEditor::set_up(ui::Dialog& d) {
  const model::LoadingType type = record().loading_type;
  d.select(C::kod, type == model::LoadingType::accelerogram_3_directions  ? 1
                     : type == model::LoadingType::accelerogram_1_direction ? 2
                                                                          : 0);
  d.set_item_count(C::direction, components());
  for (int c = 1; c <= components(); ++c) d.set_text(C::direction, direction_names[c - 1], c);
  const int direction = model::code_number(context_.cases.accel_direction());  // the list item
  d.select(C::direction, direction >= 1 && direction <= components() ? direction : 0);
  enable_component_fields(d);
  d.set_enabled(C::direction, !three_directions());
  d.set_enabled(C::remove, false);
  const std::string unit = std::string(context_.cases.general().length_unit.trimmed()) + "/sec2";
  d.set_text(C::unit, text::trim_right(text::padded(unit, 20)));
  std::vector<model::AccelPoint> points = state_.accel_table;
  points.resize(static_cast<std::size_t>(std::max(record().n_time_points, 0)));
  working_ = AccelPointList(std::move(points));
  list_items_ = static_cast<int>(working_.size());
  zero_blank_ = true;
  d.show_items(C::list, list_items_, [this](int item) { return point_item(item); });
}

std::string AccelerogramEditor::point_item(int item) const {
  if (item > static_cast<int>(working_.size())) return " ";
  return time_item_text(working_[item - 1].time, zero_blank_);
}

void AccelerogramEditor::show_every_time(ui::Dialog& d, int first_changed) {
  if (zero_blank_) first_changed = 1;
  zero_blank_ = false;
  if (first_changed >= 1 && first_changed <= list_items_) d.items_changed(C::list, first_changed, list_items_);
}

// A three-direction point takes every component, a one-direction point only its direction's;
// without Z (n_dof 2) the Z field stays disabled.
void AccelerogramEditor::enable_component_fields(ui::Dialog& d) {
  const bool all = three_directions();
  for (int c = 0; c < 3; ++c) {
    const bool on = c < components() && (all || c == direction_slot());
    d.set_enabled(component_fields[c], on);
  }
}

void AccelerogramEditor::on_control(ui::Dialog& d, C id) {
  switch (id) {
    case C::kod: on_kod(d); break;
    case C::direction: on_direction(d); break;
    case C::add: on_add(d); break;
    case C::list: on_select(d); break;
    case C::remove: on_remove(d); break;
    case C::save: on_save(d); break;
    case C::import: on_import(d); break;
    case C::plot: on_plot(d); break;
    case C::spectrum: on_spectrum(d); break;
    default: break;  // the time and acceleration fields are read when a point is added
  }
}

void AccelerogramEditor::on_kod(ui::Dialog& d) {
  const bool three = d.selection(C::kod) == 1;
  d.set_enabled(C::direction, !three);
  // The code is the case's at once, saved or not.
  change_case_at_once(context_, case_number_, [three](model::Case& c) {
    c.record.loading_type =
        three ? model::LoadingType::accelerogram_3_directions : model::LoadingType::accelerogram_1_direction;
  });
  enable_component_fields(d);
}

// The points of a one-direction accelerogram hold their values in the component of the
// direction they were entered, imported or loaded in; a new direction would read the zeros of
// another component. So they move with it, when the user says so.
void AccelerogramEditor::on_direction(ui::Dialog& d) {
  const int chosen = d.selection(C::direction);
  const int before = direction_slot() + 1;
  if (!three_directions() && !working_.empty() && before >= 1 && chosen >= 1 && chosen != before) {
    if (!points_move(before, chosen)) {
      d.select(C::direction, before);
      return;
    }
    move_points(before, chosen);
  }
  context_.cases.accel_direction() = model::code_from_number<model::AccelDirection>(chosen);
  enable_component_fields(d);
}

bool AccelerogramEditor::points_move(int from, int to) {
  const std::string n = std::to_string(working_.size());
  const std::string a = direction_names[from - 1], b = direction_names[to - 1];
  return context_.message("Move the " + n + " Time Points of the Accelerogram from direction " + a +
                              " to direction " + b + " ?\n(No: the direction stays " + a + ")",
                          "Mutati cele " + n + " puncte de timp ale accelerogramei de pe directia " + a +
                              " pe directia " + b + " ?\n(Nu: directia ramane " + a + ")",
                          "Direction Message", ui::Icon::question, ui::Buttons::yes_no) == ui::Answer::yes;
}

void AccelerogramEditor::move_points(int from, int to) {
  std::vector<model::AccelPoint> points = working_.to_vector();
  for (model::AccelPoint& p : points) {
    p.acceleration[to - 1] = p.acceleration[from - 1];
    p.acceleration[from - 1] = 0;
  }
  working_ = AccelPointList(std::move(points));
}

void AccelerogramEditor::on_add(ui::Dialog& d) {
  // The fields of the other directions are disabled: what they hold was never meant for this point.
  std::vector<ui::ControlId> fields{ui::id(C::time)};
  for (int c = 0; c < components(); ++c)
    if (three_directions() || c == direction_slot()) fields.push_back(ui::id(component_fields[c]));
  if (!fields_taken_whole(context_, d, dialog_id, fields, "ADD Message")) return;
  model::AccelPoint point;
  point.time = dialogs::typed_real(d, C::time);
  for (int c = 0; c < components(); ++c) point.acceleration[c] = dialogs::typed_real(d, component_fields[c]);
  const AccelAddResult added = working_.add(point, components(), state_.max_time_points);
  if (added.outcome == AccelAddOutcome::full) {
    const std::string n = std::to_string(state_.max_time_points);
    context_.message(
        "No more Time Points: the Accelerogram already has the Maximum No. of Time Points (" + n +
            ") !",
        "Nu se mai pot adauga puncte de timp: accelerograma are deja numarul maxim de puncte "
        "de timp (" + n + ") !",
        "ADD Message", ui::Icon::error);
    return;
  }
  // The blank items left by removals go.
  list_items_ = static_cast<int>(working_.size());
  d.set_item_count(C::list, list_items_);
  show_every_time(d, added.outcome == AccelAddOutcome::inserted ? added.index : 0);
}

void AccelerogramEditor::on_select(ui::Dialog& d) {
  const int s = d.selection(C::list);
  if (s == 0) return;
  const model::AccelPoint point =
      s <= static_cast<int>(working_.size()) ? working_[static_cast<std::size_t>(s - 1)] : model::AccelPoint{};
  d.set_text(C::time, text::g14_7_text(point.time));
  for (int c = 0; c < components(); ++c) {
    if (three_directions() || c == direction_slot())
      d.set_text(component_fields[c], text::g14_7_text(point.acceleration[c]));
  }
  d.set_enabled(C::remove, true);
}

void AccelerogramEditor::on_remove(ui::Dialog& d) {
  const int removed = working_.remove(d.selection(C::list));
  if (removed == 0) return;
  show_every_time(d, removed);
}

// A one-direction accelerogram stores a single component: without a direction there is no
// place for it.
bool AccelerogramEditor::direction_chosen(ui::Dialog& d, const char* then_en, const char* then_ro) {
  if (chosen_code(d) != model::LoadingType::accelerogram_1_direction || d.selection(C::direction) != 0) return true;
  context_.message(std::string("Direction NOT selected !\nSelect X, Y or Z in \"Direction\", then ") + then_en,
                   std::string("Directia NU s-a selectat !\nSelectati X, Y sau Z in \"Direction\", apoi ") +
                       then_ro,
                   std::string(then_en).starts_with("SAVE") ? "SAVE Message" : "Import Message",
                   ui::Icon::error);
  return false;
}

model::LoadingType AccelerogramEditor::chosen_code(ui::Dialog& d) {
  const int kod = d.selection(C::kod);
  return kod == 1   ? model::LoadingType::accelerogram_3_directions
         : kod == 2 ? model::LoadingType::accelerogram_1_direction
                    : record().loading_type;
}

void AccelerogramEditor::on_save(ui::Dialog& d) {
  const model::LoadingType code = chosen_code(d);
  const auto direction = model::code_from_number<model::AccelDirection>(d.selection(C::direction));
  if (!direction_chosen(d, "SAVE.", "salvati.")) return;
  if (code == model::LoadingType::accelerogram_1_direction) context_.cases.accel_direction() = direction;
  std::vector<model::AccelPoint> points = working_.to_vector();
  model::Case edited = context_.cases.facts(case_number_);
  edited.loading(model::LoadingKind::accelerogram).emplace().data =
      model::Accelerogram{code, context_.cases.accel_direction(), points, {}};
  edited.record.loading_type = code;
  edited.record.n_time_points = static_cast<int>(working_.size());
  edited.loading_saved = true;
  edited.accel_processing = processing_steps_;
  model::case_files::FileFailure failure;
  if (!context_.cases.commit(state_, case_number_, std::move(edited), {false, model::LoadingKind::accelerogram},
                             failure)) {
    report_write_failure(context_, (std::filesystem::current_path() / failure.path).string(), failure.reason);
    return;
  }
  state_.accel_table = std::move(points);
  d.set_enabled(C::cancel, false);
  show_factor(d, factor_, true);
  saved_now_ = true;
}

// The record's points replace the working copy: the first column goes to the chosen direction
// of a one-direction accelerogram, columns 1..n_dof to X, Y, Z of a three-direction one (a
// direction the file has no column for gets 0). Nothing changes until every question is answered.
void AccelerogramEditor::on_import(ui::Dialog& d) {
  if (!direction_chosen(d, "Import.", "importati.")) return;
  ImportCase target{{}, record().end_time};
  target.processing_steps = processing_steps_;
  if (chosen_code(d) == model::LoadingType::accelerogram_1_direction)
    target.directions = {d.selection(C::direction)};
  else
    for (int c = 1; c <= components(); ++c) target.directions.push_back(c);
  std::optional<ImportedHistory> imported =
      run_import_dialog(context_, ImportKind::acceleration, nullptr, &target);
  if (!imported) return;
  const motion::Record& r = imported->record;
  const std::size_t n = r.point_count();
  const std::string count = std::to_string(n);
  if (!working_.empty() &&
      context_.message("Replace the " + std::to_string(working_.size()) +
                           " Time Points of the Accelerogram with the " + count + " points of " +
                           imported->file + " ?",
                       "Inlocuiti cele " + std::to_string(working_.size()) +
                           " puncte de timp ale accelerogramei cu cele " + count + " puncte din " +
                           imported->file + " ?",
                       "Import Message", ui::Icon::question, ui::Buttons::yes_no_default_no) != ui::Answer::yes)
    return;
  if (!room_for(n, "The record", "Inregistrarea", "Import Message")) return;
  const bool three = chosen_code(d) != model::LoadingType::accelerogram_1_direction;
  const int direction = d.selection(C::direction);
  std::vector<model::AccelPoint> points(n);
  for (std::size_t i = 0; i < n; ++i) {
    points[i].time = static_cast<float>(r.time(i));
    // Times that single precision cannot tell apart would make two points of one time.
    if (i > 0 && !(points[i].time > points[i - 1].time)) {
      context_.message("The times of " + imported->file + " cannot be stored apart from time " +
                           std::to_string(points[i].time) + " s on: nothing was imported.",
                       "Timpii din " + imported->file + " nu pot fi memorati distinct de la " +
                           std::to_string(points[i].time) + " s: nu s-a importat nimic.",
                       "Import Message", ui::Icon::error);
      return;
    }
    if (three) {
      for (int c = 0; c < components() && c < static_cast<int>(r.components.size()); ++c)
        points[i].acceleration[c] = static_cast<float>(r.components[c][i]);
    } else {
      points[i].acceleration[direction - 1] = static_cast<float>(r.components[0][i]);
    }
  }
  replace_points(d, std::move(points));
  show_factor(d, imported->scale, false);
  processing_steps_ = imported->processing_steps;
}

// A whole new record in place of the points: the list shows it from its first point, and no
// point is chosen to remove.
void AccelerogramEditor::replace_points(ui::Dialog& d, std::vector<model::AccelPoint> points) {
  working_ = AccelPointList(std::move(points));
  list_items_ = static_cast<int>(working_.size());
  d.set_item_count(C::list, list_items_);
  show_every_time(d, 1);
  d.set_enabled(C::remove, false);
}

// Whether `n` points of a record fit the Maximum No. of Time Points, raised for this run when
// the user agrees to it.
bool AccelerogramEditor::room_for(std::size_t n, const std::string& record_en, const std::string& record_ro,
                                  const char* title) {
  if (n <= static_cast<std::size_t>(std::max(state_.max_time_points, 0))) return true;
  const std::string count = std::to_string(n), max = std::to_string(state_.max_time_points);
  if (context_.message(record_en + " has " + count + " points; the Maximum No. of Time Points is " + max +
                           ".\nRaise the Maximum to " + count + " for this run ?",
                       record_ro + " are " + count + " puncte; numarul maxim de puncte de timp este " + max +
                           ".\nMariti maximul la " + count + " pentru aceasta rulare ?",
                       title, ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes)
    return false;
  state_.max_time_points = static_cast<int>(n);
  return true;
}

// The matched record in place of the points, from the first point's time at its step: longer by
// the match's padding, so the Maximum No. of Time Points may have to grow for it.
void AccelerogramEditor::apply_match(ui::Dialog& d, float start, double step, const std::vector<int>& slots,
                                     const std::vector<std::vector<double>>& matched) {
  if (!room_for(matched.front().size(), "The matched record", "Inregistrarea potrivita", "Spectrum Message")) return;
  replace_points(d, points_of_record(start, step, slots, matched));
  points_scaled_ = true;
}

void AccelerogramEditor::on_plot(ui::Dialog& d) {
  const bool three = chosen_code(d) != model::LoadingType::accelerogram_1_direction;
  context_.toolkit.show_plot(accelerogram_plot("Accelerogram of case " + std::to_string(case_number_),
                                               working_.to_vector(), three, context_.cases.general().n_dof,
                                               d.selection(C::direction),
                                               std::string(context_.cases.general().length_unit.trimmed())));
}

void AccelerogramEditor::show_factor(ui::Dialog& d, double factor, bool saved) {
  factor_ = factor;
  std::string text;
  if (factor != 1.0)
    text = context_.words("Scaled by ", "Scalat cu ") + motion::report_number(factor) +
           (saved ? context_.words(" (saved)", " (salvat)") : context_.words(" (not saved)", " (nesalvat)"));
  d.set_text(C::scaled_by, text);
}

// The spectra of the points as they stand: evenly spaced in time, the accelerations in the
// model's length unit per s2. "Apply factor" scales every acceleration of the working copy.
void AccelerogramEditor::on_spectrum(ui::Dialog& d) {
  const std::vector<model::AccelPoint> points = working_.to_vector();
  const std::string unit(context_.cases.general().length_unit.trimmed());
  const std::optional<double> metres = motion::length_unit_metres(unit);
  if (!metres) {
    context_.message("The model's length unit \"" + unit + "\" is not one the program knows: no spectrum.",
                     "Unitatea de lungime a modelului \"" + unit + "\" nu este cunoscuta: niciun spectru.",
                     "Spectrum Message", ui::Icon::error);
    return;
  }
  const std::optional<double> step = even_time_step(points);
  if (!step) {
    context_.message("A spectrum needs at least two Time Points evenly spaced in time.",
                     "Un spectru cere cel putin doua puncte de timp egal distantate.", "Spectrum Message",
                     ui::Icon::error);
    return;
  }
  const bool three = chosen_code(d) != model::LoadingType::accelerogram_1_direction;
  const int direction = d.selection(C::direction);
  std::vector<int> slots;
  for (int c = 0; c < components(); ++c)
    if (three || c == direction - 1) slots.push_back(c);
  if (slots.empty()) {
    direction_chosen(d, "Spectrum.", "spectrul.");
    return;
  }
  SpectrumSource source{"case " + std::to_string(case_number_), *step, {}, *metres};
  source.applies_to = context_.words("the case's points (every acceleration of the list)",
                                     "punctele cazului (toate acceleratiile din lista)");
  for (int c : slots) {
    source.names.push_back(direction_names[c]);
    source.components.push_back(component_of(points, c));
  }
  source.matchable = true;
  const SpectrumChoice choice = run_spectrum_window(context_, source);
  if (!choice.matched.empty()) return apply_match(d, points.front().time, *step, slots, choice.matched);
  const std::optional<double> factor = choice.factor;
  if (!factor) return;
  std::vector<model::AccelPoint> scaled = points;
  for (model::AccelPoint& p : scaled)
    for (int c : slots) p.acceleration[c] = static_cast<float>(p.acceleration[c] * *factor);
  working_ = AccelPointList(std::move(scaled));
  show_every_time(d, 1);
  show_factor(d, factor_ * *factor, false);
  points_scaled_ = true;
}

}  // namespace

void open_accelerogram_editor(Context& context, ui::Dialog&) {
  model::ProgramState& s = context.state;
  // The Loading Cases dialog opens the editor only for a selected case; anything else has no
  // case whose data could be edited.
  if (!context.cases.has_case(s.current_case)) return;
  AccelerogramEditor editor(context, s.current_case);
  editor.run();
}

}  // namespace dialogs::editors
