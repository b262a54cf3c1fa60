#include "dialogs/loading_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <limits>
#include <optional>
#include <variant>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/record_file.h"
#include "files/regular_file.h"
#include "loadfile/check.h"
#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "loadfile/records.h"
#include "loadfile/writer.h"
#include "model/analysis.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/section_records.h"
#include "model/geometry_file.h"
#include "text/fixed_text.h"
#include "text/free_form.h"
#include "ui/platform.h"

namespace dialogs {

namespace {

using model::case_files::OutputStatus;
using loadfile::CaseNotes;
using loadfile::Problem;
using loadfile::ProblemList;

constexpr std::string_view create_title = "Create Message";
constexpr std::string_view time_point_limit_title = "\"BRANTEL\" Message";
constexpr std::string_view reader_title = "Message";

loadfile::Timestamp now() {
  const ui::LocalTime t = ui::local_time();
  return {t.day, t.month, t.year, t.hour, t.minute, t.second};
}

std::string case_list(const std::vector<int>& numbers) {
  std::string list;
  for (int n : numbers) list += (list.empty() ? "" : ", ") + std::to_string(n);
  return list;
}

void add_note(std::string& message, const std::vector<int>& cases, std::string_view english,
              std::string_view romanian, bool in_romanian) {
  if (cases.empty()) return;
  message += '\n';
  message += in_romanian ? romanian : english;
  message += case_list(cases);
}

std::string created_message(bool ro, const std::string& path, const CaseNotes& notes) {
  // The outcome line is held in a 256-character text, as the end record is.
  std::string message(ro ? "Fisier creat: " : "Created File: ");
  message = std::string(text::trim_right(text::padded(message + path, loadfile::end_record_length)));
  add_note(message, notes.incomplete,
           "ERROR in Case Codes (tolerance, iterations, time step and end time all 0) in cases: ",
           "EROARE in Codurile cazului (toleranta, iteratii, pas de timp si timp final toate 0) in cazurile: ",
           ro);
  add_note(message, notes.without_initial_values, "No initial values in cases: ",
           "Fara valori initiale in cazurile: ", ro);
  add_note(message, notes.without_loading_data, "No loading data in cases: ",
           "Fara date de incarcare in cazurile: ", ro);
  return message;
}

// Why the loading file was not put in place.
struct WriteFailure {
  OutputStatus status = OutputStatus::ok;
  int error = 0;
  files::FileKind kind = files::FileKind::regular;  // what the target names (not_regular)
};

// The target is only ever replaced whole, by a rename, so a failure always leaves it as it was.
std::string failure_message(bool ro, const std::string& path, const WriteFailure& f) {
  std::string message;
  switch (f.status) {
    case OutputStatus::cannot_create:
    case OutputStatus::not_regular:
      message = ro ? "Eroare de creare a fisierului: " : "Create Error on File: ";
      break;
    case OutputStatus::cannot_write:
      message = ro ? "Eroare de scriere a fisierului: " : "Write Error on File: ";
      break;
    default:
      message = ro ? "Eroare de inchidere a fisierului: " : "Close Error on File: ";
      break;
  }
  message += path;
  if (f.status == OutputStatus::not_regular)
    message += std::string(ro ? " (numele este " : " (the name is ") +
               std::string(files::kind_words(f.kind, ro)) + (ro ? ", nu un fisier obisnuit)" : ", not a regular file)");
  else
    message += " (" + std::string(std::strerror(f.error)) + ")";
  message += ro ? "\nFisierul " + path + " nu a fost modificat."
                : "\nThe file " + path + " was not changed.";
  return message;
}

// The path up to its first NUL, without trailing blanks (the state keeps it in a padded
// field); when there is none the console is asked, as the tool did without a dialog.
std::string loading_file_path(std::string_view path) {
  path = text::trim_right(path.substr(0, path.find('\0')));
  if (!path.empty()) return std::string(path);
  std::cout << " Input File:" << std::flush;
  std::string typed;
  std::getline(std::cin, typed);
  if (!typed.empty() && typed.back() == '\r') typed.pop_back();
  return std::string(text::trim_right(std::string_view(typed).substr(0, model::max_path_bytes)));
}

void show_open_failure(Context& context, const std::string& path, const files::FileRead& why) {
  auto reason = [&why](bool romanian) -> std::string {
    switch (why.status) {
      case files::FileReadStatus::missing: return romanian ? "Fisierul nu exista !" : "The file does not exist !";
      case files::FileReadStatus::not_regular:
        return (romanian ? "Numele este " : "The name is ") + std::string(files::kind_words(why.kind, romanian)) +
               (romanian ? ", nu un fisier obisnuit !" : ", not a regular file !");
      case files::FileReadStatus::too_large: {
        const std::string limit = files::size_limit_words(files::max_text_file_bytes);
        return romanian ? "Fisierul are peste " + limit + ", limita unui fisier de incarcare !"
                        : "The file is larger than " + limit + ", the limit of a loading file !";
      }
      default: return romanian ? "Fisierul nu poate fi citit !" : "The file cannot be read !";
    }
  };
  context.message("ERROR: cannot open the Loading File:\n" + path + "\n" + reason(false),
                  "EROARE: nu se poate deschide fisierul de incarcare:\n" + path + "\n" + reason(true),
                  reader_title, ui::Icon::error);
}

void show_write_failure(Context& context, const std::string& name, const std::string& folder) {
  context.message("ERROR: cannot write the case file " + name + "\nin the folder " + folder + " !",
                  "EROARE: nu se poate scrie fisierul de caz " + name + "\nin directorul " + folder + " !",
                  reader_title, ui::Icon::error);
}

std::string where(const Problem& p, bool romanian) {
  const std::string line = std::to_string(p.line);
  if (p.at_end) return (romanian ? "Fisierul se termina dupa linia " : "The file ends after line ") + line;
  return (romanian ? "Linia " : "Line ") + line;
}

std::string problems_text(const std::string& path, const ProblemList& problems, bool stopped, bool romanian) {
  std::string text = stopped ? (romanian ? "EROARE in fisierul de incarcare:\n" : "ERROR in the Loading File:\n")
                             : (romanian ? "ATENTIE: fisierul de incarcare a fost citit, dar aceste linii nu sunt cum "
                                           "le scrie programul:\n"
                                         : "WARNING: the Loading File was read, but these lines are not as the "
                                           "program writes them:\n");
  text += path;
  for (const Problem& p : problems) text += "\n" + where(p, romanian) + ": " + p.text(romanian) + " !";
  return text;
}

// One message for everything LOAD could not take; none when the list is empty. `stopped`: the
// reading ended at the last problem and the file was not loaded.
void show_read_problems(Context& context, const std::string& path, const ProblemList& problems,
                        bool stopped) {
  if (problems.empty()) return;
  const ui::Icon icon = stopped || loadfile::has_errors(problems) ? ui::Icon::error : ui::Icon::warning;
  context.message(problems_text(path, problems, stopped, false), problems_text(path, problems, stopped, true),
                  reader_title, icon);
}

loadfile::ReadStart read_start(const Context& context) {
  const model::case_files::CaseStore& document = context.cases;
  return {document.general(), document.damping(), document.accel_direction(), context.state.max_time_points,
          model::romanian_messages(context.state)};
}

// The program state as the reading leaves it: the general data and damping block with what the
// file gave; the store keeps the cases' records as read (their sections went to it already).
void take_read(Context& context, const loadfile::ReadResult& r) {
  const model::Analysis& a = r.analysis;
  context.cases.general() = a.general;
  context.cases.damping() = a.damping;
  context.cases.accel_direction() = a.accel_direction;
  if (!r.cases_read) return;
  std::vector<model::CaseRecord> read;
  for (const model::Case& c : a.cases) read.push_back(c.record);
  context.cases.set_loaded(read);
}

bool has_control_character(std::string_view path) {
  for (const char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
  return false;
}

// The most time points (or accelerogram points) of one loading of the file, read without a
// limit; 0 when the file does not read that far.
int points_needed(text::RecordSource& source, const Context& context) {
  source.seek(0);
  loadfile::ReadStart start = read_start(context);
  start.max_time_points = std::numeric_limits<int>::max();
  const loadfile::ReadResult result = loadfile::read(source, start);
  int needed = 0;
  for (const model::Case& c : result.analysis.cases) needed = std::max(needed, c.record.n_time_points);
  if (!result.cases_read)
    for (const model::Case& c : context.cases.cases())
      if (c.loaded) needed = std::max(needed, c.loaded->n_time_points);
  for (int k = 1; k <= context.cases.count(); ++k)
    needed = std::max(needed, context.cases.sections(k).record.n_time_points);
  return needed;
}

// A maximum typed at start-up is a guess; a file that needs more is no reason to start again.
bool raise_time_point_limit(Context& context, int needed) {
  const std::string n = std::to_string(needed), max = std::to_string(context.state.max_time_points);
  return context.message(
             "The actual No. of Time Points > Maximum No. Inputed (Dialog #0) !\n\n"
             "A loading of the file has " + n + " time points; the Maximum No. of Time Points is " + max +
                 ".\nRaise the Maximum to " + n + " for this run ?",
             "Numarul actual de puncte de timp > Nr. maxim introdus (Dialog #0) !\n\n"
             "O incarcare din fisier are " + n + " puncte de timp; numarul maxim de puncte de timp este " + max +
                 ".\nMariti maximul la " + n + " pentru aceasta rulare ?",
             time_point_limit_title, ui::Icon::question, ui::Buttons::yes_no) == ui::Answer::yes;
}

}  // namespace

namespace fs = std::filesystem;

namespace {

std::optional<OwnFile> stamp(const std::string& path) {
  std::error_code ec;
  OwnFile f;
  f.path = fs::canonical(path, ec);
  if (ec) return std::nullopt;
  f.written = fs::last_write_time(f.path, ec);
  if (ec) return std::nullopt;
  f.size = fs::file_size(f.path, ec);
  if (ec) return std::nullopt;
  return f;
}

void remember_own_loading_file(Context& context, const std::string& path) {
  const std::optional<OwnFile> now = stamp(path);
  if (!now) return;
  std::erase_if(context.own_loading_files, [&now](const OwnFile& f) { return f.path == now->path; });
  context.own_loading_files.push_back(*now);
}

}  // namespace

// The time and size of the last write tell whether someone else has written the same name since.
bool own_loading_file(const Context& context, const std::string& path) {
  const std::optional<OwnFile> now = stamp(path);
  if (!now) return false;
  for (const OwnFile& f : context.own_loading_files)
    if (f.path == now->path) return f.written == now->written && f.size == now->size;
  return false;
}

namespace {

// A list of thousands of lines helps nobody: the first ones show what is wrong.
constexpr std::size_t problems_listed = 20;

std::string problem_lines(const ProblemList& problems, bool ro) {
  std::string text;
  for (std::size_t i = 0; i < problems.size() && i < problems_listed; ++i)
    text += "\n" + where(problems[i], ro) + ": " + problems[i].text(ro);
  if (problems.size() > problems_listed) {
    const std::string more = std::to_string(problems.size() - problems_listed);
    text += ro ? "\n... si inca " + more : "\n... and " + more + " more";
  }
  return text;
}

// The file about to be written is read as `brantel check` and the solver read it: what they
// would read wrongly (a node beyond the model, times out of order) is asked about before the
// old file goes; what is only unusual is told with the outcome.
class CreateCheck {
  // The model the solver will read: the geometry file as it stands now, not the counts the run
  // holds (read when the file was chosen, or taken from a stopped run's journal); those only
  // when the file cannot be read any more.
  static loadfile::ModelCounts model_counts(const model::GeneralData& general) {
    const model::GeometryReadResult g = model::read_geometry_file(general.geometry_file.trimmed());
    if (g.outcome == model::GeometryOutcome::ok) return {g.data.n_nodes, g.data.n_dof, g.data.n_elements};
    return {general.n_nodes, general.n_dof, general.n_elements};
  }

