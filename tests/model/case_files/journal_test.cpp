// The journal is what a crash leaves of the user's work besides the case files: it must give
// back every value exactly, refuse a damaged file whole, and survive a kill in its own write.
#include "model/case_files/journal.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "model/case_files/atomic_file.h"
#include "model/limits.h"
#include "support/session.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace cf = model::case_files;
using testing_support::Session;
using testing_support::TempCurrentDir;
using testing_support::write_file;

// A state with a value in every kind of journaled field, non-finite reals included.
Session entered_state() {
  Session s;
  s.language = "Romanian";
  s.max_time_points = 250;
  s.general().geometry_file = "/work/Dat/frame.dat";
  s.loading_file() = "Dat/run.inc";
  s.general().n_nodes = 12, s.general().n_elements = 11, s.general().n_dof = 3, s.general().n_loading_cases = 3;
  s.general().length_unit = "m", s.general().force_unit = "kN";
  s.general().operator_code = "NEW";
  s.general().new_operator = false, s.general().standard_coefficients = false;
  s.general().beta = "  4.0", s.general().teta2 = "1.e-3";
  s.damping().present = true, s.damping().type = model::DampingType::aero;
  s.damping().alfa_d = 0.1f, s.damping().ro_air = 1.225f, s.damping().zeta = std::numeric_limits<float>::infinity();
  s.cases.set_count(3);
  s.record(2).tolerance = 1e-6f;
  s.record(2).loading_type = model::LoadingType::accelerogram_1_direction;
  s.record(2).initial_acceleration[2] = -9.81f;
  s.record(3).time_step = std::numeric_limits<float>::quiet_NaN();
  s.loaded(1).end_time = 12.5f;
  s.at(1).processed = s.at(2).processed = true;
  s.at(2).accel_processing = "step 1: mean removed\nstep 2: high-pass 0.10 Hz, order 4, acausal";
  s.at(2).loading_saved = true;
  for (int k = 1; k <= 3; ++k) s.at(k).initial_values_saved = true;
  s.accel_direction() = model::AccelDirection::z;
  s.damping().diameters = {{1, 4, 0.3f}, {5, 11, 0.25f}};
  return s;
}

std::string text_of(const Session& s, const cf::JournalSummary& summary = {}) {
  return cf::journal_text(s, s.cases, summary);
}

// A journal's content written again.
std::string text_of(const cf::JournalContent& content) {
  Session s;
  cf::restore_journaled_state(content, s, s.cases);
  return text_of(s, content.summary);
}

cf::JournalContent parsed(const std::string& text) {
  cf::JournalContent content;
  std::string reason;
  EXPECT_EQ(cf::parse_journal(text, content, reason), cf::JournalRead::ok) << reason;
  return content;
}

