// Names and life of the case scratch files in the current directory.
#include "model/case_files/scratch_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using model::case_files::ScratchKind;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

constexpr ScratchKind all_kinds[] = {ScratchKind::initial_conditions, ScratchKind::initial_loading,
                                     ScratchKind::discrete_loading,   ScratchKind::accelerogram,
                                     ScratchKind::sinusoidal,         ScratchKind::exponential};

TEST(ScratchFileNames, CaseNumberWithoutLeadingZerosThenSuffix) {
  EXPECT_EQ(model::case_files::scratch_file_name(3, ScratchKind::discrete_loading), "3TP.dat");
  EXPECT_EQ(model::case_files::scratch_file_name(12, ScratchKind::initial_conditions), "12init.dat");
  EXPECT_EQ(model::case_files::scratch_file_name(7, ScratchKind::initial_loading), "7InitLoad.dat");
  EXPECT_EQ(model::case_files::scratch_file_name(1, ScratchKind::accelerogram), "1TPacc.dat");
  EXPECT_EQ(model::case_files::loading_data_kind(model::LoadingType::accelerogram_1_direction), ScratchKind::accelerogram);
  EXPECT_EQ(model::case_files::loading_data_kind(model::LoadingType::sinusoidal), ScratchKind::sinusoidal);
  EXPECT_EQ(model::case_files::loading_data_kind(model::LoadingType::exponential), ScratchKind::exponential);
  EXPECT_EQ(model::case_files::loading_data_kind(model::LoadingType::discrete), ScratchKind::discrete_loading);
}

TEST(ScratchFileCleanUp, CoversCasesOneToNinetyNineAndNothingElse) {
  TempCurrentDir dir;
  for (const char* name : {"1init.dat", "9TP.dat", "10TPacc.dat", "99TPexp.dat", "4InitLoad.dat",
                           "42InitLoad.dat", "05init.dat", "100TP.dat", "abTP.dat", "init.dat",
                           "1init.dat.bak"})
    write_file(name, "x\n");
  model::case_files::delete_case_scratch_files(false);
  for (const char* gone : {"1init.dat", "9TP.dat", "10TPacc.dat", "99TPexp.dat"})
    EXPECT_FALSE(fs::exists(gone)) << gone;
  for (const char* kept : {"4InitLoad.dat", "42InitLoad.dat", "05init.dat", "100TP.dat", "abTP.dat",
                           "init.dat", "1init.dat.bak"})
    EXPECT_TRUE(fs::exists(kept)) << kept;
  model::case_files::delete_case_scratch_files(true);
  EXPECT_FALSE(fs::exists("4InitLoad.dat"));
  EXPECT_FALSE(fs::exists("42InitLoad.dat"));
}

TEST(MoveScratchFilesDown, EveryKindOfEveryLaterCaseTakesTheNumberBelow) {
  TempCurrentDir dir;
  for (int k = 1; k <= 3; ++k)
    for (ScratchKind kind : all_kinds)
      write_file(model::case_files::scratch_file_name(k, kind), "case " + std::to_string(k) + "\n");

  EXPECT_TRUE(model::case_files::move_case_scratch_files_down(2, 3).empty());

  for (ScratchKind kind : all_kinds) {
    const std::string name1 = model::case_files::scratch_file_name(1, kind);
    const std::string name2 = model::case_files::scratch_file_name(2, kind);
    EXPECT_EQ(read_file(name1), "case 1\n") << name1;
    EXPECT_EQ(read_file(name2), "case 3\n") << name2;
    EXPECT_FALSE(fs::exists(model::case_files::scratch_file_name(3, kind)));
  }
}

TEST(MoveScratchFilesDown, MissingFilesLeaveNoStaleDataBehind) {
  TempCurrentDir dir;
  // Case 2 has a discrete loading, case 3 none: after removing case 1 the new case 2 (the
  // old case 3) must not inherit the old case 2's file.
  write_file("1TP.dat", "one\n");
  write_file("2TP.dat", "two\n");
  write_file("3init.dat", "three\n");
  EXPECT_TRUE(model::case_files::move_case_scratch_files_down(1, 3).empty());
  EXPECT_EQ(read_file("1TP.dat"), "two\n");
  EXPECT_FALSE(fs::exists("2TP.dat"));
  EXPECT_EQ(read_file("2init.dat"), "three\n");
  EXPECT_FALSE(fs::exists("3init.dat"));
}

TEST(MoveScratchFilesDown, TwoDigitCasesAndCasesBeyondTheLastStay) {
  TempCurrentDir dir;
  write_file("10TPsin.dat", "ten\n");
  write_file("11TPsin.dat", "eleven\n");
  write_file("12TPsin.dat", "twelve\n");
  EXPECT_TRUE(model::case_files::move_case_scratch_files_down(10, 11).empty());
  EXPECT_EQ(read_file("10TPsin.dat"), "eleven\n");
  EXPECT_FALSE(fs::exists("11TPsin.dat"));
  EXPECT_EQ(read_file("12TPsin.dat"), "twelve\n") << "case 12 is not one of the cases";
}

TEST(MoveScratchFilesDown, ReportsAFileThatCannotBeMoved) {
  TempCurrentDir dir;
  fs::create_directory("2TP.dat");  // a folder in the way of the removal
  write_file("2TP.dat/keep", "x");
  const std::vector<std::string> failures = model::case_files::move_case_scratch_files_down(2, 2);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("2TP.dat: ", 0), 0u) << failures[0];
}

}  // namespace
