#include "dialogs/saved_loading.h"

namespace dialogs {

bool holds_saved_loading(const Context& context, int k) {
  const model::Case& c = context.cases.sections(k);
  if (k <= context.state.n_loaded_cases) return c.loaded && c.loaded->loading_type == c.record.loading_type;
  return c.loading_saved;
}

}  // namespace dialogs
