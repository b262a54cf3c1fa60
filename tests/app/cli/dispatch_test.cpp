// The program's command line: what opens the dialogs, what is answered on the terminal, and how
// a command word is told from the widget library's options.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <span>
#include <sys/stat.h>
#include <fcntl.h>

#include "app/cli/command_run.h"
#include "support/stopped_run.h"
#include "support/temp_dir.h"

namespace {

using testing_support::run_brantel;

TEST(CommandLine, HelpAndVersionAreAnsweredOptionsOfTheWidgetLibraryGoOn) {
  EXPECT_TRUE(std::regex_match(run_brantel({"--version"}).out, std::regex("brantel [0-9]+\\.[0-9]+(\\.[0-9]+)*\n")));
  EXPECT_EQ(run_brantel({"--version"}).code, 0);
  const auto help = run_brantel({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: brantel", 0), 0u);
  EXPECT_EQ(run_brantel({"-h"}).out, help.out);
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"-platform", "offscreen"}, {"--help-me"}}) {
    const auto run = run_brantel(args);
    EXPECT_FALSE(run.code.has_value());
    EXPECT_EQ(run.out + run.err, "");
  }
}

TEST(CommandLine, AWordThatNamesNoCommandExitsWithTheUsage) {
  for (const char* word : {"frobnicate", "Check", "check.inc", "mot"}) {
    const auto run = run_brantel({word, "--help"});
    EXPECT_EQ(run.code, 64) << word;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(std::string("brantel: unknown command \"") + word + "\"\n\nUsage: brantel", 0), 0u) << run.err;
  }
}

TEST(CommandLine, EveryCommandAnswersHelpAndTakesAnOptionsLastValue) {
  for (const char* command : {"check", "motion"}) {
    const auto run = run_brantel({command, "--help"});
    EXPECT_EQ(run.code, 0) << command;
    EXPECT_EQ(run.out.rfind(std::string("Usage: brantel ") + command, 0), 0u) << run.out;
    EXPECT_EQ(run_brantel({command, "-h"}).out, run.out);
  }
  // The first, wrong, value is overridden: only the last one is applied.
  const auto run = run_brantel({"motion", "missing.AT2", "--format", "smc", "--format=peer"});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("no such file"), std::string::npos) << run.err;
}

TEST(CommandLine, WordsTheWidgetLibraryLeftAreRefused) {
  EXPECT_FALSE(app::cli::refuse_leftover_arguments({}, std::cerr).has_value());
  for (const char* word : {"stray", "--stray"}) {
    std::ostringstream err;
    const char* const words[] = {word};
    EXPECT_EQ(app::cli::refuse_leftover_arguments(words, err), 64);
    EXPECT_NE(err.str().find(word), std::string::npos);
    EXPECT_NE(err.str().find("Usage: brantel"), std::string::npos);
  }
}

}  // namespace

namespace {

// --recover-list answers without a display, for a folder where the dialogs would offer runs back.
TEST(CommandLine, RecoverListPrintsTheStoppedRunsOfTheCurrentFolderNewestFirst) {
  testing_support::TempCurrentDir dir;
  const auto none = run_brantel({"--recover-list"});
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(none.out, "No stopped runs in " + dir.path().string() + "\n");

  ::setenv("TZ", "UTC", 1);
  ::tzset();
  testing_support::plant_stopped_run(dir.path(), "100-aaaaaa", 1'765'200'000, 1);
  testing_support::plant_stopped_run(dir.path(), "200-bbbbbb", 1'765'213'484, 2, "Dat/run.inc");
  testing_support::write_file(dir.path() / ".brantel" / "300-cccccc" / ".lock", "");
  testing_support::write_file(dir.path() / ".brantel" / "300-cccccc" / "journal.json", "{\"format\": \"brantel");
  const auto listed = run_brantel({"--recover-list"});
  EXPECT_EQ(listed.code, 0);
  const std::string base = (dir.path() / ".brantel").string();
  // The damaged one is dated by its folder, made just now: the newest, so the first line.
  const std::string first = listed.out.substr(0, listed.out.find('\n') + 1);
  EXPECT_NE(first.find("  journal cannot be read: it is not whole JSON"), std::string::npos) << first;
  EXPECT_NE(first.find(base + "/300-cccccc\n"), std::string::npos) << first;
  const std::string out = listed.out.substr(first.size());
  EXPECT_EQ(out,
            "08/12/2025 17:04:44  2 cases  loading file Dat/run.inc, not created since  " + base + "/200-bbbbbb\n"
            "08/12/2025 13:20:00  1 case  no loading file named  " + base + "/100-aaaaaa\n");
  EXPECT_EQ(run_brantel({"--recover-list", "extra"}).code, std::nullopt) << "only the option alone is ours";

  // Set aside with No, a run is still listed, with the date it will be removed.
  {
    std::vector<model::case_files::StoppedRun> runs = model::case_files::find_stopped_runs(dir.path());
    std::string reason;
    for (auto& run : runs) {
      if (run.name() != "200-bbbbbb") continue;
      ASSERT_TRUE(run.abandon(reason)) << reason;
    }
  }
  const std::filesystem::path aside = dir.path() / ".brantel" / "abandoned" / "200-bbbbbb";
  const timespec set_aside_at[2] = {{1'765'300'000, 0}, {1'765'300'000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, aside.c_str(), set_aside_at, 0), 0);
  const auto with_set_aside = run_brantel({"--recover-list"});
  EXPECT_EQ(with_set_aside.code, 0);
  const std::string tail = with_set_aside.out.substr(with_set_aside.out.find("Set aside"));
  EXPECT_EQ(tail,
            "Set aside (brantel --recover RUN takes one back; RUN is the last name of its folder):\n"
            "08/12/2025 17:04:44  2 cases  loading file Dat/run.inc, not created since  removed after 16/12/2025 "
            "17:06:40  " + aside.string() + "\n");
}

// `--recover RUN` opens the dialogs; the option without its one name is refused with the usage.
TEST(CommandLine, RecoverTakesTheNameOfOneRun) {
  EXPECT_EQ(run_brantel({"--recover", "4242-abcdef"}).code, std::nullopt);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--recover"}, {"--recover", "a", "b"}}) {
    const auto run = run_brantel(args);
    EXPECT_EQ(run.code, 64);
    EXPECT_NE(run.err.find("--recover takes the name of one run"), std::string::npos) << run.err;
  }
  const char* const words[] = {"--recover", "4242-abcdef"};
  std::ostringstream err;
  EXPECT_FALSE(app::cli::refuse_leftover_arguments(words, err).has_value());
  EXPECT_EQ(app::cli::run_to_recover(words), "4242-abcdef");
  EXPECT_EQ(app::cli::run_to_recover(std::span<const char* const>(words, 1)), std::nullopt);
}

}  // namespace
