#include "ui/templates/spectral_match.h"

namespace ui::templates {

// The spectra on the left as in the Response Spectrum window; on the right the match in words,
// then the records plotted, Apply and Close.
const DialogTemplate& spectral_match() {
  using C = SpectralMatch;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Spectral Match", 1180, 640,
      {
          {id(C::chart), K::chart, "Spectra", {}, {12, 12, 664, 616}},
          {no_id, K::group_box, "Match", {}, {688, 12, 480, 570}},
          {id(C::summary), K::static_text, "", {}, {700, 32, 456, 300}},
          {id(C::plot), K::push_button, "Plot records...", {}, {688, 598, 150, 30}},
          {id(C::apply), K::push_button, "Apply", {}, {852, 598, 150, 30}},
          {id(C::close), K::push_button, "Close", {}, {1018, 598, 150, 30}},
      }};
  return t;
}

}  // namespace ui::templates
