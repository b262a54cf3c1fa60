#pragma once

#include "loadfile/writer.h"
