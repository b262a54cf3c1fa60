#include "general/general_data_dialog.h"

namespace general {

// Until the dialog's logic exists it runs with its template and closing buttons only.
int run_general_data_dialog(app::Context& context) {
  auto dialog = context.toolkit.create_dialog(101);
  context.state.general_data_result = dialog->run_modal();
  return context.state.general_data_result;
}

}  // namespace general
