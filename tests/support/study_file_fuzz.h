// One study file of arbitrary bytes read as `brantel suite --from` reads it, with what must hold
// whatever the bytes: no exception, no crash, no unbounded allocation; settings accepted are
// settings the command line would accept, every number in them finite and in its range.
// Shared by the libFuzzer target and the mutation loop of the normal test suites.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "suite/options.h"
#include "suite/suite_file.h"

namespace testing_support {

// The reason an accepted study file's settings break a rule; empty when they hold.
inline std::string study_file_fault(std::string_view bytes) {
  suite::Settings s;
  std::string why;
  if (!suite::read_suite_text(bytes, "study", s, why)) return why.empty() ? "refused without a reason" : "";
  if (s.case_number < 1) return "case " + std::to_string(s.case_number) + " accepted";
  if (s.jobs > suite::max_jobs) return "jobs " + std::to_string(s.jobs) + " accepted";
  if (s.periods.size() > suite::max_periods) return "too many periods accepted";
  for (double t : s.periods)
    if (!(t > 0) || !std::isfinite(t)) return "a period that is no positive number accepted";
  if (!(s.damping >= 0 && s.damping < 1)) return "a damping ratio out of range accepted";
  if (s.scale_range && !(s.scale_range->first > 0 && s.scale_range->second > s.scale_range->first &&
                         std::isfinite(s.scale_range->second)))
    return "a scale range out of order accepted";
  (void)suite::settings_problem(s);
  return {};
}

}  // namespace testing_support
