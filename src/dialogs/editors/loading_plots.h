// The loading of a case as curves and a table, for the toolkit's plot window. Built from what
// an editor holds (its working copy, so that what is shown is what SAVE would write) or from a
// record read from a file.
#pragma once

#include <string>
#include <vector>

#include "model/analysis.h"
#include "model/state.h"
#include "motion/reader.h"
#include "ui/plot.h"

namespace dialogs::editors {

// Points 1..n of an accelerogram: acceleration per direction in use, and velocity and
// displacement by the trapezoid rule over the points' own (possibly uneven) steps.
// `length_unit` names the model's length ("m"); the acceleration is in length_unit/sec2.
ui::PlotRequest accelerogram_plot(const std::string& title, const std::vector<model::AccelPoint>& points,
                                  bool three_directions, int n_dof, int direction,
                                  const std::string& length_unit);

// Time points 1..count: one curve per node range and direction against time; the table has a
// column per range and direction, empty where a time point does not load that range.
ui::PlotRequest discrete_loading_plot(const std::string& title, const model::DiscreteLoading& points, int count,
                                      int n_dof, const std::string& force_unit);

// Ranges 1..count of a sinusoidal (A sin(omega t + phi)) or exponential (A exp(omega t))
// loading over [0, end_time] (1 s while the end time is not set), sampled finely enough to show
// each period: one curve and one table column per range and direction.
ui::PlotRequest amplitude_plot(const std::string& title, const std::vector<model::NodeRange>& ranges,
                               int n_dof, bool sinusoidal, double omega, double phi, double end_time,
                               const std::string& force_unit);

// A record read from a file: its components, then their velocity and displacement, optionally
// from the acceleration less its mean. `unit`: the model's length unit, as for
// accelerogram_plot; for loads (acceleration false, a single panel) its force unit.
ui::PlotRequest record_plot(const std::string& title, const motion::Record& record,
                            const std::string& unit, bool acceleration, bool remove_mean);

// v[0] = 0, v[i] = v[i-1] + (t[i] - t[i-1]) (a[i] + a[i-1]) / 2.
std::vector<double> integrate_uneven(const std::vector<double>& t, const std::vector<double>& a);

}  // namespace dialogs::editors
