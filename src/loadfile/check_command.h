// `brantel check [--geometry MODEL.dat] [--values | --json] FILE.inc...`: the problems of
// loading files in the form compilers use, and what the solver will read from them.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace loadfile {

// Exit codes: 0 no problem, 1 warnings only, 2 errors, 3 a file (or the geometry file) could
// not be read, 64 the command line is wrong.
int run_check_command(std::span<const char* const> arguments, std::ostream& out, std::ostream& err);

}  // namespace loadfile
