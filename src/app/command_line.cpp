#include "app/command_line.h"

#include <string_view>

#ifndef BRANTEL_VERSION
#error "BRANTEL_VERSION is set by the build from the project version"
#endif

namespace app {

namespace {

constexpr std::string_view usage =
    "Usage: brantel [--help | --version]\n"
    "       brantel check [--geometry MODEL.dat] [--values | --json] FILE.inc...\n"
    "       brantel motion FILE [options]\n"
    "\n"
    "Enter the loading cases of a dynamic analysis and write the loading file (.inc) of the\n"
    "VUX time-integration solver. Without arguments the dialogs open in the current folder,\n"
    "which should be a working folder:\n"
    "  Dat/          geometry files (.dat) and loading files (.inc); the file boxes open here\n"
    "  uir/          the button images\n"
    "  language.dat  one line, English or Romanian\n"
    "Started in a folder without Dat/, the program offers to make a working folder from\n"
    "the samples installed with it.\n"
    "\n"
    "Commands:\n"
    "  check FILE... check loading files as LOAD reads them; problems as FILE:LINE: error|warning:\n"
    "                TEXT; 'brantel check --help' lists its options\n"
    "  motion FILE   read a ground-motion record; 'brantel motion --help' lists its options\n"
    "\n"
    "Options:\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Manual: man brantel\n";

}  // namespace

std::optional<int> answer_command_line(int argc, const char* const* argv, std::ostream& out) {
  if (argc < 2) return std::nullopt;
  const std::string_view option = argv[1];
  if (option == "--help" || option == "-h") {
    out << usage;
    return 0;
  }
  if (option == "--version") {
    out << "brantel " << BRANTEL_VERSION << '\n';
    return 0;
  }
  return std::nullopt;
}

}  // namespace app
