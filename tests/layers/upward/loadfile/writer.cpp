// The loading file code must not know the editors.
#include "dialogs/editors/editors.h"