TEST(Journal, GivesBackEveryJournaledValueExactly) {
  const Session entered = entered_state();
  cf::JournalSummary summary;
  summary.saved_at = 1'765'213'484;
  summary.start_folder = "/home/eng/project";
  summary.own_loading_files = {{"/home/eng/project/Dat/run.inc", 1'765'213'484'123'456'789, 54'000'321}};
  const cf::JournalContent content = parsed(text_of(entered, summary));

  Session rebuilt;
  rebuilt.dat_directory = "/elsewhere/Dat/";  // the new run's own folders stay
  rebuilt.at(3).loading(model::LoadingKind::sinusoidal) = model::Loading{{}, model::AmplitudeLoading{}};
  cf::restore_journaled_state(content, rebuilt, rebuilt.cases);
  EXPECT_EQ(rebuilt.dat_directory.trimmed(), "/elsewhere/Dat/");
  EXPECT_EQ(rebuilt.max_time_points, 250);
  EXPECT_EQ(rebuilt.general().beta, entered.general().beta);  // leading blanks are part of the typed text
  EXPECT_EQ(rebuilt.cases.count(), 3);
  EXPECT_EQ(rebuilt.record(2), entered.cases.sections(2).record);
  EXPECT_TRUE(std::isinf(rebuilt.damping().zeta));
  EXPECT_TRUE(std::isnan(rebuilt.record(3).time_step));
  ASSERT_NE(rebuilt.cases.loaded(1), nullptr);
  EXPECT_EQ(rebuilt.cases.loaded(1)->end_time, 12.5f);
  EXPECT_EQ(rebuilt.cases.loaded(2), nullptr) << "LOAD read no record of case 2";
  EXPECT_EQ(rebuilt.damping().diameters, entered.damping().diameters);
  EXPECT_EQ(rebuilt.accel_direction(), model::AccelDirection::z);
  EXPECT_EQ(rebuilt.at(2).accel_processing, entered.cases.sections(2).accel_processing);
  EXPECT_EQ(rebuilt.at(1).accel_processing, "");
  EXPECT_TRUE(rebuilt.at(3).loading(model::LoadingKind::sinusoidal)) << "the sections are the case files'";
  // Whatever is not compared one by one above is compared through the text.
  EXPECT_EQ(text_of(rebuilt, summary), text_of(entered, summary));

  EXPECT_EQ(content.summary.saved_at, summary.saved_at);
  EXPECT_EQ(content.summary.start_folder, summary.start_folder);
  EXPECT_EQ(content.summary.cases_entered, 2);
  EXPECT_EQ(content.summary.loading_file, "Dat/run.inc");
  EXPECT_FALSE(content.summary.created_at);
  // To the nanosecond: the run taken back replaces its own file without asking only while the
  // file is exactly as it left it.
  EXPECT_EQ(content.summary.own_loading_files, summary.own_loading_files);
}

TEST(Journal, ADamagedJournalIsRefusedWholeAndSaysWhy) {
  const std::string whole = text_of(entered_state());
  struct Damage {
    std::string text, reason_names;
  };
  std::string wrong_kind = whole, wrong_version = whole, missing = whole, too_long = whole, not_float = whole;
  wrong_kind.replace(wrong_kind.find("\"n_nodes\": 12"), 13, "\"n_nodes\": \"12\"");
  wrong_version.replace(wrong_version.find("\"version\": 2"), 12, "\"version\": 3");
  missing.replace(missing.find("\"diameters_saved\""), 17, "\"diameters_kept\"");
  too_long.replace(too_long.find("\"m\""), 3, "\"" + std::string(21, 'm') + "\"");
  const auto alfa = not_float.find("\"alfa_d\": ");
  not_float.replace(alfa, not_float.find(',', alfa) - alfa, "\"alfa_d\": 0.1");  // no float is 0.1
  std::string no_maximum = whole, too_many_cases = whole;
  no_maximum.replace(no_maximum.find("\"max_time_points\": 250"), 22, "\"max_time_points\": 0");
  too_many_cases.replace(too_many_cases.find("\"n_loading_cases\": 3"), 20, "\"n_loading_cases\": 100");
  const Damage damages[] = {
      {no_maximum, "max_time_points"},
      {too_many_cases, "n_loading_cases"},
      {whole.substr(0, whole.size() / 2), "JSON"},
      {wrong_kind, "n_nodes"},
      {wrong_version, "version"},
      {missing, "diameters_saved"},
      {too_long, "length_unit"},
      {not_float, "alfa_d"},
      {"", "JSON"},
  };
  for (const Damage& d : damages) {
    cf::JournalContent content;
    content.state.max_time_points = 77;
    std::string reason;
    EXPECT_EQ(cf::parse_journal(d.text, content, reason), cf::JournalRead::damaged) << d.reason_names;
    EXPECT_NE(reason.find(d.reason_names), std::string::npos) << reason;
    EXPECT_EQ(content.state.max_time_points, 77) << "nothing of a damaged journal is applied";
  }
}

