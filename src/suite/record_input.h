// A record of a suite as it goes into its loading file: read once, in the model's unit, with the
// direction of each component, and what it contributes to the suite before any file is written.
#pragma once

#include <string>
#include <vector>

#include "motion/reader.h"
#include "suite/suite.h"
#include "suite/template.h"

namespace suite {

struct ReadRecord {
  motion::Record record;  // in the model's unit
  std::vector<int> directions;  // per component: 1 X, 2 Y, 3 Z
  std::vector<std::string> warnings;
  std::string error;  // empty when it can be used
};

// Direction letters into direction numbers (1 X, 2 Y, 3 Z); empty when the text is no list of
// distinct directions.
std::vector<int> directions_of(std::string_view text);

// The files of `entry` read and their components put together into the directions.
ReadRecord read_record(const Record& entry, const Settings& s, const Template& t);

// The record processed as its options or the suite's say, before it is scaled; its error when
// the options do not fit its time step.
void apply_processing(const Record& entry, const Settings& s, const Template& t, ReadRecord& r, RecordResult& a);

// The components a record is scaled on (0-based): the pair in X and Y when neither is marked
// vertical, its RotD100 the curve of the factor; else the first component not so marked.
std::vector<std::size_t> scaled_components(const ReadRecord& r);

// The record's spectra and measures, unscaled, in m/s2 whatever the model's unit.
void analyse_record(const ReadRecord& r, const Settings& s, const Template& t, RecordResult& a);

}  // namespace suite
