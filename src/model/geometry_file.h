// The geometry file reader: the counts and unit names that the loading file must agree with,
// taken from the solver's model file. Everything else in that file is skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "files/regular_file.h"
#include "model/state.h"
#include "text/fixed_text.h"
#include "text/free_form.h"

namespace model {

// The longest path the program state keeps and the loading file header carries unchanged.
inline constexpr std::size_t max_path_length = model::max_path_bytes;

// More components per node than a node range holds would overrun every table that is
// indexed by degree of freedom, so such a count record is refused.
inline constexpr int max_dof = 6;

struct GeometryData {
  int n_nodes = 0;
  int n_elements = 0;
  int n_dof = 0;
  int sixth_count = 0;
  text::Field<20> length_unit, second_unit, force_unit;

  friend bool operator==(const GeometryData&, const GeometryData&) = default;
};

enum class GeometryOutcome {
  ok,                // counts and units read
  path_too_long,     // longer than the path fields of the program state and the loading file
  not_found,         // no file of that name
  cannot_open,       // the file exists but cannot be opened or read (no permission, I/O error)
  not_regular,       // a folder, device, FIFO or socket: never read
  too_large,         // more than files::max_text_file_bytes: never read whole
  empty,             // not a single record
  no_count_record,   // the file ends before its count record is complete
  bad_count_record,  // the count record is not six integers
  bad_counts,        // n_nodes, n_elements or n_dof below 1, or n_dof above max_dof
  no_unit_lines,     // the file ends before its three unit lines
};

struct GeometryReadResult {
  GeometryOutcome outcome = GeometryOutcome::ok;
  GeometryData data;      // complete only when outcome is ok
  std::size_t line = 0;   // 1-based line ending the count record (bad_count_record, bad_counts)
  files::FileKind kind = files::FileKind::regular;  // what the path names (not_regular)
};

// Reads the records of a geometry file from the start of `source`.
GeometryReadResult read_geometry_records(text::RecordSource& source);

// Reads the geometry file at `path` (trailing blanks of the path ignored).
GeometryReadResult read_geometry_file(std::string_view path);

struct ProblemText {
  std::string english;
  std::string romanian;
};

// The message that tells the user why `path` was not taken as the geometry file.
ProblemText geometry_problem_text(const GeometryReadResult& result, std::string_view path);

}  // namespace model
