// The options of `brantel spectrum` and `brantel suite` and the keys of a study file, as words:
// one form, one default and one check for each, whichever way it is given.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "motion/design_spectrum.h"
#include "motion/processing.h"
#include "suite/suite.h"

namespace suite {

// The most periods a spectrum is computed at, however they are given: a spectrum costs a pass
// over the record per period.
inline constexpr std::size_t max_periods = 100000;

// "T,T,..." in seconds, or "A:B:N": N periods from A to B seconds, evenly spaced in log.
std::string parse_periods(std::string_view word, std::vector<double>& periods);
// "A:B:N" only, as --periods-log takes it.
std::string parse_log_periods(std::string_view word, std::vector<double>& periods);
// One period a line; blank lines and '#' comments skipped.
std::string read_periods_file(const std::string& path, std::vector<double>& periods);
// "TA:TB", 0 < TA < TB seconds.
std::string parse_scale_range(std::string_view word, std::pair<double, double>& range);
// "Z[,Z...]", 0 <= Z < 1.
std::string parse_dampings(std::string_view word, std::vector<double>& dampings);
std::string parse_target(std::string_view word, std::optional<motion::DesignSpectrum>& target);

// The processing of `brantel process` in one word: "highpass=F|auto[,lowpass=F][,order=N]
// [,taper=FRAC][,pad=S|auto][,baseline=none|mean|linear|poly6][,trim]".
std::string parse_processing(std::string_view word, motion::ProcessingOptions& options);
// The word parse_processing reads back as `options`.
std::string processing_word(const motion::ProcessingOptions& options);

// The options of a suite beyond reading its records, by the name the command line gives them.
inline constexpr std::array<std::string_view, 18> suite_options = {
    "--case",        "--geometry",     "--direction",      "--target",  "--scale-range",       "--scale-rule",
    "--periods",     "--periods-log",  "--periods-file",   "--damping", "--end-time",          "--out",
    "--jobs",        "--process",      "--code",           "--structure-periods", "--t90",     "--tolerance"};

// One option of `suite_options` and its word into `settings`; the reason when the word is wrong.
std::string apply_suite_option(std::string_view option, std::string_view word, Settings& settings);

// What follows from the options given together: a target and a range without a rule are
// fitted, as `brantel spectrum` fits them.
void complete_settings(Settings& settings);

}  // namespace suite
