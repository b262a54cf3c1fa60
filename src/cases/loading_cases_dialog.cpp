#include "cases/loading_cases_dialog.h"

namespace cases {

// Until the dialog's logic exists it runs with its template and closing buttons only.
int run_loading_cases_dialog(app::Context& context) {
  auto dialog = context.toolkit.create_dialog(102);
  context.state.loading_cases_result = dialog->run_modal();
  return context.state.loading_cases_result;
}

}  // namespace cases
