#include "dialogs/editors/import_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/import_parts.h"
#include "dialogs/editors/loading_plots.h"
#include "dialogs/editors/processing_window.h"
#include "dialogs/editors/spectrum_dialog.h"
#include "dialogs/editors/node_ranges.h"
#include "motion/spectrum_report.h"
#include "text/fixed_text.h"
#include "ui/templates/import_time_history.h"

namespace dialogs::editors {

namespace {

using C = ui::templates::ImportTimeHistory;

constexpr motion::Format formats[] = {motion::Format::automatic, motion::Format::peer,
                                      motion::Format::cosmos,    motion::Format::csmip,
                                      motion::Format::esm,       motion::Format::knet,
                                      motion::Format::columns};
struct UnitChoice {
  const char* label;
  std::optional<motion::Unit> unit;
};
constexpr UnitChoice unit_choices[] = {
    {"as the file says", std::nullopt}, {"g", motion::Unit::g},
    {"m/s2", motion::Unit::m_s2},       {"cm/s2 (gal)", motion::Unit::cm_s2},
    {"mm/s2", motion::Unit::mm_s2},     {"in/s2", motion::Unit::in_s2},
    {"ft/s2", motion::Unit::ft_s2},
};
constexpr const char* component_names[] = {"X", "Y", "Z"};

std::string number_text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// The format's name as a list item or the start of a sentence.
std::string title_of(motion::Format format) {
  std::string t(motion::format_title(format));
  if (!t.empty() && t[0] >= 'a' && t[0] <= 'z') t[0] = static_cast<char>(t[0] - 'a' + 'A');
  return t;
}

std::string field(const ui::Dialog& d, C control) {
  return std::string(text::trim(d.text(control)));
}

// The value columns as typed ("2", "2,3", "2 3 4"); false for a word that is no column number
// from 1, or for a fourth column.
bool value_columns(std::string text, std::vector<std::size_t>& columns) {
  for (char& c : text)
    if (c == ',' || c == ';') c = ' ';
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = text.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    const std::size_t end = std::min(text.find(' ', start), text.size());
    char* stop = nullptr;
    const std::string word = text.substr(start, end - start);
    const long n = std::strtol(word.c_str(), &stop, 10);
    if (*stop != '\0' || n < 1 || columns.size() == 3) return false;
    columns.push_back(static_cast<std::size_t>(n));
    at = end;
  }
  return true;
}

class ImportDialog {
 public:
  ImportDialog(Context& context, ui::Dialog& dialog, ImportKind kind, const ImportCase* for_case)
      : context_(context), dialog_(dialog), kind_(kind) {
    if (for_case) case_ = *for_case;
    // A suite that reads the files again asks for it with its preset and keeps the choice.
    offers_processing_ = for_case && kind == ImportKind::acceleration;
  }

  void set_up(const ImportPreset* preset);
  void on_control(C control);
  std::optional<ImportedHistory> result;

 private:
  bool acceleration() const { return kind_ == ImportKind::acceleration; }
  std::string length_unit() const { return std::string(context_.cases.general().length_unit.trimmed()); }
  void browse();
  void read();
  void show_preview();
  void show_summary();
  void plot();
  void spectrum();
  void processing();
  void process_read();
  std::string processing_note() const;
  void import();
  int components() const { return row_directions(context_.cases.general().n_dof); }
  int first_component() const;
  // The options as the fields give them; a reason when one of them is not usable.
  std::optional<motion::ReadOptions> options(std::string& reason);
  void show_options(const motion::ReadOptions& o);
  std::string words(std::string_view english, std::string_view romanian) const {
    return context_.words(english, romanian);
  }
  // Why a record read cannot be imported as it stands; empty when it can.
  std::string unusable(const motion::ReadResult& r) const;
  void read_others(const motion::ReadOptions& o);
  std::string scale_note() const;

