// What every section reader shares: the end lines of repeated sections, a case given up, the
// record after the last case.
#include "loadfile/reader/old_file_reader.h"

namespace loadfile::reader {

namespace {

RecordKind section_end_kind(Section section) {
  switch (section) {
    case Section::initial_conditions: return RecordKind::initial_conditions_end;
    case Section::diameters: return RecordKind::diameters_end;
    case Section::initial_loading: return RecordKind::initial_loading_end;
    case Section::loading_data: break;
  }
  return RecordKind::loading_data_end;
}

}  // namespace

// The record that ended a repeated section was read as nothing: when it is no end line, it is
// most likely a record of the section with a typo, and it and what follows were misread.
void OldFileReader::check_section_end(std::size_t index, Section section) {
  tell(section_end_kind(section), index);
  // Blank lines are read past, as part of the read that failed.
  while (index + 1 < source_.size() && text::trimmed_length(source_.record(index)) == 0) ++index;
  if (is_section_end(source_.record(index), section)) return;
  note(Severity::error, index,
       std::string(section_words(section, false)) + " of " + of_case(false) + " end at a line that is not their end line: " +
           quoted(index),
       std::string(section_words(section, true)) + " din " + of_case(true) +
           " se termina la o linie care nu este linia lor de sfarsit: " + quoted(index));
}

// `whole_case`: nothing of the case was read (C2 or C3); otherwise its sections read so far
// keep their case files (C10).
void OldFileReader::abandon_case(std::size_t index, std::string_view english_record,
                                 std::string_view romanian_record, bool whole_case) {
  tell(RecordKind::unreadable, index);
  note(Severity::error, index,
       "the " + std::string(english_record) + " of " + of_case(false) + " cannot be read: " + quoted(index) +
           (whole_case ? "; the case was not read and its case files are empty"
                       : "; the rest of the case was not read and its loading data file is empty"),
       std::string(romanian_record) + " din " + of_case(true) + " nu se poate citi: " + quoted(index) +
           (whole_case ? "; cazul nu a fost citit si fisierele lui de caz sunt goale"
                       : "; restul cazului nu a fost citit si fisierul datelor incarcarii este gol"));
}

// Blank lines may follow the last case; then the end record must come, or the file holds more
// than its cases (or was cut right after them).
void OldFileReader::check_end_of_file_record() {
  std::string_view record;
  bool found = false;
  while ((found = source_.next(record)) && text::trimmed_length(record) == 0) {
  }
  if (found && is_end_of_file_record(record)) {
    tell(RecordKind::end_of_file, source_.position() - 1);
    return;
  }
  if (!found) {
    note(Severity::warning, source_.size() - 1, "the file has no End_of_File line after the last case",
         "fisierul nu are linia Sfarsit de fisier dupa ultimul caz");
    return;
  }
  const std::size_t index = source_.position() - 1;
  note(Severity::warning, index, "the line after the last case is not the End_of_File line: " + quoted(index),
       "linia de dupa ultimul caz nu este linia Sfarsit de fisier: " + quoted(index));
}

Step OldFileReader::read_case(model::Case& the_case) {
  if (read_damping_code() == Step::stop) return Step::stop;
  const Step head = read_case_head(the_case.record);
  if (head != Step::go_on) return head;
  if (read_initial_conditions(the_case) == Step::stop) return Step::stop;
  if (a_.damping.present && read_damping() == Step::stop) return Step::stop;
  if (read_initial_loading(the_case) == Step::stop) return Step::stop;
  return read_loading_data(the_case);
}

}  // namespace loadfile::reader
