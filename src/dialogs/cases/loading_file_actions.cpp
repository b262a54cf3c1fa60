#include "dialogs/cases/loading_file_actions.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "dialogs/cases/loading_file_target.h"
#include "dialogs/file_boxes.h"
#include "dialogs/loading_file.h"
#include "model/case_files/atomic_file.h"
#include "ui/templates/loading_cases.h"

namespace dialogs::cases {

namespace {
using C = ui::templates::LoadingCases;
}  // namespace

void LoadingFileActions::show_file_state() {
  if (state_.old_file_loaded) {
    dialog_.set_text(C::file_state, "Old");
    dialog_.set_text(C::file_path, context_.cases.loading_file().trimmed());
  } else {
    dialog_.set_text(C::file_state, "New");
  }
}

void LoadingFileActions::show_resumed_file() {
  const std::string file(context_.cases.loading_file().trimmed());
  if (!file.empty() && file == state_.created_box_choice) {
    dialog_.set_text(C::file_path, file);
    dialog_.set_enabled(C::create, true);
  }
}

void LoadingFileActions::select() {
  // The box offers the name chosen last; a refused choice is not remembered.
  std::string buffer = state_.created_box_choice;
  if (!context_.toolkit.open_file_box(loading_file_box_request(state_), buffer)) return;
  if (!chosen_path_taken(buffer)) return;
  // The run writes here from now on: what a killed save of another run left here goes.
  model::case_files::remove_abandoned_temporaries(std::filesystem::path(buffer).parent_path());
  state_.created_box_choice = buffer;
  context_.cases.loading_file() = buffer;
  dialog_.set_text(C::file_state, "New");
  dialog_.set_text(C::file_path, buffer);
  dialog_.set_enabled(C::create, true);
  refresh_view_button();
}

bool LoadingFileActions::chosen_path_taken(const std::string& path) {
  // A longer path would be cut to another file's name when stored or written.
  if (path.size() > model::max_path_bytes) {
    const std::string limit = std::to_string(model::max_path_bytes);
    context_.message("ERROR: the path of the loading file is longer than " + limit + " bytes: " + path,
                     "EROARE: calea fisierului de incarcare are peste " + limit + " de octeti: " + path,
                     "Message", ui::Icon::error);
    return false;
  }
  if (const PathProblem problem = kept_path_problem(path); !problem.empty()) {
    context_.message("ERROR: the Loading File is not taken: " + problem.english + ":\n" + shown_path(path),
                     "EROARE: fisierul de incarcare nu este luat: " + problem.romanian + ":\n" + shown_path(path),
                     "Message", ui::Icon::error);
    return false;
  }
  return loading_file_name_allowed(context_, path);
}

bool LoadingFileActions::create() {
  if (!may_write_loading_file(context_, std::string(context_.cases.loading_file().trimmed()))) return false;
  const bool written = dialogs::write_loading_file(context_);
  refresh_view_button();
  return written;
}

void LoadingFileActions::view() {
  context_.toolkit.show_text_file(std::string(context_.cases.loading_file().trimmed()));
}

void LoadingFileActions::refresh_view_button() {
  const std::string path(context_.cases.loading_file().trimmed());
  std::error_code error;
  dialog_.set_enabled(C::view, !path.empty() && std::filesystem::is_regular_file(path, error));
}

}  // namespace dialogs::cases
