// Taking back what a run that stopped (a crash, a kill, a power cut) had entered: its journal
// and case files are offered at the next start in the same folder, before the Time Points
// prompt; and the journal of the run itself, kept up to date after every action.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dialogs/context.h"
#include "model/case_files/journal.h"
#include "model/case_files/run_folder.h"

namespace app {

// Asks whether the newest of `runs` (newest first) should be taken back, naming the others.
// Yes: its state is rebuilt into context.state (the maximum of time points included) and its
// case files are copied into `case_folder`; the others stay for the next start. No: all go to
// abandoned/. A run whose journal cannot be read is named in a message and set aside.
// Returns true when a run was taken back.
bool offer_stopped_runs(dialogs::Context& context, std::vector<model::case_files::StoppedRun> runs,
                        const std::filesystem::path& case_folder);

// The question's words for one run: "DD/MM/YYYY", "HH:MM:SS" in local time.
std::string stopped_run_question(const std::vector<model::case_files::StoppedRun>& runs, bool romanian);

// `brantel --recover-list`: one line per stopped run of `start_folder`, newest first, then one
// per run set aside, with the date it will be removed.
int print_stopped_runs(const std::filesystem::path& start_folder, std::ostream& out);

// `brantel --recover RUN`: the run of the current folder named `name`, stopped or set aside,
// held for taking back; nothing, with a message saying why, when it cannot be had.
std::optional<model::case_files::StoppedRun> claim_named_run(dialogs::Context& context, const std::string& name);
// Takes `run` back into `case_folder` as Yes at the question does; false with a message.
bool take_back_run(dialogs::Context& context, model::case_files::StoppedRun& run,
                   const std::filesystem::path& case_folder);

// Writes the run's journal after every action of the user (and when asked), and says once when
// it cannot, so that the user knows a crash would now lose the data entered.
class JournalKeeper {
 public:
  JournalKeeper(dialogs::Context& context, const std::filesystem::path& case_folder);
  ~JournalKeeper();
  JournalKeeper(const JournalKeeper&) = delete;
  JournalKeeper& operator=(const JournalKeeper&) = delete;

  void record();

 private:
  dialogs::Context& context_;
  model::case_files::Journal journal_;
  ui::ActionObserver previous_;
  bool failing_ = false;
};

}  // namespace app
