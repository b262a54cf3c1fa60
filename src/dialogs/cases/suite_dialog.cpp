#include "dialogs/cases/suite_dialog.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/dialog_initializer.h"
#include "dialogs/editors/import_dialog.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/write_box.h"
#include "loadfile/writer.h"
#include "model/case_files/atomic_file.h"
#include "suite/options.h"
#include "suite/suite.h"
#include "suite/suite_file.h"
#include "text/fixed_text.h"
#include "ui/platform.h"
#include "ui/templates/suite_window.h"

namespace dialogs::cases {

namespace {

namespace fs = std::filesystem;
using C = ui::templates::SuiteWindow;

constexpr const char* title = "Suite Message";
// The design spectra the window offers, as `brantel spectrum --target` names them, and the
// parameters each starts with.
constexpr const char* target_kinds[] = {"ec8", "asce7", "csv"};
constexpr const char* target_defaults[] = {"type=1,ground=B,ag=0.25g", "sds=1.0,sd1=0.6,tl=8", ""};
constexpr suite::Rule rules[] = {suite::Rule::fit, suite::Rule::min90, suite::Rule::suite90, suite::Rule::match};

std::string number_text(double value, int digits = 6) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return buffer;
}

std::string field(const ui::Dialog& d, C control) { return std::string(text::trim(d.text(control))); }

std::optional<double> typed_number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

// What a record's reading options say, for its row in the list.
std::string options_text(const motion::ReadOptions& o) {
  std::string s;
  auto add = [&s](const std::string& part) { s += (s.empty() ? "" : ", ") + part; };
  if (o.format != motion::Format::automatic) add(std::string(motion::format_name(o.format)));
  if (o.file_unit) add(std::string(motion::unit_name(*o.file_unit)));
  if (o.time_step) add("dt " + number_text(*o.time_step) + " s");
  if (o.resample_step) add("resampled " + number_text(*o.resample_step) + " s");
  if (o.scale != 1.0) add("x " + number_text(o.scale));
  if (o.first_line) add("from line " + std::to_string(o.first_line));
  return s.empty() ? "as found in the file" : s;
}

loadfile::Timestamp now() {
  const ui::LocalTime t = ui::local_time();
  return {t.day, t.month, t.year, t.hour, t.minute, t.second};
}

// A record's problem named by its file's name alone: the row is narrow, the folder known.
std::string without_folder(const std::string& problem, const suite::Record& record) {
  for (const std::string& file : record.files)
    if (problem.starts_with(file)) return fs::path(file).filename().string() + problem.substr(file.size());
  return problem;
}

class SuiteDialog {
 public:
  SuiteDialog(Context& context, ui::Dialog& dialog, int case_number)
      : context_(context), dialog_(dialog), case_number_(case_number) {}

  void set_up();
  void on_control(C control);
  // Records or settings that no study file keeps yet.
  bool holds_unsaved() const { return unsaved_; }

 private:
  bool ro() const { return model::romanian_messages(context_.state); }
  void message(const std::string& english, const std::string& romanian, ui::Icon icon) {
    context_.message(english, romanian, title, icon);
  }
  void add_records();
  void change_options();
  void remove_record();
  void choose_target();
  void settings_changed();
  void show_spectra();
  void browse_folder();
  void write_files();
  void save_settings();
  void open_settings();
  // The reading options of a record as the Import dialog gave them, without the factor of its
  // Spectrum window: the suite scales each record by its own rule.
  motion::ReadOptions reading_options(const editors::ImportedHistory& imported);
  // The record files, which no file of the window replaces.
  std::vector<std::string> record_files() const;
  void show_records();
  void show_chart_and_factors();

