#include "dialogs/editors/editor_messages.h"

#include <string>

namespace dialogs::editors {

void report_to_before_from(Context& context) {
  context.message("\"To\" MUST be >=\"From\" !", "\"To\" TREBUIE sa fie >=\"From\" !", "Message",
                  ui::Icon::error);
}

void report_ranges_full(Context& context, int capacity) {
  const std::string n = std::to_string(capacity);
  context.message("The list of node ranges is full (" + n + " ranges). The range was not added !",
                  "Lista domeniilor de noduri este plina (" + n +
                      " domenii). Domeniul nu s-a adaugat !",
                  "ADD Message", ui::Icon::error);
}

void report_outside_model(Context& context, bool elements, int limit) {
  const std::string n = std::to_string(limit);
  if (elements)
    context.message("Element numbers MUST be from 1 to " + n + " (the No. of Elements) !",
                    "Numerele elementelor TREBUIE sa fie de la 1 la " + n + " (numarul de elemente) !",
                    "ADD Message", ui::Icon::error);
  else
    context.message("Node numbers MUST be from 1 to " + n + " (the No. of Nodes) !",
                    "Numerele nodurilor TREBUIE sa fie de la 1 la " + n + " (numarul de noduri) !",
                    "ADD Message", ui::Icon::error);
}

void report_time_points_full(Context& context, int capacity) {
  const std::string n = std::to_string(capacity);
  context.message("The list of time points is full (" + n + " time points). The time was not added !",
                  "Lista punctelor de timp este plina (" + n +
                      " puncte de timp). Timpul nu s-a adaugat !",
                  "ADD Message", ui::Icon::error);
}

void report_write_failure(Context& context, const std::string& path, const std::string& reason) {
  context.message("Cannot write file " + path + ": " + reason,
                  "Fisierul " + path + " nu se poate scrie: " + reason, "SAVE Message",
                  ui::Icon::error);
}

}  // namespace dialogs::editors
