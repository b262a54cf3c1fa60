// Records processed before they are scaled: the processing word of the command line and the
// study file, the values written (the processed record times the factor), and what suite.csv
// says of each record's processing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/run_suite.h"
#include "motion/processing.h"
#include "motion/reader.h"
#include "support/scaled_suite.h"
#include "support/suite_samples.h"
#include "support/temp_dir.h"
#include "suite/options.h"
#include "suite/suite.h"
#include "suite/suite_file.h"

namespace {

using testing_support::TempCurrentDir;
using testing_support::read_file;
using testing_support::write_file;

TEST(SuiteProcessing, TheWordReadsBackAsItIsWrittenAndWrongWordsAreRefused) {
  motion::ProcessingOptions o;
  ASSERT_EQ(suite::parse_processing("highpass=auto,lowpass=25,order=2,taper=0.1,pad=3,baseline=linear,trim", o), "");
  EXPECT_TRUE(o.highpass_auto);
  EXPECT_EQ(o.lowpass, 25.0);
  EXPECT_EQ(o.order, 2);
  EXPECT_EQ(o.taper, 0.1);
  EXPECT_EQ(o.pad, 3.0);
  EXPECT_EQ(o.baseline, motion::Baseline::linear);
  EXPECT_TRUE(o.trim);
  motion::ProcessingOptions back;
  ASSERT_EQ(suite::parse_processing(suite::processing_word(o), back), "") << suite::processing_word(o);
  EXPECT_EQ(suite::processing_word(back), suite::processing_word(o));
  EXPECT_EQ(back.order, 2);
  motion::ProcessingOptions corner;
  corner.highpass = 0.1;
  EXPECT_EQ(suite::processing_word(corner), "highpass=0.1");
  for (const char* wrong : {"", "highpass", "highpass=x", "lowpass=25,order=0", "order=4", "highpass=0.1,lowpass=0.05",
                            "highpass=0.1,speed=2", "highpass=-1"}) {
    motion::ProcessingOptions untouched;
    EXPECT_NE(suite::parse_processing(wrong, untouched), "") << wrong;
  }
}

// A decaying sine in g with a constant offset of 0.02 g: raw, its velocity drifts.
std::string drifting_record() {
  std::string rows;
  for (int i = 0; i < 1000; ++i) {
    const double t = 0.01 * i;
    char text[32];
    std::snprintf(text, sizeof text, "%.7E", 0.3 * std::sin(2 * M_PI * t / 0.5) * std::exp(-0.3 * t) + 0.02);
    rows += std::string("  ") + text + (i % 5 == 4 ? "\n" : "");
  }
  return motion_samples::peer("NPTS=1000, DT= .0100 SEC", rows + "\n");
}

suite::Settings processing_settings(const std::string& process) {
  suite::Settings s = suite_samples::ec8_settings(suite::Rule::fit, 0.105, 0.95);
  s.template_path = "t.inc";
  s.records = {{{"drift.AT2"}, {}}};
  EXPECT_EQ(suite::apply_suite_option("--process", process, s), "");
  return s;
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

// The row of the record in suite.csv, by the header's column names.
std::vector<std::pair<std::string, std::string>> table_row(const std::string& table) {
  std::istringstream in(table);
  std::string line, header;
  std::vector<std::pair<std::string, std::string>> row;
  while (std::getline(in, line))
    if (line.starts_with("record,")) header = line;
    else if (!line.starts_with('#') && !header.empty()) {
      const auto names = fields_of(header), values = fields_of(line);
      for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) row.emplace_back(names[i], values[i]);
    }
  return row;
}

std::string column(const std::vector<std::pair<std::string, std::string>>& row, const std::string& name) {
  for (const auto& [n, v] : row)
    if (n == name) return v;
  return "(no column " + name + ")";
}

// The points written are the processed record (in cm/s2, the model's unit) times the factor:
// processed first, then scaled. The table says the steps, the drift ends within the limits,
// and the usable periods.
TEST(SuiteProcessing, TheRecordIsProcessedThenScaledAndTheTableSaysHow) {
  TempCurrentDir dir;
  write_file("drift.AT2", drifting_record());
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(processing_settings("highpass=0.2,trim"), out, err), 0) << err.str();
  const auto row = table_row(read_file("out/suite.csv"));
  const double factor = std::stod(column(row, "factor"));
  EXPECT_NE(column(row, "steps").find("high-pass"), std::string::npos) << column(row, "steps");
  EXPECT_NEAR(std::stod(column(row, "usable_to")), 1 / (1.25 * 0.2), 1e-6);