  // The analysis as Create would write it.
  model::Analysis analysis_as_created();
  // The settings the fields give, with the analysis as template; nothing when a field is wrong
  // (said). `target_text` receives the design spectrum as text.
  std::optional<suite::Settings> settings(std::string& target_text);
  std::unique_ptr<suite::Suite> open_suite(const suite::Settings& s);
  // Analyses every record under a progress bar and finds the factors; false when cancelled or
  // when the factors cannot be found (said).
  bool analyse(suite::Suite& suite, const std::string& progress_title);

  Context& context_;
  ui::Dialog& dialog_;
  int case_number_;
  std::vector<suite::Record> records_;
  std::unique_ptr<suite::Suite> shown_;  // the spectra in the chart, while the settings stand
  bool unsaved_ = false;
};

void SuiteDialog::set_up() {
  dialog_.select(C::target, 1);
  dialog_.set_text(C::parameters, target_defaults[0]);
  dialog_.set_text(C::from, "0.2");
  dialog_.set_text(C::to, "2");
  dialog_.select(C::rule, 1);
  std::error_code error;
  dialog_.set_text(C::folder, (fs::current_path(error) / "suite").string());
  dialog_.set_text(C::status, (ro() ? "Fiecare inregistrare da un fisier FOLDER/<inregistrare>.inc: analiza cu accelerograma cazului "
                                    : "Each record gives a file FOLDER/<record>.inc: the analysis with the accelerogram of case ") +
                                   std::to_string(case_number_) + (ro() ? " inlocuita." : " replaced."));
  show_records();
  show_chart_and_factors();
}

void SuiteDialog::on_control(C control) {
  switch (control) {
    case C::add: return add_records();
    case C::options: return change_options();
    case C::remove: return remove_record();
    case C::target: return choose_target();
    case C::parameters:
    case C::from:
    case C::to:
    case C::rule: return settings_changed();
    case C::show: return show_spectra();
    case C::browse: return browse_folder();
    case C::write: return write_files();
    case C::save: return save_settings();
    case C::open: return open_settings();
    default: return;
  }
}

// The files chosen together are read with the options settled on the first of them.
void SuiteDialog::add_records() {
  ui::OpenFileRequest request;
  request.filters = {{"Ground motions (*.AT2, *.V2, *.txt, *.csv, ...)",
                      "*.AT2;*.at2;*.V2;*.v2;*.V2c;*.v2c;*.txt;*.csv;*.asc;*.ASC;*.EW;*.NS;*.UD"},
                     {"All files (*)", "*"}};
  request.title = "Add Records";
  std::error_code error;
  const fs::path here = fs::current_path(error);
  request.initial_folder = here.string();
  std::vector<std::string> files;
  const bool confirmed = context_.toolkit.open_files_box(request, files);
  if (!error) fs::current_path(here, error);
  if (!confirmed || files.empty()) return;
  editors::ImportPreset preset{files.front(), records_.empty() ? motion::ReadOptions{} : records_.back().options};
  preset.others.assign(files.begin() + 1, files.end());
  const auto imported = editors::run_import_dialog(context_, editors::ImportKind::acceleration, &preset);
  if (!imported) return;
  const motion::ReadOptions options = reading_options(*imported);
  for (const std::string& file : files) {
    suite::Record record{{file}, options};
    // The first one's own file may have been changed in the dialog.
    if (&file == &files.front()) record.files = {imported->file};
    records_.push_back(std::move(record));
  }
  show_records();
  dialog_.select(C::records, static_cast<int>(records_.size()));
  settings_changed();
}

void SuiteDialog::change_options() {
  const int k = dialog_.selection(C::records);
  if (k < 1 || k > static_cast<int>(records_.size())) {
    message("Select a record in the list first.", "Selectati intai o inregistrare din lista.", ui::Icon::information);
    return;
  }
  suite::Record& record = records_[k - 1];
  editors::ImportPreset preset{record.files.front(), record.options};
  const auto imported = editors::run_import_dialog(context_, editors::ImportKind::acceleration, &preset);
  if (!imported) return;
  record.files = {imported->file};
  record.options = reading_options(*imported);
  show_records();
  dialog_.select(C::records, k);
  settings_changed();
}

void SuiteDialog::remove_record() {
  const int k = dialog_.selection(C::records);
  if (k < 1 || k > static_cast<int>(records_.size())) return;
  records_.erase(records_.begin() + (k - 1));
  show_records();
  dialog_.select(C::records, std::min(k, static_cast<int>(records_.size())));
  settings_changed();
}

void SuiteDialog::choose_target() {
  const int kind = dialog_.selection(C::target);
  if (kind >= 1 && kind <= static_cast<int>(std::size(target_defaults)))
    dialog_.set_text(C::parameters, target_defaults[kind - 1]);
  settings_changed();
}

motion::ReadOptions SuiteDialog::reading_options(const editors::ImportedHistory& imported) {
  motion::ReadOptions options = imported.options;
  if (imported.spectrum_factor == 1.0) return options;
  // The Scale factor field holds the factor typed times the one applied, at nine digits.
  options.scale = std::strtod(number_text(options.scale / imported.spectrum_factor, 9).c_str(), nullptr);
  const std::string factor = number_text(imported.spectrum_factor, 9);
  message("The factor applied in the Spectrum window (x " + factor +
              ") is not kept: the suite scales each record by its rule.",
          "Factorul aplicat in fereastra Spectrum (x " + factor +
              ") nu se pastreaza: suita scaleaza fiecare inregistrare dupa regula ei.",
          ui::Icon::information);
  return options;
}

std::vector<std::string> SuiteDialog::record_files() const {
  std::vector<std::string> files;
  for (const suite::Record& r : records_) files.insert(files.end(), r.files.begin(), r.files.end());
  return files;
}

// The spectra shown belong to the settings they were computed with.
void SuiteDialog::settings_changed() {
  unsaved_ = true;
  shown_.reset();
  show_chart_and_factors();
}

void SuiteDialog::show_records() {
  dialog_.set_item_count(C::records, static_cast<int>(records_.size()));
  for (std::size_t i = 0; i < records_.size(); ++i)
    dialog_.set_text(C::records, fs::path(records_[i].files.front()).filename().string() + "  (" +
                                     options_text(records_[i].options) + ")",
                     static_cast<int>(i) + 1);
  const bool any = !records_.empty();
  dialog_.set_enabled(C::options, any);
  dialog_.set_enabled(C::remove, any);
  dialog_.set_enabled(C::show, any);
  dialog_.set_enabled(C::write, any);
  dialog_.set_enabled(C::save, any);
}

model::Analysis SuiteDialog::analysis_as_created() {
  model::ProgramState copy = context_.state;
  const int n = copy.general.n_loading_cases;
  copy.written_case_records.assign(n, {});
  for (int k = 1; k <= n && copy.case_records.contains(k); ++k) copy.written_case_records[k] = copy.case_records[k];
  return context_.cases.analysis(copy);
}

std::optional<suite::Settings> SuiteDialog::settings(std::string& target_text) {
  suite::Settings s;
  if (records_.empty()) {
    message("Add the records first.", "Adaugati intai inregistrarile.", ui::Icon::information);
    return std::nullopt;
  }
  const int kind = std::clamp(dialog_.selection(C::target), 1, static_cast<int>(std::size(target_kinds)));
  target_text = std::string(target_kinds[kind - 1]) + ":" + field(dialog_, C::parameters);
  s.target_text = target_text;
  if (const std::string why = suite::parse_target(target_text, s.target); !why.empty()) {
    message("Design spectrum: " + why + ".", "Spectrul de proiectare: " + why + ".", ui::Icon::error);
    return std::nullopt;
  }
  const auto from = typed_number(field(dialog_, C::from)), to = typed_number(field(dialog_, C::to));
  if (!from || !to || !(*from > 0) || !(*to > *from)) {
    message("Periods: two positive numbers of seconds, the second the larger.",
            "Perioade: doua numere pozitive de secunde, al doilea mai mare.", ui::Icon::error);
    return std::nullopt;
  }
  s.scale_range = std::pair{*from, *to};
  s.rule = rules[std::clamp(dialog_.selection(C::rule), 1, static_cast<int>(std::size(rules))) - 1];
  s.analysis = std::make_shared<const model::Analysis>(analysis_as_created());
  s.romanian = ro();
  const std::string loading_file(context_.state.loading_file.trimmed());
  s.template_path = loading_file.empty() ? "the analysis" : loading_file;
  if (!loading_file.empty()) s.protected_files.push_back(loading_file);
  const std::string geometry(context_.state.general.geometry_file.trimmed());
  if (!geometry.empty()) s.geometry = geometry;
  s.case_number = case_number_;
  s.records = records_;
  // The files name themselves in their end records as Create names a file: by its full path.
  std::error_code error;
  s.out_dir = field(dialog_, C::folder);
  if (!s.out_dir.empty()) s.out_dir = fs::absolute(s.out_dir, error).lexically_normal().string();
  while (s.out_dir.size() > 1 && s.out_dir.back() == '/') s.out_dir.pop_back();
  s.jobs = 1;
  return s;
}

std::unique_ptr<suite::Suite> SuiteDialog::open_suite(const suite::Settings& s) {
  std::ostringstream err;
  std::unique_ptr<suite::Suite> suite = suite::Suite::open(s, err);
  if (!suite) {
    std::string why = err.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    message(why, why, ui::Icon::error);
  }
  return suite;
}

bool SuiteDialog::analyse(suite::Suite& suite, const std::string& progress_title) {
  const int n = static_cast<int>(suite.size());
  const int done = context_.toolkit.run_steps({progress_title, ro() ? "Spectrele inregistrarilor..." : "The spectra of the records...", n},
                                              [&suite, n](int k) {
                                                suite.analyse(static_cast<std::size_t>(k));
                                                return "Record " + std::to_string(k + 1) + " of " + std::to_string(n) +
                                                       ": " + suite.result(static_cast<std::size_t>(k)).stem;
                                              });
  if (done < n) return false;
  std::string why;
  if (!suite.find_factors(why)) {
    message("No loading file can be made: " + why + ".", "Nu se poate face niciun fisier de incarcare: " + why + ".",
            ui::Icon::error);
    return false;
  }
  return true;
}

void SuiteDialog::show_spectra() {
  std::string target_text;
  const std::optional<suite::Settings> s = settings(target_text);
  if (!s) return;
  std::unique_ptr<suite::Suite> suite = open_suite(*s);
  if (!suite) return;
  if (!analyse(*suite, "Spectra")) return;
  shown_ = std::move(suite);
  show_chart_and_factors();
}

// PSA in g: the scaled records, their mean and the target, the range shaded; a row a record.
void SuiteDialog::show_chart_and_factors() {
  ui::ChartContent chart;
  chart.x_title = "Period (s)";
  chart.y_title = "PSA (g)";
  chart.log_x = true;
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  std::vector<std::string> rows;
  if (shown_) {
    // The chart is the picture that goes beside the loading files, in its unit.
    const ui::SpectraPicture p = shown_->picture(false);
    chart.y_title = p.y_title;
    auto series = [&](const std::string& name, const std::vector<double>& values) {
      chart.series.push_back(ui::PlotSeries{name, p.periods, values});
    };
    for (const auto& curve : p.records) series(curve.name, curve.values);
    if (p.mean) series("mean", p.mean->values);
    if (!p.target.empty()) {
      ui::PlotSeries s{"target", {}, {}};
      for (std::size_t k = 0; k < p.periods.size(); ++k)
        if (p.target[k]) s.x.push_back(p.periods[k]), s.y.push_back(*p.target[k]);
      chart.series.push_back(std::move(s));
    }
    if (p.range) {
      chart.has_band = true;
      chart.band_from = p.range->first;
      chart.band_to = p.range->second;
    }
    for (std::size_t i = 0; i < shown_->size(); ++i) {
      const suite::RecordResult& r = shown_->result(i);
      if (!r.error.empty()) {
        rows.push_back(r.stem + " | not usable: " + without_folder(r.error, shown_->settings().records[i]));
        continue;
      }
      std::string row = r.stem + " | " + number_text(r.factor, 9) + " | " + std::to_string(r.points) + " x " +
                        number_text(r.time_step) + " s | " + number_text(r.pga * r.factor / g, 4) + " g";
      for (const std::string& warning : r.warnings) row += " | warning: " + without_folder(warning, shown_->settings().records[i]);
      rows.push_back(std::move(row));
    }
  }
  dialog_.set_chart(ui::id(C::chart), chart);
  dialog_.set_text(C::factors_heading, shown_ ? "Record | factor | points x time step | scaled PGA"
                                              : "Record | factor: press \"Show spectra\"");
  dialog_.set_item_count(C::factors, static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) dialog_.set_text(C::factors, rows[i], static_cast<int>(i) + 1);
}

void SuiteDialog::browse_folder() {
  std::string chosen;
  if (context_.toolkit.choose_folder("Folder of the Loading Files", field(dialog_, C::folder), chosen))
    dialog_.set_text(C::folder, chosen);
}

// Every record is analysed again with the analysis as it stands now, then its file written:
// one bar, a step a record and then a step a file, each whole, so that a cancel leaves only
// complete files.
void SuiteDialog::write_files() {
  std::string target_text;
  std::optional<suite::Settings> s = settings(target_text);
  if (!s) return;
  if (s->out_dir.empty()) {
    message("Name the folder of the loading files.", "Numiti folderul fisierelor de incarcare.", ui::Icon::information);
    return;
  }
  std::unique_ptr<suite::Suite> suite = open_suite(*s);
  if (!suite) return;
  if (const std::string clash = suite->output_clash(); !clash.empty()) {
    message("Nothing written: " + clash + ".", "Nu s-a scris nimic: " + clash + ".", ui::Icon::error);
    return;
  }
  if (const std::vector<std::string> in_the_way = suite->files_in_the_way(); !in_the_way.empty()) {
    std::string list;
    for (const std::string& path : in_the_way) list += "\n" + fs::path(path).filename().string();
    if (context_.message("No suite wrote these files in " + s->out_dir + ", and writing would replace them:" + list +
                             "\nReplace them?",
                         "Aceste fisiere din " + s->out_dir + " nu au fost scrise de o suita, iar scrierea le-ar inlocui:" +
                             list + "\nLe inlocuiti?",
                         title, ui::Icon::warning, ui::Buttons::yes_no_default_no) != ui::Answer::yes)
      return;
    suite->allow_overwrite();
  }
  std::error_code error;
  fs::create_directories(s->out_dir, error);
  if (!fs::is_directory(s->out_dir, error)) {
    message("The folder \"" + s->out_dir + "\" cannot be made.", "Folderul \"" + s->out_dir + "\" nu poate fi creat.",
            ui::Icon::error);
    return;
  }
  shown_ = nullptr;
  const int n = static_cast<int>(suite->size());
  std::string no_factors;
  const int done = context_.toolkit.run_steps(
      {"Loading Files", ro() ? "Spectrele inregistrarilor..." : "The spectra of the records...", 2 * n},
      [&](int k) {
        const auto i = static_cast<std::size_t>(k % n);
        const suite::RecordResult& r = suite->result(i);
        if (k < n) {
          suite->analyse(i);
          if (k == n - 1) suite->find_factors(no_factors);
          return "Spectrum " + std::to_string(k + 1) + " of " + std::to_string(n) + ": " + r.stem;
        }
        if (no_factors.empty()) suite->write(i);
        return "File " + std::to_string(k - n + 1) + " of " + std::to_string(n) + ": " + r.stem +
               (r.written.empty() ? " not written" : " written");
      });
  if (!no_factors.empty()) {
    message("No loading file can be made: " + no_factors + ".",
            "Nu se poate face niciun fisier de incarcare: " + no_factors + ".", ui::Icon::error);
    return;
  }
  const int files_done = std::max(0, done - n);
  std::size_t written = 0;
  std::string problems;
  for (int k = 0; k < files_done; ++k) {
    const suite::RecordResult& r = suite->result(static_cast<std::size_t>(k));
    if (r.error.empty()) ++written;
    else problems += "\n" + r.stem + ": " + r.error;
  }
  // The tables name what was written; with nothing written there is nothing to name.
  std::ostringstream out, err;
  std::vector<std::string> not_written{suite::suite_table, suite::spectra_table, suite::spectra_picture};
  if (written > 0) {
    not_written.clear();
    suite->write_tables(out, err, &not_written);
  }
  std::vector<std::string> tables;
  for (const char* table : {suite::suite_table, suite::spectra_table, suite::spectra_picture})
    if (std::find(not_written.begin(), not_written.end(), table) == not_written.end()) tables.emplace_back(table);
  auto listed = [](const std::vector<std::string>& names, const char* and_word) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k)
      text += (k == 0 ? "" : k + 1 == names.size() ? std::string(" ") + and_word + " " : ", ") + names[k];
    return text;
  };
  std::string english_tables = tables.empty() ? "" : ", with " + listed(tables, "and");
  std::string romanian_tables = tables.empty() ? "" : ", cu " + listed(tables, "si");
  if (written > 0 && !not_written.empty()) {
    std::string why = err.str().empty() ? out.str() : err.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    english_tables += "; not written: " + listed(not_written, "and") + (why.empty() ? "" : " (" + why + ")");
    romanian_tables += "; nescrise: " + listed(not_written, "si") + (why.empty() ? "" : " (" + why + ")");
  }
  const std::string count = std::to_string(written) + " of " + std::to_string(n);
  const std::string ro_count = std::to_string(written) + " din " + std::to_string(n);
  const std::string where = s->out_dir;
  const bool told = problems.empty() && not_written.empty();
  if (done < 2 * n)
    message("Cancelled: " + count + " loading files written in " + where + english_tables + "; each of them is complete." +
                problems,
            "Anulat: " + ro_count + " fisiere de incarcare scrise in " + where + romanian_tables +
                "; fiecare este complet." + problems,
            ui::Icon::warning);
  else
    message(count + " loading files written in " + where + english_tables + "." + problems,
            ro_count + " fisiere de incarcare scrise in " + where + romanian_tables + "." + problems,
            told ? ui::Icon::information : ui::Icon::warning);
  if (done >= n) shown_ = std::move(suite);
  show_chart_and_factors();
  dialog_.set_text(C::status, (done < 2 * n ? "Cancelled: " : "") + count + " loading files written in " + where);
}

