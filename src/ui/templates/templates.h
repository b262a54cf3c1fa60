// Every dialog's template: one header per dialog, with the enum of its controls.
#pragma once

#include "ui/templates/accelerogram.h"
#include "ui/templates/diameters.h"
#include "ui/templates/discrete_loading.h"
#include "ui/templates/general_data.h"
#include "ui/templates/import_time_history.h"
#include "ui/templates/initial_values.h"
#include "ui/templates/loading_cases.h"
#include "ui/templates/processing_window.h"
#include "ui/templates/response_spectrum.h"
#include "ui/templates/sin_exp.h"
#include "ui/templates/spectral_match.h"
#include "ui/templates/suite_window.h"
#include "ui/templates/time_points.h"
