// The case store: the sections of a run in memory, with their case files beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "support/session.h"
#include "support/discrete_points.h"
#include "model/case_files/case_store.h"
#include "model/case_files/section_records.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using model::case_files::CaseStore;
using model::case_files::FileFailure;
using model::case_files::ScratchKind;
using testing_support::read_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

testing_support::Session model_of(int n_nodes, int n_dof = 2) {
  testing_support::Session s;
  s.general().n_nodes = n_nodes;
  s.general().n_dof = n_dof;
  return s;
}

model::Loading amplitudes(model::LoadingType type, float amplitude) {
  model::Loading l;
  l.data = model::AmplitudeLoading{type, {{1, 2, {amplitude}}}};
  return l;
}

model::Loading discrete(float time) {
  model::Loading l;
  l.data = testing_support::discrete_loading({{time, {{1, 3, {2.f}}}}});
  return l;
}

// The text of the section of `kind` that an editor opening case k is given, in its case file's
// layout: what SAVE wrote there, or "<none>".
std::string case_file_text(CaseStore& store, const testing_support::Session& s, int k, ScratchKind kind) {
  using model::case_files::LineForm;
  const model::Case& c = store.sections_for(k);
  std::string text;
  if (kind == ScratchKind::initial_conditions) {
    if (!c.initial_conditions) return "<none>";
    model::case_files::append_initial_conditions(text, *c.initial_conditions, s.general(), LineForm::case_file);
    return text;
  }
  if (kind == ScratchKind::initial_loading) {
    if (!c.initial_loadings) return "<none>";
    model::case_files::append_initial_loadings(text, *c.initial_loadings, s.general(), LineForm::case_file);
    return text;
  }
  const model::LoadingKind loading = kind == ScratchKind::sinusoidal    ? model::LoadingKind::sinusoidal
                                     : kind == ScratchKind::exponential  ? model::LoadingKind::exponential
                                     : kind == ScratchKind::accelerogram ? model::LoadingKind::accelerogram
                                                                         : model::LoadingKind::discrete;
  if (!c.loading(loading)) return "<none>";
  model::case_files::append_loading(text, *c.loading(loading), k, s.general(), LineForm::case_file);
  return text;
}

// A case whose loading type changes keeps what was entered for the other type, and the file
// holds only the loading of the case's type.
TEST(CaseStore, EachKindOfLoadingIsKeptAndTheCasesTypeChoosesTheOneWritten) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  s.general().n_loading_cases = 1;
  store.set_count(1);
  FileFailure failure;
  ASSERT_TRUE(store.save_loading(s, 1, model::LoadingKind::discrete, discrete(0.5f), failure));
  ASSERT_TRUE(store.save_loading(s, 1, model::LoadingKind::sinusoidal,
                                 amplitudes(model::LoadingType::sinusoidal, 4.f), failure));
  EXPECT_EQ(read_file("1TPsin.dat"), case_file_text(store, s, 1, ScratchKind::sinusoidal));
  EXPECT_EQ(read_file("1TP.dat"), case_file_text(store, s, 1, ScratchKind::discrete_loading));
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::exponential), "<none>");

  store.at(1).record.loading_type = model::LoadingType::discrete;
  model::Analysis a = store.analysis();
  ASSERT_NE(a.cases[0].loading_of_type(), nullptr);
  EXPECT_TRUE(std::holds_alternative<model::DiscreteLoading>(a.cases[0].loading_of_type()->data));
  store.at(1).record.loading_type = model::LoadingType::exponential;
  EXPECT_EQ(store.analysis().cases[0].loading_of_type(), nullptr);
}

// A section keeps the lines it was made with when the model's size changes under it (the
// initial loadings outlive a new General Data): node fields stay as wide as they were.
TEST(CaseStore, ASectionMadeForAnotherModelSizeKeepsItsLines) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  FileFailure failure;
  model::InitialConditions conditions;
  conditions.ranges = {{1, 9, {0.5f}}};
  model::RangeSection loadings;
  loadings.ranges = {{2, 3, {1.f, 0, 0, 2.5f}}};
  ASSERT_TRUE(store.save_initial_values(s, 1, conditions, loadings, failure));
  const std::string saved = read_file("1InitLoad.dat");
  store.drop_all("", false);
  EXPECT_FALSE(fs::exists("1init.dat"));
  ASSERT_TRUE(fs::exists("1InitLoad.dat"));
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::initial_conditions), "<none>");

  s.general().n_nodes = 12000;
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::initial_loading), saved);
  std::string fresh;
  model::case_files::append_initial_loadings(fresh, loadings, s.general(),
                                             model::case_files::LineForm::case_file);
  EXPECT_NE(fresh, saved);  // the same ranges made for 12000 nodes would be wider
}