TEST(Journal, WritesOnChangeAndKnowsWhetherTheDataWasCreatedSince) {
  TempCurrentDir dir;
  cf::Journal journal(dir.path(), dir.path().string());
  Session s = entered_state();
  std::string reason;
  auto read = [&] {
    cf::JournalContent content;
    EXPECT_EQ(cf::read_journal(dir.path(), content, reason), cf::JournalRead::ok) << reason;
    return content;
  };
  ASSERT_TRUE(journal.record(s, s.cases, 0, reason)) << reason;
  EXPECT_FALSE(read().summary.created_at);

  // Nothing changed: not written again.
  fs::remove(dir.path() / cf::journal_name);
  ASSERT_TRUE(journal.record(s, s.cases, 0, reason));
  EXPECT_FALSE(fs::exists(dir.path() / cf::journal_name));

  // A Create that succeeded, in the same action as a change: the data is in the file.
  s.record(2).end_time = 3;
  ASSERT_TRUE(journal.record(s, s.cases, 1, reason));
  EXPECT_TRUE(read().summary.created_at);

  // A SAVE in an editor rewrites only a case file: no longer created.
  write_file(dir.path() / "2TP.dat", "0.1\n");
  ASSERT_TRUE(journal.record(s, s.cases, 1, reason));
  EXPECT_FALSE(read().summary.created_at);

  ASSERT_TRUE(journal.record(s, s.cases, 2, reason));
  EXPECT_TRUE(read().summary.created_at);
  s.general().n_loading_cases = 2;
  ASSERT_TRUE(journal.record(s, s.cases, 2, reason));
  const cf::JournalContent last = read();
  EXPECT_FALSE(last.summary.created_at);
  EXPECT_EQ(last.analysis.general.n_loading_cases, 2);

  // A loading file read or written (its stamp changed) is journaled though nothing else changed.
  const std::vector<cf::OwnLoadingFile> own = {{"/p/Dat/run.inc", 42, 7}};
  ASSERT_TRUE(journal.record(s, s.cases, 2, reason, own));
  EXPECT_EQ(read().summary.own_loading_files, own);
  fs::remove(dir.path() / cf::journal_name);
  ASSERT_TRUE(journal.record(s, s.cases, 2, reason, own));
  EXPECT_FALSE(fs::exists(dir.path() / cf::journal_name));
}

// Texts that are not UTF-8 reach the journal from files: a language line cut by its 20-byte
// field in the middle of a character, a Latin-2 line, a file name of another system, a unit
// spelt in Latin-1. Each comes back byte for byte; what the solver gets is never cut anew.
TEST(Journal, TextsThatAreNotUtf8ComeBackByteForByte) {
  TempCurrentDir dir;
  Session entered = entered_state();
  const std::string cut = std::string("Romana, limba rom\xc3\xa2n\xc4\x83").substr(0, 20);
  ASSERT_EQ(cut.size(), 20u);
  entered.language = cut;
  entered.general().geometry_file = "/work/Dat/cl\xe1" "dire.dat";  // ISO 8859-2
  entered.loading_file() = std::string("Dat/\xff\xfe\0x.inc", 12);
  entered.general().second_unit = "s\xe9" "c";
  entered.general().force_unit = "kN \xc3\xa9";  // valid UTF-8 stays a plain text
  cf::JournalSummary summary;
  summary.saved_at = 1'765'213'484;
  summary.start_folder = "/home/eng/\xe9tude";
  summary.own_loading_files = {{"/home/eng/\xe9tude/Dat/r\xe9.inc", 5, 6}};

  std::string text;
  ASSERT_NO_THROW(text = text_of(entered, summary));
  EXPECT_NE(text.find("\"kN \xc3\xa9\""), std::string::npos) << "a UTF-8 text is written as it is";
  const cf::JournalContent content = parsed(text);
  EXPECT_EQ(content.state.language, entered.language);
  EXPECT_EQ(content.state.language.view(), cut);
  EXPECT_EQ(content.analysis.general.geometry_file, entered.general().geometry_file);
  EXPECT_EQ(content.loading_file, entered.loading_file());
  EXPECT_EQ(content.analysis.general.second_unit.trimmed(), "s\xe9" "c");
  EXPECT_EQ(content.analysis.general.force_unit, entered.general().force_unit);
  EXPECT_EQ(content.summary.start_folder, summary.start_folder);
  EXPECT_EQ(content.summary.own_loading_files, summary.own_loading_files);
  EXPECT_EQ(text_of(content), text);

  // Through the run's journal on disk, and the state rebuilt from it.
  cf::Journal journal(dir.path(), summary.start_folder);
  std::string reason;
  ASSERT_TRUE(journal.record(entered, entered.cases, 0, reason)) << reason;
  cf::JournalContent read;
  ASSERT_EQ(cf::read_journal(dir.path(), read, reason), cf::JournalRead::ok) << reason;
  Session rebuilt;
  cf::restore_journaled_state(read, rebuilt, rebuilt.cases);
  EXPECT_EQ(rebuilt.language.view(), cut);
  EXPECT_EQ(rebuilt.general().second_unit, entered.general().second_unit);
  EXPECT_EQ(read.summary.start_folder, summary.start_folder);

  // Bytes that are no bytes are refused like any other damage.
  for (const std::string bad : {"{\"bytes\": [256]}", "{\"bytes\": [-1]}", "{\"bytes\": \"s\"}",
                                "{\"bytes\": [1], \"more\": 2}", "{\"text\": [65]}"}) {
    std::string damaged = text;
    const auto at = damaged.find("\"length_unit\": ");
    damaged.replace(at, damaged.find('\n', at) - at, "\"length_unit\": " + bad + ",");
    cf::JournalContent none;
    EXPECT_EQ(cf::parse_journal(damaged, none, reason), cf::JournalRead::damaged) << bad;
    EXPECT_NE(reason.find("length_unit"), std::string::npos) << reason;
  }
}

