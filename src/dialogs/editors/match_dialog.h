// "Match" of the Response Spectrum window: a record matched to the design spectrum under a
// progress bar, then the Spectral Match window that shows what the match did and applies it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "motion/matching.h"
#include "motion/reader.h"

namespace dialogs::editors {

struct MatchInput {
  // The record in m/s2 at its step, the case's direction of each component in `orientations`.
  const motion::Record* record = nullptr;
  std::vector<std::string> names;  // of the components, as the window shows them
  motion::DesignSpectrum target{motion::Asce7Spectrum{}};
  motion::MatchRequest request;
  std::vector<double> periods;  // of the chart
};

// The components matched: the horizontal pair on RotD100, or the one component; a vertical one
// is never of the pair.
std::vector<std::size_t> matched_components(const motion::Record& record);

// The whole record after the match: the components matched as the match left them, the others
// padded with rest where the match padded, so that every component keeps its time.
std::vector<std::vector<double>> record_after_match(const motion::Record& record, const motion::MatchResult& result);

// Matches under a progress bar (Cancel between iterations) and shows the Spectral Match window.
// The record after the match (m/s2) when the user pressed Apply; none when the match was
// refused or cancelled or the window closed.
std::optional<std::vector<std::vector<double>>> run_match_window(Context& context, const MatchInput& input);

}  // namespace dialogs::editors