// A change of the degrees of freedom alone is a change of the model's size too.
TEST(CaseStore, ASectionMadeForOtherDegreesOfFreedomKeepsItsLines) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9, 2);
  CaseStore& store = s.cases;
  FileFailure failure;
  model::InitialConditions conditions;
  conditions.ranges = {{1, 9, {0.5f, -1.f, 2.f, 3.f}}};
  model::RangeSection loadings;
  loadings.ranges = {{2, 3, {1.f, 0, 0, 2.5f}}};
  ASSERT_TRUE(store.save_initial_values(s, 1, conditions, loadings, failure));
  const std::string conditions_saved = read_file("1init.dat"), loadings_saved = read_file("1InitLoad.dat");
  s.general().n_dof = 3;
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::initial_conditions), conditions_saved);
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::initial_loading), loadings_saved);
  std::string fresh;
  model::case_files::append_initial_loadings(fresh, loadings, s.general(),
                                             model::case_files::LineForm::case_file);
  EXPECT_NE(fresh, loadings_saved);  // the same ranges made for three degrees of freedom differ
}

TEST(CaseStore, RemovingACaseMovesTheLaterOnesDownInMemoryAndOnTheDisk) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  FileFailure failure;
  for (int k = 1; k <= 3; ++k)
    ASSERT_TRUE(store.save_loading(s, k, model::LoadingKind::discrete, discrete(static_cast<float>(k)), failure));
  const std::string third = read_file("3TP.dat");
  ASSERT_TRUE(fs::exists("1TP.dat"));
  EXPECT_TRUE(store.remove_case("", 2, 3).empty());
  EXPECT_FALSE(fs::exists("3TP.dat"));
  EXPECT_EQ(case_file_text(store, s, 3, ScratchKind::discrete_loading), "<none>");
  const auto* moved = std::get_if<model::DiscreteLoading>(&store.sections(2).loading(model::LoadingKind::discrete)->data);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->times[0], 3.f);
  // The loading's end line names the case's new number, in memory and in the journal alike.
  EXPECT_NE(third.find("END_OF_CASE3"), std::string::npos);
  EXPECT_EQ(read_file("2TP.dat"), case_file_text(store, s, 2, ScratchKind::discrete_loading));
  EXPECT_NE(read_file("2TP.dat").find("END_OF_CASE2"), std::string::npos);
}

// A stopped run's case files come back line for line; one holding only blanks is no section.
TEST(CaseStore, FilesTakenBackAreKeptAsTheyStand) {
  TempCurrentDir dir;
  write_file("1TPacc.dat", " 0.1   2.5\r\n 0.2  -1.\r\nEND_OF_CASE1\r\n");
  write_file("1init.dat", "  \r\n\r\n");
  write_file("2InitLoad.dat", "1 2 3.\nEnd_of_Initial_Loading");
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  store.take_files("");
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::accelerogram), read_file("1TPacc.dat"));
  EXPECT_FALSE(store.sections(1).initial_conditions);
  std::string lines;
  model::case_files::append_initial_loadings(lines, *store.sections(2).initial_loadings, s.general(),
                                             model::case_files::LineForm::loading_file);
  EXPECT_EQ(lines, "1 2 3.\r\nEnd_of_Initial_Loading\r\n");
}

// The last case a run can have comes back like the first.
TEST(CaseStore, TheFilesOfCaseNinetyNineAreTakenBack) {
  TempCurrentDir dir;
  write_file("99TPacc.dat", " 0.1   2.5\r\nEND_OF_CASE99\r\n");
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  store.take_files("");
  EXPECT_EQ(case_file_text(store, s, 99, ScratchKind::accelerogram), read_file("99TPacc.dat"));
}

