// Response spectra drawn into a PNG of 8 x 5 inches at 300 dpi, without a window: the commands
// that write pictures run without a display.
#pragma once

#include <string>

#include "ui/spectra_picture.h"

namespace ui::qt {

inline constexpr int spectra_picture_dpi = 300;

// The PNG bytes; empty with `why` when the picture cannot be drawn. Makes the GUI application
// the painter needs (on the offscreen platform) when the process has none.
std::string spectra_picture_png(const SpectraPicture& picture, std::string& why);

}  // namespace ui::qt
