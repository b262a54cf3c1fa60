#include "loadfile/reader.h"

namespace loadfile {

bool load_old_loading_file(app::Context& context, ui::Dialog&, const std::string& path) {
  context.message("ERROR: the loading file reader is not built yet: " + path,
                  "EROARE: citirea fisierului de incarcare nu exista inca: " + path, "Message",
                  ui::Icon::error);
  return false;
}

}  // namespace loadfile
