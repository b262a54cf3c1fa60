// What any bytes read as a journal must give: a refusal with a reason, or a content that a run
// could have written, which writes back to a journal that reads the same. Shared by the
// mutation test of the normal suites and the libFuzzer target.
#pragma once

#include <string>
#include <string_view>

#include "support/session.h"
#include "model/case_files/journal.h"

namespace testing_support {

// An empty text when `bytes` pass; else what is wrong.
inline std::string journal_reader_fault(std::string_view bytes) {
  namespace cf = model::case_files;
  cf::JournalContent content;
  content.state.max_time_points = -7;  // untouched by a refusal
  std::string reason;
  const cf::JournalRead read = cf::parse_journal(bytes, content, reason);
  if (read == cf::JournalRead::damaged) {
    if (reason.empty()) return "refused without a reason";
    if (content.state.max_time_points != -7) return "a refused journal changed the content";
    return {};
  }
  if (read != cf::JournalRead::ok) return "neither read nor refused";
  const model::ProgramState& s = content.state;
  const model::GeneralData& g = content.analysis.general;
  if (s.max_time_points < 1 || g.n_loading_cases < 0 || g.n_loading_cases > 99 || g.n_dof < 0 || g.n_dof > 6 ||
      g.n_nodes < 0 || g.n_elements < 0 || s.current_case < 0 || s.current_case > 99)
    return "counts no run has were taken";
  if (content.summary.cases_entered < 0 || content.summary.cases_entered > 99) return "cases entered out of range";
  if (content.summary.saved_at < 0 || content.summary.saved_at > 253402300799) return "a time of no calendar";
  if (content.case_count < 0 || content.case_count > 99 || content.analysis.cases.size() > 99) return "more cases than a run has";
  testing_support::Session rebuilt;
  cf::restore_journaled_state(content, rebuilt, rebuilt.cases);
  const std::string again = cf::journal_text(rebuilt, rebuilt.cases, content.summary);
  cf::JournalContent second;
  if (cf::parse_journal(again, second, reason) != cf::JournalRead::ok) return "written back, it is refused: " + reason;
  testing_support::Session second_session;
  cf::restore_journaled_state(second, second_session, second_session.cases);
  if (cf::journal_text(second_session, second_session.cases, second.summary) != again)
    return "written back, it reads otherwise";
  return {};
}

}  // namespace testing_support
