// The working folder made from the samples when the program starts where there is none.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/workspace_setup.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

const fs::path samples = BRANTEL_WORKSPACE;

TEST(SampleWorkspace, FoundBesideTheInstalledProgramOrTheBuildFolder) {
  TempCurrentDir dir;
  write_file("usr/bin/brantel", "");
  write_file("usr/share/brantel/workspace/Dat/frame.dat", "");
  write_file("repo/build-test/brantel", "");
  write_file("repo/examples/workspace/Dat/frame.dat", "");
  write_file("empty/bin/brantel", "");
  write_file("empty/share/brantel/workspace/uir/Open.ico", "");  // no Dat/: no samples
  EXPECT_EQ(app::find_sample_workspace(dir.path() / "usr/bin/brantel"), dir.path() / "usr/share/brantel/workspace");
  EXPECT_EQ(app::find_sample_workspace(dir.path() / "repo/build-test/brantel"), dir.path() / "repo/examples/workspace");
  EXPECT_EQ(app::find_sample_workspace(dir.path() / "empty/bin/brantel"), fs::path());
  EXPECT_EQ(app::find_sample_workspace(fs::path()), fs::path());
  // The test program itself runs from the build folder, beside the repository's samples.
  EXPECT_FALSE(app::running_executable().empty());
}

TEST(SampleWorkspace, MadeInANewFolderWithEverySampleFile) {
  TempCurrentDir dir;
  const app::MakeWorkspaceResult result = app::make_workspace(samples, dir.path() / "new/analysis");
  ASSERT_EQ(result.outcome, app::MakeWorkspace::made) << result.problem;
  for (const char* name : {"Dat/frame.dat", "Dat/truss.dat", "uir/LoadP.bmp", "language.dat"})
    EXPECT_EQ(read_file(dir.path() / "new/analysis" / name), read_file(samples / name)) << name;
}

TEST(SampleWorkspace, FilesOfTheUserAreNeverReplaced) {
  TempCurrentDir dir;
  write_file("mine/language.dat", "Romanian\n");
  write_file("mine/uir/Open.ico", "my own picture");
  ASSERT_EQ(app::make_workspace(samples, "mine").outcome, app::MakeWorkspace::made);
  EXPECT_EQ(read_file("mine/language.dat"), "Romanian\n");
  EXPECT_EQ(read_file("mine/uir/Open.ico"), "my own picture");
  EXPECT_EQ(read_file("mine/Dat/frame.dat"), read_file(samples / "Dat/frame.dat"));

  write_file("ready/Dat/model.dat", "x");
  EXPECT_EQ(app::make_workspace(samples, "ready").outcome, app::MakeWorkspace::already_workspace);
  EXPECT_FALSE(fs::exists("ready/Dat/frame.dat"));

  write_file("samples/Dat/frame.dat", "x");
  EXPECT_EQ(app::make_workspace("samples", "samples/uir/inside").outcome, app::MakeWorkspace::failed);
  EXPECT_FALSE(fs::exists("samples/uir"));

  write_file("a_file", "x");
  const app::MakeWorkspaceResult refused = app::make_workspace(samples, "a_file");
  EXPECT_EQ(refused.outcome, app::MakeWorkspace::failed);
  EXPECT_NE(refused.problem.find("a_file"), std::string::npos) << refused.problem;
  EXPECT_EQ(read_file("a_file"), "x");
}

// Runs the offer against a script of the user's answers; returns the transcript.
std::string offer(const std::string& answers, const fs::path& sample_folder = samples) {
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(ui::script::parse_script(answers), transcript);
  app::offer_workspace(toolkit, sample_folder);
  toolkit.finish();
  return transcript.str();
}

TEST(SampleWorkspace, OfferedOutsideAWorkingFolderAndMadeWhereTheUserChooses) {
  TempCurrentDir dir;
  const std::string transcript = offer("answer yes\nfile \"first\"\n");
  EXPECT_NE(transcript.find("message \"BRANTEL: Working Folder\" \"There is no Dat folder in\\n" +
                            dir.path().string()),
            std::string::npos)
      << transcript;
  EXPECT_EQ(fs::current_path(), dir.path() / "first");
  EXPECT_TRUE(fs::is_regular_file("Dat/frame.dat"));
  // Now a working folder: no second question.
  EXPECT_EQ(offer(""), "");
}

TEST(SampleWorkspace, DeclinedCancelledOrFailedLeavesTheFolderAsItWas) {
  TempCurrentDir dir;
  for (const char* answers : {"answer no\n", "answer yes\nfile cancel\n"}) {
    offer(answers);
    EXPECT_EQ(fs::current_path(), dir.path()) << answers;
    EXPECT_TRUE(fs::is_empty(dir.path())) << answers;
  }
  write_file("taken", "x");
  const std::string transcript = offer("answer yes\nfile \"taken\"\n");
  EXPECT_NE(transcript.find("Cannot make the folder " + (dir.path() / "taken").string()), std::string::npos)
      << transcript;
  EXPECT_EQ(fs::current_path(), dir.path());
  // Without samples there is nothing to offer.
  EXPECT_EQ(offer("", fs::path()), "");
}

}  // namespace
