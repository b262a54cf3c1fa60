#include "editors/editors.h"

namespace editors {

// Until the editor's logic exists it runs with its template and closing buttons only.
void open_diameters_editor(app::Context& context, ui::Dialog&) {
  auto dialog = context.toolkit.create_dialog(110);
  dialog->run_modal();
}

}  // namespace editors