// The analysis goes beside the study file as its template, so that the study runs again
// without the dialogs.
void SuiteDialog::save_settings() {
  std::string target_text;
  std::optional<suite::Settings> s = settings(target_text);
  if (!s) return;
  ui::OpenFileRequest request;
  request.filters = {{"Suite study files (*.json)", "*.json"}, {"All files (*)", "*"}};
  request.title = "Save the Suite Settings";
  request.default_extension = "json";
  std::error_code error;
  const fs::path here = fs::current_path(error);
  request.initial_folder = here.string();
  std::string path = "suite.json";
  const bool confirmed = context_.toolkit.save_file_box(request, path);
  if (!error) fs::current_path(here, error);
  if (!confirmed) return;
  const fs::path json(path);
  const fs::path template_path = json.parent_path() / (json.stem().string() + "-template.inc");
  if (!may_write(context_, {json.string(), template_path.string()}, record_files(), title)) return;
  s->template_path = template_path.string();
  s->analysis.reset();
  // The template is written as Create writes a loading file, so that it names itself.
  std::string why;
  const std::string template_text =
      loadfile::write(analysis_as_created(), {now(), template_path.string(), model::romanian_messages(context_.state)});
  const bool template_written = model::case_files::replace_file(template_path.string(), template_text, why);
  if (!template_written) why = template_path.string() + " cannot be written (" + why + ")";
  if (!template_written || !model::case_files::replace_file(path, suite::suite_file_text(*s, target_text, path), why)) {
    message("The settings could not be saved: " + why, "Setarile nu au putut fi salvate: " + why, ui::Icon::error);
    return;
  }
  unsaved_ = false;
  message("Settings saved in " + path + ", the analysis beside it in " + template_path.filename().string() +
              ".\n'brantel suite --from " + path + "' writes the loading files again.",
          "Setarile au fost salvate in " + path + ", analiza alaturi in " + template_path.filename().string() +
              ".\n'brantel suite --from " + path + "' scrie din nou fisierele de incarcare.",
          ui::Icon::information);
}

