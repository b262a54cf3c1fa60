// The refusals and failures that several editors report in the same words.
#pragma once

#include <string>

#include "dialogs/context.h"

namespace dialogs::editors {

// "From" / "To" of a node range or an element group given the wrong way round.
void report_to_before_from(Context& context);
void report_ranges_full(Context& context, int capacity);
// A node (or element) number outside 1..limit: the solver would load a node the model does not have.
void report_outside_model(Context& context, bool elements, int limit);
void report_time_points_full(Context& context, int capacity);
// A data file of the case that could not be written; `reason` says why.
void report_write_failure(Context& context, const std::string& path, const std::string& reason);

}  // namespace dialogs::editors
