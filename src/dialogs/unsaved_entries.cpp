#include "dialogs/unsaved_entries.h"

#include <utility>

namespace dialogs {

bool user_discards_entries(Context& context) {
  return context.message("Discard the data entered?", "Renuntati la datele introduse?", "Message",
                         ui::Icon::question, ui::Buttons::yes_no_default_no) == ui::Answer::yes;
}

void ask_before_discarding(Context& context, ui::Dialog& dialog, std::function<bool()> holds_unsaved) {
  dialog.on_leave([&context, holds_unsaved = std::move(holds_unsaved)](ui::Dialog&) {
    return !holds_unsaved() || user_discards_entries(context);
  });
}

UnsavedEntries::UnsavedEntries(Context& context, ui::Dialog& dialog, ui::DialogId shown)
    : template_(ui::find_template(shown)) {
  ask_before_discarding(context, dialog, [this] { return held_; });
  // DONE is as easily pressed as Esc (Enter presses it) and drops the same entries.
  dialog.on(ui::ok_button, [this, &context](ui::Dialog& d, ui::ControlId) {
    if (!held_ || user_discards_entries(context)) d.close(ui::ok_button);
  });
}

void UnsavedEntries::note(ui::ControlId control) {
  const ui::ControlTemplate* c = template_ ? template_->find(control) : nullptr;
  if (c && c->kind != ui::ControlKind::list_box) held_ = true;
}

}  // namespace dialogs