  motion::ReadOptions cm;
  cm.target = motion::TargetUnit::length_per_s2(0.01, "cm/s2");
  const motion::Record raw = motion::read_motion_file("drift.AT2", cm).record;
  motion::ProcessingOptions o;
  o.highpass = 0.2;
  o.trim = true;
  const motion::ProcessedRecord processed = motion::process_record(raw.components, raw.time_step, o);
  // Cut back to its own span, the record may drift again: the table says so exactly then.
  EXPECT_EQ(column(row, "warning"), processed.within_limits ? "" : "still drifts");
  const motion::Drift drift = motion::drift_of(processed.components[0], raw.time_step);
  EXPECT_NEAR(std::stod(column(row, "final_velocity")), drift.final_velocity * 0.01 * factor, 1e-9);
  std::istringstream text(read_file("out/drift.inc"));
  std::string line;
  while (std::getline(text, line) && !line.starts_with("End_of_Initial_Loading")) {
  }
  while (std::getline(text, line) && !line.starts_with("End_of_Initial_Loading")) {
  }
  for (std::size_t i = 0; i < processed.components[0].size() && std::getline(text, line); ++i) {
    double t = 0, x = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf", &t, &x), 2) << line;
    const double expected = processed.components[0][i] * factor;
    ASSERT_NEAR(x, expected, 1e-6 * std::abs(expected) + 1e-6) << "point " << i;
  }
}

// A high-pass corner whose usable periods end inside the scaling range is warned in the table;
// a record without processing in a processed suite has empty processing columns.
TEST(SuiteProcessing, UsablePeriodsShortOfTheRangeAreWarned) {
  TempCurrentDir dir;
  write_file("drift.AT2", drifting_record());
  std::ostringstream out, err;
  ASSERT_EQ(app::cli::run_suite(processing_settings("highpass=2"), out, err), 0) << err.str();
  const auto row = table_row(read_file("out/suite.csv"));
  EXPECT_NEAR(std::stod(column(row, "usable_to")), 0.4, 1e-9);
  EXPECT_EQ(column(row, "warning"), "usable periods end below 0.95 s");
  EXPECT_NE(err.str().find("its usable periods end at 0.4 s, below the scaling range's 0.95 s"), std::string::npos)
      << err.str();
}

// The study file keeps the suite's processing and a record's own, and the options are checked
// against each record's step: a low-pass above its Nyquist frequency refuses that record.
TEST(SuiteProcessing, StudyFilesKeepTheProcessingAndARecordsStepIsChecked) {
  TempCurrentDir dir;
  write_file("drift.AT2", drifting_record());
  suite::Settings s = processing_settings("highpass=auto");
  motion::ProcessingOptions own;
  own.lowpass = 20.0;
  s.records.push_back({{"other.AT2"}, {}, own});
  const std::string text = suite::suite_file_text(s, "ec8:type=1,ground=B,ag=0.25g", "study.json");
  suite::Settings back;
  std::string why;
  ASSERT_TRUE(suite::read_suite_text(text, ".", back, why)) << why << "\n" << text;
  ASSERT_TRUE(back.processing);
  EXPECT_TRUE(back.processing->highpass_auto);
  ASSERT_EQ(back.records.size(), 2u);
  EXPECT_FALSE(back.records[0].processing);
  ASSERT_TRUE(back.records[1].processing);
  EXPECT_EQ(back.records[1].processing->lowpass, 20.0);

  s = processing_settings("lowpass=60");
  std::ostringstream out, err;
  EXPECT_EQ(app::cli::run_suite(s, out, err), 2);
  EXPECT_NE(err.str().find("is not below the record's Nyquist frequency (50 Hz)"), std::string::npos) << err.str();
}

// A raw record the suite processes is no longer one "read as it is": the reader's warning of a
// raw record is said only when the suite leaves the record as read.
TEST(SuiteProcessing, ARawRecordIsWarnedAsUncorrectedOnlyWhenLeftUnprocessed) {
  TempCurrentDir dir;
  for (const bool processed : {false, true}) {
    suite::Settings s = processing_settings("highpass=0.3");
    if (!processed) s.processing.reset();
    s.records = {{{std::string(BRANTEL_SOURCE_DIR) + "/tests/motion/data/processing/CE89146.V1"}, {}}};
    s.out_dir = processed ? "processed" : "as_read";
    std::ostringstream out, err;
    app::cli::run_suite(s, out, err);
    EXPECT_EQ(err.str().find("uncorrected acceleration") != std::string::npos, !processed) << err.str();
    EXPECT_TRUE(std::filesystem::exists(s.out_dir + "/suite.csv")) << err.str();
  }
}

}  // namespace