// Values a run never writes: the question would print a date of no calendar, Create would size
// its tables by a model no geometry file has.
TEST(Journal, TimesAndModelCountsNoRunWritesAreRefused) {
  cf::JournalSummary summary;
  summary.saved_at = 1'765'213'484;
  const std::string whole = text_of(entered_state(), summary);
  struct Damage {
    std::string from, to, reason_names;
  };
  const Damage damages[] = {
      {"\"saved_at\": 1765213484", "\"saved_at\": 6919000000000000", "saved_at"},
      {"\"saved_at\": 1765213484", "\"saved_at\": 18446744073709551615", "saved_at"},
      {"\"saved_at\": 1765213484", "\"saved_at\": -5", "saved_at"},
      {"\"created_at\": null", "\"created_at\": 253402300800", "created_at"},
      {"\"n_nodes\": 12", "\"n_nodes\": -12", "n_nodes"},
      {"\"n_nodes\": 12", "\"n_nodes\": 0", "n_nodes"},
      {"\"n_elements\": 11", "\"n_elements\": -1", "n_elements"},
      {"\"n_dof\": 3", "\"n_dof\": 7", "n_dof"},
      {"\"n_diameter_groups\": 2", "\"n_diameter_groups\": 3", "n_diameter_groups"},
      {"\"n_diameter_groups\": 2", "\"n_diameter_groups\": -1", "n_diameter_groups"},
  };
  for (const Damage& d : damages) {
    std::string text = whole;
    ASSERT_NE(text.find(d.from), std::string::npos) << d.from;
    text.replace(text.find(d.from), d.from.size(), d.to);
    cf::JournalContent content;
    std::string reason;
    EXPECT_EQ(cf::parse_journal(text, content, reason), cf::JournalRead::damaged) << d.to;
    EXPECT_NE(reason.find(d.reason_names), std::string::npos) << reason;
  }
  // The last second of year 9999 is a time; a run that read no geometry file has no model.
  std::string last = whole;
  last.replace(last.find("\"saved_at\": 1765213484"), 22, "\"saved_at\": 253402300799");
  EXPECT_EQ(parsed(last).summary.saved_at, 253402300799);
  Session no_model;
  no_model.max_time_points = 3;
  EXPECT_EQ(parsed(text_of(no_model, summary)).analysis.general.n_nodes, 0);
}

