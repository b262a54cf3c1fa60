// The suite works on the analysis itself: the one the dialogs hold is taken as it is, each record's
// loading file is that analysis with only the case's accelerogram and end time replaced, and a
// template's own language is kept in what the written files say.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <variant>

#include "app/cli/run_suite.h"
#include "loadfile/reader_parse.h"
#include "model/geometry_file.h"
#include "motion/reader.h"
#include "support/suite_samples.h"
#include "support/temp_dir.h"
#include "suite/suite.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

const std::string geometry = std::string(BRANTEL_WORKSPACE) + "/Dat/frame.dat";

loadfile::ReadStart start_of_frame() {
  const model::GeometryReadResult g = model::read_geometry_file(geometry);
  loadfile::ReadStart start;
  start.general.n_nodes = g.data.n_nodes;
  start.general.n_dof = g.data.n_dof;
  start.general.n_elements = g.data.n_elements;
  start.general.geometry_file = "frame.dat";
  start.general.length_unit = "cm";
  start.general.second_unit = "sec";
  start.general.force_unit = "kN";
  start.max_time_points = INT_MAX;
  return start;
}

const model::Accelerogram& accelerogram_of(const model::Case& c) {
  return std::get<model::Accelerogram>(c.loading(model::LoadingKind::accelerogram)->data);
}

suite::Settings one_record_settings() {
  suite::Settings s;
  s.template_path = "the analysis";
  s.case_number = 2;
  s.geometry = geometry;
  s.out_dir = "out";
  s.records.push_back({{"quake.AT2"}, {}});
  return s;
}

// The analysis of the dialogs, given in memory: the file written reads back as that analysis
// with case 2's points the record's (in cm/s2), its end time the record's duration and its
// count of points theirs; cases 1 and 3 and the general data are the analysis's own.
TEST(SuiteAnalysis, TheAnalysisGivenIsWrittenWithOnlyItsCaseReplaced) {
  TempCurrentDir dir;
  const suite_samples::Peer peer = suite_samples::peer_record(300, 0.3, 0.35);
  write_file("quake.AT2", peer.content);
  const loadfile::ReadResult given = loadfile::read(suite_samples::template_text(-1), start_of_frame());
  ASSERT_EQ(given.outcome, loadfile::ReadOutcome::complete);
  suite::Settings s = one_record_settings();
  s.analysis = std::make_shared<const model::Analysis>(given.analysis);
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(s, out, err), 0) << err.str();

  const loadfile::ReadResult back = loadfile::read(read_file("out/quake.inc"), start_of_frame());
  ASSERT_EQ(back.outcome, loadfile::ReadOutcome::complete);
  const model::Analysis& a = back.analysis;
  ASSERT_EQ(a.cases.size(), 3u);
  EXPECT_EQ(a.general, given.analysis.general);
  for (const std::size_t k : {0u, 2u}) {
    EXPECT_EQ(a.cases[k].record, given.analysis.cases[k].record) << "case " << k + 1;
    EXPECT_EQ(a.cases[k].initial_conditions->ranges, given.analysis.cases[k].initial_conditions->ranges);
  }
  const model::CaseRecord& c = a.cases[1].record;
  EXPECT_FLOAT_EQ(c.end_time, 2.99f);
  EXPECT_EQ(c.n_time_points, 300);
  EXPECT_EQ(c.time_step, given.analysis.cases[1].record.time_step);
  const model::Accelerogram& points = accelerogram_of(a.cases[1]);
  ASSERT_EQ(points.points.size(), 300u);
  motion::ReadOptions cm;
  cm.target = motion::TargetUnit::length_per_s2(0.01, "cm/s2");
  const motion::Record record = motion::read_motion_file("quake.AT2", cm).record;
  for (std::size_t i = 0; i < 300; i += 13) {
    EXPECT_FLOAT_EQ(points.points[i].time, static_cast<float>(0.01 * static_cast<double>(i)));
    EXPECT_FLOAT_EQ(points.points[i].acceleration[0], static_cast<float>(record.components[0][i]));
    EXPECT_EQ(points.points[i].acceleration[1], 0.0f);
  }
}

// A template in Romanian gives loading files in Romanian: its header, and the end record
// naming the file written.
TEST(SuiteAnalysis, ARomanianTemplateGivesRomanianFiles) {
  TempCurrentDir dir;
  write_file("quake.AT2", suite_samples::peer_record(200, 0.3, 0.35).content);
  std::string text = suite_samples::template_text(-1);
  const auto swap = [&text](const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  swap("// Basic UNITS: ", "// UNITATI de baza: ");
  swap("End_of_File: t.inc", "Sfarsit de fisier: t.inc");
  suite::Settings s = one_record_settings();
  s.template_text = text;
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(s, out, err), 0) << err.str();
  const std::string written = read_file("out/quake.inc");
  EXPECT_NE(written.find("\r\n// UNITATI de baza: cm; sec; kN\r\n"), std::string::npos) << written.substr(0, 400);
  EXPECT_NE(written.find("\r\nSfarsit de fisier: out/quake.inc\r\n"), std::string::npos);
  EXPECT_EQ(written.find("End_of_File"), std::string::npos);
}

// Why the factors of a suite cannot be found, told apart: no record read, or a mean without a
// suite90 factor (a range where the design spectrum has no period). Either writes nothing.
TEST(SuiteAnalysis, FactorsThatCannotBeFoundSayWhy) {
  TempCurrentDir dir;
  write_file("quake.AT2", suite_samples::peer_record(200, 0.3, 0.35).content);
  write_file("words.AT2", "no values here\n");
  std::string why;
  suite::Settings s = one_record_settings();
  s.target = motion::parse_design_spectrum("ec8:type=1,ground=B,ag=0.25g", why);
  s.rule = suite::Rule::suite90;
  s.scale_range = std::pair{20.0, 30.0};
  s.periods = {0.1, 0.5, 1.0};
  s.template_text = suite_samples::template_text(-1);
  std::ostringstream err;
  for (const auto& [file, outcome] : {std::pair{"quake.AT2", suite::FactorsOutcome::no_suite_factor},
                                      std::pair{"words.AT2", suite::FactorsOutcome::no_record_read}}) {
    s.records = {{{file}, {}}};
    const auto suite = suite::Suite::open(s, err);
    ASSERT_TRUE(suite) << err.str();
    suite->analyse(0);
    EXPECT_EQ(suite->find_factors(why).outcome, outcome) << file << ": " << why;
    std::ostringstream out;
    EXPECT_EQ(app::cli::run_suite(s, out, err), app::cli::suite_refused) << file;
  }
  EXPECT_FALSE(fs::exists("out"));
}

}  // namespace
