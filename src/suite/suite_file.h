// The settings of a suite as the command line and a JSON study file give them, so that a study
// can be kept beside its results and run again.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "suite/suite.h"

namespace suite {

// The largest study file read, and the deepest nesting of its lists and objects: a study
// file is a page of settings, and anything far larger is no study file.
inline constexpr std::size_t max_study_file_bytes = std::size_t{1} << 20;
inline constexpr int max_study_file_depth = 16;

// Reads a JSON study file:
//   {"template": "frame.inc", "case": 2, "geometry": "frame.dat",
//    "read": {"units": "g", ...},           reading options of every record
//    "records": ["a.AT2", ["h1.AT2", "h2.AT2"], {"files": ["b.txt"], "units": "cm/s2", "dt": 0.01}],
//    "direction": "XY", "target": "ec8:type=1,ground=B,ag=0.25g", "scale_range": [0.1, 2],
//    "scale_rule": "suite90", "periods": "0.01:10:100", "damping": 0.05,
//    "end_time": "record", "out": "results", "jobs": 2}
// ("scale_rule": "match" takes "tolerance": 0.1; "code", "structure_periods" and "t90" check
// the suite against a design code).
// Reading options are named as on the command line without the dashes ("first_line" or
// "first-line"). Relative paths are taken from the file's folder. Each value is checked as the
// command line's option of the same name is. false and `why` when the file cannot be read
// (only a regular file of at most max_study_file_bytes is) or holds what no setting is.
bool read_suite_file(const std::string& path, Settings& settings, std::string& why);
// The same from the file's bytes; relative paths are taken from `folder`.
bool read_suite_text(std::string_view content, const std::string& folder, Settings& settings, std::string& why);

// The settings as a study file that read_suite_file reads back to the same settings, paths
// relative to the file's folder where they lie under it. `target_text` is the design
// spectrum as its text ("ec8:type=1,..."); the template must be a file (not template_text).
std::string suite_file_text(const Settings& settings, const std::string& target_text, const std::string& path);

}  // namespace suite
