// The "Import..." dialog of the Accelerogram and Discrete Loading editors: a time history read
// from a file by the time-history reader, with the reading options, the file's first lines
// marked header or data, a summary of what was read and a plot, before it is accepted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "motion/processing.h"
#include "motion/reader.h"

namespace dialogs::editors {

enum class ImportKind {
  acceleration,  // converted to the model's length unit per s2
  load,          // taken as the file has it: the model's force unit
};

struct ImportedHistory {
  motion::Record record;
  std::string file;  // as the user named it
  // A load history: the component (0 for X) its first value column loads; further columns load
  // the components after it.
  int first_component = 0;
  // The factors applied from the spectrum window, multiplied together (1: none); the record
  // is already scaled by them.
  double spectrum_factor = 1.0;
  // The options it was read with, as the fields gave them.
  motion::ReadOptions options;
  // The factor every value was multiplied by: the Scale factor field as it stood at Import.
  double scale = 1.0;
  // The processing steps done after reading, one a line as `brantel process` writes them;
  // empty: as read.
  std::string processing_steps{};
  // The processing chosen (none: as read), for a suite that reads the file again.
  std::optional<motion::ProcessingOptions> processing{};
};

// A file and the options to read it with, shown when the dialog opens.
struct ImportPreset {
  std::string file;
  motion::ReadOptions options;
  // Files chosen together with `file`: the options shown are read with them all.
  std::vector<std::string> others{};
  // Processing offered as for a case: a raw record processed with `auto` until the user
  // chooses, or from `processing` (none: as read) when it is the choice already made.
  bool offers_processing = false;
  std::optional<motion::ProcessingOptions> processing{};
  bool processing_chosen = false;
};

// The case the record goes to: the directions its value columns load, in order (1 X, 2 Y, 3 Z;
// empty: X, Y, Z), and its End Time (0: not known).
struct ImportCase {
  std::vector<int> directions;
  double end_time = 0;
  // The steps its record was processed with (one a line), shown until a file is chosen.
  std::string processing_steps{};
};

// Runs dialog 111; the record as read with the options shown when "Import" was pressed, or
// nothing when the dialog was left without importing.
std::optional<ImportedHistory> run_import_dialog(Context& context, ImportKind kind,
                                                 const ImportPreset* preset = nullptr,
                                                 const ImportCase* for_case = nullptr);

}  // namespace dialogs::editors
