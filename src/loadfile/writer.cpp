#include "loadfile/writer.h"

namespace loadfile {

bool write_loading_file(app::Context& context) {
  context.message("ERROR: the loading file writer is not built yet.",
                  "EROARE: scrierea fisierului de incarcare nu exista inca.", "Create Message",
                  ui::Icon::error);
  return false;
}

}  // namespace loadfile
