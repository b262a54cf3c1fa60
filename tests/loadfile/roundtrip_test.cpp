// Write, read back, write again: the reader must give the writer everything it needs to write
// the same loading file, for random program states of every kind of case.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/session.h"
#include "model/geometry_file.h"
#include "dialogs/loading_file.h"
#include "reader_support.h"
#include "roundtrip_support.h"

namespace {

namespace fs = std::filesystem;

std::string write(dialogs::Context& context) {
  EXPECT_TRUE(dialogs::write_loading_file(context));
  return testing_support::read_file(std::string(context.cases.loading_file().trimmed()));
}

// Create from the editors' case files of the current directory, taken as a stopped run's are.
std::string write(testing_support::Session& s) {
  reader_test::FakeToolkit toolkit;
  toolkit.answer = ui::Answer::yes;  // the bytes are compared, whatever the check of Create finds
  dialogs::Context context{toolkit, s, s.cases};
  context.cases.take_files(s.case_folder);
  return write(context);
}

// Loads the file into a fresh state and writes it again as "Create" would.
std::string reload_and_write(const testing_support::Session& before, std::string& messages) {
  testing_support::Session s = roundtrip::fresh_state(before);
  roundtrip::remove_scratch_files();
  reader_test::FakeToolkit toolkit;
  dialogs::Context context{toolkit, s, s.cases};
  const dialogs::LoadOutcome outcome = dialogs::load_loading_file(context, std::string(s.loading_file().trimmed()));
  for (const auto& m : toolkit.messages) messages += m.text + "\n";
  EXPECT_EQ(outcome, dialogs::LoadOutcome::loaded) << messages;
  testing_support::enter_loaded_cases(context.cases);
  toolkit.answer = ui::Answer::yes;  // the bytes are compared, whatever the check of Create finds
  return write(context);
}

// Returns the first file and checks the second and third against it.
std::string round_trip(testing_support::Session& first_state, const std::string& label) {
  const std::string first = write(first_state);
  std::string messages;
  const std::string second = reload_and_write(first_state, messages);
  const std::string third = reload_and_write(first_state, messages);
  EXPECT_EQ(roundtrip::file_difference(first, second), "") << label << "\n" << first << "\n----\n" << second;
  EXPECT_EQ(roundtrip::without_date(second), roundtrip::without_date(third)) << label;
  return first;
}

TEST(RoundTrip, RandomStatesOfEveryKindWriteTheSameFileAgain) {
  // More states on request, e.g. BRANTEL_ROUNDTRIP_STATES=5000; the default keeps the suite quick.
  const char* requested = std::getenv("BRANTEL_ROUNDTRIP_STATES");
  const int n_states = requested ? std::atoi(requested) : 50;
  testing_support::TempCurrentDir dir;
  int loading_types_seen[5] = {}, damping_types_seen[5] = {}, operators_seen[2] = {}, romanian_seen = 0;
  for (int seed = 1; seed <= n_states; ++seed) {
    roundtrip::Generator generator(seed);
    roundtrip::Generated g = generator.state();
    g.state.loading_file() = (dir.path() / "round.inc").string();
    roundtrip::write_editor_files(g);
    const std::string first = round_trip(g.state, "seed " + std::to_string(seed));
    // BRANTEL_ROUNDTRIP_KEEP=folder keeps each first file, for example as a fuzzing corpus.
    if (const char* keep = std::getenv("BRANTEL_ROUNDTRIP_KEEP"))
      testing_support::write_file(fs::path(keep) / ("state-" + std::to_string(seed) + ".inc"), first);
    for (int i = 1; i <= g.state.general().n_loading_cases; ++i) ++loading_types_seen[model::code_number(g.state.record(i).loading_type) + 2];
    ++damping_types_seen[model::code_number(g.state.damping().type)];
    ++operators_seen[g.state.general().new_operator];
    romanian_seen += model::romanian_messages(g.state);
    if (HasFailure()) break;
  }
  for (int seen : loading_types_seen) EXPECT_GT(seen, 0);
  for (int seen : damping_types_seen) EXPECT_GT(seen, 0);
  EXPECT_GT(operators_seen[0] * operators_seen[1], 0);
  EXPECT_GT(romanian_seen, 0);
  RecordProperty("random_states", n_states);
}

// The loading files that the tests expect the program to write, with the model their header
// names (taken from the example workspace). Their end records name the test's own path, so
// the comparison with them stops before the end record.
TEST(RoundTrip, ExpectedFilesOfTheTests) {
  int tried = 0;
  const fs::path tests = fs::path(BRANTEL_SOURCE_DIR) / "tests";
  for (const auto& entry : fs::recursive_directory_iterator(tests)) {
    const std::string path = entry.path().string();
    // The writer's own fixtures hold placeholders for the scratch files it copies.
    if (entry.path().extension() != ".inc" || path.find("/setup/") != std::string::npos ||
        path.find("/data/reader/") != std::string::npos || path.find("/data/writer/") != std::string::npos)
      continue;
    const std::string expected = testing_support::read_file(entry.path());
    const std::vector<std::string> records = roundtrip::records_of(expected);
    if (records.size() < 3 || records[2].find("Geometry file") == std::string::npos) continue;
    const std::string geometry = records[2].substr(records[2].rfind(": ") + 2);
    const fs::path model = fs::path(BRANTEL_WORKSPACE) / "Dat" / fs::path(geometry).filename();
    const model::GeometryReadResult g = model::read_geometry_file(model.string());
    if (g.outcome != model::GeometryOutcome::ok) continue;
    testing_support::TempCurrentDir dir;
    testing_support::Session s;
    roundtrip::take_model(s, g.data, geometry);
    s.max_time_points = 100000;
    s.language = records[0].find("Acest") != std::string::npos ? "Romanian" : "English";
    s.loading_file() = (dir.path() / "again.inc").string();
    testing_support::write_file(dir.path() / "again.inc", expected);
    std::string messages;
    const std::string second = reload_and_write(s, messages);
    const std::string third = reload_and_write(s, messages);
    EXPECT_EQ(roundtrip::file_difference(
                  roundtrip::without_zero_ranges_before_end_lines(roundtrip::without_date_record(expected), s.general().n_nodes),
                  roundtrip::without_zero_ranges_before_end_lines(roundtrip::without_date_record(second), s.general().n_nodes)),
              "")
        << entry.path() << "\n" << messages << "\n" << second;
    EXPECT_EQ(roundtrip::without_date(second), roundtrip::without_date(third)) << entry.path();
    ++tried;
  }
  if (tried == 0) GTEST_SKIP() << "no test expects a loading file of a model of the example workspace";
  RecordProperty("expected_files", tried);
  std::printf("round trip of %d expected loading files\n", tried);
}

}  // namespace
