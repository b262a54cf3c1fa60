#include "app/recovery.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

#include "files/regular_file.h"
#include "ui/platform.h"

namespace app {

namespace cf = model::case_files;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view title = ui::recovery_title;

struct When {
  std::string date, time;
};

When local_when(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  // A folder's time set by hand may be beyond what the calendar functions take.
  if (localtime_r(&t, &parts) == nullptr || parts.tm_year + 1900 > 9999 || parts.tm_year + 1900 < 0)
    return {"?\?/?\?/????", "?\?:?\?:??"};
  // Room for any year: a journal written by hand may hold any time.
  char date[40], time[40];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900);
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", parts.tm_hour, parts.tm_min, parts.tm_sec);
  return {date, time};
}

std::string cases_text(int n, bool ro) {
  return std::to_string(n) + (ro ? (n == 1 ? " caz" : " cazuri") : (n == 1 ? " case" : " cases"));
}

// "(loading file NAME, not created since)" and its kin.
std::string file_note(const cf::JournalSummary& s, bool ro) {
  if (s.loading_file.empty()) return ro ? "niciun fisier de incarcare ales" : "no loading file named";
  const std::string file = (ro ? "fisierul de incarcare " : "loading file ") + s.loading_file;
  if (s.created_at) return file + (ro ? ", creat cu ele" : ", created with them");
  return file + (ro ? ", necreat de atunci" : ", not created since");
}

std::string other_run_line(const cf::StoppedRun& run, bool ro) {
  const When when = local_when(run.stopped_at);
  const cf::JournalSummary& s = run.journal.summary;
  return "\n" + when.date + " " + when.time + ", " + cases_text(s.cases_entered, ro) + ", " + file_note(s, ro);
}

// Where a run's folder goes when it is set aside, as the user finds it from the start folder.
// How long a run set aside is kept: "7 days", "7 zile".
std::string kept_days(bool ro) { return std::to_string(model::abandoned_kept_days) + (ro ? " zile" : " days"); }

std::string abandoned_place(const cf::StoppedRun& run) {
  const fs::path place = run.folder().parent_path() / cf::abandoned_folder_name / run.name();
  std::error_code ec;
  const fs::path relative = place.lexically_relative(fs::current_path(ec));
  return !ec && !relative.empty() && !relative.string().starts_with("..") ? relative.string() : place.string();
}

// A damaged journal says nothing sure, not even when its run stopped: the run is named by its
// folder, and its files are set aside whole for the user to look at.
void report_damaged(dialogs::Context& context, cf::StoppedRun& run) {
  const std::string place = abandoned_place(run);
  std::string why;
  const bool kept = run.abandon(why);
  const std::string english = "ERROR: the journal of the stopped run " + run.name() + " cannot be read (" +
                              run.reason + "): nothing of it is recovered." +
                              (kept ? " Its files are kept in " + place + " for " + kept_days(false) + "."
                                    : " Its folder could not be set aside: " + why);
  const std::string romanian = "EROARE: jurnalul rularii oprite " + run.name() + " nu se poate citi (" +
                               run.reason + "): nu se recupereaza nimic din el." +
                               (kept ? " Fisierele ei se pastreaza in " + place + " timp de " + kept_days(true) + "."
                                     : " Directorul ei nu s-a putut pune deoparte: " + why);
  context.message(english, romanian, title, ui::Icon::error);
}

void set_aside(dialogs::Context& context, std::vector<cf::StoppedRun>& runs) {
  for (cf::StoppedRun& run : runs) {
    std::string why;
    if (run.abandon(why)) continue;
    context.message("WARNING: the folder of a stopped run could not be set aside: " + why,
                    "ATENTIE: directorul unei rulari oprite nu s-a putut pune deoparte: " + why, title,
                    ui::Icon::warning);
  }
}

// A loading file's time of writing, to the nanosecond, both ways: a Create of the stopped run
// may be replaced without asking only while the file is still as that Create left it.
std::vector<cf::OwnLoadingFile> journaled_own_files(const std::vector<dialogs::OwnFile>& files) {
  std::vector<cf::OwnLoadingFile> out;
  for (const dialogs::OwnFile& f : files)
    out.push_back({f.path.string(),
                   std::chrono::duration_cast<std::chrono::nanoseconds>(f.written.time_since_epoch()).count(),
                   static_cast<std::int64_t>(f.size)});
  return out;
}

