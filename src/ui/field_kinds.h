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

// Whether `typed` is blank or converts whole: the value stored is the one typed.
bool taken_whole(const FieldFormat& format, std::string_view typed);
// The value that the conversion stores for `typed`, as a number text (12.5, 4).
std::string stored_text(const FieldFormat& format, std::string_view typed);

// Empty when `typed` is blank or converts whole; otherwise a note saying what will be stored,
// for example: Not a number as typed: 12.5 will be stored.
std::string conversion_note(const FieldFormat& format, std::string_view typed);

}  // namespace ui
