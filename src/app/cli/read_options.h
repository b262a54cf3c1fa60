// The reading options of a ground-motion record on the command line, shared by the commands
// that read records (`brantel motion`, `brantel suite`) so that a record reads the same in both.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "motion/reader.h"

namespace app::cli {

// The options that say how a file is read, without their values.
inline constexpr std::array<std::string_view, 7> record_reading_options = {
    "--format", "--units", "--first-line", "--time-column", "--columns", "--dt", "--resample"};

// One option and its value into `options`; the reason when the value is wrong. Takes the
// reading options above and `--scale` and `--to`.
std::string apply_read_option(std::string_view name, std::string_view value, motion::ReadOptions& options);

}  // namespace app::cli
