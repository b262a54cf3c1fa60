// A program state with the run's case store beside it, as one program run holds them: the tests
// state a case's record and facts by its number.
#pragma once

#include "model/case_files/case_store.h"
#include "model/state.h"

namespace testing_support {

struct Session : model::ProgramState {
  model::case_files::CaseStore cases;

  model::Case& at(int k) { return cases.at(k); }
  model::CaseRecord& record(int k) { return cases.at(k).record; }
  // What LOAD read for case k, made when it read none.
  model::CaseRecord& loaded(int k) {
    std::optional<model::CaseRecord>& r = cases.at(k).loaded;
    if (!r) r.emplace();
    return *r;
  }
};

// The cases as LOAD read them, entered as they stand, as the Loading Cases dialog enters them.
inline void enter_loaded_cases(model::case_files::CaseStore& cases) {
  int n = 0;
  while (cases.loaded(n + 1)) ++n;
  cases.set_count(n);
  for (int k = 1; k <= n; ++k) cases.at(k).record = *cases.loaded(k);
}

}  // namespace testing_support
