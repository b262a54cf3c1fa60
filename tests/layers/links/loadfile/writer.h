#pragma once

#include "model/state.h"
