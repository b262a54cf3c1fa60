#include <algorithm>

#include "ui/dialog_template.h"
#include "ui/templates/templates.h"

namespace ui {

const ControlTemplate* DialogTemplate::find(ControlId control) const {
  if (control == no_id) return nullptr;
  auto it = std::find_if(controls.begin(), controls.end(),
                         [control](const ControlTemplate& c) { return c.id == control; });
  return it == controls.end() ? nullptr : &*it;
}

const std::vector<const DialogTemplate*>& all_templates() {
  static const std::vector<const DialogTemplate*> all = {
      &templates::general_data(),     &templates::loading_cases(),
      &templates::initial_values(),   &templates::discrete_loading(),
      &templates::sin_exp(),          &templates::accelerogram(),
      &templates::time_points(),      &templates::diameters(),
      &templates::import_time_history(),
      &templates::response_spectrum(),
      &templates::processing_window(),
      &templates::spectral_match(),
      &templates::suite_window(),
  };
  return all;
}

const DialogTemplate* find_template(int template_id) {
  for (const DialogTemplate* t : all_templates())
    if (t->id == template_id) return t;
  return nullptr;
}

std::size_t field_length(DialogId dialog, ControlId id) {
  const DialogTemplate* t = find_template(static_cast<int>(dialog));
  const ControlTemplate* c = t ? t->find(id) : nullptr;
  return c ? c->field.length : 0;
}

}  // namespace ui
