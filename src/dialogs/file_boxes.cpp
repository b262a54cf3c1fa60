#include "dialogs/file_boxes.h"

#include <string>
#include <utility>

namespace app {

namespace {

ui::OpenFileRequest one_kind_request(ui::FileFilter kind, std::string extension, std::string title,
                                     const model::ProgramState& state) {
  ui::OpenFileRequest request;
  request.filters = {std::move(kind), {"All files", "*.*"}};
  request.selected_filter = 1;
  request.default_extension = std::move(extension);
  request.title = std::move(title);
  request.initial_folder = std::string(state.dat_directory.trimmed());
  return request;
}

}  // namespace

ui::OpenFileRequest loading_file_box_request(const model::ProgramState& state) {
  return one_kind_request({"Loading files (*.inc)", "*.inc"}, "inc", "Select Loading File \".inc\"",
                          state);
}

ui::OpenFileRequest geometry_file_box_request(const model::ProgramState& state) {
  return one_kind_request({"Data files (.dat)", "*.dat"}, "dat", "Select Geometry File (.dat)",
                          state);
}

}  // namespace app
