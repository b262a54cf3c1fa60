// Builds and runs the small Fortran reference programs of the differential tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace gfortran_support {

inline bool gfortran_available() { return std::system("command -v gfortran >/dev/null 2>&1") == 0; }

// A fresh directory for one test's files.
inline std::string scratch_directory(const std::string& name) {
  std::string dir = testing::TempDir() + "brantel_" + name + "_XXXXXX";
  return mkdtemp(dir.data()) ? dir : std::string();
}

// Compiles tests/text/fortran/<source> into <dir>/<source without .f90>; the path, or "" on failure.
// -fno-sign-zero: a zero is written without a sign, as our layouts do.
inline std::string compile(const std::string& source, const std::string& dir) {
  const std::string exe = dir + "/" + source.substr(0, source.size() - 4);
  const std::string command = "gfortran -O1 -fno-sign-zero -o '" + exe + "' '" BRANTEL_SOURCE_DIR "/tests/text/fortran/" +
                              source + "' 2>'" + dir + "/compile.log'";
  return std::system(command.c_str()) == 0 ? exe : std::string();
}

inline bool run(const std::string& exe, const std::string& in, const std::string& out) {
  const std::string command = "'" + exe + "' '" + in + "' '" + out + "'";
  return std::system(command.c_str()) == 0;
}

inline std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void remove_directory(const std::string& dir) {
  if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace gfortran_support

#define SKIP_WITHOUT_GFORTRAN()                                                                   \
  if (!gfortran_support::gfortran_available())                                                    \
  GTEST_SKIP() << "gfortran is not installed: the differential test needs it as the reference " \
                  "(apt-get install gfortran)"
