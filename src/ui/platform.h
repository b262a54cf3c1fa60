// Operating-system services the program uses besides dialogs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ui {

std::string current_directory();
bool set_current_directory(const std::string& path);

// Deletes every regular file of the current directory whose whole name matches `pattern`,
// where "?" stands for exactly one character and every other character for itself.
// Nothing is reported when nothing matches or a file cannot be deleted.
void delete_matching_files(std::string_view pattern);
// The same for every regular file whose name `wanted` accepts.
void delete_files_where(const std::function<bool(std::string_view name)>& wanted);
bool name_matches(std::string_view name, std::string_view pattern);

struct LocalTime {
  int day, month, year, hour, minute, second;
};
LocalTime local_time();

}  // namespace ui
