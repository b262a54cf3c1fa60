// The names of what a loading file's records hold: one table for the check's listings and the
// viewer's labels, so both speak of the same fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "loadfile/record_trace.h"
#include "model/domain_codes.h"

namespace loadfile {

// What a record is, for a person: "tolerance, iteration limit".
std::string_view record_title(RecordKind kind);
// The same as an identifier: "tolerance".
std::string_view record_id(RecordKind kind);

// The names of the values of a record, in their order in the record (`count` of them):
// "first_node", "last_node", "load_1", ... `loading_type` and `damping_type` are those of the
// record's case, `new_operator` that of the file.
std::vector<std::string> value_names(RecordKind kind, std::size_t count, model::LoadingType loading_type, model::DampingType damping_type,
                                     bool new_operator);

// "Discrete Loading", "Raleigh", ...: the words of a code; empty for a code that has none.
std::string_view loading_type_words(int code);
std::string_view damping_type_words(int code);

}  // namespace loadfile