// A file that cannot be written leaves the section as it was, and says which file and why.
TEST(CaseStore, AFailedSaveKeepsTheSectionBefore) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  FileFailure failure;
  ASSERT_TRUE(store.save_loading(s, 1, model::LoadingKind::discrete, discrete(1.f), failure));
  const std::string before = case_file_text(store, s, 1, ScratchKind::discrete_loading);
  fs::remove("1TP.dat");
  fs::create_directory("1TP.dat");
  EXPECT_FALSE(store.save_loading(s, 1, model::LoadingKind::discrete, discrete(2.f), failure));
  EXPECT_EQ(failure.path, "1TP.dat");
  EXPECT_FALSE(failure.reason.empty());
  EXPECT_EQ(case_file_text(store, s, 1, ScratchKind::discrete_loading), before);
}

}  // namespace

namespace {

// The one way back for an edited case: the sections its SAVE saved are written first, then the
// record and facts are kept, then the journal is written; a file that cannot be written keeps
// the case as it was and journals nothing.
// An editor's next SAVE is made in the room of the loading its last one replaced.
TEST(CaseStoreCommit, HandsBackTheLoadingItReplaced) {
  TempCurrentDir dir;
  model::ProgramState s = model_of(9);
  CaseStore store;
  store.set_count(1);
  FileFailure failure;
  std::optional<model::Loading> replaced;
  model::Case first = store.facts(1);
  first.loading(model::LoadingKind::discrete) = discrete(0.5f);
  ASSERT_TRUE(store.commit(s, 1, first, {false, model::LoadingKind::discrete}, failure, &replaced)) << failure.reason;
  model::Case second = store.facts(1);
  second.loading(model::LoadingKind::discrete) = discrete(0.75f);
  ASSERT_TRUE(store.commit(s, 1, second, {false, model::LoadingKind::discrete}, failure, &replaced)) << failure.reason;
  ASSERT_TRUE(replaced);
  EXPECT_EQ(*replaced, discrete(0.5f));
  EXPECT_EQ(store.sections(1).loading(model::LoadingKind::discrete), discrete(0.75f));
  // Without a saved loading nothing is handed back.
  replaced.reset();
  ASSERT_TRUE(store.commit(s, 1, store.facts(1), {}, failure, &replaced));
  EXPECT_FALSE(replaced);
}

TEST(CaseStoreCommit, WritesTheSavedSectionsKeepsTheCaseAndJournals) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  store.set_count(2);
  int journaled = 0;
  store.set_journal([&journaled] { ++journaled; });
  FileFailure failure;

  model::Case edited = store.facts(2);
  edited.record.omega = 2.5f;
  edited.loading_saved = true;
  edited.loading(model::LoadingKind::sinusoidal) = amplitudes(model::LoadingType::sinusoidal, 4.f);
  edited.loading(model::LoadingKind::discrete) = discrete(0.5f);  // not saved: not looked at
  ASSERT_TRUE(store.commit(s, 2, edited, {false, model::LoadingKind::sinusoidal}, failure)) << failure.reason;
  EXPECT_EQ(journaled, 1);
  EXPECT_EQ(store.sections(2).record.omega, 2.5f);
  EXPECT_TRUE(store.sections(2).loading_saved);
  EXPECT_EQ(read_file("2TPsin.dat"), case_file_text(store, s, 2, ScratchKind::sinusoidal));
  EXPECT_FALSE(store.sections(2).loading(model::LoadingKind::discrete));
  EXPECT_FALSE(fs::exists("2TP.dat"));

  // A form's commit writes no file: the record and facts alone.
  model::Case form = store.facts(1);
  form.processed = true;
  form.record.end_time = 3;
  ASSERT_TRUE(store.commit(s, 1, form, {}, failure));
  EXPECT_EQ(journaled, 2);
  EXPECT_TRUE(store.sections(1).processed);
  EXPECT_EQ(store.sections(1).record.end_time, 3.f);
  EXPECT_TRUE(store.sections(2).loading(model::LoadingKind::sinusoidal)) << "another case is left as it was";

