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

bool name_matches(std::string_view name, std::string_view pattern) {
  if (name.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (pattern[i] != '?' && pattern[i] != name[i]) return false;
  return true;
}

void delete_files_where(const std::function<bool(std::string_view name)>& wanted) {
  std::error_code ec;
  fs::directory_iterator it(fs::current_path(ec), ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    std::error_code entry_ec;
    if (!entry.is_regular_file(entry_ec)) continue;
    if (wanted(entry.path().filename().string())) fs::remove(entry.path(), entry_ec);
  }
}

void delete_matching_files(std::string_view pattern) {
  delete_files_where([pattern](std::string_view name) { return name_matches(name, pattern); });
}

LocalTime local_time() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900,
          parts.tm_hour, parts.tm_min,     parts.tm_sec};
}

}  // namespace ui