 public:
  explicit CreateCheck(Context& context) : context_(context) {}

  bool approve(const std::string& finished_path) {
    loadfile::CheckOptions options;
    options.model = model_counts(context_.cases.general());
    const loadfile::CheckReport report = loadfile::check_loading_file(finished_path, options);
    ProblemList errors;
    for (const Problem& p : report.problems) {
      // Cases with all their codes 0 are written on purpose, marked in the file's header, and
      // named by the Create message itself: neither the cases nor the mark is asked about.
      if (p.kind == loadfile::ProblemKind::case_codes_all_zero) continue;
      (p.severity == loadfile::Severity::error ? errors : warnings_).push_back(p);
    }
    if (errors.empty()) return true;
    return context_.message("ERROR: the Loading File about to be written holds records the solver would read "
                            "wrongly:" + problem_lines(errors, false) + "\n\nWrite it anyway?",
                            "EROARE: fisierul de incarcare care urmeaza sa fie scris are inregistrari pe care "
                            "programul de calcul le-ar citi gresit:" + problem_lines(errors, true) +
                                "\n\nIl scrieti totusi?",
                            create_title, ui::Icon::warning, ui::Buttons::yes_no_default_no) == ui::Answer::yes;
  }

  std::string warnings(bool ro) const {
    if (warnings_.empty()) return {};
    return std::string(ro ? "\nATENTIE, verificarea fisierului a gasit:" : "\nWARNING, the check of the file found:") +
           problem_lines(warnings_, ro);
  }

