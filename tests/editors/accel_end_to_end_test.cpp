// The end-to-end replay of an accelerogram case with Aero+Structural damping: the loading file
// it creates is compared with one written by hand. The workspace folder differs from run to run,
// so it stands as @WORKSPACE@ in the expected file; the last record is the date of writing.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "app/program.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_file;

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

TEST(AccelEndToEnd, CreatesTheLoadingFileWrittenByHand) {
  testing_support::TempCurrentDir dir;
  fs::copy(BRANTEL_WORKSPACE, fs::current_path(), fs::copy_options::recursive);
  const std::string workspace = fs::current_path().string();
  auto script = ui::script::parse_script(read_file(
      fs::path(BRANTEL_SOURCE_DIR) / "tests/scenarios/editors_accel_end_to_end/script.replay"));
  ASSERT_EQ(script.error_line, 0) << script.error;
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(std::move(script), transcript);
  try {
    app::run_program(toolkit);
    toolkit.finish();
  } catch (const ui::script::ScriptError& e) {
    FAIL() << "line " << e.line() << ": " << e.what();
  }
  const std::string created = replaced(read_file(fs::path(workspace) / "Dat/run.inc"), workspace,
                                       "@WORKSPACE@");
  const std::size_t date = created.rfind('\n', created.size() - 2) + 1;
  EXPECT_TRUE(std::regex_match(created.substr(date),
                               std::regex(R"(\d\d/\d\d/\d{4}   \d\d:\d\d:\d\d\r\n)")));
  EXPECT_EQ(created.substr(0, date), read_file(fs::path(BRANTEL_TEST_DATA) / "accel_end_to_end.inc"));
  EXPECT_EQ(transcript.str(), "message \"Create Message\" \"Created File: " + workspace +
                                  "/Dat/run.inc\\nNo initial values in cases: 1\"\n");
}

}  // namespace
