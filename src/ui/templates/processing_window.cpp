#include "ui/templates/processing_window.h"

namespace ui::templates {

// The three curves on the left, as tall as the window allows, so that a drift shows; on the
// right the choices in the order of the steps, then what the processing did.
const DialogTemplate& processing_window() {
  using C = ProcessingWindow;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Processing", 1180, 672,
      {
          {id(C::acceleration), K::chart, "Acceleration", {}, {12, 12, 760, 212}},
          {id(C::velocity), K::chart, "Velocity", {}, {12, 230, 760, 212}},
          {id(C::displacement), K::chart, "Displacement", {}, {12, 448, 760, 212}},
          {no_id, K::static_text, "Component shown", {}, {784, 16, 150, 20}},
          {id(C::component), K::drop_down, "Component shown", {}, {940, 12, 228, 26}},
          {no_id, K::static_text, "High-pass (Hz)", {}, {784, 50, 150, 20}},
          {id(C::highpass), K::edit, "High-pass (Hz)", {}, {940, 46, 228, 26}, free_text(260)},
          {no_id, K::static_text, "Low-pass (Hz)", {}, {784, 84, 150, 20}},
          {id(C::lowpass), K::edit, "Low-pass (Hz)", {}, {940, 80, 228, 26}, free_text(260)},
          {no_id, K::static_text, "Order", {}, {784, 118, 150, 20}},
          {id(C::order), K::edit, "Order", {}, {940, 114, 228, 26}, free_text(260)},
          {no_id, K::static_text, "Taper (share)", {}, {784, 152, 150, 20}},
          {id(C::taper), K::edit, "Taper (share)", {}, {940, 148, 228, 26}, free_text(260)},
          {no_id, K::static_text, "Padding (s)", {}, {784, 186, 150, 20}},
          {id(C::pad), K::edit, "Padding (s)", {}, {940, 182, 228, 26}, free_text(260)},
          {no_id, K::static_text, "Baseline", {}, {784, 220, 150, 20}},
          {id(C::baseline), K::drop_down, "Baseline",
           {"default: poly6 or mean", "none", "mean", "linear", "poly6"}, {940, 216, 228, 26}},
          {no_id, K::static_text, "Padding afterwards", {}, {784, 254, 150, 20}},
          {id(C::trim), K::drop_down, "Padding afterwards", {"kept", "cut back to the record's span"},
           {940, 250, 228, 26}},
          {no_id, K::static_text, "High-pass: a corner in Hz, auto, or blank for none. Padding: seconds or auto.",
           {}, {784, 284, 384, 40}},
          {no_id, K::group_box, "Processed", {}, {784, 326, 384, 292}},
          {id(C::summary), K::static_text, "", {}, {796, 346, 360, 266}},
          {id(C::use), K::push_button, "Use processed", {}, {784, 630, 124, 30}, {}, true, true},
          {id(C::as_read), K::push_button, "As read", {}, {916, 630, 120, 30}},
          {id(C::cancel), K::push_button, "Cancel", {}, {1044, 630, 124, 30}},
      }};
  return t;
}

}  // namespace ui::templates
