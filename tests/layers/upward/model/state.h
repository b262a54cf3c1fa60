// An include that points up: the layer check must refuse it.
#pragma once

#include "dialogs/context.h"
