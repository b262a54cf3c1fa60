#include "loadfile/writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "model/case_files/scratch_files.h"
#include "loadfile/output_file.h"
#include "loadfile/records.h"
#include "text/fixed_text.h"

namespace loadfile {

namespace {

using cases::ScratchKind;

enum class Section {
  copied,      // the scratch file had data; it was copied
  empty,       // missing (now created empty) or without data: the terminator stands in for it
  unreadable,  // it exists but cannot be read: the loading file is not written
};

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
};

// Scratch files are read in large blocks; lines are split here rather than by a stream so
// that a long accelerogram costs little more than copying its bytes.
class ScratchCopier {
 public:
  explicit ScratchCopier(OutputFile& out) : out_(out), block_(1 << 18) {}
  Section copy(const std::string& name, int& error);

 private:
  void emit(std::string_view line);
  void emit_without_cr(std::string_view line);
  void take_block(const char* data, std::size_t size);

  OutputFile& out_;
  std::vector<char> block_;
  std::string partial_;  // start of a line that continues in the next block, at most 133 characters
  bool has_data_ = false;
};

void ScratchCopier::emit(std::string_view line) {
  const std::string_view record = copied_line(line);
  if (!record.empty()) has_data_ = true;
  out_.write_record(record);
}

void ScratchCopier::emit_without_cr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  emit(line);
}

void ScratchCopier::take_block(const char* data, std::size_t size) {
  const char* const end = data + size;
  while (data < end) {
    const char* newline = static_cast<const char*>(std::memchr(data, '\n', end - data));
    const char* stop = newline ? newline : end;
    // Only the first 132 characters of a line are kept; one more tells a CR from the text.
    if (!newline || !partial_.empty()) {
      const std::size_t room = copied_line_length + 1 - std::min(partial_.size(), copied_line_length + 1);
      partial_.append(data, std::min<std::size_t>(stop - data, room));
    }
    if (!newline) return;
    emit_without_cr(partial_.empty() ? std::string_view(data, stop - data) : partial_);
    partial_.clear();
    data = newline + 1;
  }
}

Section ScratchCopier::copy(const std::string& name, int& error) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) return error = errno, Section::unreadable;
    // A missing scratch file is left behind empty, as every earlier version of the tool did.
    const int created = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (created >= 0) ::close(created);
    return Section::empty;
  }
  has_data_ = false;
  partial_.clear();
  for (;;) {
    const ssize_t n = ::read(fd, block_.data(), block_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      ::close(fd);
      return Section::unreadable;
    }
    if (n == 0) break;
    take_block(block_.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  // A last line without its LF, possibly cut after the CR of a CR LF.
  if (!partial_.empty()) emit_without_cr(partial_);
  return has_data_ ? Section::copied : Section::empty;
}

app::CaseRecord written_case(const app::ProgramState& s, int case_number) {
  return s.written_case_records.contains(case_number) ? s.written_case_records[case_number]
                                                      : app::CaseRecord{};
}

// The pieces of one file write, so that each step can stop at the first failure.
class LoadingFileWriter {
 public:
  LoadingFileWriter(const app::ProgramState& s, OutputFile& out) : s_(s), out_(out), copier_(out) {}
  bool write(CaseNotes& notes, Failure& failure);

 private:
  void put(const std::vector<std::string>& records) {
    for (const std::string& record : records) out_.write_record(record);
  }
  bool case_block(int case_number, CaseNotes& notes, Failure& failure);
  bool section(int case_number, ScratchKind kind, Section& outcome, Failure& failure);

  const app::ProgramState& s_;
  OutputFile& out_;
  ScratchCopier copier_;
};

bool LoadingFileWriter::section(int case_number, ScratchKind kind, Section& outcome, Failure& failure) {
  const std::string name = cases::scratch_file_name(case_number, kind);
  outcome = copier_.copy(name, failure.error);
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
    if (c.loading_type < 0) out_.write_record(initial_acceleration_record(c));
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

std::string failure_message(const app::ProgramState& s, const std::string& path, const Failure& f,
                            bool target_kept) {
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
      default:
        message = ro ? "Eroare de inchidere a fisierului: " : "Close Error on File: ";
        break;
    }
    message += path;
  }
  message += " (" + std::string(std::strerror(f.error)) + ")";
  if (target_kept)
    message += ro ? "\nFisierul " + path + " nu a fost modificat."
                  : "\nThe file " + path + " was not changed.";
  return message;
}

}  // namespace

bool write_loading_file(Session& context) {
  const app::ProgramState& s = context.state;
  const std::string path = path_text(s.loading_file.view());
  OutputFile out(path);
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
  const bool kept = !out.writes_in_place() || failure.status == OutputStatus::cannot_create;
  context.toolkit.message_box(failure_message(s, path, failure, kept), "Create Message",
                              ui::Icon::error, ui::Buttons::ok);
  return false;
}

}  // namespace loadfile
