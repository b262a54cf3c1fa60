// The two case lists of the Loading Cases dialog: every case of the analysis, and which of
// them hold data (added in this run, or read from an old loading file).
#pragma once

#include <string>
#include <vector>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs::cases {

class CaseList {
 public:
  CaseList(Context& context, ui::Dialog& dialog) : context_(context), state_(context.state), dialog_(dialog) {}

  void fill();
  // A run taken back after a crash shows the cases it had added as added.
  void show_resumed();
  void mark_added(int case_number);
  // The processed list changed: Remove is offered only for an item that names a case.
  void choose_processed();
  // Asks, then removes `case_number` from the analysis and its files; false when the user said
  // No.
  bool remove(int case_number);

 private:
  void report_move_failures(const std::vector<std::string>& failures);
  void refill_after_removal();

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
};

}  // namespace dialogs::cases