// The groups are the table's; a run that counted groups beside the table may have counted fewer
// than it kept, and only those counted are groups: a journal of such a run reads as those.
TEST(Journal, TheDiameterGroupsAreTheTableAndAnOlderCountOfFewerKeepsThoseCounted) {
  const std::string whole = text_of(entered_state());
  ASSERT_NE(whole.find("\"n_diameter_groups\": 2"), std::string::npos);
  std::string fewer = whole;
  fewer.replace(fewer.find("\"n_diameter_groups\": 2"), 22, "\"n_diameter_groups\": 1");
  const cf::JournalContent content = parsed(fewer);
  EXPECT_EQ(content.analysis.damping.diameters, (std::vector<model::DiameterGroup>{{1, 4, 0.3f}}));
  EXPECT_EQ(content.analysis.damping.n_diameter_groups(), 1);
  EXPECT_NE(text_of(content).find("\"n_diameter_groups\": 1"), std::string::npos);
  std::string none = whole;
  none.replace(none.find("\"n_diameter_groups\": 2"), 22, "\"n_diameter_groups\": 0");
  EXPECT_TRUE(parsed(none).analysis.damping.diameters.empty());
}

TEST(Journal, AJournalWithoutItsOwnLoadingFilesIsReadWithNone) {
  std::string text = text_of(entered_state());
  const auto at = text.find("\"own_loading_files\"");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, text.find('\n', at) + 1 - at);
  EXPECT_TRUE(parsed(text).summary.own_loading_files.empty());

  std::string wrong = text_of(entered_state());
  wrong.replace(wrong.find("\"own_loading_files\": []"), 23, "\"own_loading_files\": [{\"path\": 3}]");
  cf::JournalContent content;
  std::string reason;
  EXPECT_EQ(cf::parse_journal(wrong, content, reason), cf::JournalRead::damaged);
  EXPECT_NE(reason.find("own_loading_files"), std::string::npos) << reason;
}

// A case written without its processing steps is damaged: every case of this version has them.
TEST(Journal, ACaseWithoutItsProcessingStepsIsRefused) {
  std::string text = text_of(entered_state());
  const auto at = text.find("\"accel_processing\": \"\"");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, text.find('\n', at) + 1 - at);
  cf::JournalContent content;
  std::string reason;
  EXPECT_EQ(cf::parse_journal(text, content, reason), cf::JournalRead::damaged);
  EXPECT_NE(reason.find("accel_processing"), std::string::npos) << reason;
}

// The kill lands in the write of the second journal, after its bytes went to the temporary
// file and before that file takes the journal's place.
int kill_in_sync(int) { return ::raise(SIGKILL); }

TEST(Journal, AKillInTheMiddleOfAWriteLeavesTheLastWholeJournal) {
  TempCurrentDir dir;
  Session first = entered_state();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    cf::Journal journal(dir.path(), dir.path().string());
    std::string reason;
    if (!journal.record(first, first.cases, 0, reason)) ::_exit(2);
    Session second = first;
    second.general().n_loading_cases = 1;
    second.max_time_points = 5;
    cf::set_sync_call(kill_in_sync);
    journal.record(second, second.cases, 0, reason);
    ::_exit(3);  // not reached
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "exit " << WEXITSTATUS(status);

  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::read_journal(dir.path(), content, reason), cf::JournalRead::ok) << reason;
  EXPECT_EQ(content.state.max_time_points, first.max_time_points);
  EXPECT_EQ(content.analysis.general.n_loading_cases, first.general().n_loading_cases);
  // The second journal was on its way: its temporary is there, and is no journal.
  bool temporary_left = false;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    temporary_left |= entry.path().filename().string().starts_with(".journal.json.part-");
  EXPECT_TRUE(temporary_left);
}

TEST(Journal, OnlyAGeometryFileOrCasesAreWorthOfferingBack) {
  testing_support::Session s;
  s.max_time_points = 100;
  EXPECT_FALSE(cf::holds_saved_data(s.general()));
  s.general().geometry_file = "Dat/frame.dat";
  EXPECT_TRUE(cf::holds_saved_data(s.general()));
  s = {};
  s.general().n_loading_cases = 1;
  EXPECT_TRUE(cf::holds_saved_data(s.general()));
}

