#include "model/case_files/text_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace model::case_files {

void create_if_missing(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return;
  std::ofstream(path, std::ios::binary | std::ios::app);
}

}  // namespace model::case_files
