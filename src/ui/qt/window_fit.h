// The size a window of ours opens at: what its content would like, within the screen it opens
// on, so that its buttons are never off screen on a small display (1366x768 laptops included).
#pragma once

#include <QSize>

class QWidget;

namespace ui::qt {

// Room the window manager takes around a window: a title bar and a frame.
inline constexpr int frame_width_allowance = 16;
inline constexpr int frame_height_allowance = 48;

// Resizes `window` to `wanted`, made smaller where the available area of its screen (less the
// frame) is smaller, but never below what its layout needs.
void fit_to_screen(QWidget& window, QSize wanted);

}  // namespace ui::qt
