#include "ui/toolkit.h"

#include <utility>

namespace ui {

namespace {
ActionObserver& action_observer() {
  static ActionObserver observer;
  return observer;
}
}  // namespace

ActionObserver set_action_observer(ActionObserver observer) {
  return std::exchange(action_observer(), std::move(observer));
}

void run_user_callback(const Dialog::Callback& callback, Dialog& dialog, ControlId id) {
  callback(dialog, id);
  if (const ActionObserver& observer = action_observer()) observer();
}

}  // namespace ui
