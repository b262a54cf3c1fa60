// The Suite window's record list: records added through the Import dialog (several files at
// once, read with the options settled on the first), their options changed, removed.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/cases/suite_logic.h"
#include "suite/options.h"

namespace dialogs::cases::detail {

namespace {

namespace fs = std::filesystem;

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

// A record's row: its file, how it is read and how it is processed before it is scaled, in
// the words of `brantel suite --process`.
std::string record_row(const suite::Record& record, bool romanian) {
  std::string row = fs::path(record.files.front()).filename().string() + "  (" + options_text(record.options) + ")";
  if (record.processing) row += (romanian ? "  procesata: " : "  processed: ") + suite::processing_word(*record.processing);
  return row;
}

}  // namespace

// The files chosen together are read with the options settled on the first of them, and
// processed as chosen for it: a raw record is offered processing as it is for a case.
void SuiteDialog::add_records() {
  ui::OpenFileRequest request;
  request.filters = {{"Ground motions (*.AT2, *.V2, *.txt, *.csv, ...)",
                      "*.AT2;*.at2;*.V2;*.v2;*.V2c;*.v2c;*.V1;*.v1;*.txt;*.csv;*.asc;*.ASC;*.EW;*.NS;*.UD"},
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
  preset.offers_processing = true;
  const auto imported = editors::run_import_dialog(context_, editors::ImportKind::acceleration, &preset);
  if (!imported) return;
  const motion::ReadOptions options = reading_options(*imported);
  for (const std::string& file : files) {
    suite::Record record{{file}, options, imported->processing};
    // The first one's own file may have been changed in the dialog.
    if (&file == &files.front()) record.files = {imported->file};
    records_.push_back(std::move(record));
  }
  show_records();
  dialog_.select(C::records, static_cast<int>(records_.size()));
  settings_changed();
}

// The record's processing is the choice the dialog starts from: its own, or none (as read).
void SuiteDialog::change_options() {
  const int k = dialog_.selection(C::records);
  if (k < 1 || k > static_cast<int>(records_.size())) {
    message("Select a record in the list first.", "Selectati intai o inregistrare din lista.", ui::Icon::information);
    return;
  }
  suite::Record& record = records_[k - 1];
  editors::ImportPreset preset{record.files.front(), record.options};
  preset.offers_processing = true;
  preset.processing = record.processing;
  preset.processing_chosen = true;
  const auto imported = editors::run_import_dialog(context_, editors::ImportKind::acceleration, &preset);
  if (!imported) return;
  record.files = {imported->file};
  record.options = reading_options(*imported);
  record.processing = imported->processing;
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

void SuiteDialog::show_records() {
  dialog_.set_item_count(C::records, static_cast<int>(records_.size()));
  for (std::size_t i = 0; i < records_.size(); ++i)
    dialog_.set_text(C::records, record_row(records_[i], ro()), static_cast<int>(i) + 1);
  const bool any = !records_.empty();
  dialog_.set_enabled(C::options, any);
  dialog_.set_enabled(C::remove, any);
  dialog_.set_enabled(C::show, any);
  dialog_.set_enabled(C::write, any);
  dialog_.set_enabled(C::save, any);
}

}  // namespace dialogs::cases::detail