// The journal knows a change by an image of the journaled fields: one value deep inside a case
// record, a diameter group or a per-case list is a change as much as one of the general data,
// and comes back as entered.
TEST(Journal, AChangeDeepInsideACaseOrAGroupIsWrittenAndReadBack) {
  TempCurrentDir dir;
  cf::Journal journal(dir.path(), dir.path().string());
  Session s = entered_state();
  std::string reason;
  ASSERT_TRUE(journal.record(s, s.cases, 0, reason)) << reason;
  struct Change {
    const char* what;
    void (*apply)(Session&);
  };
  const Change changes[] = {
      {"a case's count", [](Session& t) { t.record(3).n_load_ranges = 4; }},
      {"a loaded record", [](Session& t) { t.loaded(1).phi = 0.5f; }},
      {"a record loaded", [](Session& t) { t.loaded(3); }},
      {"a diameter", [](Session& t) { t.damping().diameters[1].diameter = 0.5f; }},
      {"a case flag", [](Session& t) { t.at(3).processed = true; }},
      {"a saved flag", [](Session& t) { t.at(3).loading_saved = true; }},
      {"another saved flag", [](Session& t) { t.at(3).initial_values_saved = false; }},
      {"processing steps", [](Session& t) { t.at(1).accel_processing = "step 1: mean removed"; }},
      {"the number of cases", [](Session& t) { t.cases.set_count(2); }},
      {"a real typed beyond range", [](Session& t) { t.damping().beta_d = -std::numeric_limits<float>::infinity(); }},
  };
  Session rebuilt;
  for (const Change& change : changes) {
    change.apply(s);
    fs::remove(dir.path() / cf::journal_name);
    ASSERT_TRUE(journal.record(s, s.cases, 0, reason)) << reason;
    ASSERT_TRUE(fs::exists(dir.path() / cf::journal_name)) << change.what << " is not written";
    cf::JournalContent content;
    ASSERT_EQ(cf::read_journal(dir.path(), content, reason), cf::JournalRead::ok) << reason;
    cf::restore_journaled_state(content, rebuilt, rebuilt.cases);
    EXPECT_EQ(text_of(rebuilt), text_of(s)) << change.what;
  }
  EXPECT_EQ(rebuilt.damping().beta_d, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(rebuilt.record(3), model::CaseRecord{}) << "case 3 is no longer one of the cases";
  EXPECT_EQ(rebuilt.cases.count(), 2);
}

// The list of cases holds one entry per case a run can have: a longer one, or a number of
// cases beyond them, was not written by a run.
TEST(Journal, MoreCasesThanARunCanHaveAreRefused) {
  Session s = entered_state();
  s.cases.set_count(model::max_loading_cases);
  s.at(model::max_loading_cases).processed = true;
  cf::JournalContent content;
  std::string reason;
  ASSERT_EQ(cf::parse_journal(text_of(s), content, reason), cf::JournalRead::ok) << reason;
  ASSERT_EQ(content.analysis.cases.size(), static_cast<std::size_t>(model::max_loading_cases));
  EXPECT_TRUE(content.analysis.cases.back().processed);
  EXPECT_EQ(content.case_count, model::max_loading_cases);
  s.at(model::max_loading_cases + 1);
  EXPECT_EQ(cf::parse_journal(text_of(s), content, reason), cf::JournalRead::damaged);
  EXPECT_NE(reason.find("cases"), std::string::npos) << reason;
  std::string too_many = text_of(entered_state());
  const std::string three = "\"case_count\": 3";
  too_many.replace(too_many.find(three), three.size(), "\"case_count\": 100");
  EXPECT_EQ(cf::parse_journal(too_many, content, reason), cf::JournalRead::damaged);
  EXPECT_NE(reason.find("case_count"), std::string::npos) << reason;
}

}  // namespace