std::vector<dialogs::OwnFile> own_files_of(const std::vector<cf::OwnLoadingFile>& files) {
  std::vector<dialogs::OwnFile> out;
  for (const cf::OwnLoadingFile& f : files)
    out.push_back({f.path,
                   fs::file_time_type(std::chrono::duration_cast<fs::file_time_type::duration>(
                       std::chrono::nanoseconds(f.written_ns))),
                   static_cast<std::uintmax_t>(f.size)});
  return out;
}

// The one place that rebuilds the program state from a stopped run.
bool take_back(dialogs::Context& context, cf::StoppedRun& run, const fs::path& case_folder) {
  cf::TakeOverFailure failure;
  if (!run.take_over(case_folder, ui::current_directory(), failure)) {
    const std::string limit = files::size_limit_words(files::max_text_file_bytes);
    const std::string why = failure.file + ": " + (failure.too_large ? "larger than " + limit : failure.reason);
    const std::string why_ro = failure.file + ": " + (failure.too_large ? "are peste " + limit : failure.reason);
    context.message("ERROR: the stopped run could not be taken back (" + why + "); it is offered again at the next start.",
                    "EROARE: rularea oprita nu s-a putut recupera (" + why_ro + "); se ofera din nou la pornirea urmatoare.",
                    title, ui::Icon::error);
    return false;
  }
  cf::restore_journaled_state(run.journal, context.state, context.cases);
  // The sections come back as their case files hold them, line for line.
  context.cases.take_files(case_folder.string());
  context.own_loading_files = own_files_of(run.journal.summary.own_loading_files);
  context.state.resume_cases = true;
  return true;
}

}  // namespace

std::string stopped_run_question(const std::vector<cf::StoppedRun>& runs, bool ro) {
  const cf::StoppedRun& newest = runs.front();
  const When when = local_when(newest.stopped_at);
  const cf::JournalSummary& s = newest.journal.summary;
  std::string text = ro ? "Programul s-a oprit pe " + when.date + " la ora " + when.time + " cu " +
                              cases_text(s.cases_entered, ro) + " introduse (" + file_note(s, ro) +
                              "). Le recuperati?"
                        : "The program stopped on " + when.date + " at " + when.time + " with " +
                              cases_text(s.cases_entered, ro) + " entered (" + file_note(s, ro) +
                              "). Recover them?";
  // What No does, and how a run set aside is found again.
  if (runs.size() == 1)
    return text + (ro ? "\n\"No\" le pune deoparte in .brantel/abandoned timp de " + kept_days(ro) + ": brantel --recover " +
                            newest.name() + " le recupereaza, brantel --recover-list listeaza rularile puse deoparte."
                      : "\n\"No\" sets them aside in .brantel/abandoned for " + kept_days(ro) + ": brantel --recover " +
                            newest.name() + " takes them back, brantel --recover-list lists the runs set aside.");
  text += ro ? "\n\nAlte rulari oprite:" : "\n\nOther runs that stopped:";
  for (std::size_t i = 1; i < runs.size(); ++i) text += other_run_line(runs[i], ro);
  text += ro ? "\n\"Yes\" le pastreaza pentru pornirea urmatoare; \"No\" le pune pe toate deoparte in .brantel/abandoned "
               "timp de " + kept_days(ro) + ": brantel --recover-list le listeaza, brantel --recover RULARE recupereaza una."
             : "\n\"Yes\" keeps them for the next start; \"No\" sets them all aside in .brantel/abandoned for " +
                   kept_days(ro) + ": brantel --recover-list lists them, brantel --recover RUN takes one back.";
  return text;
}

bool offer_stopped_runs(dialogs::Context& context, std::vector<cf::StoppedRun> runs, const fs::path& case_folder) {
  std::vector<cf::StoppedRun> offered;
  for (cf::StoppedRun& run : runs) {
    if (run.status == cf::JournalRead::ok) offered.push_back(std::move(run));
    else report_damaged(context, run);
  }
  if (offered.empty()) return false;
  const bool ro = model::romanian_messages(context.state);
  const ui::Answer answer = context.toolkit.message_box(stopped_run_question(offered, ro), title,
                                                        ui::Icon::question, ui::Buttons::yes_no);
  if (answer != ui::Answer::yes) {
    set_aside(context, offered);
    return false;
  }
  return take_back(context, offered.front(), case_folder);
}

