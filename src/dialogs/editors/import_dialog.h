// The "Import..." dialog of the Accelerogram and Discrete Loading editors: a time history read
// from a file by the time-history reader, with the reading options, the file's first lines
// marked header or data, a summary of what was read and a plot, before it is accepted.
#pragma once

#include <optional>
#include <string>

#include "dialogs/context.h"
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
};

// A file and the options to read it with, shown when the dialog opens.
struct ImportPreset {
  std::string file;
  motion::ReadOptions options;
};

// Runs dialog 111; the record as read with the options shown when "Import" was pressed, or
// nothing when the dialog was left without importing.
std::optional<ImportedHistory> run_import_dialog(Context& context, ImportKind kind,
                                                 const ImportPreset* preset = nullptr);

}  // namespace dialogs::editors
