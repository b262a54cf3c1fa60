#include "app/program.h"

#include "cases/loading_cases_dialog.h"
#include "cases/scratch_files.h"
#include "general/general_data_dialog.h"

namespace app {

int run_program(ui::Toolkit& toolkit) {
  ProgramState state;
  Context context{toolkit, state};
  start_up(context);
  run_wizard(context);
  clean_up();
  return 0;
}

void start_up(Context&) {}

void run_wizard(Context& context) {
  general::run_general_data_dialog(context);
  while (context.state.general_data_result == 1) {
    cases::run_loading_cases_dialog(context);
    if (context.state.loading_cases_result != 2) break;
    general::run_general_data_dialog(context);
  }
}

void clean_up() { cases::delete_case_scratch_files(true); }

}  // namespace app
