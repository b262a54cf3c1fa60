// The message boxes of the loading file reader, in the language of the moment.
#pragma once

#include <string>

#include "loadfile/session.h"
#include "loadfile/reader_parse.h"

namespace loadfile {

inline constexpr std::string_view time_point_limit_title = "\"BRANTEL\" Message";
inline constexpr std::string_view reader_message_title = "Message";

void show_open_failure(Session& context, const std::string& path, bool exists);
void show_read_fault(Session& context, const std::string& path, const ReadFault& fault);
void show_write_failure(Session& context, const std::string& name, const std::string& folder);
void show_time_point_limit(Session& context);

// "what was expected" of a fault, in English and in Romanian.
std::string expected_text(const ReadFault& fault, int n_nodes, bool romanian);

}  // namespace loadfile
