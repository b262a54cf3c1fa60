// Dialog templates as data: every control of every dialog, with its identifier, kind, label,
// list contents and place. Both toolkits build their dialogs from these tables only.
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace ui {

// Identifier of a static text or group box that the program never addresses.
inline constexpr ControlId no_id = -1;

enum class ControlKind {
  push_button,
  edit,
  static_text,
  list_box,    // a list of items; the selection is its first selected item
  drop_down,   // a drop-down list (combo box without typing)
  group_box,
  chart,       // curves drawn by the toolkit (Dialog::set_chart); no callback
};

// Place and size in pixels, relative to the dialog's client area.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct ControlTemplate {
  ControlId id = no_id;
  ControlKind kind = ControlKind::static_text;
  // Caption of buttons, statics and group boxes ("\n" separates lines). For edits, lists and
  // drop-downs the name of the field (the text of the static beside it), used as the
  // accessible name; it is not drawn.
  std::string label;
  std::vector<std::string> items;  // initial items of lists and drop-downs
  Rect rect;
  bool enabled = true;
  bool default_button = false;  // the button that Enter presses
  bool digits_only = false;     // an edit that takes only the digits 0-9 as typed
};

struct DialogTemplate {
  int id = 0;
  std::string title;
  int width = 0, height = 0;  // client area in pixels
  // In tab order: the keyboard moves through the focusable controls in this order.
  std::vector<ControlTemplate> controls;

  const ControlTemplate* find(ControlId control) const;
};

// The template with this identifier, or nullptr.
const DialogTemplate* find_template(int template_id);
// Every template, in identifier order.
const std::vector<const DialogTemplate*>& all_templates();

}  // namespace ui
