// The accelerogram file of a case (TPacc.dat): one record per point, then "END_OF_CASE" and
// the case number. The editor writes it on "SAVE Changes" and reads it back when it opens;
// the loading file reader writes it when it splits an old loading file.
#pragma once

#include <string>
#include <vector>

#include "model/state.h"
#include "text/free_form.h"

namespace model::case_files {

// Acceleration components of a three-direction point: 1..n_dof, never more than X, Y, Z.
int accel_component_count(int n_dof);

// One point record: a blank, then 16-character fields written in full (trailing blanks kept).
// Three directions (loading_type -1): the time and components 1..n_dof, each the G14.7 text
// tidied. One direction (-2): the tidied time, then component `direction` (1 X, 2 Y, 3 Z) as
// the plain G14.7 text (14 characters and 2 blanks); with no direction (0) only the time.
std::string accel_point_record(const model::AccelPoint& point, model::LoadingType loading_type, int n_dof,
                               model::AccelDirection direction);

// The last record of the file, for example END_OF_CASE3.
std::string accel_end_record(int case_number);

// Reads one point in free form: the time and components 1..n_dof (three directions), or the
// time and one value stored as component `direction` (one direction; dropped when the
// direction is 0). `point` changes only when the read succeeds.
text::ReadStatus read_accel_point(text::RecordSource& source, model::LoadingType loading_type, int n_dof,
                                  model::AccelDirection direction, model::AccelPoint& point);

// Reads up to n_points points from `source` into entries 1.. of `table` (grown as needed),
// stopping silently at the end or at the first record that is not a point (the end record).
// Returns the number of points read.
int read_accel_points(text::RecordSource& source, int n_points, model::LoadingType loading_type, int n_dof,
                      model::AccelDirection direction, std::vector<model::AccelPoint>& table);

}  // namespace model::case_files
