#include "dialogs/cases/damping_block.h"

#include "dialogs/typed_numbers.h"
#include "text/format.h"
#include "ui/templates/loading_cases.h"

namespace dialogs::cases {

namespace {
using C = ui::templates::LoadingCases;
}  // namespace

void select_listed_item(ui::Dialog& dialog, ui::ControlId list, int item, int count) {
  dialog.select(list, item >= 1 && item <= count ? item : 0);
}

void DampingBlock::show_type() {
  select_listed_item(dialog_, ui::id(C::damping), damping_type_item(document_.damping().type), 5);
}

void DampingBlock::offer_for_case() {
  dialog_.set_enabled(C::damping, true);
  apply_table(damping_type_of_item(dialog_.selection(C::damping)));
}

void DampingBlock::show_values_if_present() {
  if (document_.damping().present) show_values();
}

void DampingBlock::show() {
  show_type();
  apply_table(document_.damping().type);
  show_values_if_present();
}

void DampingBlock::choose() {
  document_.damping().type = damping_type_of_item(dialog_.selection(C::damping));
  // Choosing "NO Damping" must clear the flag too, or a file written before the next "Add"
  // would carry damping records under damping code 0.
  document_.damping().present = document_.damping().type != model::DampingType::none;
  apply_table(document_.damping().type);
}

void DampingBlock::read(CaseForm& form) const {
  form.damping_item = dialog_.selection(C::damping);
  if (damping_type_of_item(form.damping_item) == model::DampingType::none) return;
  // A typed value beyond the range of a 32-bit real keeps its sign at the largest magnitude.
  if (document_.general().new_operator) form.niu = dialogs::typed_real(dialog_, C::niu);
  form.first_damping = dialogs::typed_real(dialog_, C::first_damping);
  form.second_damping = dialogs::typed_real(dialog_, C::second_damping);
  form.zeta = dialogs::typed_real(dialog_, C::zeta);
}

// The fields the chosen type does not use are disabled and may hold an old text; they are not
// stored either.
void DampingBlock::add_used_fields(std::vector<ui::ControlId>& fields) const {
  const model::DampingType damping = damping_type_of_item(dialog_.selection(C::damping));
  if (damping == model::DampingType::none) return;
  const DampingFields used = damping_fields(damping, document_.general().new_operator);
  if (used.niu) fields.push_back(ui::id(C::niu));
  if (used.first) fields.push_back(ui::id(C::first_damping));
  if (used.second) fields.push_back(ui::id(C::second_damping));
  if (used.zeta) fields.push_back(ui::id(C::zeta));
}

void DampingBlock::show_values() {
  const model::Damping& d = document_.damping();
  if (document_.general().new_operator) dialog_.set_text(C::niu, text::f14_7_text(d.niu));
  using model::DampingType;
  switch (d.type) {
    case DampingType::rayleigh:
      dialog_.set_text(C::first_damping, text::g14_7_text(d.alfa_d));
      dialog_.set_text(C::second_damping, text::g14_7_text(d.beta_d));
      break;
    case DampingType::aero_structural:
      dialog_.set_text(C::zeta, text::g14_7_text(d.zeta));
      [[fallthrough]];
    case DampingType::aero:
      dialog_.set_text(C::first_damping, text::g14_7_text(d.ro_air));
      dialog_.set_text(C::second_damping, text::g14_7_text(d.c_drag));
      break;
    case DampingType::structural: dialog_.set_text(C::zeta, text::g14_7_text(d.zeta)); break;
    case DampingType::none: break;
  }
}

void DampingBlock::apply_table(model::DampingType damping_type) {
  const DampingFields fields = damping_fields(damping_type, document_.general().new_operator);
  dialog_.set_enabled(C::first_damping, fields.first);
  dialog_.set_enabled(C::second_damping, fields.second);
  dialog_.set_enabled(C::zeta, fields.zeta);
  dialog_.set_enabled(C::niu, fields.niu);
  if (fields.diameters != DiametersButton::unchanged)
    dialog_.set_enabled(C::diameters, fields.diameters == DiametersButton::enabled);
  if (!fields.first_label.empty()) {
    dialog_.set_text(C::first_damping_label, fields.first_label);
    dialog_.set_text(C::second_damping_label, fields.second_label);
  }
  dialog_.set_text(C::zeta_label, "zeta");
}

}  // namespace dialogs::cases
