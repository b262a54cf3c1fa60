// The reading options of a ground-motion record as words ("--units", "g"), shared by the
// commands that read records and by the suite's study file, so that a record reads the same in
// each.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "motion/reader.h"

namespace motion {

// The options that say how a file is read, without their values.
inline constexpr std::array<std::string_view, 7> record_reading_options = {
    "--format", "--units", "--first-line", "--time-column", "--columns", "--dt", "--resample"};

// One option and its value into `options`; the reason when the value is wrong. Takes the
// reading options above and `--scale` and `--to`.
std::string apply_read_option(std::string_view name, std::string_view value, ReadOptions& options);

}  // namespace motion
