// What every dialog routine works with: the toolkit that shows it, the program state, the cases'
// sections and the images of the buttons, loaded once at start-up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/case_files/case_store.h"
#include "model/state.h"
#include "ui/toolkit.h"

namespace dialogs {

struct Images {
  ui::Image open_icon, input_file2_icon, notepad_icon, input_file1_icon, save_changes_icon,
      load_bitmap, loading_bitmap;
};

// A loading file as this run last read or wrote it: replacing it loses nothing of anyone else's
// while it is still so.
struct OwnFile {
  std::filesystem::path path;  // canonical
  std::filesystem::file_time_type written{};
  std::uintmax_t size = 0;
};

struct Context {
  ui::Toolkit& toolkit;
  model::ProgramState& state;
  // The sections of the cases: what the editors open and SAVE, and what Create writes.
  model::case_files::CaseStore cases{};
  Images images{};
  std::vector<OwnFile> own_loading_files{};
  // Creates that succeeded in this run: the journal notes that the data is in the loading file.
  int loading_files_created = 0;

  // A message box in the language of the moment: `romanian` when romanian_messages holds.
  ui::Answer message(std::string_view english, std::string_view romanian, std::string_view title,
                     ui::Icon icon, ui::Buttons buttons = ui::Buttons::ok) {
    return toolkit.message_box(model::romanian_messages(state) ? romanian : english, title, icon,
                               buttons);
  }
  // A window's own text in the language of the moment.
  std::string words(std::string_view english, std::string_view romanian) const {
    return std::string(model::romanian_messages(state) ? romanian : english);
  }
};

}  // namespace dialogs
