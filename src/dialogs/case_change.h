// A change of a case that takes effect at once, without an editor's SAVE (a form's field, the
// accelerogram code, the initial acceleration of an ADD): it is made on a copy and handed back
// through the case store's one commit, like every other change of a case, so that nothing
// writes the store's cases behind its back.
#pragma once

#include <utility>

#include "dialogs/context.h"
#include "model/analysis.h"

namespace dialogs {

template <class Edit>
void change_case_at_once(Context& context, int k, Edit&& edit) {
  model::Case edited = context.cases.facts(k);
  std::forward<Edit>(edit)(edited);
  model::case_files::FileFailure no_file;  // no section is saved, so no case file is written
  context.cases.commit(context.state, k, std::move(edited), {}, no_file);
}

}  // namespace dialogs
