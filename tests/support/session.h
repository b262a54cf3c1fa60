// A program state with the run's document (the case store) beside it, as one program run holds
// them: the tests set the model and the analysis-wide data through the session, and state a
// case's record and facts by its number.
#pragma once

#include <utility>

#include "dialogs/context.h"
#include "model/case_files/case_store.h"
#include "model/state.h"

namespace testing_support {

struct Session : model::ProgramState {
  model::case_files::CaseStore cases;

  // The document's analysis-wide data, where the store keeps it.
  model::GeneralData& general() { return cases.general(); }
  const model::GeneralData& general() const { return cases.general(); }
  model::Damping& damping() { return cases.damping(); }
  const model::Damping& damping() const { return cases.damping(); }
  text::Field<260>& loading_file() { return cases.loading_file(); }
  const text::Field<260>& loading_file() const { return cases.loading_file(); }
  model::AccelDirection& accel_direction() { return cases.accel_direction(); }
  model::AccelDirection accel_direction() const { return cases.accel_direction(); }

  model::Case& at(int k) { return cases.at(k); }
  model::CaseRecord& record(int k) { return cases.at(k).record; }
  // What LOAD read for case k, made when it read none.
  model::CaseRecord& loaded(int k) {
    std::optional<model::CaseRecord>& r = cases.at(k).loaded;
    if (!r) r.emplace();
    return *r;
  }
};

// A dialog context over a session, as the program makes one over its state and document: the
// context works on the session's document while it lives and gives it back when it goes.
class SessionContext {
 public:
  SessionContext(ui::Toolkit& toolkit, Session& session)
      : context{toolkit, session, std::move(session.cases)}, session_(session) {}
  ~SessionContext() { session_.cases = std::move(context.cases); }
  SessionContext(const SessionContext&) = delete;
  SessionContext& operator=(const SessionContext&) = delete;

  dialogs::Context context;

 private:
  Session& session_;
};

// The cases as LOAD read them, entered as they stand, as the Loading Cases dialog enters them.
inline void enter_loaded_cases(model::case_files::CaseStore& cases) {
  int n = 0;
  while (cases.loaded(n + 1)) ++n;
  cases.set_count(n);
  for (int k = 1; k <= n; ++k) cases.at(k).record = *cases.loaded(k);
}

}  // namespace testing_support