 private:
  Context& context_;
  ProblemList warnings_;
};

}  // namespace

bool write_loading_file(Context& context) {
  // Both paths stand in records of their own; a line feed in one would split its record and
  // the solver would read the rest of the path as data.
  const text::Field<260>& loading_file = context.cases.loading_file();
  if (has_control_character(loadfile::path_text(loading_file.view())) ||
      has_control_character(loadfile::path_text(context.cases.general().geometry_file.view()))) {
    context.message("The path of the loading file or of the geometry file holds a control character: the "
                    "loading file was not written.",
                    "Calea fisierului de incarcare sau a celui de geometrie contine un caracter de control: "
                    "fisierul de incarcare nu a fost scris.",
                    create_title, ui::Icon::error);
    return false;
  }
  const bool ro = model::romanian_messages(context.state);
  const std::string path = loadfile::path_text(loading_file.view());
  const model::Analysis analysis = context.cases.analysis();
  CreateCheck check(context);
  WriteFailure failure;
  {
    model::case_files::AtomicFile out(path);
    failure.status = out.open();
    if (failure.status == OutputStatus::ok) {
      out.write(loadfile::write(analysis, {now(), std::string(loading_file.view()), ro}));
      failure.status = out.finish([&check](const std::string& finished) { return check.approve(finished); });
    }
    failure.error = out.error_number();
    failure.kind = out.target_kind();
  }
  if (failure.status == OutputStatus::declined) return false;
  if (failure.status == OutputStatus::ok) {
    const CaseNotes notes = loadfile::case_notes(analysis);
    const std::string warnings = check.warnings(ro);
    const bool complete = notes.incomplete.empty() && notes.without_initial_values.empty() &&
                          notes.without_loading_data.empty() && warnings.empty();
    context.toolkit.message_box(created_message(ro, path, notes) + warnings, create_title,
                                complete ? ui::Icon::information : ui::Icon::warning, ui::Buttons::ok);
    remember_own_loading_file(context, path);
    ++context.loading_files_created;
    return true;
  }
  context.toolkit.message_box(failure_message(ro, path, failure), create_title, ui::Icon::error, ui::Buttons::ok);
  return false;
}

LoadOutcome load_loading_file(Context& context, const std::string& path_argument) {
  const std::string path = loading_file_path(path_argument);
  text::RecordSource source;
  files::FileRead why;
  if (path.empty() || !files::read_records(path, source, &why)) {
    if (path.empty()) why.status = files::FileReadStatus::missing;
    show_open_failure(context, path, why);
    return LoadOutcome::not_opened;
  }
  // The time-point limit must leave the state and the disk as they were; the other faults keep
  // exactly what was read before them.
  loadfile::ReadResult result = loadfile::read(source, read_start(context));
  if (result.outcome == loadfile::ReadOutcome::too_many_points) {
    const int needed = points_needed(source, context);
    if (needed <= context.state.max_time_points || !raise_time_point_limit(context, needed))
      return LoadOutcome::kept_maximum;
    source.seek(0);
    context.state.max_time_points = needed;
    result = loadfile::read(source, read_start(context));
  }
  model::case_files::FileFailure failure;
  const bool placed = context.cases.place_loaded(context.state, result.analysis, failure);
  take_read(context, result);
  if (!placed) {
    const std::string folder = context.state.case_folder.empty() ? ui::current_directory() : context.state.case_folder;
    show_write_failure(context, std::filesystem::path(failure.path).filename().string(), folder);
    return LoadOutcome::failed;
  }
  ProblemList problems = std::move(result.problems);
  for (Problem& p : problems) p.file = path;
  const bool stopped = result.outcome == loadfile::ReadOutcome::fault;
  if (stopped) problems.push_back(loadfile::fault_problem(path, result.fault, context.cases.general().n_nodes));
  show_read_problems(context, path, problems, stopped);
  if (stopped) return LoadOutcome::failed;
  remember_own_loading_file(context, path);
  return LoadOutcome::loaded;
}

}  // namespace dialogs
