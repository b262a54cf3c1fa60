// The Suite window's study file: its settings kept as `brantel suite --from` reads them, with
// the analysis beside it as the template, and taken back from one.
#include <filesystem>
#include <string>

#include "dialogs/cases/suite_logic.h"
#include "dialogs/unsaved_entries.h"
#include "dialogs/write_box.h"
#include "loadfile/writer.h"
#include "model/case_files/atomic_file.h"
#include "suite/suite_file.h"
#include "ui/platform.h"

namespace dialogs::cases::detail {

namespace {

namespace fs = std::filesystem;

loadfile::Timestamp now() {
  const ui::LocalTime t = ui::local_time();
  return {t.day, t.month, t.year, t.hour, t.minute, t.second};
}

}  // namespace

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
  if (!may_write(context_, {json.string(), template_path.string()}, record_files(), message_title())) return;
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

// A study file gives the records (with their processing), the spectrum, the code, the range,
// the rule and the folder; the template and the case stay this window's: the analysis entered
// here.
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
  // The window keeps the processing with each record: the suite's goes to those without their own.
  for (suite::Record& r : records_)
    if (!r.processing) r.processing = s.processing;
  show_study(s);
  show_records();
  settings_changed();
  unsaved_ = false;
  dialog_.set_text(C::status, (ro() ? "Setari deschise din " : "Settings opened from ") + path);
}

}  // namespace dialogs::cases::detail
