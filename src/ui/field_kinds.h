// The note a face shows beside an edit whose typed text will not be taken whole, from what the
// edit's template row says it holds. Typing is never blocked; the conversion rules of the
// dialogs stay as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/dialog_template.h"

namespace ui {

// What edit `id` of template `template_id` holds, as its row says; free text for other controls.
FieldFormat field_format(int template_id, ControlId id);

// Whether `typed` is blank or converts whole: the value stored is the one typed.
bool taken_whole(const FieldFormat& format, std::string_view typed);
// The value that the conversion stores for `typed`, as a number text (12.5, 4).
std::string stored_text(const FieldFormat& format, std::string_view typed);

// Empty when `typed` is blank or converts whole; otherwise a note saying what will be stored,
// for example: Not a number as typed: 12.5 will be stored.
std::string conversion_note(const FieldFormat& format, std::string_view typed);

}  // namespace ui
