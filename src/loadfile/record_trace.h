// What the reader took each record of a loading file for, told as it reads: the check prints
// the values the solver will read and the viewer labels the lines, both from the one reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "text/free_form.h"

namespace loadfile {

enum class RecordKind : std::uint8_t {
  not_read,                // the reading stopped before this line, or it lies after the end record
  comment,                 // a "//" line before the operator code
  operator_code,           // G1
  coefficients,            // G2
  case_count,              // G3
  damping_code,            // C1
  tolerance,               // C2: tolerance, iteration limit
  case_parameters,         // C3
  unreadable,              // C2, C3 or C10 that could not be read: the rest of its case is skipped
  initial_condition,       // C4: one node range
  initial_conditions_end,  // the line that ended C4
  initial_accelerations,   // after C4 of an accelerogram case
  niu,                     // C5
  damping_values,          // C6
  diameter,                // C7: one element range
  diameters_end,           // the line that ended C7
  zeta,                    // C8
  initial_load,            // C9: one node range
  initial_loading_end,     // the line that ended C9
  loading_parameters,      // C10: omega (and phi)
  amplitude,               // C11 of a sinusoidal or exponential case: one node range
  time,                    // C11 of a discrete loading: a time point
  point_load,              // C11 of a discrete loading: one node range of the last time point
  time_separator,          // an "end_<n>" line between time points
  accel_point,             // C11 of an accelerogram: time and accelerations
  loading_data_end,        // the line that ended C11
  end_of_file,             // "End_of_File: ..." after the last case
};

struct RecordEvent {
  RecordKind kind = RecordKind::not_read;
  int case_number = 0;          // 0 outside the case blocks
  std::size_t first_line = 0;   // 0-based index of the first line taken
  std::size_t end_line = 0;     // one past the last line taken
  std::span<const text::Target> values;  // the values as read; valid during the call only
};

// Told of every record in file order. Nothing is told when no observer is given, so LOAD pays
// nothing for it.
class ReadObserver {
 public:
  virtual ~ReadObserver() = default;
  virtual void on_record(const RecordEvent& event) = 0;
  // Asked before each read: true ends the reading as if the file ended there (a viewer closed
  // while a large file is still being read).
  virtual bool stop_requested() const { return false; }
};

// The value of a numeric target as a double (integers and 32-bit reals are exact in it).
inline double target_value(const text::Target& t) {
  switch (t.kind) {
    case text::Target::Kind::integer: return *static_cast<const int*>(t.address);
    case text::Target::Kind::real32: return *static_cast<const float*>(t.address);
    case text::Target::Kind::real64: return *static_cast<const double*>(t.address);
    case text::Target::Kind::text: break;
  }
  return 0;
}

}  // namespace loadfile
