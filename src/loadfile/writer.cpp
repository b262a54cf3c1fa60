#include "loadfile/writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "loadfile/records.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/case_file_copier.h"
#include "model/case_files/scratch_files.h"
#include "text/fixed_text.h"

namespace loadfile {

using case_files::AtomicFile;
using case_files::OutputStatus;
using Section = case_files::CopiedSection;
using ScratchCopier = case_files::CaseFileCopier;

namespace {

using cases::ScratchKind;

// What the "Create Message" tells besides the outcome.
struct CaseNotes {
  std::vector<int> incomplete;
  std::vector<int> without_initial_values;
  std::vector<int> without_loading_data;
};

struct Failure {
  OutputStatus status = OutputStatus::ok;
  std::string scratch_file;  // set when a scratch file could not be read
  int error = 0;
  text::FileKind kind = text::FileKind::regular;  // what the target names (not_regular)
};

app::CaseRecord written_case(const app::ProgramState& s, int case_number) {
  return s.written_case_records.contains(case_number) ? s.written_case_records[case_number]
                                                      : app::CaseRecord{};
}

// The pieces of one file write, so that each step can stop at the first failure.
class LoadingFileWriter {
 public:
  LoadingFileWriter(const app::ProgramState& s, AtomicFile& out) : s_(s), out_(out), copier_(out) {}
  bool write(CaseNotes& notes, Failure& failure);

 private:
  void put(const std::vector<std::string>& records) {
    for (const std::string& record : records) out_.write_record(record);
  }
  bool case_block(int case_number, CaseNotes& notes, Failure& failure);
  bool section(int case_number, ScratchKind kind, Section& outcome, Failure& failure);

