// The analysis a suite puts its records into: read from a template loading file (or its bytes)
// or taken as the dialogs hold it, with what each record's loading file needs from it.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

#include "loadfile/check.h"
#include "model/analysis.h"
#include "motion/units.h"
#include "suite/suite.h"

namespace suite {

struct Template {
  std::shared_ptr<const model::Analysis> analysis;
  model::LoadingType loading_type = model::LoadingType::accelerogram_3_directions;  // of the case
  float end_time = 0;            // of the case
  int n_dof = 3;
  bool romanian = false;         // the language of the comment and end lines written
  loadfile::CheckOptions check;  // how each file written is checked
  motion::TargetUnit unit;       // the model's length unit per s2
  std::vector<std::filesystem::path> inputs;  // never written over
};

// The template of the settings, checked; nullptr with the reason on `err`.
std::unique_ptr<Template> read_template(const Settings& settings, std::ostream& err);

// The analysis of `t` with case `case_number`'s accelerogram replaced by `points` and, unless
// the end time is kept, its end time by `end_time`.
model::Analysis with_record(const Template& t, int case_number, std::vector<model::AccelPoint> points,
                            model::AccelDirection direction, std::optional<float> end_time);

}  // namespace suite
