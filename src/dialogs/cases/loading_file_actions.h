// The loading-file actions of the Loading Cases dialog: the file's state, Select, Create and
// View.
#pragma once

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs::cases {

class LoadingFileActions {
 public:
  LoadingFileActions(Context& context, ui::Dialog& dialog) : context_(context), state_(context.state), dialog_(dialog) {}

  // "Old" and its path after LOAD from Old File, "New" otherwise.
  void show_file_state();
  // A run taken back after a crash shows the file it had chosen, ready for Create.
  void show_resumed_file();
  void select();
  // Writes the analysis with the case records as the form holds them; true when written.
  bool create();
  void view();
  // "View" shows a file that is there: before the first Create it would only say there is none.
  void refresh_view_button();

 private:
  bool chosen_path_taken(const std::string& path);

  Context& context_;
  model::ProgramState& state_;
  ui::Dialog& dialog_;
};

}  // namespace dialogs::cases