  const app::ProgramState& s_;
  AtomicFile& out_;
  ScratchCopier copier_;
};

bool LoadingFileWriter::section(int case_number, ScratchKind kind, Section& outcome, Failure& failure) {
  const std::string name = cases::scratch_file_name(case_number, kind);
  outcome = copier_.copy(cases::scratch_file_path(s_.case_folder, case_number, kind), failure.error);
  if (outcome != Section::unreadable) return true;
  failure.scratch_file = name;
  return false;
}

bool LoadingFileWriter::case_block(int i, CaseNotes& notes, Failure& failure) {
  const app::CaseRecord c = written_case(s_, i);
  const bool romanian = app::romanian_messages(s_);
  if (incomplete_case(c)) notes.incomplete.push_back(i);
  out_.write_record(damping_code_record(s_));
  out_.write_record(tolerance_record(c));
  out_.write_record(case_parameters_record(c));
  Section init = Section::copied, init_load = Section::copied, data = Section::copied;
  if (!section(i, ScratchKind::initial_conditions, init, failure)) return false;
  if (init == Section::empty) {
    out_.write_record(initial_conditions_terminator(romanian));
    if (app::accelerogram(c.loading_type)) out_.write_record(initial_acceleration_record(c));
  }
  put(damping_records(s_));
  if (!section(i, ScratchKind::initial_loading, init_load, failure)) return false;
  if (init_load == Section::empty) out_.write_record(initial_loading_terminator(romanian));
  put(loading_parameter_records(c));
  if (!section(i, cases::loading_data_kind(c.loading_type), data, failure)) return false;
  if (data == Section::empty) out_.write_record(loading_data_terminator(i));
  if (init == Section::empty || init_load == Section::empty) notes.without_initial_values.push_back(i);
  if (data == Section::empty) notes.without_loading_data.push_back(i);
  return true;
}

bool LoadingFileWriter::write(CaseNotes& notes, Failure& failure) {
  put(header_records(s_, header_kind(s_)));
  out_.write_record(operator_record(s_));
  out_.write_record(coefficients_record(s_));
  out_.write_record(case_count_record(s_.n_loading_cases));
  for (int i = 1; i <= s_.n_loading_cases; ++i)
    if (!case_block(i, notes, failure)) return false;
  out_.write_record(end_record(s_));
  out_.write_record(date_record(ui::local_time()));
  failure.status = out_.finish();
  failure.error = out_.error_number();
  return failure.status == OutputStatus::ok;
}

std::string case_list(const std::vector<int>& numbers) {
  std::string list;
  for (int n : numbers) list += (list.empty() ? "" : ", ") + std::to_string(n);
  return list;
}

void add_note(std::string& message, const std::vector<int>& cases, std::string_view english,
              std::string_view romanian, bool in_romanian) {
  if (cases.empty()) return;
  message += '\n';
  message += in_romanian ? romanian : english;
  message += case_list(cases);
}

std::string created_message(const app::ProgramState& s, const std::string& path, const CaseNotes& notes) {
  const bool ro = app::romanian_messages(s);
  // The outcome line is held in a 256-character text, as the end record is.
  std::string message(ro ? "Fisier creat: " : "Created File: ");
  message = std::string(text::trim_right(text::padded(message + path, end_record_length)));
  add_note(message, notes.incomplete,
           "ERROR in Case Codes (tolerance, iterations, time step and end time all 0) in cases: ",
           "EROARE in Codurile cazului (toleranta, iteratii, pas de timp si timp final toate 0) in cazurile: ",
           ro);
  add_note(message, notes.without_initial_values, "No initial values in cases: ",
           "Fara valori initiale in cazurile: ", ro);
  add_note(message, notes.without_loading_data, "No loading data in cases: ",
           "Fara date de incarcare in cazurile: ", ro);
  return message;
}

// The target is only ever replaced whole, by a rename, so a failure always leaves it as it was.
std::string failure_message(const app::ProgramState& s, const std::string& path, const Failure& f) {
  const bool ro = app::romanian_messages(s);
  std::string message;
  if (!f.scratch_file.empty()) {
    message = (ro ? "Eroare de citire a fisierului: " : "Read Error on File: ") + f.scratch_file;
  } else {
    switch (f.status) {
      case OutputStatus::cannot_create:
        message = ro ? "Eroare de creare a fisierului: " : "Create Error on File: ";
        break;
      case OutputStatus::cannot_write:
        message = ro ? "Eroare de scriere a fisierului: " : "Write Error on File: ";
        break;
      case OutputStatus::not_regular:
        message = ro ? "Eroare de creare a fisierului: " : "Create Error on File: ";
        break;
      default:
        message = ro ? "Eroare de inchidere a fisierului: " : "Close Error on File: ";
        break;
    }
    message += path;
  }
  if (f.status == OutputStatus::not_regular)
    message += std::string(ro ? " (numele este " : " (the name is ") +
               std::string(text::kind_words(f.kind, ro)) + (ro ? ", nu un fisier obisnuit)" : ", not a regular file)");
  else
    message += " (" + std::string(std::strerror(f.error)) + ")";
  message += ro ? "\nFisierul " + path + " nu a fost modificat."
                  : "\nThe file " + path + " was not changed.";
  return message;
}

bool has_control_character(std::string_view path) {
  return std::any_of(path.begin(), path.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

}  // namespace

bool write_loading_file(Session& context) {
  const app::ProgramState& s = context.state;
  const std::string path = path_text(s.loading_file.view());
  // Both paths stand in records of their own; a line feed in one would split its record and
  // the solver would read the rest of the path as data.
  if (has_control_character(path) || has_control_character(path_text(s.geometry_file.view()))) {
    const bool ro = app::romanian_messages(s);
    context.toolkit.message_box(ro ? "Calea fisierului de incarcare sau a celui de geometrie contine un caracter de "
                                     "control: fisierul de incarcare nu a fost scris."
                                   : "The path of the loading file or of the geometry file holds a control "
                                     "character: the loading file was not written.",
                                "Create Message", ui::Icon::error, ui::Buttons::ok);
    return false;
  }
  AtomicFile out(path);
  CaseNotes notes;
  Failure failure;
  failure.status = out.open();
  failure.error = out.error_number();
  if (failure.status == OutputStatus::ok && LoadingFileWriter(s, out).write(notes, failure)) {
    const bool complete = notes.incomplete.empty() && notes.without_initial_values.empty() &&
                          notes.without_loading_data.empty();
    context.toolkit.message_box(created_message(s, path, notes), "Create Message",
                                complete ? ui::Icon::information : ui::Icon::warning, ui::Buttons::ok);
    return true;
  }
  failure.kind = out.target_kind();
  context.toolkit.message_box(failure_message(s, path, failure), "Create Message",
                              ui::Icon::error, ui::Buttons::ok);
  return false;
}

}  // namespace loadfile
