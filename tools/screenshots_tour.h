#pragma once

#include <QString>
#include <string>

// Runs the program in a copy of `workspace` and saves pictures of dialogs in use into
// `out_dir`; false when the program did not go the expected way.
bool take_tour_pictures(const QString& out_dir, const std::string& workspace);
