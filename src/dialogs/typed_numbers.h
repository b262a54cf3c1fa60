// Numbers typed in a dialog's edits, read as far as the dialog's table says the edit is read.
#pragma once

#include "text/free_form.h"
#include "ui/toolkit.h"

namespace dialogs {

template <ui::Controls E>
float typed_real(const ui::Dialog& dialog, E edit) {
  return text::c_to_float(dialog.text(edit), ui::field_length(edit));
}

template <ui::Controls E>
int typed_integer(const ui::Dialog& dialog, E edit) {
  return text::c_to_int(dialog.text(edit), ui::field_length(edit));
}

}  // namespace dialogs
