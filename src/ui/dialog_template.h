// Dialog templates as data: every control of every dialog, with its identifier, kind, label,
// list contents and place. Both toolkits build their dialogs from these tables only.
#pragma once

#include <cstddef>
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

// What an edit holds, as its dialog converts it: the data that lets a face tell, as the user
// types, whether a text will be taken whole.
enum class FieldKind {
  free_text,  // anything goes (or the field is not a number)
  real,       // a real number (C-library prefix rule)
  integer,    // a whole number (C-library prefix rule)
  node,       // a node number of the model
  element,    // an element number of the model
};

struct FieldFormat {
  FieldKind kind = FieldKind::free_text;
  std::size_t length = 0;  // characters the dialog converts
};

constexpr FieldFormat free_text(std::size_t n) { return {FieldKind::free_text, n}; }
constexpr FieldFormat real(std::size_t n) { return {FieldKind::real, n}; }
constexpr FieldFormat integer(std::size_t n) { return {FieldKind::integer, n}; }
inline constexpr FieldFormat node{FieldKind::node, 6};
inline constexpr FieldFormat element{FieldKind::element, 6};

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
  FieldFormat field{};  // edits the dialog reads: what they hold and how much of it is read
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
inline const DialogTemplate* find_template(DialogId dialog) { return find_template(static_cast<int>(dialog)); }
// Every template, in identifier order.
const std::vector<const DialogTemplate*>& all_templates();

}  // namespace ui
