// The codec against the program: the bytes that read + write make from a loading file are the
// bytes that LOAD from Old File and Create make of it through the case files, and the bytes
// written from an analysis of edited sections are those that Create copies from the editors'
// case files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "support/discrete_points.h"
#include "dialogs/loading_file.h"
#include "loadfile/reader_parse.h"
#include "loadfile/writer.h"
#include "model/analysis.h"
#include "model/geometry_file.h"
#include "reader_support.h"
#include "roundtrip_support.h"
#include "support/session.h"
#include "text/format.h"

namespace {

namespace fs = std::filesystem;

const loadfile::Timestamp some_date{7, 12, 2026, 13, 45, 10};

// LOAD into `fresh`, then Create as the Loading Cases dialog does, whatever LOAD found.
std::string load_and_create(testing_support::Session s, const std::string& content) {
  const std::string path(s.loading_file().trimmed());
  testing_support::write_file(path, content);
  roundtrip::remove_scratch_files();
  reader_test::FakeToolkit toolkit;
  toolkit.answer = ui::Answer::yes;  // the bytes are compared, whatever the check of Create finds
  dialogs::Context context{toolkit, s, s.cases};
  const dialogs::LoadOutcome outcome = dialogs::load_loading_file(context, path);
  if (outcome == dialogs::LoadOutcome::kept_maximum) return "<not loaded>";
  testing_support::enter_loaded_cases(context.cases);
  if (!dialogs::write_loading_file(context)) return "<not written>";
  return testing_support::read_file(path);
}

loadfile::ReadStart start_of(const testing_support::Session& s) {
  loadfile::ReadStart start;
  start.general = s.general();
  start.damping = s.damping();
  start.accel_direction = s.accel_direction();
  start.max_time_points = s.max_time_points;
  start.romanian = model::romanian_messages(s);
  return start;
}

loadfile::Header header_of(const testing_support::Session& s) {
  return {some_date, std::string(s.loading_file().trimmed()), model::romanian_messages(s)};
}

std::string read_and_write(const testing_support::Session& s, const std::string& content) {
  return loadfile::write(loadfile::read(content, start_of(s)).analysis, header_of(s));
}

// The model a file's header names, from the example workspace; a small model otherwise.
testing_support::Session model_for(const std::string& content, const fs::path& loading_file) {
  testing_support::Session s;
  s.general().n_nodes = 40;
  s.general().n_elements = 30;
  s.general().n_dof = 3;
  const std::vector<std::string> records = roundtrip::records_of(content);
  if (records.size() >= 3 && records[2].find("Geometry file") != std::string::npos) {
    const std::string geometry = records[2].substr(records[2].rfind(": ") + 2);
    const fs::path model = fs::path(BRANTEL_WORKSPACE) / "Dat" / fs::path(geometry).filename();
    const model::GeometryReadResult g = model::read_geometry_file(model.string());
    if (g.outcome == model::GeometryOutcome::ok) roundtrip::take_model(s, g.data, geometry);
  }
  s.max_time_points = 100000;
  s.language = !records.empty() && records[0].find("Acest") != std::string::npos ? "Romanian" : "English";
  s.loading_file() = loading_file.string();
  return s;
}

// Every loading file the tests and the examples hold: the expected files of the scenarios, the
// reader's hand-made and damaged files, the writer's fixtures, the example workspace's.
std::vector<fs::path> loading_files() {
  std::vector<fs::path> files;
  for (const fs::path& root : {fs::path(BRANTEL_SOURCE_DIR) / "tests", fs::path(BRANTEL_SOURCE_DIR) / "examples"})
    for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.path().extension() == ".inc" && entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

TEST(Codec, ReadAndWriteMakeTheBytesOfLoadAndCreate) {
  testing_support::TempCurrentDir dir;
  int compared = 0;
  for (const fs::path& file : loading_files()) {
    const std::string content = testing_support::read_file(file);
    for (const char* language : {"", "Romanian"}) {
      testing_support::Session s = model_for(content, dir.path() / "again.inc");
      if (*language) s.language = language;  // end lines of the other language than the header's
      const std::string created = load_and_create(s, content);
      if (created.starts_with("<not")) continue;
      const std::string written = read_and_write(s, content);
      EXPECT_EQ(roundtrip::without_date(written), roundtrip::without_date(created)) << file << " " << language;
      // Once written, a file reads back as what writes it again (an empty section comes back once
      // as its range of zeros).
      const std::string again = read_and_write(s, written);
      EXPECT_EQ(read_and_write(s, again), again) << file << " " << language;
      ++compared;
    }
    if (HasFailure()) break;
  }
  EXPECT_GT(compared, 100);
  RecordProperty("compared", compared);
}

// The analysis the editors' files of a generated state stand for, every section in the
// editors' layout.
model::Analysis edited_analysis(const roundtrip::Generated& g) {
  const testing_support::Session& s = g.state;
  const bool ro = model::romanian_messages(s);
  const model::SectionStyle editor{model::SectionLayout::editor, ro};
  model::Analysis a;
  a.general = s.general();
  a.damping = s.damping();
  for (int i = 1; i <= s.general().n_loading_cases; ++i) {
    const roundtrip::CaseData& d = g.cases[i - 1];
    model::Case& c = a.cases.emplace_back();
    c.record = g.state.cases.sections(i).record;
    model::InitialConditions& conditions = c.initial_conditions.emplace();
    conditions.style = editor;
    conditions.ranges = d.conditions;
    conditions.with_accelerations = model::accelerogram(c.record.loading_type);
    std::copy(c.record.initial_acceleration, c.record.initial_acceleration + 3, conditions.acceleration);
    c.initial_loadings = model::RangeSection{editor, d.loadings};
    model::Loading& loading = c.loading(model::loading_kind(c.record.loading_type)).emplace();
    loading.style = editor;
    if (c.record.loading_type == model::LoadingType::discrete) {
      loading.data = testing_support::discrete_loading(d.time_points);
    } else if (model::accelerogram(c.record.loading_type)) {
      model::Accelerogram& accel = loading.data.emplace<model::Accelerogram>();
      accel.type = c.record.loading_type;
      accel.direction = d.direction;
      accel.points = d.accel_points;
    } else {
      loading.data = model::AmplitudeLoading{c.record.loading_type, d.amplitudes};
    }
  }
  return a;
}

TEST(Codec, EditedSectionsAreWrittenAsCreateCopiesTheEditorsFiles) {
  testing_support::TempCurrentDir dir;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    roundtrip::Generator generator(seed);
    roundtrip::Generated g = generator.state();
    g.state.loading_file() = (dir.path() / "edited.inc").string();
    roundtrip::remove_scratch_files();
    const std::string created = roundtrip::create_from_editor_files(g);
    ASSERT_NE(created, "<not written>");
    const model::Analysis a = edited_analysis(g);
    EXPECT_EQ(roundtrip::without_date(loadfile::write(a, header_of(g.state))), roundtrip::without_date(created))
        << "seed " << seed;
    if (HasFailure()) break;
  }
}

// Sections never entered and cases given up are written as their end lines, and the notes name
// those cases; a loading entered under another loading type is no loading of the case's type.
TEST(Codec, MissingSectionsAreEndLinesAndTheNotesNameTheirCases) {
  model::Analysis a;
  a.general.n_nodes = 4;
  a.general.n_dof = 2;
  a.general.n_loading_cases = 3;
  a.cases.resize(2);
  a.cases[0].record = {1e-4f, 20, model::LoadingType::exponential, 0.01f, 1.f};
  a.cases[0].initial_loadings.emplace().ranges = {{1, 4, {2.f, 0, 0, 0.5f}}};
  a.cases[0].loading(model::LoadingKind::sinusoidal).emplace().data =
      model::AmplitudeLoading{model::LoadingType::sinusoidal, {{1, 2, {3.f}}}};
  a.cases[1].record = a.cases[0].record;
  a.cases[1].record.loading_type = model::LoadingType::sinusoidal;
  a.cases[1].initial_conditions.emplace();
  a.cases[1].initial_loadings = a.cases[0].initial_loadings;
  a.cases[1].loadings = a.cases[0].loadings;
  const std::string bytes = loadfile::write(a, {some_date, "/tmp/x.inc", false});
  const std::vector<std::string> records = roundtrip::records_of(bytes);
  EXPECT_EQ(records[3], "// ERROR in Case Codes:");  // case 3 is not there at all
  const auto count = [&records](std::string_view line) { return std::count(records.begin(), records.end(), line); };
  EXPECT_EQ(count("End_of_Initial_Conditions"), 3);  // the end lines of cases 1 and 3, case 2's own
  EXPECT_EQ(count("END_OF_CASE1"), 1);               // amplitudes of the wrong type are not written
  EXPECT_EQ(count("END_OF_CASE3"), 1);
  EXPECT_EQ(std::count_if(records.begin(), records.end(),
                          [](const std::string& r) { return roundtrip::tokens(r) == std::vector<std::string>{"1", "2", "3.", "0."}; }),
            1);  // case 2's amplitude record
  EXPECT_EQ(records.back(), "07/12/2026   13:45:10");
  const loadfile::CaseNotes notes = loadfile::case_notes(a);
  EXPECT_EQ(notes.incomplete, (std::vector<int>{3}));
  EXPECT_EQ(notes.without_initial_values, (std::vector<int>{1, 3}));
  EXPECT_EQ(notes.without_loading_data, (std::vector<int>{1, 3}));
}

}  // namespace

