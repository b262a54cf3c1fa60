// A journal a run of this version wrote must still be read after the program's data moves: a
// crash before an update leaves exactly such a file behind. The stored journal holds a value in
// every kind of journaled field (a three-case run with damping, diameters, loaded and edited
// cases, non-finite reals).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "model/case_files/case_store.h"
#include "model/case_files/journal.h"

namespace {

namespace cf = model::case_files;

std::string stored_journal() {
  std::ifstream in(std::string(BRANTEL_TEST_DATA) + "/journal_version_1.json", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(StoredJournal, IsReadBackToTheSameDataAndWrittenAgainByteForByte) {
  const std::string text = stored_journal();
  ASSERT_FALSE(text.empty());
  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::parse_journal(text, content, reason), cf::JournalRead::ok) << reason;
  // Written again, it differs only by the fields added since, empty (the processing steps of
  // accelerograms, of which a journal of that version knew none), and by the records of the
  // last Create, which the program no longer keeps: Create writes the records as entered.
  std::string with_new_fields = text;
  const std::string before = " \"state\": {\n  \"accel_direction\": 3,\n";
  const auto at = with_new_fields.find(before);
  ASSERT_NE(at, std::string::npos);
  with_new_fields.insert(at + before.size(), "  \"accel_processing\": [],\n");
  const auto written_from = with_new_fields.find("  \"written_case_records\": [\n");
  const auto written_to = with_new_fields.find("\n  ],\n", written_from);
  ASSERT_NE(written_to, std::string::npos);
  with_new_fields.erase(written_from, written_to + 6 - written_from);
  EXPECT_EQ(cf::journal_text(content.state, content.summary), with_new_fields);

  const model::ProgramState& s = content.state;
  EXPECT_EQ(s.language.trimmed(), "Romanian");
  EXPECT_EQ(s.max_time_points, 250);
  EXPECT_EQ(s.general.n_nodes, 12);
  EXPECT_EQ(s.general.n_dof, 3);
  EXPECT_EQ(s.general.n_loading_cases, 3);
  EXPECT_EQ(s.general.geometry_file.trimmed(), "/work/Dat/frame.dat");
  EXPECT_EQ(s.loading_file.trimmed(), "Dat/run.inc");
  EXPECT_EQ(s.general.beta.view().substr(0, 5), "  4.0");
  EXPECT_FALSE(s.general.new_operator);
  EXPECT_EQ(s.damping.type, model::DampingType::aero);
  EXPECT_FLOAT_EQ(s.damping.ro_air, 1.225f);
  EXPECT_TRUE(std::isinf(s.damping.zeta));
  ASSERT_EQ(s.damping.diameters.size(), 2u);
  EXPECT_EQ(s.damping.diameters[1], (model::DiameterGroup{5, 11, 0.25f}));
  ASSERT_EQ(s.case_records.size(), 3);
  EXPECT_EQ(s.case_records[2].loading_type, model::LoadingType::accelerogram_1_direction);
  EXPECT_FLOAT_EQ(s.case_records[2].initial_acceleration[2], -9.81f);
  EXPECT_TRUE(std::isnan(s.case_records[3].time_step));
  ASSERT_EQ(s.loaded_case_records.size(), 1);
  EXPECT_FLOAT_EQ(s.loaded_case_records[1].end_time, 3.f);
  EXPECT_TRUE(s.case_processed[2]);
  EXPECT_FALSE(s.case_processed[3]);
  EXPECT_EQ(s.accel_direction, model::AccelDirection::z);
  EXPECT_EQ(content.summary.own_loading_files.size(), 1u);
}

// That journal also holds the records its run's last Create wrote, older than those entered
// since: a run taken back writes its cases as entered.
TEST(StoredJournal, ARunTakenBackWritesItsCasesAsEnteredNotAsTheirLastCreate) {
  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::parse_journal(stored_journal(), content, reason), cf::JournalRead::ok) << reason;
  ASSERT_NE(stored_journal().find("\"end_time\": 12.5"), std::string::npos);
  model::ProgramState s;
  cf::restore_journaled_state(content.state, s);
  cf::CaseStore store;
  const model::Analysis a = store.analysis(s);
  ASSERT_EQ(a.cases.size(), 3u);
  EXPECT_EQ(a.cases[0].record, s.case_records[1]);
  EXPECT_FLOAT_EQ(a.cases[0].record.end_time, 0.f);
  EXPECT_EQ(a.cases[1].record, s.case_records[2]);
  EXPECT_TRUE(std::isnan(a.cases[2].record.time_step));
}

}  // namespace
