// Qt outside its face.
#include <QString>
// A layer reached only through another: dialogs links loadfile, not model.
#include "model/state.h"
