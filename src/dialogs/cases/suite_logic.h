// The Suite window's logic, a concern a file beside suite_dialog.cpp: the record list
// (suite_records.cpp), the design code and its verdicts (suite_code.cpp), the study file
// (suite_study.cpp) and the writing of the loading files (suite_write.cpp).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "dialogs/editors/import_dialog.h"
#include "model/analysis.h"
#include "suite/suite.h"
#include "ui/templates/suite_window.h"

namespace dialogs::cases::detail {

using C = ui::templates::SuiteWindow;

std::string number_text(double value, int digits = 6);
// The shortest text that reads back as `value`: what a study file gave, as it was typed.
std::string exact_text(double value);
std::string field(const ui::Dialog& d, C control);
std::optional<double> typed_number(const std::string& text);

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
  // The title of the window's messages.
  static const char* message_title();
  void message(const std::string& english, const std::string& romanian, ui::Icon icon) {
    context_.message(english, romanian, message_title(), icon);
  }
  void add_records();
  void change_options();
  void remove_record();
  void choose_target();
  void settings_changed();
  void show_spectra();
  void browse_folder();
  void write_files();
  // The tables written, then the message and the status line: `done` steps of 2 n were taken.
  void tell_written(const suite::Settings& s, suite::Suite& suite, int done);
  void save_settings();
  void open_settings();
  // The fields as a study file gives them (its records are taken apart).
  void show_study(const suite::Settings& s);
  void show_rule(suite::Rule rule);
  // The reading options of a record as the Import dialog gave them, without the factor of its
  // Spectrum window: the suite scales each record by its own rule.
  motion::ReadOptions reading_options(const editors::ImportedHistory& imported);
  // The record files, which no file of the window replaces.
  std::vector<std::string> record_files() const;
  void show_records();
  void show_chart_and_factors();

  // The design code chosen; none for a suite scaled by the range and rule typed.
  std::optional<suite::Code> chosen_code() const;
  // The range and rule fields follow the code chosen and its periods.
  void code_changed();
  void show_code(const suite::Settings& s);
  void show_verdicts();
  // The code and the structure's periods into `s`, or the range and the rule without a code;
  // false when a field is wrong (said).
  bool code_settings(suite::Settings& s);
  bool range_settings(suite::Settings& s);

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

}  // namespace dialogs::cases::detail
