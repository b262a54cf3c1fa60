// The damping block of the Loading Cases dialog: one for the whole analysis, shown with every
// case and taken back with the case the user stores.
#pragma once

#include <vector>

#include "dialogs/cases/case_form.h"
#include "dialogs/context.h"
#include "ui/toolkit.h"

namespace dialogs::cases {

class DampingBlock {
 public:
  DampingBlock(Context& context, ui::Dialog& dialog) : document_(context.cases), dialog_(dialog) {}

  // The list shows the analysis' damping type, so a case stored without touching the list
  // keeps it instead of taking a type of "no item".
  void show_type();
  // A case was chosen: the block is offered for it, as the list shows it.
  void offer_for_case();
  // The block belongs to every case: a new case shows it too, or its "Add" would store the
  // blanked fields as zeros for all the cases already added.
  void show_values_if_present();
  // The block as the analysis holds it, type and values.
  void show();
  // The damping list changed: the type is the analysis' at once.
  void choose();
  // The damping values typed, into the form; disabled fields are not read.
  void read(CaseForm& form) const;
  // The fields the chosen type uses, which must be taken whole before the case is stored.
  void add_used_fields(std::vector<ui::ControlId>& fields) const;

 private:
  void show_values();
  void apply_table(model::DampingType damping_type);

  model::case_files::CaseStore& document_;
  ui::Dialog& dialog_;
};

// A list item by number; a code read from an old file may lie outside the list, which then
// shows no item.
void select_listed_item(ui::Dialog& dialog, ui::ControlId list, int item, int count);

}  // namespace dialogs::cases
