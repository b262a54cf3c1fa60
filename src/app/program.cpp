#include "app/program.h"

#include <fstream>

#include "dialogs/cases/loading_cases_dialog.h"
#include "model/case_files/scratch_files.h"
#include "dialogs/general/general_data_dialog.h"
#include "text/free_form.h"
#include "ui/platform.h"

namespace app {

namespace {

constexpr int time_points_dialog = 108;
constexpr ui::ControlId time_points_field = 1103;

// The first record of "language.dat", as the 20-character language field takes it. A file that
// is missing, unreadable or whose first line is blank gives "English". Only the first 20 characters of
// the first line are ever read, so a huge or binary file costs nothing.
Field<20> read_language_setting() {
  std::ifstream in("language.dat", std::ios::binary);
  if (!in) return Field<20>("English");
  std::string first;
  char c;
  while (first.size() < Field<20>::length && in.get(c) && c != '\n') first += c;
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (text::trimmed_length(first) == 0) return Field<20>("English");
  return Field<20>(first);
}

void load_images(Context& context) {
  ProgramState& s = context.state;
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

// The result of the prompt is not examined: OK and Cancel both take the field's value.
void ask_time_points(Context& context) {
  auto dialog = context.toolkit.create_dialog(time_points_dialog);
  dialog->set_text(time_points_field, "100");
  dialog->run_modal();
  context.state.max_time_points = text::c_to_int(dialog->text(time_points_field, 10), 10);
}

}  // namespace

int run_program(ui::Toolkit& toolkit) {
  ProgramState state;
  Context context{toolkit, state};
  start_up(context);
  run_wizard(context);
  clean_up();
  return 0;
}

void start_up(Context& context) {
  ProgramState& s = context.state;
  s.n_nodes = s.n_elements = s.n_dof = s.n_loading_cases = s.sixth_count = 0;
  s.current_directory = ui::current_directory();
  s.dat_directory = std::string(s.current_directory.trimmed()) + "/Dat/";
  s.language = read_language_setting();
  s.uir_directory = std::string(s.current_directory.trimmed()) + "/uir/";
  load_images(context);
  ask_time_points(context);
}

void run_wizard(Context& context) {
  general::run_general_data_dialog(context);
  while (context.state.general_data_result == 1) {
    cases::run_loading_cases_dialog(context);
    if (context.state.loading_cases_result != 2) break;
    general::run_general_data_dialog(context);
  }
}

// In the current directory of the moment: after a confirmed open-file box that is the folder
// of the file chosen last, where the editors wrote the scratch files.
void clean_up() { cases::delete_case_scratch_files(true); }

}  // namespace app
