// The message boxes of the loading file reader, in the language of the moment.
#pragma once

#include <string>

#include "text/regular_file.h"
#include "loadfile/reader_parse.h"
#include "loadfile/session.h"

namespace loadfile {

inline constexpr std::string_view time_point_limit_title = "\"BRANTEL\" Message";
inline constexpr std::string_view reader_message_title = "Message";

void show_open_failure(Session& context, const std::string& path, const text::FileRead& why);
// The fault that stopped the reading as a problem of the file at `path`.
Problem fault_problem(const std::string& path, const ReadFault& fault, int n_nodes);
// One message for everything LOAD could not take; none when the list is empty. `stopped`: the
// reading ended at the last problem and the file was not loaded.
void show_read_problems(Session& context, const std::string& path, const ProblemList& problems,
                        bool stopped);
void show_write_failure(Session& context, const std::string& name, const std::string& folder);
void show_time_point_limit(Session& context);

// "what was expected" of a fault, in English and in Romanian.
std::string expected_text(const ReadFault& fault, int n_nodes, bool romanian);

}  // namespace loadfile
