// The common dialog initializer: puts the images on the buttons of a data dialog once its
// window exists. Every data dialog but Loading Cases (which has its own) registers it for its own id.
#pragma once

#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs {

// Registers the initializer as the callback of the dialog's own identifier.
void register_common_initializer(Context& context, ui::Dialog& dialog, ui::DialogId shown);

// What the initializer does, for a dialog whose window exists.
void apply_common_images(const Context& context, ui::Dialog& dialog, ui::DialogId shown);

}  // namespace dialogs
