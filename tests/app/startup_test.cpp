// Start-up: the language setting, the images, the Time Points prompt; and the clean-up.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/session.h"
#include "app/program.h"
#include "model/case_files/atomic_file.h"
#include "support/temp_dir.h"
#include "ui/script/script_toolkit.h"

namespace {

using testing_support::TempCurrentDir;
using testing_support::write_file;

// Runs the start-up against a script that answers the Time Points prompt; `images` receives
// the images it loaded.
testing_support::Session start_up(const std::string& prompt_script, dialogs::Images* images = nullptr) {
  std::ostringstream transcript;
  ui::script::ScriptToolkit toolkit(ui::script::parse_script(prompt_script), transcript);
  testing_support::Session state;
  state.general().n_nodes = state.general().n_elements = state.general().n_dof = 7;  // of no model yet
  {
    testing_support::SessionContext lent(toolkit, state);
    app::start_up(lent.context);
    toolkit.finish();
    if (images != nullptr) *images = lent.context.images;
  }
  return state;
}

testing_support::Session start_up_confirmed() { return start_up("in 108\nexpect text 1103 \"100\"\npress 1\n"); }

TEST(StartUp, FoldersFollowTheCurrentDirectory) {
  TempCurrentDir dir;
  testing_support::Session s = start_up_confirmed();
  EXPECT_EQ(s.current_directory.trimmed(), dir.path().string());
  EXPECT_EQ(s.dat_directory.trimmed(), dir.path().string() + "/Dat/");
  EXPECT_EQ(s.uir_directory.trimmed(), dir.path().string() + "/uir/");
  EXPECT_EQ(s.general().n_nodes + s.general().n_elements + s.general().n_dof + s.general().n_loading_cases, 0);
}

TEST(StartUp, LanguageIsTheFirstTwentyCharactersOfTheFirstLine) {
  struct Case {
    const char* content;  // nullptr: no file
    const char* language;
  };
  const Case cases[] = {
      {nullptr, "English"},
      {"romanian\n", "romanian"},
      {"Romanian\r\nEnglish\r\n", "Romanian"},
      {"", "English"},
      {"\n\nRomanian\n", "English"},
      {"Romanian language with a long name\n", "Romanian language wi"},
  };
  for (const Case& c : cases) {
    TempCurrentDir dir;
    if (c.content) write_file("language.dat", c.content);
    testing_support::Session s = start_up_confirmed();
    EXPECT_EQ(s.language.trimmed(), c.language) << (c.content ? c.content : "(no file)");
    EXPECT_EQ(s.language.view().size(), 20u);
  }
}

TEST(StartUp, LanguageFileOnlyInDatIsNotFound) {
  TempCurrentDir dir;
  write_file("Dat/language.dat", "Romanian\n");
  EXPECT_FALSE(model::romanian_messages(start_up_confirmed()));
}

TEST(StartUp, HugeOrBinaryLanguageFileIsHarmless) {
  TempCurrentDir dir;
  write_file("language.dat", "R" + std::string(5'000'000, '\0') + "\n");
  testing_support::Session s = start_up_confirmed();
  EXPECT_TRUE(model::romanian_messages(s));
  EXPECT_EQ(s.language[0], 'R');
}

// A value that is not a positive whole number within the ten characters read is asked again,
// with the refused text shown, until one is; Cancel takes the field's value like OK.
TEST(StartUp, TimePointsMustBeAPositiveWholeNumber) {
  TempCurrentDir dir;
  EXPECT_EQ(start_up_confirmed().max_time_points, 100);
  EXPECT_EQ(start_up("type 1103 \"  250  \"\npress 1\n").max_time_points, 250);
  EXPECT_EQ(start_up("type 1103 \"7\"\npress 2\n").max_time_points, 7);
  for (const char* refused : {"many", "-40", "0", "250 points", "12345678901", ""}) {
    const std::string script = "type 1103 \"" + std::string(refused) + "\"\npress 1\n" +
                                "expect message \"Message\" \"ERROR: the Maximum Number of Time Points must be a " +
                                "whole number above 0, not \\\"" + refused + "\\\" !\"\n" +
                                "in 108\nexpect text 1103 \"" + refused + "\"\ntype 1103 \"40\"\npress 1\n";
    EXPECT_EQ(start_up(script).max_time_points, 40) << refused;
  }
}

TEST(StartUp, LanguageFileThatIsNoRegularFileMeansEnglishWithAMessage) {
  TempCurrentDir dir;
  ASSERT_EQ(mkfifo("language.dat", 0600), 0);
  const testing_support::Session s = start_up(
      "expect message \"Message\" \"language.dat is a FIFO (named pipe), not a regular file: the language is "
      "English.\"\nin 108\npress 1\n");
  EXPECT_EQ(s.language.trimmed(), "English");
  std::filesystem::remove("language.dat");
  std::filesystem::create_directory("language.dat");
  EXPECT_EQ(start_up("expect message \"Message\" \"language.dat is a folder, not a regular file: the language is "
                     "English.\"\npress 1\n").language.trimmed(), "English");
}

TEST(StartUp, ImagesLoadFromUirAndMissingOnesAreNull) {
  TempCurrentDir dir;
  for (const char* name : {"Open.ico", "Notepad.ico", "LoadP.bmp"}) write_file(std::string("uir/") + name, "image");
  write_file("uir/Loading.bmp", "");  // unreadable: empty
  dialogs::Images images;
  start_up("in 108\nexpect text 1103 \"100\"\npress 1\n", &images);
  EXPECT_FALSE(images.open_icon.null());
  EXPECT_FALSE(images.notepad_icon.null());
  EXPECT_FALSE(images.load_bitmap.null());
  EXPECT_TRUE(images.input_file2_icon.null());
  EXPECT_TRUE(images.input_file1_icon.null());
  EXPECT_TRUE(images.save_changes_icon.null());
  EXPECT_TRUE(images.loading_bitmap.null());
}

// A save killed with its program leaves a temporary as large as the file; the next start takes
// it away in the folders it writes to, without waiting for a save into the same folder.
TEST(StartUp, TemporariesOfEndedProgramsGoInTheFoldersItWritesTo) {
  TempCurrentDir dir;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string dead = model::case_files::temporary_prefix("big.inc", child) + "Ab12Cd";
  const std::string live = model::case_files::temporary_prefix("big.inc", getppid()) + "Ab12Cd";
  for (const std::string folder : {"", "Dat/"}) {
    write_file(folder + dead, "half a loading file");
    write_file(folder + live, "being written");
  }
  write_file("Other/" + dead, "not a folder this run writes to");
  start_up_confirmed();
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_FALSE(std::filesystem::exists("Dat/" + dead));
  EXPECT_TRUE(std::filesystem::exists(live));
  EXPECT_TRUE(std::filesystem::exists("Dat/" + live));
  EXPECT_TRUE(std::filesystem::exists("Other/" + dead));
}

TEST(CleanUp, DeletesCaseScratchFilesOfOneAndTwoDigitCasesOnly) {
  TempCurrentDir dir;
  const char* deleted[] = {"1init.dat", "xinit.dat", "12TP.dat", "3InitLoad.dat", "9TPacc.dat",
                           "99TPsin.dat", "10TPexp.dat", "2TPexp.dat"};
  const char* kept[] = {"abinit.dat", "123init.dat", "05TP.dat", "a1TP.dat", "frame.inc", "frame.dat",
                        "init.dat", "1init.dat.bak", "Dat/1init.dat"};
  for (const char* name : deleted) write_file(name, "x");
  for (const char* name : kept) write_file(name, "x");
  app::clean_up();
  for (const char* name : deleted) EXPECT_FALSE(std::filesystem::exists(name)) << name;
  for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

TEST(CleanUp, UnwritableFolderIsNotAnError) {
  TempCurrentDir dir;
  write_file("1init.dat", "x");
  std::filesystem::remove_all(dir.path());  // the folder vanished under the program
  EXPECT_NO_THROW(app::clean_up());
}

}  // namespace