namespace {

// An accelerogram file read and written again in a model of 3 degrees of freedom per node, held
// to the bytes LOAD then Create give: the records written from End_of_Initial_Loading on.
std::vector<std::string> accel_records_written(const std::string& content) {
  testing_support::Session s = reader_test::small_model();
  s.general().n_dof = 3;
  testing_support::TempCurrentDir dir;
  s.loading_file() = (dir.path() / "accel.inc").string();
  const std::string written = read_and_write(s, content);
  EXPECT_EQ(roundtrip::without_date(written), roundtrip::without_date(load_and_create(s, content)));
  const std::vector<std::string> records = roundtrip::records_of(written);
  return {std::find(records.begin(), records.end(), "End_of_Initial_Loading"), records.end()};
}

// An accelerogram keeps each number as the file spelt it when that is its G14.7 text (however the
// record is spaced), makes the others anew, and writes the texts three blanks apart.
TEST(Codec, AnAccelerogramKeepsTheFilesOwnG14_7TextsAndMakesTheOthers) {
  const auto g = [](float v) { return text::g14_7_text(v); };
  const std::string t1 = g(0.01f), a1 = g(-1.5f), a2 = g(2.25e-5f), a3 = g(980.f);
  const std::string spaced = "  " + g(0.03f) + "\t" + g(0.5f) + "  " + g(-0.75f) + "     " + g(1e6f) + "  ";
  const std::string content = reader_test::lines(
      {"ACH", "6*0.", "1", "0", "0.1E-03  20", "-1  1.E-02  1.  0  0.   0  0.", "End_of_Initial_Conditions",
       "0. 0. 0.", "End_of_Initial_Loading", t1 + "   " + a1 + "   " + a2 + "   " + a3,
       " 0.02  0.123456789  2*0.", spaced, "0.04 0.100000001 0.2 0.3", "END_OF_CASE1", "End_of_File: x.inc"});
  const std::vector<std::string> at = accel_records_written(content);
  ASSERT_GE(at.size(), 6u);
  EXPECT_EQ(at[1], t1 + "   " + a1 + "   " + a2 + "   " + a3);  // as it stands
  EXPECT_EQ(at[2], g(0.02f) + "   " + g(0.123456789f) + "   " + g(0.f) + "   " + g(0.f));  // r*c: made anew
  EXPECT_EQ(at[3], g(0.03f) + "   " + g(0.5f) + "   " + g(-0.75f) + "   " + g(1e6f));
  // 0.04 is not spelt as G14.7 spells it, nor is 0.100000001; 0.2 and 0.3 are.
  ASSERT_NE(g(0.04f), "0.04");
  EXPECT_EQ(at[4], g(0.04f) + "   " + g(0.100000001f) + "   0.2   0.3");
  EXPECT_EQ(at[5], "END_OF_CASE1");
}

// Points read over two records, after a blank one or from a repeat count do not shift the
// records the points after them are written from, past the marks of every 64th point too.
TEST(Codec, PointsReadFromSeveralRecordsShiftNoLaterPoint) {
  const auto g = [](float v) { return text::g14_7_text(v); };
  std::vector<std::string> lines{"ACH", "6*0.", "1", "0", "0.1E-03  20", "-1  1.E-02  1.  0  0.   0  0.",
                                 "End_of_Initial_Conditions", "0. 0. 0.", "End_of_Initial_Loading"};
  std::vector<std::string> expected;
  for (int i = 0; i < 70; ++i) {
    const float t = 0.5f * static_cast<float>(i + 1), x = 1.25f + static_cast<float>(i), y = -x, z = 2 * x;
    expected.push_back(g(t) + "   " + g(x) + "   " + g(y) + "   " + g(z));
    if (i == 3 || i == 64) lines.push_back("");
    if (i == 5 || i == 63) {
      lines.push_back(g(t) + " " + g(x));
      lines.push_back(g(y) + " " + g(z));
    } else if (i == 9) {
      lines.push_back(g(t) + " " + g(x) + ", " + g(y) + " " + g(z));
    } else {
      lines.push_back(expected.back());
    }
  }
  lines.insert(lines.end(), {"END_OF_CASE1", "End_of_File: x.inc"});
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  const std::vector<std::string> at = accel_records_written(content);
  ASSERT_GE(at.size(), expected.size() + 2);
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(at[i + 1], expected[i]) << i;
  EXPECT_EQ(at[expected.size() + 1], "END_OF_CASE1");
}

// A one-direction accelerogram read in direction Z keeps its values in Z and writes them from
// there, not from X, the slot of a file that names no direction. "1.50" is not the G14.7 text of
// its value: the text written is made from the value kept.
TEST(Codec, ALoadedAccelerogramInZIsWrittenFromItsOwnDirection) {
  const auto g = [](float v) { return text::g14_7_text(v); };
  const std::string content = reader_test::lines(
      {"ACH", "6*0.", "1", "0", "0.1E-03  20", "-2  1.E-02  1.  0  0.   0  0.", "End_of_Initial_Conditions",
       "0.", "Z", "0.25", "End_of_Initial_Loading", " 0.01  1.50", " 0.02  -2.250", "END_OF_CASE1", "End_of_File: x.inc"});
  const std::vector<std::string> at = accel_records_written(content);
  ASSERT_GE(at.size(), 4u);
  EXPECT_EQ(at[1], g(0.01f) + "   " + g(1.5f));
  EXPECT_EQ(at[2], g(0.02f) + "   " + g(-2.25f));
}

}  // namespace
