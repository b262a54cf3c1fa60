// Whether a case's loading, as the store holds it, is one the user gave it: the one rule that
// the loading editors (to open with it), the Loading Cases dialog (to fill the discrete table,
// to offer Plot and Suite) and Plot (to draw it) share.
#pragma once

#include "dialogs/context.h"

namespace dialogs {

// A case read from an old loading file holds the file's loading while it keeps the loading type
// the file gave; any other case holds a loading once an editor saved one for it. The counts
// are not looked at: each caller asks the count it shows.
//
// The saved fact is kept, not derived from the sections the store holds: a loading saved as
// sinusoidal stays the case's saved loading when its type becomes exponential (the two share
// the case's count of ranges, and Plot is offered and says there is none to draw), and a
// discrete SAVE of no time point saves no section. The initial values' saved fact is kept for
// a like reason: a SAVE whose second file could not be written keeps the initial conditions
// written before it, and the editor still opens the case as never saved.
bool holds_saved_loading(const Context& context, int case_number);

}  // namespace dialogs
