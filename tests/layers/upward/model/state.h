// An include that points up, and a namespace that is not its folder: the checks must refuse both.
#pragma once

#include "dialogs/context.h"

namespace app {}
// A library the model does not link.
#include <nlohmann/json.hpp>
