#include "model/geometry_file.h"

#include <vector>

#include "files/record_file.h"
#include "files/regular_file.h"

namespace model {

namespace {

using text::ReadStatus;
using text::RecordSource;
using text::Target;

// Comment lines begin with "//"; the first line that does not is the title, skipped as well.
// false when the records run out before the title.
bool skip_comments_and_title(RecordSource& source) {
  std::string_view record;
  while (source.next(record)) {
    const bool comment = record.size() >= 2 && record[0] == '/' && record[1] == '/';
    if (!comment) return true;
  }
  return false;
}

// The six integers of the count record, in free form (they may run over several lines).
GeometryOutcome read_counts(RecordSource& source, GeometryData& data, std::size_t& line) {
  int fourth = 0, fifth = 0;
  const ReadStatus status = text::read_free_form(
      source, {text::target(data.n_nodes), text::target(data.n_elements), text::target(data.n_dof),
               text::target(fourth), text::target(fifth), text::target(data.sixth_count)});
  if (status == ReadStatus::end_of_file) return GeometryOutcome::no_count_record;
  line = source.position();  // the last record of the count read has been consumed
  if (status == ReadStatus::error) return GeometryOutcome::bad_count_record;
  const bool positive = data.n_nodes > 0 && data.n_elements > 0 && data.n_dof > 0;
  return positive && data.n_dof <= max_dof ? GeometryOutcome::ok : GeometryOutcome::bad_counts;
}

// Reads records into `targets` until a read fails; the failing read consumes the record it
// failed on (the heading that ends the table), so the next table starts after it.
void skip_table(RecordSource& source, const std::vector<Target>& targets) {
  while (true) {
    const std::size_t before = source.position();
    if (text::read_free_form(source, targets) != ReadStatus::ok) return;
    if (source.position() == before) return;  // nothing consumed: no progress is possible
  }
}

void skip_tables(RecordSource& source, int n_dof) {
  const int m = n_dof > 0 ? n_dof : 0;
  int integer_sink = 0;
  float real_sink = 0;
  std::vector<Target> integers(2 + m, text::target(integer_sink));
  skip_table(source, integers);
  std::vector<Target> reals(1 + m, text::target(real_sink));
  reals[0] = text::target(integer_sink);
  skip_table(source, reals);
}

bool read_units(RecordSource& source, GeometryData& data) {
  text::Field<20>* units[] = {&data.length_unit, &data.second_unit, &data.force_unit};
  for (text::Field<20>* unit : units) {
    std::string_view record;
    if (!source.next(record)) return false;
    *unit = record;  // its first 20 characters, blank-padded
  }
  return true;
}

}  // namespace

GeometryReadResult read_geometry_records(RecordSource& source) {
  GeometryReadResult result;
  if (source.at_end()) {
    result.outcome = GeometryOutcome::empty;
    return result;
  }
  if (!skip_comments_and_title(source)) {
    result.outcome = GeometryOutcome::no_count_record;
    return result;
  }
  result.outcome = read_counts(source, result.data, result.line);
  if (result.outcome != GeometryOutcome::ok) return result;
  skip_tables(source, result.data.n_dof);
  if (!read_units(source, result.data)) result.outcome = GeometryOutcome::no_unit_lines;
  return result;
}

GeometryReadResult read_geometry_file(std::string_view path) {
  const std::string name(text::trim_right(path));
  GeometryReadResult result;
  if (name.size() > max_path_length) {
    result.outcome = GeometryOutcome::path_too_long;
    return result;
  }
  RecordSource source;
  files::FileRead why;
  if (name.empty() || !files::read_records(name, source, &why)) {
    result.kind = why.kind;
    result.outcome = name.empty() || why.status == files::FileReadStatus::missing ? GeometryOutcome::not_found
                   : why.status == files::FileReadStatus::not_regular        ? GeometryOutcome::not_regular
                   : why.status == files::FileReadStatus::too_large          ? GeometryOutcome::too_large
                                                                           : GeometryOutcome::cannot_open;
    return result;
  }
  return read_geometry_records(source);
}

}  // namespace model

namespace model {

namespace {

ProblemText problem_reason(const GeometryReadResult& result) {
  const std::string line = std::to_string(result.line);
  switch (result.outcome) {
    case GeometryOutcome::ok: return {"", ""};
    case GeometryOutcome::path_too_long:
      return {"the path is longer than " + std::to_string(max_path_length) + " bytes",
              "calea are mai mult de " + std::to_string(max_path_length) + " de octeti"};
    case GeometryOutcome::not_found: return {"the file does not exist", "fisierul nu exista"};
    case GeometryOutcome::cannot_open:
      return {"the file cannot be opened", "fisierul nu poate fi deschis"};
    case GeometryOutcome::not_regular:
      return {"the name is " + std::string(files::kind_words(result.kind, false)) + ", not a regular file",
              "numele este " + std::string(files::kind_words(result.kind, true)) + ", nu un fisier obisnuit"};
    case GeometryOutcome::too_large: {
      const std::string limit = files::size_limit_words(files::max_text_file_bytes);
      return {"the file is larger than " + limit + ", the limit of a geometry file",
              "fisierul are peste " + limit + ", limita unui fisier de geometrie"};
    }
    case GeometryOutcome::empty: return {"the file is empty", "fisierul este gol"};
    case GeometryOutcome::no_count_record:
      return {"the file ends before the record of the numbers of nodes and elements",
              "fisierul se termina inainte de inregistrarea numerelor de noduri si elemente"};
    case GeometryOutcome::bad_count_record:
      return {"line " + line + ": the record of the numbers of nodes and elements is not six integers",
              "linia " + line + ": inregistrarea numerelor de noduri si elemente nu are sase numere intregi"};
    case GeometryOutcome::bad_counts: {
      const GeometryData& d = result.data;
      const std::string read = std::to_string(d.n_nodes) + " " + std::to_string(d.n_elements) +
                               " " + std::to_string(d.n_dof);
      return {"line " + line + ": nodes, elements, degrees of freedom per node = " + read +
                  "; nodes and elements must be above 0, degrees of freedom 1 to 6",
              "linia " + line + ": noduri, elemente, grade de libertate pe nod = " + read +
                  "; nodurile si elementele trebuie sa fie peste 0, gradele de libertate de la 1 la 6"};
    }
    case GeometryOutcome::no_unit_lines:
      return {"the file ends before its three unit lines",
              "fisierul se termina inainte de cele trei linii de unitati"};
  }
  return {"", ""};
}

}  // namespace

ProblemText geometry_problem_text(const GeometryReadResult& result, std::string_view path) {
  const ProblemText reason = problem_reason(result);
  const std::string name(text::trim_right(path));
  return {"ERROR: Geometry file not read: " + reason.english + ".\n" + name,
          "EROARE: Fisierul de geometrie nu a fost citit: " + reason.romanian + ".\n" + name};
}

}  // namespace model
