// The refusals and failures that several editors report in the same words.
#pragma once

#include <string>

#include "dialogs/context.h"

namespace editors {

// "From" / "To" of a node range or an element group given the wrong way round.
void report_to_before_from(app::Context& context);
void report_ranges_full(app::Context& context, int capacity);
void report_time_points_full(app::Context& context, int capacity);
// A data file of the case that could not be written; `reason` says why.
void report_write_failure(app::Context& context, const std::string& path, const std::string& reason);

}  // namespace editors
