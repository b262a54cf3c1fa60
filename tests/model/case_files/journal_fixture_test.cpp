// A journal a run of the first version wrote must still be read after the program's data moved
// into the document: a crash before an update leaves exactly such a file behind. The stored
// journal holds a value in every kind of journaled field (a three-case run with damping,
// diameters, loaded and edited cases, non-finite reals).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "support/session.h"
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

// Written again from the document, the journal is of this version and reads as the stored one.
TEST(StoredJournal, IsReadIntoTheDocumentAndWrittenAgainAsItReads) {
  const std::string text = stored_journal();
  ASSERT_FALSE(text.empty());
  ASSERT_NE(text.find("\"version\": 1"), std::string::npos);
  ASSERT_EQ(text.find("\"accel_processing\""), std::string::npos) << "a journal of before the processing steps";
  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::parse_journal(text, content, reason), cf::JournalRead::ok) << reason;

  const model::ProgramState& s = content.state;
  const model::Analysis& a = content.analysis;
  EXPECT_EQ(s.language.trimmed(), "Romanian");
  EXPECT_EQ(s.max_time_points, 250);
  EXPECT_EQ(a.general.n_nodes, 12);
  EXPECT_EQ(a.general.n_dof, 3);
  EXPECT_EQ(a.general.n_loading_cases, 3);
  EXPECT_EQ(a.general.geometry_file.trimmed(), "/work/Dat/frame.dat");
  EXPECT_EQ(content.loading_file.trimmed(), "Dat/run.inc");
  EXPECT_EQ(a.general.beta.view().substr(0, 5), "  4.0");
  EXPECT_FALSE(a.general.new_operator);
  EXPECT_EQ(a.damping.type, model::DampingType::aero);
  EXPECT_FLOAT_EQ(a.damping.ro_air, 1.225f);
  EXPECT_TRUE(std::isinf(a.damping.zeta));
  ASSERT_EQ(a.damping.diameters.size(), 2u);
  EXPECT_EQ(a.damping.diameters[1], (model::DiameterGroup{5, 11, 0.25f}));
  EXPECT_EQ(a.accel_direction, model::AccelDirection::z);
  EXPECT_EQ(content.summary.own_loading_files.size(), 1u);
  EXPECT_EQ(content.summary.cases_entered, 2);

  EXPECT_EQ(content.case_count, 3);
  ASSERT_EQ(content.analysis.cases.size(), 3u);
  const model::Case& c1 = content.analysis.cases[0];
  const model::Case& c2 = content.analysis.cases[1];
  const model::Case& c3 = content.analysis.cases[2];
  EXPECT_EQ(c2.record.loading_type, model::LoadingType::accelerogram_1_direction);
  EXPECT_FLOAT_EQ(c2.record.initial_acceleration[2], -9.81f);
  EXPECT_EQ(c2.record.n_time_points, 7);
  EXPECT_TRUE(std::isnan(c3.record.time_step));
  ASSERT_TRUE(c1.loaded);
  EXPECT_FLOAT_EQ(c1.loaded->end_time, 3.f);
  EXPECT_FALSE(c2.loaded || c3.loaded) << "the file's loaded list holds one case";
  EXPECT_TRUE(c1.processed && c2.processed);
  EXPECT_FALSE(c3.processed);
  for (const model::Case& c : content.analysis.cases) EXPECT_EQ(c.accel_processing, "");
  EXPECT_TRUE(c2.loading_saved);
  EXPECT_FALSE(c1.loading_saved || c3.loading_saved);

  testing_support::Session rebuilt;
  cf::CaseStore& cases = rebuilt.cases;
  cf::restore_journaled_state(content, rebuilt, cases);
  const std::string again = cf::journal_text(rebuilt, cases, content.summary);
  EXPECT_NE(again.find("\"version\": 2"), std::string::npos);
  cf::JournalContent reread;
  ASSERT_EQ(cf::parse_journal(again, reread, reason), cf::JournalRead::ok) << reason;
  EXPECT_EQ(reread.case_count, content.case_count);
  ASSERT_EQ(reread.analysis.cases.size(), content.analysis.cases.size());
  for (std::size_t i = 0; i < content.analysis.cases.size(); ++i) {
    EXPECT_EQ(reread.analysis.cases[i].loaded.has_value(), content.analysis.cases[i].loaded.has_value()) << i;
    EXPECT_EQ(reread.analysis.cases[i].processed, content.analysis.cases[i].processed) << i;
    EXPECT_EQ(reread.analysis.cases[i].loading_saved, content.analysis.cases[i].loading_saved) << i;
    EXPECT_EQ(reread.analysis.cases[i].initial_values_saved, content.analysis.cases[i].initial_values_saved) << i;
  }
  EXPECT_EQ(reread.summary.cases_entered, 2);
  testing_support::Session reread_session;
  cf::restore_journaled_state(reread, reread_session, reread_session.cases);
  EXPECT_EQ(cf::journal_text(reread_session, reread_session.cases, reread.summary), again);
}

// That journal also holds the records its run's last Create wrote, older than those entered
// since: a run taken back writes its cases as entered.
TEST(StoredJournal, ARunTakenBackWritesItsCasesAsEnteredNotAsTheirLastCreate) {
  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::parse_journal(stored_journal(), content, reason), cf::JournalRead::ok) << reason;
  ASSERT_NE(stored_journal().find("\"end_time\": 12.5"), std::string::npos);
  testing_support::Session s;
  cf::CaseStore& store = s.cases;
  cf::restore_journaled_state(content, s, store);
  const model::Analysis a = store.analysis();
  ASSERT_EQ(a.cases.size(), 3u);
  EXPECT_EQ(a.cases[0].record, content.analysis.cases[0].record);
  EXPECT_FLOAT_EQ(a.cases[0].record.end_time, 0.f);
  EXPECT_EQ(a.cases[1].record, content.analysis.cases[1].record);
  EXPECT_TRUE(std::isnan(a.cases[2].record.time_step));
}

}  // namespace
