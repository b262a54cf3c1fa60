// Create writes the loading file from the sections the editors saved in memory: the case files
// are the run's journal, and nothing of a normal run reads them back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/session.h"
#include "dialogs/editors/editors.h"
#include "dialogs/loading_file.h"
#include "model/case_files/scratch_layouts.h"
#include "node_editor_harness.h"
#include "support/fake_toolkit.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using node_editor_test::model;
using node_editor_test::run;
using node_editor_test::xyz_range;

std::string without_date(std::string bytes) {
  bytes.resize(bytes.rfind("\r\n", bytes.size() - 3) + 2);
  return bytes;
}

std::string create(testing_support::Session& s, model::case_files::CaseStore& cases,
                   testing_support::FakeToolkit& toolkit) {
  dialogs::Context context{toolkit, s};
  context.cases = std::move(cases);
  const bool written = dialogs::write_loading_file(context);
  cases = std::move(context.cases);
  return written ? testing_support::read_file("analysis.inc") : "<not written>";
}

TEST(CreateFromTheSections, CaseFilesMadeUnreadableAfterTheLastSaveChangeNoByte) {
  testing_support::TempCurrentDir dir;
  testing_support::Session s = model(120, 3, 1, 1);
  s.record(1) = {1e-4f, 20, model::LoadingType::discrete, 0.01f, 1.f};
  EXPECT_RAN(run(s, dialogs::editors::open_discrete_loading_editor, R"(
in 104
type 1052 "0.5"
press 1053
pick 1102 1
type 1084 "1"
type 1085 "10"
type 1055 "3"
press 1050
press 1093
press 1
)", false));
  EXPECT_RAN(run(s, dialogs::editors::open_initial_values_editor, R"(
in 103
type 1074 "1"
type 1075 "5"
type 1026 "1.5"
press 1041
press 1071
press 2
)", false));
  ASSERT_TRUE(s.at(1).loading_saved && s.at(1).initial_values_saved);
  s.loading_file() = "analysis.inc";
  testing_support::FakeToolkit toolkit;
  const std::string before = create(s, s.cases, toolkit);
  ASSERT_NE(before, "<not written>");
  // Every case file becomes a folder of the same name: no read of one could succeed.
  int broken = 0;
  for (const char* name : {"1init.dat", "1InitLoad.dat", "1TP.dat"}) {
    ASSERT_TRUE(fs::exists(name)) << name << ": SAVE writes the journal";
    fs::remove(name);
    fs::create_directory(name);
    ++broken;
  }
  ASSERT_EQ(broken, 3);
  const std::string after = create(s, s.cases, toolkit);
  EXPECT_EQ(without_date(after), without_date(before));
  EXPECT_NE(after.find(model::case_files::discrete_range_record(xyz_range(1, 10, 3), 3) + "\r\n"), std::string::npos);
  EXPECT_NE(after.find("End_of_Initial_Conditions"), std::string::npos);
  ASSERT_EQ(toolkit.messages.size(), 2u);
  EXPECT_EQ(toolkit.messages[1].text.rfind("Created File: analysis.inc", 0), 0u) << toolkit.messages[1].text;
  EXPECT_EQ(toolkit.messages[1].text.find("No loading data"), std::string::npos) << toolkit.messages[1].text;
}

}  // namespace
