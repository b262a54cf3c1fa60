// The limits of what a run holds, each stated once: the readers, the journal, the dialogs and
// the messages that name a limit take it from here.
#pragma once

#include <chrono>

namespace model {

// Loading cases of one analysis: two typed characters in the General Data dialog, and the case
// numbers of the scratch files' names (cases 10 to 99 have two digits).
inline constexpr int max_loading_cases = 99;

// Days a run's folder set aside (not taken back) is kept before a later start removes it.
inline constexpr int abandoned_kept_days = 7;
inline constexpr auto abandoned_kept_for = std::chrono::hours(24 * abandoned_kept_days);

}  // namespace model
