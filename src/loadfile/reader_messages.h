// What the reader expected where it stopped, in English and in Romanian: the last problem of a
// file that could not be read to its end.
#pragma once

#include <string>

#include "loadfile/problems.h"
#include "loadfile/reader_parse.h"

namespace loadfile {

// The fault that stopped the reading as a problem of the file at `path`.
Problem fault_problem(const std::string& path, const ReadFault& fault, int n_nodes);

// "what was expected" of a fault, in English and in Romanian.
std::string expected_text(const ReadFault& fault, int n_nodes, bool romanian);

}  // namespace loadfile
