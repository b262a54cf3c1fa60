// A case's sections as an editor or the plot opens them: the data the store holds, each number
// as the section's case file spells it and reading that file back gives it (a G14.7 text keeps
// seven digits), without making the file's text. A verbatim section (the lines of a stopped
// run's case file, or of a section made for another model size) has only its lines: those are
// read here, once, by the case file's readers.
#pragma once

#include <vector>

#include "model/analysis.h"

namespace model::case_files {

std::vector<NodeRange> opened_conditions(const InitialConditions& section, const GeneralData& g);
std::vector<NodeRange> opened_initial_loadings(const RangeSection& section, const GeneralData& g);
std::vector<NodeRange> opened_amplitudes(const Loading& loading, const GeneralData& g);
DiscreteLoading opened_discrete(const Loading& loading, const GeneralData& g);

// The points read into entries 1, 2, ... of `table` (grown as needed) in the layout of `type`
// and `direction` (the case's of the moment), at most `n_points`: a point read keeps the
// components its record does not carry from the entry it replaces. Returns the number read.
int open_points(const Loading& loading, LoadingType type, const GeneralData& g, AccelDirection direction,
                int n_points, std::vector<AccelPoint>& table);

}  // namespace model::case_files
