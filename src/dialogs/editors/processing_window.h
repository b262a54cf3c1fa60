// The "Processing" window of the Import dialog: the choices of `brantel process` for the record
// read, and what they do to its acceleration, velocity and displacement, before and after.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "motion/processing.h"
#include "motion/reader.h"
#include "ui/plot.h"

namespace dialogs::editors {

struct ProcessingSource {
  const motion::Record& record;  // as read, in the model's length unit per s2
  double metres_per_unit = 1.0;  // of the model's length unit
  std::string length_unit;       // its name, for the axes
  // The options shown first: those chosen before, or `auto` offered for a raw record; none:
  // the record is imported as read.
  std::optional<motion::ProcessingOptions> shown;
};

enum class ProcessingAnswer { cancelled, processed, as_read };
struct ProcessingChoice {
  ProcessingAnswer answer = ProcessingAnswer::cancelled;
  motion::ProcessingOptions options;  // when processed
};

// Runs dialog 113.
ProcessingChoice run_processing_window(Context& context, const ProcessingSource& source);

// `record` processed as `options` say (they must have no fault for its step): its components
// replaced, its time starting at 0 with the first zero added when the padding is kept.
motion::ProcessedRecord apply_processing(motion::Record& record, const motion::ProcessingOptions& options);

// The steps as `brantel process` writes them, "step N: TEXT" one a line, in English: what the
// case keeps.
std::string step_lines(const motion::ProcessedRecord& processed);

// What the processing left, in the language of the moment: the final velocity and displacement
// of each component (m/s, m), the usable periods and a component that still drifts.
std::string processing_outcome(const Context& context, const motion::ProcessedRecord& processed, double metres);

// The acceleration, velocity and displacement charts of `component`, as read and processed, on
// the processed record's time axis. Long records are drawn by their extremes per column.
std::array<ui::ChartContent, 3> processing_charts(const motion::Record& as_read, const motion::ProcessedRecord& processed,
                                                  std::size_t component, const std::string& length_unit);

}  // namespace dialogs::editors