int print_stopped_runs(const fs::path& start_folder, std::ostream& out) {
  const std::vector<cf::StoppedRun> runs = cf::find_stopped_runs(start_folder);
  const std::vector<cf::SetAsideRun> set_aside = cf::find_set_aside_runs(start_folder);
  if (runs.empty()) out << "No stopped runs in " << start_folder.string() << "\n";
  for (const cf::StoppedRun& run : runs) {
    const When when = local_when(run.stopped_at);
    out << when.date << ' ' << when.time << "  ";
    if (run.status == cf::JournalRead::ok) {
      const cf::JournalSummary& s = run.journal.summary;
      out << cases_text(s.cases_entered, false) << "  " << file_note(s, false);
    } else {
      out << "journal cannot be read: " << run.reason;
    }
    out << "  " << run.folder().string() << '\n';
  }
  if (set_aside.empty()) return 0;
  out << "Set aside (brantel --recover RUN takes one back; RUN is the last name of its folder):\n";
  for (const cf::SetAsideRun& run : set_aside) {
    const When when = local_when(run.status == cf::JournalRead::ok ? run.summary.saved_at : run.set_aside_at);
    const When removed =
        local_when(run.set_aside_at + std::chrono::duration_cast<std::chrono::seconds>(cf::abandoned_kept_for).count());
    out << when.date << ' ' << when.time << "  ";
    if (run.status == cf::JournalRead::ok) out << cases_text(run.summary.cases_entered, false) << "  " << file_note(run.summary, false);
    else out << "journal cannot be read: " << run.reason;
    out << "  removed after " << removed.date << ' ' << removed.time << "  " << run.folder.string() << '\n';
  }
  return 0;
}

std::optional<cf::StoppedRun> claim_named_run(dialogs::Context& context, const std::string& name) {
  cf::ClaimFailure failure = cf::ClaimFailure::no_such_run;
  std::string reason;
  std::optional<cf::StoppedRun> run = cf::claim_run(ui::current_directory(), name, failure, reason);
  if (run) return run;
  switch (failure) {
    case cf::ClaimFailure::no_such_run:
      context.message("ERROR: there is no stopped or set-aside run named \"" + name +
                          "\" in this folder (brantel --recover-list lists them).",
                      "EROARE: in acest director nu exista nicio rulare oprita sau pusa deoparte cu numele \"" + name +
                          "\" (brantel --recover-list le listeaza).",
                      title, ui::Icon::error);
      break;
    case cf::ClaimFailure::held:
      context.message("ERROR: the run " + name + " is being taken back by another program started now.",
                      "EROARE: rularea " + name + " este recuperata de un alt program pornit acum.", title,
                      ui::Icon::error);
      break;
    case cf::ClaimFailure::damaged:
      context.message("ERROR: the journal of the run " + name + " cannot be read (" + reason +
                          "): nothing of it is recovered.",
                      "EROARE: jurnalul rularii " + name + " nu se poate citi (" + reason +
                          "): nu se recupereaza nimic din el.",
                      title, ui::Icon::error);
      break;
  }
  return std::nullopt;
}

bool take_back_run(dialogs::Context& context, cf::StoppedRun& run, const fs::path& case_folder) {
  return take_back(context, run, case_folder);
}

JournalKeeper::JournalKeeper(dialogs::Context& context, const fs::path& case_folder)
    : context_(context), journal_(case_folder, ui::current_directory()) {
  previous_ = ui::set_action_observer([this] { record(); });
  // A case committed is journaled at once, not only at the end of the action that committed it.
  context_.cases.set_journal([this] { record(); });
}

JournalKeeper::~JournalKeeper() {
  context_.cases.set_journal({});
  ui::set_action_observer(std::move(previous_));
}

void JournalKeeper::record() {
  std::string why;
  const bool written = journal_.record(context_.state, context_.cases, context_.loading_files_created, why,
                                       journaled_own_files(context_.own_loading_files));
  if (written || failing_) {
    failing_ = !written;
    return;
  }
  failing_ = true;
  context_.message("WARNING: the run's journal cannot be written (" + why +
                       "): if the program stopped now, what was entered since could not be recovered.",
                   "ATENTIE: jurnalul rularii nu se poate scrie (" + why +
                       "): daca programul s-ar opri acum, ce s-a introdus de atunci nu s-ar putea recupera.",
                   title, ui::Icon::warning);
}

}  // namespace app
