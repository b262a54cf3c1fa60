#include "app/program.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/recovery.h"
#include "app/workspace_setup.h"
#include "dialogs/cases/loading_cases_dialog.h"
#include "dialogs/general/general_data_dialog.h"
#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/run_folder.h"
#include "model/case_files/scratch_files.h"
#include "text/free_form.h"
#include "ui/platform.h"
#include "ui/templates/time_points.h"

namespace app {

namespace {

// The first record of "language.dat", as the 20-character language field takes it. A file that
// is missing, unreadable or whose first line is blank gives "English". Only the first characters
// of the file are ever read, so a huge or binary file costs nothing; a FIFO, a device or a
// folder of that name is never read (it could hang the start or never end) and gives English
// with a message.
text::Field<20> read_language_setting(dialogs::Context& context) {
  std::string head;
  const files::FileRead read = files::read_file_head("language.dat", head, 64);
  if (read.status == files::FileReadStatus::not_regular) {
    // The language is English from here on, so the message is too.
    context.toolkit.message_box("language.dat is " + std::string(files::kind_words(read.kind, false)) +
                                    ", not a regular file: the language is English.",
                                "Message", ui::Icon::warning, ui::Buttons::ok);
  }
  if (read.status != files::FileReadStatus::ok) return text::Field<20>("English");
  std::string first = head.substr(0, head.find('\n'));
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first.size() > text::Field<20>::length) first.resize(text::Field<20>::length);
  if (text::trimmed_length(first) == 0) return text::Field<20>("English");
  return text::Field<20>(first);
}

void load_images(dialogs::Context& context) {
  model::ProgramState& s = context.state;
  const std::string folder(s.uir_directory.trimmed());
  auto load = [&](const char* name, ui::ImageKind kind, int width, int height) {
    return context.toolkit.load_image(folder + name, kind, width, height);
  };
  // In this order: nothing depends on it, but it is the order the images are named everywhere.
  context.images.open_icon = load("Open.ico", ui::ImageKind::icon, 0, 0);
  context.images.input_file2_icon = load("InputFile2.ico", ui::ImageKind::icon, 0, 0);
  context.images.notepad_icon = load("Notepad.ico", ui::ImageKind::icon, 0, 0);
  context.images.input_file1_icon = load("InputFile1.ico", ui::ImageKind::icon, 0, 0);
  context.images.save_changes_icon = load("SaveChanges.ico", ui::ImageKind::icon, 0, 0);
  context.images.load_bitmap = load("LoadP.bmp", ui::ImageKind::bitmap, 37, 39);
  context.images.loading_bitmap = load("Loading.bmp", ui::ImageKind::bitmap, 0, 0);
}

// The result of the prompt is not examined: OK and Cancel both take the field's value. A text
// that is not a positive whole number is asked again (showing what was typed), since every
// table of time points is sized by it and a 0 would only show deep inside an editor.
void ask_time_points(dialogs::Context& context) {
  using C = ui::templates::TimePoints;
  const std::size_t length = ui::field_length(C::count);
  std::string typed = "100";
  for (;;) {
    auto dialog = context.toolkit.create_dialog(ui::DialogId::time_points);
    dialog->set_text(C::count, typed);
    dialog->run_modal();
    typed = dialog->text(C::count, 64);
    const int value = text::c_to_int(typed, length);
    if (text::converts_whole_to_int(typed, length) && value > 0) {
      context.state.max_time_points = value;
      return;
    }
    typed = std::string(text::trim_right(typed));
    context.message("ERROR: the Maximum Number of Time Points must be a whole number above 0, not \"" +
                        typed + "\" !",
                    "EROARE: Numarul maxim de puncte de timp trebuie sa fie un numar intreg mai mare ca 0, nu \"" +
                        typed + "\" !",
                    "Message", ui::Icon::error);
  }
}

// Without a folder of its own the run keeps its case files in the start folder, as a run
// that cannot write anywhere else must; the user is told that two runs there would mix them.
model::case_files::RunFolder make_case_folder(dialogs::Context& context) {
  std::string reason;
  model::case_files::RunFolder folder = model::case_files::RunFolder::create(ui::current_directory(), reason);
  if (folder.path().empty()) {
    context.message("WARNING: no private folder for the case files: " + reason +
                        "\nThey are kept in the start folder.",
                    "ATENTIE: nu exista un director propriu pentru fisierele cazurilor: " + reason +
                        "\nSe pastreaza in directorul de pornire.",
                    "\"BRANTEL\" Message", ui::Icon::warning);
    context.state.case_folder = ui::current_directory();
  } else {
    context.state.case_folder = folder.path().string();
  }
  return folder;
}

// BRANTEL_KEEP_CASE_FILES names a folder that receives a copy of the case files as they stand
// when the run ends, for looking at what the editors wrote (the scenario tests do).
void keep_case_files_for_inspection(const std::string& case_folder) {
  const char* keep = std::getenv("BRANTEL_KEEP_CASE_FILES");
  if (keep == nullptr || *keep == '\0') return;
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(keep, ec);
  for (fs::directory_iterator it(case_folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code copy_ec;
    if (it->symlink_status(copy_ec).type() == fs::file_type::regular &&
        it->path().filename() != model::case_files::run_lock_name)
      fs::copy_file(it->path(), fs::path(keep) / it->path().filename(),
                    fs::copy_options::overwrite_existing, copy_ec);
  }
}

}  // namespace

int run_program(ui::Toolkit& toolkit, const std::optional<std::string>& run_to_recover) {
  offer_workspace(toolkit, find_sample_workspace(running_executable()));
  model::ProgramState state;
  dialogs::Context context{toolkit, state};
  prepare_start(context);
  // Found, and held, before this run makes its folder: the sweep of dead runs leaves them be.
  // A run asked for by name is taken back without the question; when it cannot be had, the
  // start goes on as any other.
  std::optional<model::case_files::StoppedRun> asked_for;
  if (run_to_recover) asked_for = claim_named_run(context, *run_to_recover);
  std::vector<model::case_files::StoppedRun> stopped;
  if (!asked_for) stopped = model::case_files::find_stopped_runs(ui::current_directory());
  const model::case_files::RunFolder case_folder = make_case_folder(context);
  // Without a folder of its own the run has nowhere to take a stopped run's files to.
  const bool recovered =
      !case_folder.path().empty() &&
      (asked_for ? take_back_run(context, *asked_for, case_folder.path())
                 : offer_stopped_runs(context, std::move(stopped), case_folder.path()));
  if (!recovered) ask_time_points(context);
  JournalKeeper journal(context, case_folder.path());
  journal.record();
  run_wizard(context);
  keep_case_files_for_inspection(state.case_folder);
  clean_up(state.case_folder);
  return 0;
}

void start_up(dialogs::Context& context) {
  prepare_start(context);
  ask_time_points(context);
}

void prepare_start(dialogs::Context& context) {
  model::ProgramState& s = context.state;
  model::GeneralData& general = context.cases.general();
  general.n_nodes = general.n_elements = general.n_dof = general.n_loading_cases = 0;
  s.current_directory = ui::current_directory();
  s.dat_directory = std::string(s.current_directory.trimmed()) + "/Dat/";
  s.language = read_language_setting(context);
  s.uir_directory = std::string(s.current_directory.trimmed()) + "/uir/";
  // A save killed with its program left its temporary, as large as the file, in the folder it
  // wrote to; these are where loading files are written unless the user goes elsewhere.
  model::case_files::remove_abandoned_temporaries(std::string(s.current_directory.trimmed()));
  model::case_files::remove_abandoned_temporaries(std::string(s.dat_directory.trimmed()));
  load_images(context);
}

void run_wizard(dialogs::Context& context) {
  dialogs::general::run_general_data_dialog(context);
  while (context.state.general_data_result == 1) {
    dialogs::cases::run_loading_cases_dialog(context);
    if (context.state.loading_cases_result != 2) break;
    dialogs::general::run_general_data_dialog(context);
  }
}

// The run's folder goes as a whole when the run ends; this empties it first, so that a folder
// that cannot be removed holds no case data for anyone.
void clean_up(const std::string& case_folder) { model::case_files::delete_case_scratch_files(true, case_folder); }

}  // namespace app
