#include "ui/platform.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace ui {

std::string current_directory() {
  std::error_code ec;
  fs::path p = fs::current_path(ec);
  return ec ? std::string() : p.string();
}

bool set_current_directory(const std::string& path) {
  std::error_code ec;
  fs::current_path(path, ec);
  return !ec;
}

LocalTime local_time() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900,
          parts.tm_hour, parts.tm_min,     parts.tm_sec};
}

}  // namespace ui
