// The settings of a suite as the command line and a JSON study file give them, so that a study
// can be kept beside its results and run again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "suite/suite.h"

namespace suite {

// "TA:TB" in seconds (not yet checked for order).
std::optional<std::pair<double, double>> parse_range(std::string_view text);
// "A:B:N": N periods from A to B seconds, evenly spaced in log.
std::optional<std::vector<double>> parse_periods(std::string_view text);
std::optional<Rule> rule_from_name(std::string_view name);

// Reads a JSON study file:
//   {"template": "frame.inc", "case": 2, "geometry": "frame.dat",
//    "read": {"units": "g", ...},           reading options of every record
//    "records": ["a.AT2", ["h1.AT2", "h2.AT2"], {"files": ["b.txt"], "units": "cm/s2", "dt": 0.01}],
//    "direction": "XY", "target": "ec8:type=1,ground=B,ag=0.25g", "scale_range": [0.1, 2],
//    "scale_rule": "suite90", "periods": "0.01:10:100", "damping": 0.05,
//    "end_time": "record", "out": "results", "jobs": 2}
// Reading options are named as on the command line without the dashes ("first_line" or
// "first-line"). Relative paths are taken from the file's folder. false and `why` when the file
// cannot be read or holds what no setting is.
bool read_suite_file(const std::string& path, Settings& settings, std::string& why);

// The settings as a study file that read_suite_file reads back to the same settings, paths
// relative to the file's folder where they lie under it. `target_text` is the design
// spectrum as its text ("ec8:type=1,..."); the template must be a file (not template_text).
std::string suite_file_text(const Settings& settings, const std::string& target_text, const std::string& path);

}  // namespace suite
