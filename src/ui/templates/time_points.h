// The Time Points prompt: the maximum number of time points a discrete loading may hold.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class TimePoints : ControlId { ok = 1, cancel = 2, count = 1103 };
constexpr DialogId dialog_of(TimePoints) { return DialogId::time_points; }

const DialogTemplate& time_points();

}  // namespace ui::templates
