// The viewer's labels of the sample loading file, and of files whose records are read as
// something else than the program wrote.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "loadfile/check.h"
#include "loadfile/line_labels.h"
#include "support/temp_dir.h"

namespace {

using loadfile::LineTable;

// Labels of every line of `content`, read with the model of the sample frame.
std::vector<std::string> labels_of(const std::string& content, int n_dof = 3) {
  text::RecordSource source(content);
  LineTable table(source.size());
  loadfile::CheckOptions options;
  options.model = loadfile::ModelCounts{12, n_dof, 12};
  options.also = &table;
  loadfile::check_loading_records("f.inc", source, options);
  table.finish();
  const std::string unit = loadfile::time_unit_of(source.record(4));
  std::vector<std::string> labels;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const loadfile::LineEntry& e = table.entry(i);
    labels.push_back(loadfile::line_label(e, source.record(i), source.record(e.anchor), unit));
  }
  return labels;
}

std::string sample() { return testing_support::read_file(std::string(BRANTEL_WORKSPACE) + "/Dat/frame_three_cases.inc"); }

TEST(LineLabels, EveryRecordOfTheSampleIsNamedWithItsCaseAndFields) {
  const std::vector<std::string> labels = labels_of(sample());
  ASSERT_EQ(labels.size(), 40u);
  const std::vector<std::pair<int, std::string>> expected = {
      {1, "header"},
      {7, "operator: New Operator"},
      {8, "operator coefficients 1./Beta, 1./Teta, 1./Gamma, 1./Teta1, 1./Delta, 1./Teta2"},
      {9, "number of loading cases"},
      {10, "case 1 · damping: NO Damping"},
      {11, "case 1 · tolerance, iteration limit"},
      {12, "case 1 · loading type (Discrete Loading), time step, end time, mass model, gravity acceleration, "
           "printing code, printing time"},
      {13, "case 1 · nodes 1–3 initial displacements, velocities"},
      {14, "case 1 · end of initial conditions"},
      {15, "case 1 · nodes 4–6 concentrated mass, initial loads"},
      {17, "case 1 · time 0.1 sec"},
      {18, "case 1 · time 0.1 sec · nodes 1–12 loads"},
      {20, "case 1 · time 0.5 sec · nodes 10–12 loads"},
      {21, "case 1 · end of loading data"},
      {24, "case 2 · loading type (Sinusoidal), time step, end time, mass model, gravity acceleration, printing "
           "code, printing time"},
      {27, "case 2 · omega, phi"},
      {29, "case 2 · nodes 7–12 amplitudes"},
      {36, "case 3 · omega"},
      {38, "case 3 · end of loading data"},
      {39, "end of file"},
      {40, "date of writing"},
  };
  for (const auto& [line, label] : expected) EXPECT_EQ(labels[line - 1], label) << "line " << line;
}

TEST(LineLabels, MisreadRecordsAreLabelledAsTheSolverTakesThem) {
  std::string damaged = sample();
  // A range with too few loads: the solver takes the next line's time as its last load, and
  // the loads of that time for the earlier time's.
  damaged.replace(damaged.find(" 1 12 1.5 0. -2."), 16, " 1 12 1.5 0.");
  std::vector<std::string> labels = labels_of(damaged);
  EXPECT_EQ(labels[17], "case 1 · time 0.1 sec · nodes 1–12 loads");
  EXPECT_EQ(labels[18], "case 1 · loads (continued)");
  EXPECT_EQ(labels[19], "case 1 · time 0.1 sec · nodes 10–12 loads");

  // An unreadable tolerance: the rest of the case is read as the next one (its loading type 1
  // becomes the damping code).
  damaged = sample();
  damaged.replace(damaged.find("0.1E-02  15"), 11, "0.1EX02  15");
  labels = labels_of(damaged);
  EXPECT_EQ(labels[22], "case 2 · cannot be read: the rest of the case is skipped");
  EXPECT_EQ(labels[23], "case 3 · damping: Raleigh");

  // A file cut inside a case: what follows the last record read is not read.
  labels = labels_of(sample().substr(0, sample().find("END_OF_CASE1")));
  EXPECT_EQ(labels[19], "case 1 · time 0.5 sec · nodes 10–12 loads");
}

TEST(LineLabels, TimeUnitComesFromTheHeadersUnitsLine) {
  EXPECT_EQ(loadfile::time_unit_of("// Basic UNITS: m; sec; kN"), "sec");
  EXPECT_EQ(loadfile::time_unit_of("// UNITATI de baza: m;  s ; kN"), "s");
  EXPECT_EQ(loadfile::time_unit_of("//"), "");
}

}  // namespace

namespace {

// The problems the check finds in the sample with its record `number` (1-based) replaced.
loadfile::ProblemList problems_with(std::size_t number, const std::string& record) {
  std::istringstream in(sample());
  std::string content;
  std::size_t n = 0;
  for (std::string line; std::getline(in, line);) content += (++n == number ? record + "\r" : line) + "\n";
  text::RecordSource source(content);
  loadfile::CheckOptions options;
  options.model = loadfile::ModelCounts{12, 3, 12};
  return loadfile::check_loading_records("f.inc", source, options).problems;
}

// The solver reaches the end time itself: a time point at it is no warning, one past it is.
TEST(CheckTimes, ATimeAtTheEndTimeIsFineAndOnePastItIsWarned) {
  EXPECT_TRUE(problems_with(19, " 10.").empty());
  const loadfile::ProblemList past = problems_with(19, " 10.001");
  ASSERT_EQ(past.size(), 1u);
  EXPECT_EQ(past[0].severity, loadfile::Severity::warning);
  EXPECT_EQ(past[0].line, 19u);
  EXPECT_THAT(past[0].english, testing::HasSubstr("is beyond the end time 10"));
}

}  // namespace
