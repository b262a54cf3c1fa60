// A record of a suite matched to the target before it is analysed: the components the suite
// scales it on (its horizontal pair, judged on RotD100, else its one component) scaled by their
// fit over the range and adjusted by wavelets; any other component (a vertical one) scaled by the
// same factor and kept as it is, padded as the matched ones are so that the components stay in
// step. What each loading file receives is the matched record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "suite/record_input.h"
#include "suite/suite.h"

namespace suite {

// The periods a suite's records are matched over: the code's range, else the scaling range.
std::optional<std::pair<double, double>> match_range(const Settings& settings);

// Record `r` (in the model's unit) matched in place; `a` receives what the match did, or its
// error when the record cannot be matched. A match that stops above the tolerance is kept and
// warned of.
void match_suite_record(const Record& entry, const Settings& settings, const Template& t, ReadRecord& r,
                        RecordResult& a);

// The sentence that names a record left above the tolerance: "misfit max 12.3 % at 0.52 s,
// above the tolerance of 10 %".
std::string above_tolerance_text(const RecordMatching& m);

}  // namespace suite
