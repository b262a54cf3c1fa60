#include "model/case_files/text_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace common {

void create_if_missing(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return;
  std::ofstream(path, std::ios::binary | std::ios::app);
}

}  // namespace common
