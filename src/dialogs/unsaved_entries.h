// Esc and the close box leave a dialog without keeping what it holds. When the user has
// entered something there that is not kept yet, they ask first; the labelled Cancel button is
// a deliberate choice and asks nothing.
#pragma once

#include <functional>

#include "dialogs/context.h"
#include "ui/dialog_template.h"
#include "ui/toolkit.h"

namespace dialogs {

// "Discard the data entered?" in the language of the moment; true when the user says Yes.
bool user_discards_entries(Context& context);

// Makes Esc and the close box of `dialog` ask while `holds_unsaved` says so.
void ask_before_discarding(Context& context, ui::Dialog& dialog, std::function<bool()> holds_unsaved);

// Follows the user's actions on one dialog: typing, a drop-down choice or a button counts as
// entering data; choosing in a list only chooses what is shown. The button that closes the
// dialog keeping nothing more (DONE, E X I T) asks as Esc does, unless the dialog gives that
// button a callback of its own afterwards.
class UnsavedEntries {
 public:
  UnsavedEntries(Context& context, ui::Dialog& dialog, ui::DialogId shown);
  UnsavedEntries(const UnsavedEntries&) = delete;
  UnsavedEntries& operator=(const UnsavedEntries&) = delete;

  void note(ui::ControlId control);
  void kept() { held_ = false; }
  // Data came in without the user's actions here (a run taken back after a crash).
  void hold() { held_ = true; }
  bool held() const { return held_; }

 private:
  const ui::DialogTemplate* template_;
  bool held_ = false;
};

}  // namespace dialogs