// A study file gives the records, the spectrum, the rule and the folder; the template and
// the case stay this window's: the analysis entered here.
void SuiteDialog::open_settings() {
  if (unsaved_ && !user_discards_entries(context_)) return;
  ui::OpenFileRequest request;
  request.filters = {{"Suite study files (*.json)", "*.json"}, {"All files (*)", "*"}};
  request.title = "Open Suite Settings";
  request.default_extension = "json";
  std::error_code error;
  const fs::path here = fs::current_path(error);
  request.initial_folder = here.string();
  std::string path;
  const bool confirmed = context_.toolkit.open_file_box(request, path);
  if (!error) fs::current_path(here, error);
  if (!confirmed) return;
  suite::Settings s;
  std::string why;
  if (!suite::read_suite_file(path, s, why)) {
    message("The settings could not be opened: " + why, "Setarile nu au putut fi deschise: " + why, ui::Icon::error);
    return;
  }
  records_ = s.records;
  const std::size_t colon = s.target_text.find(':');
  const std::string kind = s.target_text.substr(0, colon == std::string::npos ? 0 : colon);
  for (std::size_t k = 0; k < std::size(target_kinds); ++k)
    if (kind == target_kinds[k]) {
      dialog_.select(C::target, static_cast<int>(k) + 1);
      dialog_.set_text(C::parameters, s.target_text.substr(colon + 1));
    }
  if (s.scale_range) {
    dialog_.set_text(C::from, number_text(s.scale_range->first, 17));
    dialog_.set_text(C::to, number_text(s.scale_range->second, 17));
  }
  for (std::size_t k = 0; k < std::size(rules); ++k)
    if (s.rule == rules[k]) dialog_.select(C::rule, static_cast<int>(k) + 1);
  dialog_.set_text(C::folder, s.out_dir);
  show_records();
  settings_changed();
  unsaved_ = false;
  dialog_.set_text(C::status, (ro() ? "Setari deschise din " : "Settings opened from ") + path);
}

constexpr C callback_controls[] = {C::add, C::options, C::remove, C::target, C::parameters, C::from, C::to,
                                   C::rule, C::show, C::browse, C::write, C::save, C::open};

}  // namespace

void run_suite_dialog(Context& context, int case_number) {
  auto dialog = context.toolkit.create_dialog(dialog_of(C{}));
  SuiteDialog logic(context, *dialog, case_number);
  for (C control : callback_controls)
    dialog->on(control, [&logic](ui::Dialog&, ui::ControlId c) { logic.on_control(static_cast<C>(c)); });
  register_common_initializer(context, *dialog, dialog_of(C{}));
  ask_before_discarding(context, *dialog, [&logic] { return logic.holds_unsaved(); });
  logic.set_up();
  dialog->run_modal();
}

}  // namespace dialogs::cases
