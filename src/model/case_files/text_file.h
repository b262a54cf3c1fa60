// Small helpers of the editors' case files. Every write goes through the atomic writer.
#pragma once

#include <string>

#include "model/case_files/atomic_file.h"

namespace model::case_files {

// Creates the file empty when it does not exist; an existing file is left as it is.
void create_if_missing(const std::string& path);

}  // namespace model::case_files
