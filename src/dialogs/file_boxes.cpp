#include "dialogs/file_boxes.h"

#include <string>
#include <utility>

namespace dialogs {

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

PathProblem kept_path_problem(std::string_view path) {
  for (const char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return {"the path holds a control character (shown as \\n, \\t or \\xNN), which would break "
              "the record of the loading file that carries it",
              "calea contine un caracter de control (aratat ca \\n, \\t sau \\xNN), care ar strica "
              "inregistrarea fisierului de incarcare care o contine"};
  if (!path.empty() && path.back() == ' ')
    return {"the path ends with a blank, which the program cannot keep: it would name another file",
            "calea se termina cu un spatiu, pe care programul nu il poate pastra: ar numi alt fisier"};
  return {};
}

std::string shown_path(std::string_view path) {
  std::string shown = "\"";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') shown += "\\n";
    else if (c == '\t') shown += "\\t";
    else if (byte < 0x20 || byte == 0x7f) {
      constexpr char digits[] = "0123456789ABCDEF";
      shown += "\\x";
      shown += digits[byte >> 4];
      shown += digits[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown + "\"";
}

}  // namespace dialogs
