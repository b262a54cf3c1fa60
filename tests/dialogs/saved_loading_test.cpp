// Which cases hold a loading the user gave them: what the editors open with and what Plot and
// Suite are offered for.
#include "dialogs/saved_loading.h"

#include <gtest/gtest.h>

#include "dialogs/context.h"
#include "dialogs/editors/editors.h"
#include "support/fake_toolkit.h"

namespace {

struct LoadedRun {
  testing_support::FakeToolkit toolkit;
  model::ProgramState state;
  dialogs::Context context{toolkit, state};

  LoadedRun() {
    context.cases.general().n_loading_cases = 3;
    state.n_loaded_cases = 2;
    context.cases.set_count(3);
    for (int k = 1; k <= 2; ++k) {
      model::Case& c = context.cases.at(k);
      c.record.loading_type = model::LoadingType::sinusoidal;
      c.record.n_load_ranges = 2;
      c.loaded = c.record;
      c.loading_saved = true;
    }
  }
  model::Case& at(int k) { return context.cases.at(k); }
};

TEST(SavedLoading, ALoadedCaseHoldsTheFilesLoadingWhileItKeepsItsType) {
  LoadedRun run;
  EXPECT_TRUE(dialogs::holds_saved_loading(run.context, 1));
  EXPECT_TRUE(dialogs::editors::has_saved_loading(run.context, 1));
  // Its saved flag (set for every loaded case) is not asked: the file gave a sinusoidal loading.
  run.at(1).record.loading_type = model::LoadingType::exponential;
  EXPECT_FALSE(dialogs::holds_saved_loading(run.context, 1));
  EXPECT_FALSE(dialogs::editors::has_saved_loading(run.context, 1));
  run.at(2).loaded.reset();
  EXPECT_FALSE(dialogs::holds_saved_loading(run.context, 2)) << "a loaded case LOAD read no record of";
}

TEST(SavedLoading, AnyOtherCaseHoldsALoadingOnceAnEditorSavedOne) {
  LoadedRun run;
  model::Case& c = run.at(3);
  c.record.loading_type = model::LoadingType::sinusoidal;
  c.record.n_load_ranges = 1;
  c.loaded = c.record;  // what an earlier LOAD read: case 3 is not one of its cases now
  EXPECT_FALSE(dialogs::holds_saved_loading(run.context, 3));
  EXPECT_FALSE(dialogs::editors::has_saved_loading(run.context, 3));
  c.loading_saved = true;
  EXPECT_TRUE(dialogs::holds_saved_loading(run.context, 3));
  EXPECT_TRUE(dialogs::editors::has_saved_loading(run.context, 3));
  // Plot is offered only with ranges to draw; the rule itself does not count them.
  c.record.n_load_ranges = 0;
  EXPECT_TRUE(dialogs::holds_saved_loading(run.context, 3));
  EXPECT_FALSE(dialogs::editors::has_saved_loading(run.context, 3));
  // A case beyond those made has none.
  run.context.cases.at(4).loading_saved = true;
  EXPECT_FALSE(dialogs::editors::has_saved_loading(run.context, 4));
}

}  // namespace
