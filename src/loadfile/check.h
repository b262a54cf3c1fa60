// `brantel check` and the viewer's marks: a loading file read by LOAD's own reader, without
// dialogs and without touching the disk, and checked against the model where one is given.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "loadfile/problems.h"
#include "loadfile/record_trace.h"
#include "model/domain_codes.h"
#include "text/free_form.h"

namespace loadfile {

// What the loading file does not carry and its records need (from the geometry file).
struct ModelCounts {
  int n_nodes = 0;
  int n_dof = 0;
  int n_elements = 0;
};

// One record as the solver will read it.
struct CheckedRecord {
  RecordKind kind = RecordKind::not_read;
  int case_number = 0;
  std::size_t first_line = 0;  // 1-based
  std::size_t last_line = 0;
  std::vector<double> values;  // in the order of the record; integers and 32-bit reals exactly
  std::string text;            // the operator code, which is text
  // Of the record's case (what its C11 and C6 records hold); a code no type has is kept as read.
  model::LoadingType loading_type = model::LoadingType::discrete;
  model::DampingType damping_type = model::DampingType::none;
};

struct CheckReport {
  bool readable = false;       // false: `reason` says why nothing was read
  std::string reason;
  ProblemList problems;        // in line order
  bool model_given = false;    // false: node and element numbers were not checked against a model
  int n_dof = 0;               // the degrees of freedom per node the records were read with
  bool new_operator = false;
  std::vector<CheckedRecord> records;  // only when asked for
};

struct CheckOptions {
  std::optional<ModelCounts> model;  // none: n_dof is taken from the records themselves
  // Without a model: the degrees of freedom per node, when known (from an earlier check of a
  // file of the same model), so that they need not be guessed by reading the file again.
  std::optional<int> n_dof;
  bool keep_records = false;
  ReadObserver* also = nullptr;      // told of every record as well (the viewer's line table)
};

// Checks the records of a loading file named `name` in the problems.
CheckReport check_loading_records(const std::string& name, text::RecordSource& source,
                                  const CheckOptions& options);
CheckReport check_loading_file(const std::string& path, const CheckOptions& options);

// The model of the geometry file that the header names ("... Geometry file: PATH"), looked for
// at that path and, failing that, by its name beside the loading file at `loading_path`.
// `geometry_path` (when given) receives the path read.
std::optional<ModelCounts> model_named_in_header(const text::RecordSource& source, const std::string& loading_path,
                                                 std::string* geometry_path = nullptr);

// The degrees of freedom per node (1 to 3) under which the records read best: the largest count
// with which the first records read as the program writes them (a smaller count reads too, but
// drops values).
int guess_n_dof(const text::RecordSource& source);

}  // namespace loadfile