  Context& context_;
  ui::Dialog& dialog_;
  ImportKind kind_;
  std::optional<double> unit_metres_;  // of the model's length unit, when its name is known
  double read_metres_ = 1.0;           // the size of the unit the record was read in, in metres
  double spectrum_factor_ = 1.0;
  double scale_ = 1.0;  // the Scale factor field's
  ImportCase case_;
  std::vector<std::string> others_;  // chosen with the file, read with the same options
  std::string others_problem_;       // those of them that cannot be read so, and why
  motion::ReadResult read_;
  std::string refusal_;  // why nothing can be imported; empty when the record is usable
  // Processing of the file chosen: the options (none: as read), whether the user chose them,
  // the record before, and what was done.
  std::optional<motion::ProcessingOptions> processing_;
  bool processing_chosen_ = false;
  bool offers_processing_ = false;
  motion::Record as_read_;
  std::string steps_;  // one a line
  std::string processing_outcome_;
  std::optional<double> usable_period_;
};

// The words of a file's refusal: its first error, at its line.
std::string refusal_of(const motion::ReadResult& r) {
  for (const motion::Problem& p : r.problems)
    if (p.severity == motion::Severity::error)
      return (p.line ? "Line " + std::to_string(p.line) + ": " : std::string()) + p.text;
  return "Not read.";
}

std::string ImportDialog::unusable(const motion::ReadResult& r) const {
  if (r.outcome == motion::Outcome::refused) return refusal_of(r);
  if (r.record.point_count() == 0) return words("The file holds no values.", "Fisierul nu contine valori.");
  // Values taken as they are could be 9.81 or 100 times off: the user says what they are.
  if (acceleration() && r.record.unit_source == motion::UnitSource::none)
    return words("The file states no unit: choose the unit of its values in \"Unit in the file\".",
                 "Fisierul nu precizeaza unitatea: alegeti unitatea valorilor in \"Unit in the file\".");
  return {};
}

// The fields as `o` reads a file; the model's unit is the dialog's own.
void ImportDialog::show_options(const motion::ReadOptions& o) {
  for (std::size_t i = 0; i < std::size(formats); ++i)
    if (formats[i] == o.format) dialog_.select(C::format, static_cast<int>(i) + 1);
  for (std::size_t i = 0; i < std::size(unit_choices); ++i)
    if (unit_choices[i].unit == o.file_unit) dialog_.select(C::unit, static_cast<int>(i) + 1);
  dialog_.set_text(C::first_line, o.first_line ? std::to_string(o.first_line) : std::string());
  dialog_.set_text(C::time_column, o.time_column ? std::to_string(*o.time_column) : std::string());
  std::string columns;
  for (std::size_t c : o.value_columns) columns += (columns.empty() ? "" : ",") + std::to_string(c);
  dialog_.set_text(C::value_columns, columns);
  dialog_.set_text(C::time_step, o.time_step ? number_text(*o.time_step) : std::string());
  dialog_.set_text(C::scale, o.scale != 1.0 ? number_text(o.scale) : std::string());
  dialog_.set_text(C::resample, o.resample_step ? number_text(*o.resample_step) : std::string());
}

void ImportDialog::set_up(const ImportPreset* preset) {
  dialog_.set_item_count(C::format, static_cast<int>(std::size(formats)));
  for (std::size_t i = 0; i < std::size(formats); ++i)
    dialog_.set_text(C::format, i == 0 ? "Automatic" : title_of(formats[i]),
                     static_cast<int>(i) + 1);
  dialog_.select(C::format, 1);
  dialog_.set_item_count(C::unit, static_cast<int>(std::size(unit_choices)));
  for (std::size_t i = 0; i < std::size(unit_choices); ++i)
    dialog_.set_text(C::unit, unit_choices[i].label, static_cast<int>(i) + 1);
  dialog_.select(C::unit, 1);
  dialog_.select(C::baseline, 1);
  unit_metres_ = motion::length_unit_metres(length_unit());
  // Loads are in the model's force unit, which no record format names: they are taken as read.
  dialog_.set_enabled(C::unit, acceleration());
  dialog_.set_enabled(C::baseline, acceleration());
  const std::string unit = length_unit().empty() ? "length unit" : "\"" + length_unit() + "\"";
  dialog_.set_text(C::metres_label, "1 " + unit + " in metres");
  if (unit_metres_) dialog_.set_text(C::metres, number_text(*unit_metres_));
  dialog_.set_enabled(C::metres, acceleration() && !unit_metres_);
  // A ground motion goes to the direction chosen in its editor.
  if (acceleration()) {
    dialog_.set_item_count(C::component, 1);
    dialog_.set_text(C::component, "the editor's Direction", 1);
  } else {
    dialog_.set_item_count(C::component, components());
    for (int c = 0; c < components(); ++c) dialog_.set_text(C::component, component_names[c], c + 1);
  }
  dialog_.select(C::component, 1);
  dialog_.set_enabled(C::component, !acceleration());
  if (preset) {
    dialog_.set_text(C::file, preset->file);
    show_options(preset->options);
    others_ = preset->others;
    offers_processing_ = offers_processing_ || (preset->offers_processing && acceleration());
    processing_ = preset->processing, processing_chosen_ = preset->processing_chosen;
  }
  read();
}

int ImportDialog::first_component() const {
  return std::clamp(dialog_.selection(C::component), 1, components()) - 1;
}

void ImportDialog::on_control(C control) {
  switch (control) {
    case C::browse: return browse();
    case C::plot: return plot();
    case C::spectrum: return spectrum();
    case C::processing: return processing();
    case C::import: return import();
    case C::baseline: return;
    case C::component: return show_summary();
    case C::file:
      processing_chosen_ = false;
      return read();
    case C::scale:
      // A factor typed over the one applied replaces it.
      spectrum_factor_ = 1.0;
      return read();
    default: return read();  // every other control is a reading option
  }
}

void ImportDialog::browse() {
  ui::OpenFileRequest request;
  request.filters = {{"Time histories (*.AT2, *.V2, *.txt, *.csv, ...)",
                      "*.AT2;*.at2;*.V2;*.v2;*.V2c;*.v2c;*.txt;*.csv;*.asc;*.ASC;*.dat;*.EW;*.NS;*.UD"},
                     {"All files (*)", "*"}};
  request.title = acceleration() ? "Import a Ground Motion" : "Import a Load History";
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  request.initial_folder = here.string();
  std::string chosen;
  const bool confirmed = context_.toolkit.open_file_box(request, chosen);
  // The box makes the chosen file's folder current; the case files stay where they are.
  if (!error) std::filesystem::current_path(here, error);
  if (!confirmed) return;
  processing_chosen_ = false;
  dialog_.set_text(C::file, chosen);
  read();
}

std::optional<motion::ReadOptions> ImportDialog::options(std::string& reason) {
  motion::ReadOptions o;
  const int format = dialog_.selection(C::format);
  o.format = format >= 1 ? formats[format - 1] : motion::Format::automatic;
  bool bad = false;  // the first reason is the one told
  const auto refuse = [&](std::string why) {
    if (!bad) reason = std::move(why);
    bad = true;
  };
  auto number = [&](C control, const char* name, bool positive) {
    bool this_bad = false;
    const std::optional<double> v = typed_number(field(dialog_, control), this_bad);
    if (!this_bad && !(v && (positive ? *v <= 0 : *v < 0))) return v;
    refuse(std::string(name) + ": not " + (positive ? "a positive number" : "a number") + ".");
    return std::optional<double>();
  };
  auto whole = [&](C control, const char* name) {
    const std::optional<double> v = number(control, name, false);
    if (v && *v != std::floor(*v)) refuse(std::string(name) + ": not a whole number.");
    return v;
  };
  if (const auto v = whole(C::first_line, "First data line")) o.first_line = static_cast<std::size_t>(*v);
  if (const auto v = whole(C::time_column, "Time column")) o.time_column = static_cast<std::size_t>(*v);
  o.time_step = number(C::time_step, "Time step", true);
  if (const auto v = number(C::scale, "Scale factor", false)) o.scale = *v;
  scale_ = o.scale;
  o.resample_step = number(C::resample, "Resample step", true);
  if (!value_columns(field(dialog_, C::value_columns), o.value_columns))
    refuse("Value columns: one to three column numbers from 1, such as 2,3.");
  if (acceleration()) {
    const int unit = dialog_.selection(C::unit);
    if (unit >= 1) o.file_unit = unit_choices[unit - 1].unit;
    std::optional<double> metres = unit_metres_;
    if (!metres) metres = number(C::metres, "1 length unit in metres", true);
    if (!metres)
      refuse("The model's length unit \"" + length_unit() + "\" is not one the program knows: type its size in metres.");
    if (metres) o.target = motion::TargetUnit::length_per_s2(*metres, length_unit() + "/sec2");
    if (metres) read_metres_ = *metres;
  }
  if (bad) return std::nullopt;
  return o;
}

void ImportDialog::read() {
  read_ = motion::ReadResult{};
  refusal_.clear();
  others_problem_.clear();
  const std::string path = field(dialog_, C::file);
  if (path.empty()) {
    refusal_ = "No file chosen.";
  } else if (const std::optional<motion::ReadOptions> o = options(refusal_)) {
    read_ = motion::read_motion_file(path, *o);
    refusal_ = unusable(read_);
    if (refusal_.empty()) read_others(*o);
    if (refusal_.empty()) process_read();
  }
  // The format list names the format found while it is left to find it.
  const bool automatic = dialog_.selection(C::format) <= 1;
  dialog_.set_text(C::format,
                   automatic && read_.outcome != motion::Outcome::refused && !path.empty()
                       ? "Automatic: " + title_of(read_.record.format)
                       : std::string("Automatic"),
                   1);
  show_preview();
  show_summary();
  dialog_.set_enabled(C::plot, refusal_.empty());
  dialog_.set_enabled(C::spectrum, refusal_.empty() && acceleration());
  dialog_.set_enabled(C::processing, refusal_.empty() && offers_processing_);
}

// A raw record is offered processing with an automatic high-pass until the user chooses.
void ImportDialog::process_read() {
  steps_.clear();
  processing_outcome_.clear();
  usable_period_.reset();
  as_read_ = read_.record;
  if (!offers_processing_) return;
  if (!processing_chosen_) processing_ = raw_record(read_) ? std::optional(motion::ProcessingOptions{}) : std::nullopt;
  if (!processing_chosen_ && processing_) processing_->highpass_auto = true;
  if (!processing_) return;
  const double step = read_.record.time_step;
  if (const auto fault = motion::processing_fault(*processing_, step)) {
    refusal_ = words("Processing: ", "Procesare: ") + motion::fault_text(*fault, *processing_, step, model::romanian_messages(context_.state));
    return;
  }
  const motion::ProcessedRecord processed = apply_processing(read_.record, *processing_);
  steps_ = step_lines(processed);
  processing_outcome_ = processing_outcome(context_, processed, read_metres_);
  usable_period_ = processed.usable_period;
}

void ImportDialog::processing() {
  if (!refusal_.empty() || !offers_processing_) return;
  const ProcessingSource source{as_read_, read_metres_, length_unit(), processing_};
  const ProcessingChoice choice = run_processing_window(context_, source);
  if (choice.answer == ProcessingAnswer::cancelled) return;
  processing_chosen_ = true;
  processing_ = choice.answer == ProcessingAnswer::processed ? std::optional(choice.options) : std::nullopt;
  read();
}

// The steps done, or the case's own when no file is chosen yet.
std::string ImportDialog::processing_note() const {
  const std::string& steps = refusal_.empty() ? steps_ : case_.processing_steps;
  if (steps.empty()) return {};
  return (refusal_.empty() ? words("\nProcessed:\n", "\nProcesata:\n")
                           : words("\nThe case's record was processed:\n", "\nInregistrarea cazului a fost procesata:\n")) +
         steps + (refusal_.empty() ? processing_outcome_ : std::string());
}

// Every file chosen with the first is read as it would be imported: one that cannot be is
// named now, not when its spectra are asked for. It does not hold the others back.
void ImportDialog::read_others(const motion::ReadOptions& o) {
  constexpr int named = 3;  // the summary has room for so many
  int bad = 0;
  for (const std::string& other : others_) {
    const std::string why = unusable(motion::read_motion_file(other, o));
    if (why.empty() || ++bad > named) continue;
    others_problem_ += words("\nERROR: ", "\nEROARE: ") + std::filesystem::path(other).filename().string() +
                       words(" cannot be read with these options: ", " nu poate fi citit cu aceste optiuni: ") + why;
  }
  if (bad > named)
    others_problem_ += words(" (and " + std::to_string(bad - named) + " more)",
                             " (si inca " + std::to_string(bad - named) + ")");
}

std::string ImportDialog::scale_note() const {
  if (scale_ == 1.0) return {};
  const std::string note = unusual_factor_note(context_, scale_);
  return words("\nScaled by ", "\nScalat cu ") + motion::report_number(scale_) + (note.empty() ? "" : ". " + note);
}

void ImportDialog::show_preview() {
  const std::vector<std::string> lines = preview_lines(field(dialog_, C::file), read_);
  dialog_.set_item_count(C::preview, static_cast<int>(lines.size()));
  for (std::size_t i = 0; i < lines.size(); ++i)
    dialog_.set_text(C::preview, lines[i], static_cast<int>(i) + 1);
}

void ImportDialog::show_summary() {
  dialog_.set_alert(ui::id(C::summary), !refusal_.empty() || !others_problem_.empty());
  if (!refusal_.empty()) return dialog_.set_text(C::summary, refusal_ + processing_note());
  const motion::Record& r = read_.record;
  std::string s = title_of(r.format) + ": " + std::to_string(r.point_count()) +
                  " points, time step " + number_text(r.time_step) + " s, duration " +
                  number_text(r.duration()) + " s";
  if (r.components.size() > 1) s += ", " + std::to_string(r.components.size()) + " columns";
  if (acceleration()) s += unit_line(context_, r);
  const std::string unit = acceleration() ? " " + length_unit() + "/sec2" : std::string();
  for (std::size_t c = 0; c < r.components.size(); ++c) {
    const motion::Peak peak = motion::peak_of(r.components[c]);
    s += "\nPeak" + (r.components.size() > 1 ? " " + std::to_string(c + 1) : std::string()) + ": " +
         number_text(peak.value) + unit + " at " + number_text(r.time(peak.index)) + " s";
  }
  std::size_t warnings = 0;
  for (const motion::Problem& p : read_.problems) {
    if (p.severity != motion::Severity::warning) continue;
    if (++warnings == 1)
      s += "\nNote: " + (p.line ? "line " + std::to_string(p.line) + ": " : std::string()) + p.text;
  }
  if (warnings > 1) s += " (and " + std::to_string(warnings - 1) + " more)";
  s += scale_note();
  s += end_time_note(context_, r, case_.end_time);
  if (!others_.empty())
    s += words("\nThese options apply to all " + std::to_string(others_.size() + 1) + " files chosen",
               "\nAceste optiuni se aplica tuturor celor " + std::to_string(others_.size() + 1) + " fisiere alese");
  s += others_problem_;
  s += processing_note();
  if (!acceleration()) s += applied_to(static_cast<int>(r.components.size()), first_component(), components());
  dialog_.set_text(C::summary, s);
}

void ImportDialog::plot() {
  if (!refusal_.empty()) return;
  const std::string name = std::filesystem::path(field(dialog_, C::file)).filename().string();
  const std::string unit = acceleration() ? length_unit() : std::string(context_.cases.general().force_unit.trimmed());
  context_.toolkit.show_plot(record_plot(name, read_.record, unit, acceleration(),
                                         dialog_.selection(C::baseline) == 2));
}

// "Apply factor" goes into the Scale factor field, so that the record read again is the one
// imported and the field says how it was scaled.
void ImportDialog::spectrum() {
  if (!refusal_.empty() || !acceleration()) return;
  const motion::Record& r = read_.record;
  const std::string name = std::filesystem::path(field(dialog_, C::file)).filename().string();
  SpectrumSource source{name, r.time_step, {}, read_metres_};
  source.usable_period = usable_period_;
  // The columns as the case takes them: the first one alone into a single direction.
  const std::vector<int> directions = case_.directions.empty() ? std::vector<int>{1, 2, 3} : case_.directions;
  for (std::size_t c = 0; c < r.components.size() && c < directions.size(); ++c) {
    source.components.push_back(r.components[c]);
    source.names.push_back(component_names[directions[c] - 1]);
  }
  source.applies_to = words("the record's Scale factor (now " + motion::report_number(scale_) + ")",
                            "factorul de scara al inregistrarii (acum " + motion::report_number(scale_) + ")");
  const std::optional<double> factor = run_spectrum_dialog(context_, source);
  if (!factor) return;
  bool bad = false;
  const double scale = typed_number(field(dialog_, C::scale), bad).value_or(1.0);
  char product[32];
  std::snprintf(product, sizeof product, "%.9g", scale * *factor);
  dialog_.set_text(C::scale, product);
  spectrum_factor_ *= *factor;
  read();
}

void ImportDialog::import() {
  if (!refusal_.empty()) {
    context_.message("Nothing to import: " + refusal_, "Nimic de importat: " + refusal_,
                     "Import Message", ui::Icon::error);
    return;
  }
  std::string unused;
  result = ImportedHistory{std::move(read_.record), field(dialog_, C::file), first_component(), spectrum_factor_,
                           options(unused).value_or(motion::ReadOptions{}), scale_, steps_,
                           offers_processing_ ? processing_ : std::nullopt};
  dialog_.close(1);
}

constexpr C callback_controls[] = {C::file,      C::browse,    C::format,        C::unit,
                                   C::first_line, C::time_column, C::value_columns, C::time_step,
                                   C::scale,     C::resample,  C::metres,        C::baseline,
                                   C::component, C::plot,      C::spectrum,      C::import,
                                   C::processing};

}  // namespace

std::optional<ImportedHistory> run_import_dialog(Context& context, ImportKind kind, const ImportPreset* preset,
                                                 const ImportCase* for_case) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  ImportDialog logic(context, *dialog, kind, for_case);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  logic.set_up(preset);
  dialog->run_modal();
  return std::move(logic.result);
}

}  // namespace dialogs::editors
