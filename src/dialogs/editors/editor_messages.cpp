#include "dialogs/editors/editor_messages.h"

#include <string>

namespace editors {

void report_to_before_from(app::Context& context) {
  context.message("\"To\" MUST be >=\"From\" !", "\"To\" TREBUIE sa fie >=\"From\" !", "Message",
                  ui::Icon::error);
}

void report_ranges_full(app::Context& context, int capacity) {
  const std::string n = std::to_string(capacity);
  context.message("The list of node ranges is full (" + n + " ranges). The range was not added !",
                  "Lista domeniilor de noduri este plina (" + n +
                      " domenii). Domeniul nu s-a adaugat !",
                  "ADD Message", ui::Icon::error);
}

void report_time_points_full(app::Context& context, int capacity) {
  const std::string n = std::to_string(capacity);
  context.message("The list of time points is full (" + n + " time points). The time was not added !",
                  "Lista punctelor de timp este plina (" + n +
                      " puncte de timp). Timpul nu s-a adaugat !",
                  "ADD Message", ui::Icon::error);
}

void report_write_failure(app::Context& context, const std::string& path, const std::string& reason) {
  context.message("Cannot write file " + path + ": " + reason,
                  "Fisierul " + path + " nu se poate scrie: " + reason, "SAVE Message",
                  ui::Icon::error);
}

}  // namespace editors
