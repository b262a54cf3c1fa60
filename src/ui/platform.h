// Operating-system services the program uses besides dialogs.
#pragma once

#include <string>

namespace ui {

std::string current_directory();
bool set_current_directory(const std::string& path);

struct LocalTime {
  int day, month, year, hour, minute, second;
};
LocalTime local_time();

}  // namespace ui
