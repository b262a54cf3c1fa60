// The Spectral Match window of the Response Spectrum window: the spectra of the seed, of the
// seed scaled and of the matched record over the target and its tolerance band, what the match
// did to the record, and Apply.
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class SpectralMatch : ControlId {
  close = 2,
  chart = 1401,
  summary = 1402,
  plot = 1403,
  apply = 1404,
};
constexpr DialogId dialog_of(SpectralMatch) { return DialogId::spectral_match; }

const DialogTemplate& spectral_match();

}  // namespace ui::templates
