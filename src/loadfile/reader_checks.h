// The checks LOAD makes besides reading: the reading itself never compares words (a section
// ends at the first record that is not one of its records, as the solver reads it), so these
// say when that record was something other than an end line the program writes.
#pragma once

#include <string_view>

namespace loadfile {

enum class Section {
  initial_conditions,  // C4
  diameters,           // C7
  initial_loading,     // C9
  loading_data,        // C11
};

// The section's name in a message.
std::string_view section_words(Section section, bool romanian);

// Whether `record` is an end line of the section in either language (blanks around it and the
// case of its letters do not matter).
bool is_section_end(std::string_view record, Section section);

// Whether the record holds more than one value: a time record never does, so such a record is
// a range record that could not be read (a typo), now taken as a time.
bool holds_more_than_one_value(std::string_view record);

// The end record of the file ("End_of_File: " or "Sfarsit de fisier: " and a path).
bool is_end_of_file_record(std::string_view record);

}  // namespace loadfile
