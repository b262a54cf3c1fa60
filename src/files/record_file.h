// A text file read whole into the records of a text::RecordSource.
#pragma once

#include <cstddef>
#include <string>

#include "files/regular_file.h"
#include "text/free_form.h"

namespace files {

// false: missing, not a regular file, unreadable, or more than `max_bytes` (also when it grows
// beyond them while read); `why` (when given) says which. `out` changes only on success.
bool read_records(const std::string& path, text::RecordSource& out, FileRead* why = nullptr,
                  std::size_t max_bytes = max_text_file_bytes);
// The file `name` of the folder open at `folder_fd`, never through a link.
bool read_records_at(int folder_fd, const std::string& name, text::RecordSource& out, FileRead* why = nullptr,
                     std::size_t max_bytes = max_text_file_bytes);

}  // namespace files
