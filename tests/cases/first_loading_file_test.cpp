// The whole road of a loading file: the program started in a copy of the example workspace,
// the general data saved, two cases filled and added with their editors' data, a file name
// chosen and the file created; the file must be the one written by hand beside this test.
// The paths the open-file boxes return are absolute, so the expected file names the working
// folder "@WORK@".
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/program.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::TempCurrentDir;

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// The text without its last line (the date record, which differs on every run).
std::string without_last_line(const std::string& s) {
  const std::size_t end = s.size() >= 2 ? s.rfind('\n', s.size() - 2) : std::string::npos;
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string last_line(const std::string& s) {
  return s.substr(without_last_line(s).size());
}

TEST(FirstLoadingFile, TheDialogsWriteTheFileWrittenByHand) {
  TempCurrentDir dir;
  fs::copy(BRANTEL_WORKSPACE, dir.path(), fs::copy_options::recursive);
  const std::string work = fs::current_path().string();
  ui::script::ParseResult script =
      ui::script::parse_script(read_file(BRANTEL_TEST_DATA "/first_loading_file.replay"));
  ASSERT_EQ(script.error_line, 0) << script.error;
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(std::move(script), transcript);
  try {
    app::run_program(toolkit);
    toolkit.finish();
  } catch (const ui::script::ScriptError& e) {
    FAIL() << "script line " << e.line() << ": " << e.what() << "\n" << transcript.str();
  }

  const std::string written = read_file(dir.path() / "Dat" / "first.inc");
  const std::string expected =
      replace_all(read_file(BRANTEL_TEST_DATA "/first_loading_file.inc"), "@WORK@", work);
  EXPECT_EQ(without_last_line(written), without_last_line(expected));
  EXPECT_EQ(last_line(written).size(), last_line(expected).size()) << last_line(written);
  EXPECT_EQ(transcript.str(), "message \"Create Message\" \"Created File: " + work +
                                  "/Dat/first.inc\\nNo initial values in cases: 2\"\n");
  // The scratch files of the cases are gone with the end of the program.
  EXPECT_FALSE(fs::exists(dir.path() / "Dat" / "1TP.dat"));
  EXPECT_FALSE(fs::exists(dir.path() / "Dat" / "2TPsin.dat"));
  EXPECT_FALSE(fs::exists(dir.path() / "Dat" / "1InitLoad.dat"));
}

}  // namespace
