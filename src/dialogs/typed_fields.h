// A number field whose text the conversion would not take whole ("1,5" read as 1, "12x" as 12)
// stores a value the user never typed. The red frame warns while typing; the action that
// stores the field refuses it.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs {

// true when every field of `fields` (edits of dialog `dialog_id`) is blank or converts whole.
// Otherwise the user is told, under `title`, the first field that does not, what was typed
// there and what would be stored, and false is returned: the action stores nothing.
bool fields_taken_whole(Context& context, const ui::Dialog& dialog, ui::DialogId dialog_id,
                        std::span<const ui::ControlId> fields, std::string_view title);

inline bool fields_taken_whole(Context& context, const ui::Dialog& dialog, int template_id,
                               std::span<const ui::ControlId> fields, std::string_view title) {
  return fields_taken_whole(context, dialog, static_cast<ui::DialogId>(template_id), fields, title);
}
inline bool fields_taken_whole(Context& context, const ui::Dialog& dialog, int template_id,
                               std::initializer_list<ui::ControlId> fields, std::string_view title) {
  return fields_taken_whole(context, dialog, template_id, std::span(fields.begin(), fields.size()), title);
}
template <ui::Controls E>
bool fields_taken_whole(Context& context, const ui::Dialog& dialog, std::initializer_list<E> fields,
                        std::string_view title) {
  std::vector<ui::ControlId> ids;
  for (E f : fields) ids.push_back(ui::id(f));
  return fields_taken_whole(context, dialog, dialog_of(E{}), ids, title);
}

}  // namespace dialogs
