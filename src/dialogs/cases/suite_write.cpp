// The Suite window's "Write loading files": every record analysed again and its file written
// under one progress bar, then the tables (and a code's verdicts) beside them, and what was
// written told.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/cases/suite_logic.h"
#include "suite/compliance_report.h"

namespace dialogs::cases::detail {

namespace {

namespace fs = std::filesystem;

// The tables a suite writes beside its loading files, a code's verdicts among them.
std::vector<std::string> table_names(const suite::Settings& s) {
  std::vector<std::string> names{suite::suite_table, suite::spectra_table, suite::spectra_picture};
  if (s.code) names.insert(names.end(), {suite::compliance_text_file, suite::compliance_json_file});
  return names;
}

struct Tables {
  std::vector<std::string> written, not_written;
  std::string why;  // what the suite said of those not written
};

// The tables name what was written; with nothing written there is nothing to name. The
// verdicts are for the engineer who reads the messages: in their language.
Tables write_tables(suite::Suite& suite, std::size_t written, bool romanian) {
  Tables t;
  if (written == 0) {
    t.not_written = table_names(suite.settings());
    return t;
  }
  std::ostringstream out, err;
  suite.write_tables(out, err, &t.not_written);
  if (romanian && std::find(t.not_written.begin(), t.not_written.end(), suite::compliance_text_file) == t.not_written.end())
    suite.write_compliance(err, true, &t.not_written);
  for (const std::string& name : table_names(suite.settings()))
    if (std::find(t.not_written.begin(), t.not_written.end(), name) == t.not_written.end()) t.written.push_back(name);
  t.why = err.str().empty() ? out.str() : err.str();
  while (!t.why.empty() && t.why.back() == '\n') t.why.pop_back();
  return t;
}

std::string listed(const std::vector<std::string>& names, const char* and_word) {
  std::string text;
  for (std::size_t k = 0; k < names.size(); ++k)
    text += (k == 0 ? "" : k + 1 == names.size() ? std::string(" ") + and_word + " " : ", ") + names[k];
  return text;
}

}  // namespace

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
                         message_title(), ui::Icon::warning, ui::Buttons::yes_no_default_no) != ui::Answer::yes)
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
  tell_written(*s, *suite, done);
  if (done >= n) shown_ = std::move(suite);
  show_chart_and_factors();
}

void SuiteDialog::tell_written(const suite::Settings& s, suite::Suite& suite, int done) {
  const int n = static_cast<int>(suite.size());
  std::size_t written = 0;
  std::string problems;
  for (int k = 0; k < std::max(0, done - n); ++k) {
    const suite::RecordResult& r = suite.result(static_cast<std::size_t>(k));
    if (r.error.empty()) ++written;
    else problems += "\n" + r.stem + ": " + r.error;
  }
  const Tables tables = write_tables(suite, written, ro());
  std::string english_tables = tables.written.empty() ? "" : ", with " + listed(tables.written, "and");
  std::string romanian_tables = tables.written.empty() ? "" : ", cu " + listed(tables.written, "si");
  if (written > 0 && !tables.not_written.empty()) {
    const std::string why = tables.why.empty() ? "" : " (" + tables.why + ")";
    english_tables += "; not written: " + listed(tables.not_written, "and") + why;
    romanian_tables += "; nescrise: " + listed(tables.not_written, "si") + why;
  }
  // The verdicts come with the files they are written beside.
  const suite::Compliance* verdicts = written > 0 && suite.compliance() ? &*suite.compliance() : nullptr;
  const std::string verdict_line =
      verdicts ? "\n" + std::string(suite::code_title(verdicts->code)) + ": " + suite::compliance_summary(*verdicts, ro()) : "";
  const std::string count = std::to_string(written) + " of " + std::to_string(n);
  const std::string ro_count = std::to_string(written) + " din " + std::to_string(n);
  const bool told = problems.empty() && tables.not_written.empty() && (!verdicts || verdicts->holds());
  if (done < 2 * n)
    message("Cancelled: " + count + " loading files written in " + s.out_dir + english_tables +
                "; each of them is complete." + problems + verdict_line,
            "Anulat: " + ro_count + " fisiere de incarcare scrise in " + s.out_dir + romanian_tables +
                "; fiecare este complet." + problems + verdict_line,
            ui::Icon::warning);
  else
    message(count + " loading files written in " + s.out_dir + english_tables + "." + problems + verdict_line,
            ro_count + " fisiere de incarcare scrise in " + s.out_dir + romanian_tables + "." + problems + verdict_line,
            told ? ui::Icon::information : ui::Icon::warning);
  dialog_.set_text(C::status, ro() ? (done < 2 * n ? "Anulat: " : "") + ro_count + " fisiere de incarcare scrise in " + s.out_dir
                                   : (done < 2 * n ? "Cancelled: " : "") + count + " loading files written in " + s.out_dir);
}

}  // namespace dialogs::cases::detail
