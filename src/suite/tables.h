// The tables a suite writes beside its loading files, and the one it reads back: suite.csv of
// a previous suite, which says what that suite wrote.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "suite/suite.h"

namespace suite {

// Nine significant digits: the tables' numbers.
std::string number(double value);

// The design spectrum at each period in m/s2; none where it is not defined or there is none.
std::vector<std::optional<double>> target_m_s2(const Settings& s, const std::vector<double>& periods);

// DIR/suite.csv of the records written; `unit` names the unit of the values written.
std::string suite_csv(const Settings& s, const std::string& unit, const std::vector<RecordResult>& suite);
// DIR/spectra.csv: the scaled spectra of the records written and their mean.
std::string spectra_csv(const Settings& s, const std::vector<double>& periods,
                        const std::vector<std::optional<double>>& target, const std::vector<RecordResult>& suite);

}  // namespace suite
