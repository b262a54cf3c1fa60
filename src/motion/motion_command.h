// `brantel motion FILE [options]`: the time-history reader for scripts. Needs no display.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace motion {

// `args` are the words after "motion". Writes the summary and the CSV to `out`, warnings and
// the reason of a refusal to `err`. Returns 0 read, 1 read with warnings, 2 refused or misused.
int run_motion_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace motion