  model::Case values = store.facts(1);
  values.initial_values_saved = true;
  values.initial_conditions.emplace().ranges = {{1, 9, {1.f}}};
  values.initial_loadings.emplace();
  ASSERT_TRUE(store.commit(s, 1, values, {true, {}}, failure));
  EXPECT_EQ(journaled, 3);
  EXPECT_EQ(read_file("1init.dat"), case_file_text(store, s, 1, ScratchKind::initial_conditions));
  EXPECT_EQ(read_file("1InitLoad.dat"), case_file_text(store, s, 1, ScratchKind::initial_loading));
  EXPECT_TRUE(store.sections(1).initial_values_saved);

  // The file's name is taken by a folder: the case stays as it was, the journal is not written.
  fs::remove("2TPsin.dat");
  fs::create_directory("2TPsin.dat");
  model::Case failing = store.facts(2);
  failing.record.omega = 9;
  failing.loading(model::LoadingKind::sinusoidal) = amplitudes(model::LoadingType::sinusoidal, 1.f);
  EXPECT_FALSE(store.commit(s, 2, failing, {false, model::LoadingKind::sinusoidal}, failure));
  EXPECT_NE(failure.path.find("2TPsin.dat"), std::string::npos) << failure.path;
  EXPECT_EQ(journaled, 3);
  EXPECT_EQ(store.sections(2).record.omega, 2.5f);
  EXPECT_EQ(std::get<model::AmplitudeLoading>(store.sections(2).loading(model::LoadingKind::sinusoidal)->data).ranges[0].components[0], 4.f);
}

model::CaseRecord ending_at(float end_time) {
  model::CaseRecord r;
  r.end_time = end_time;
  return r;
}

// The records and facts live beside the sections: a new pass's cases, a stopped run's journal
// and the sections of its case files each replace only their own part.
TEST(CaseStoreCases, RecordsFactsAndSectionsAreReplacedEachOnItsOwn) {
  TempCurrentDir dir;
  testing_support::Session s = model_of(9);
  CaseStore& store = s.cases;
  store.set_count(3);
  store.at(3).record.end_time = 3;
  store.at(3).processed = true;
  store.at(1).loaded = ending_at(1);
  FileFailure failure;
  ASSERT_TRUE(store.save_loading(s, 3, model::LoadingKind::sinusoidal, amplitudes(model::LoadingType::sinusoidal, 2.f), failure));

  store.set_count(2);
  EXPECT_EQ(store.count(), 2);
  EXPECT_FALSE(store.has_case(3));
  EXPECT_EQ(store.sections(3).record, model::CaseRecord{});
  EXPECT_FALSE(store.sections(3).processed);
  EXPECT_TRUE(store.sections(3).loading(model::LoadingKind::sinusoidal)) << "sections stay";
  ASSERT_NE(store.loaded(1), nullptr);

  store.set_loaded({ending_at(7), ending_at(8)});
  EXPECT_EQ(store.loaded(1)->end_time, 7.f);
  EXPECT_EQ(store.loaded(2)->end_time, 8.f);
  EXPECT_EQ(store.loaded(3), nullptr);

  store.at(2).processed = true;
  store.clear_records(false);
  EXPECT_EQ(store.count(), 0);
  EXPECT_TRUE(store.sections(2).processed) << "only Back to General Data drops the facts";
  store.clear_records(true);
  EXPECT_FALSE(store.sections(2).processed);
  EXPECT_EQ(store.loaded(2)->end_time, 8.f) << "what LOAD read stays";

  std::vector<model::Case> journaled(2);
  journaled[1].record.end_time = 5;
  journaled[1].initial_values_saved = true;
  store.take_records(journaled, 2);
  EXPECT_EQ(store.count(), 2);
  EXPECT_EQ(store.loaded(2), nullptr);
  EXPECT_EQ(store.sections(2).record.end_time, 5.f);
  store.at(1).initial_loadings.emplace();  // in no file
  store.take_files(s.case_folder);
  EXPECT_FALSE(store.sections(1).initial_loadings) << "every section is the case files'";
  EXPECT_TRUE(store.sections(2).initial_values_saved) << "the case files bring sections only";
  EXPECT_TRUE(store.sections(3).loading(model::LoadingKind::sinusoidal));
  EXPECT_EQ(store.analysis().cases.size(), 0u) << "general data names no case";
}

}  // namespace
