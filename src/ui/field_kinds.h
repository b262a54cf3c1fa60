// What each edit of the dialog templates holds, and how many of its characters the dialogs
// read: the data that lets a face tell, as the user types, whether a text will be taken whole.
// Typing is never blocked; the conversion rules of the dialogs stay as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/dialog_template.h"

namespace ui {

// What edit `id` of template `template_id` holds; free text when the table does not name it.
FieldFormat field_format(int template_id, ControlId id);

// Empty when `typed` is blank or converts whole; otherwise a note saying what will be stored,
// for example: Not a number as typed: 12.5 will be stored.
std::string conversion_note(const FieldFormat& format, std::string_view typed);

}  // namespace ui
