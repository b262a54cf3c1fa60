#include "model/case_files/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace common {

bool replace_file(const std::string& path, std::string_view content, std::string& reason) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    reason = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  std::error_code ec;
  if (!written || !closed) {
    reason = std::strerror(written ? errno : write_error);
    std::filesystem::remove(temporary, ec);
    return false;
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    reason = ec.message();
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

void create_if_missing(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return;
  std::ofstream(path, std::ios::binary | std::ios::app);
}

}  // namespace common
