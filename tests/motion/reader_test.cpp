// The reader over synthetic files of each format: every header spelling, glued values, counts
// that disagree with the values, unit factors, separators and uneven steps.
#include <gtest/gtest.h>

#include "motion/reader.h"
#include "samples.h"

namespace {

using motion::Format;
using motion::Outcome;
using motion::ReadOptions;
using motion::Unit;
using namespace motion_samples;

const char* const g = "9.80665";
const char* const cm = "0.01";

// ---- PEER NGA ----

class PeerHeaderVariant : public testing::TestWithParam<const char*> {};

TEST_P(PeerHeaderVariant, ReadsCountStepAndValuesInG) {
  const std::string file = peer(GetParam(), peer_rows);
  EXPECT_EQ(motion::detect_format(file), Format::peer);
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.format, Format::peer);
  EXPECT_EQ(r.record.time_step, 0.01);
  EXPECT_EQ(r.record.start_time, 0.0);
  EXPECT_EQ(r.record.file_unit, Unit::g);
  ASSERT_EQ(r.record.components.size(), 1u);
  expect_values(r.record.components[0], peer_values, g);
  ASSERT_EQ(r.record.data_lines.size(), 1u);
  EXPECT_EQ(r.record.data_lines[0].first, 5u);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, PeerHeaderVariant,
    testing::Values("NPTS=      6, DT= .01000 SEC", "6    0.0100    NPTS, DT", "NPTS=      6, DT=   0.010 SEC     ",
                    "NPTS=      6, DT=   .0100 SEC,", "NPTS=      6  DT=  0.0100 SEC,", "NPTS=6,DT=.01 SEC",
                    "DT= 0.01 SEC, NPTS= 6", "0.0100    6    DT, NPTS"));

TEST(PeerRecord, GluedNegativesSplitByTheNumberShape) {
  const auto r = read(peer("NPTS=  5, DT= .005 SEC", "  1.234-5.678-0.5E-02.25\t+3\r\n\x1a"));
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  expect_values(r.record.components[0], {"1.234", "-5.678", "-0.5E-02", ".25", "3"}, g);
}

TEST(PeerRecord, MoreValuesThanNptsKeepsTheFirstWithAWarning) {
  const auto r = read(peer("NPTS=  4, DT= .01 SEC", peer_rows));
  ASSERT_EQ(r.outcome, Outcome::read_with_warnings);
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].severity, motion::Severity::warning);
  EXPECT_NE(r.problems[0].text.find("NPTS = 4"), std::string::npos);
  expect_values(r.record.components[0], {peer_values.begin(), peer_values.begin() + 4}, g);
}

TEST(PeerRecord, FewerValuesThanNptsIsRefusedWithoutTakingTheClaimedSpace) {
  for (const char* npts : {"NPTS=  7, DT= .01 SEC", "NPTS= 1000000000, DT= .01 SEC"}) {
    const auto r = read(peer(npts, peer_rows));
    ASSERT_EQ(r.outcome, Outcome::refused) << npts;
    EXPECT_TRUE(r.record.components.empty());
    EXPECT_NE(r.problems.back().text.find("only 6 values"), std::string::npos) << problems_of(r);
  }
}

TEST(PeerRecord, RefusesWhatIsNotAnAccelerationOrHasNoReadableCount) {
  EXPECT_EQ(read(peer("NPTS= 6, DT= .01 SEC", peer_rows, "VELOCITY TIME HISTORY IN UNITS OF CM/SEC")).outcome, Outcome::refused);
  EXPECT_EQ(read(peer("NPTS= 6.5, DT= .01 SEC", peer_rows)).outcome, Outcome::refused);
  EXPECT_EQ(read(peer("NPTS= 6, DT= 0 SEC", peer_rows)).outcome, Outcome::refused);
  const auto text_in_values = read(peer("NPTS= 8, DT= .01 SEC", peer_rows + "  1.0 two 3.0\n"));
  ASSERT_EQ(text_in_values.outcome, Outcome::refused);
  EXPECT_EQ(text_in_values.problems.back().line, 7u);
}

TEST(PeerRecord, UnitOfTheHeaderIsUsedAndAMissingOneIsSaid) {
  auto r = read(peer("NPTS= 2, DT= .01 SEC", "1.5 -2\n", "ACCELERATION TIME HISTORY IN UNITS OF CM/S/S. FILTER POINTS: HP=0.2 Hz"));
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  expect_values(r.record.components[0], {"1.5", "-2"}, cm);
  r = read(peer("NPTS= 2, DT= .01 SEC", "1.5 -2\n", "ACCELERATION TIME HISTORY"));
  EXPECT_EQ(r.outcome, Outcome::read_with_warnings);
  expect_values(r.record.components[0], {"1.5", "-2"}, g);
}

// "in" on the free-text event line names no unit: the quantity line's "in g" is the unit.
TEST(PeerRecord, InOnTheEventLineIsNoUnit) {
  const std::string file = "PEER NGA STRONG MOTION DATABASE RECORD (SYNTHETIC)\nQuake in mg district 2001, Station, 090\n"
                           "Acceleration in g\nNPTS= 2, DT= .01 SEC\n1.5 -2\n";
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.file_unit, Unit::g);
  expect_values(r.record.components[0], {"1.5", "-2"}, g);
}

// ---- COSMOS V2c and CSMIP ----

const std::string cosmos_tail = " acceleration pts, approx    0 secs, units=cm/sec2(04),Format=(8F10.3)";

TEST(CosmosRecord, StepFromTheSamplingIntervalNotFromAnEarlierHeaderValue) {
  // Real-header value 34 holds 20.0, a number a step could be read from by mistake.
  const std::string file = cosmos_channel("Corrected acceleration", 1, {"     1.250    -2.500-12345.678     0.000    10.000"}, 5,
                                          5.0, 20.0, cosmos_tail);
  EXPECT_EQ(motion::detect_format(file), Format::cosmos);
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_DOUBLE_EQ(r.record.time_step, 0.005);
  EXPECT_EQ(r.record.file_unit, Unit::cm_s2);
  expect_values(r.record.components[0], {"1.25", "-2.5", "-12345.678", "0", "10"}, cm);
}

TEST(CosmosRecord, ChannelsBecomeComponentsAndOtherQuantitiesArePassedOver) {
  const std::string file =
      cosmos_channel("Corrected acceleration", 1, {"  1.000000E+00 -2.000000E+00"}, 2, 10.0, -999.0,
                     " acceleration pts, approx 0 secs, units=g(02),Format=(2E15.6)") +
      cosmos_channel("Velocity", 2, {"     9.000     9.000"}, 2, 10.0, -999.0, " velocity pts, units=cm/sec(05),Format=(8F10.3)") +
      cosmos_channel("Corrected acceleration", 1, {"  3.000000E-01  4.000000E-01"}, 2, 10.0, -999.0,
                     " acceleration pts, approx 0 secs, units=g(02),Format=(2E15.6)");
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  ASSERT_EQ(r.record.components.size(), 2u);
  expect_values(r.record.components[0], {"1", "-2"}, g);
  expect_values(r.record.components[1], {"0.3", "0.4"}, g);
  ReadOptions second;
  second.value_columns = {2};
  expect_values(read(file, second).record.components.at(0), {"0.3", "0.4"}, g);
}

TEST(CosmosRecord, CountsAgainstTheDescriptorAndAnUnknownInterval) {
  const std::string rows = "     1.000     2.000     3.000";
  EXPECT_EQ(read(cosmos_channel("Corrected acceleration", 1, {rows}, 4, 5.0, 0, cosmos_tail)).outcome, Outcome::refused);
  const auto more = read(cosmos_channel("Corrected acceleration", 1, {rows}, 2, 5.0, 0, cosmos_tail));
  EXPECT_EQ(more.outcome, Outcome::read_with_warnings);
  EXPECT_EQ(more.record.point_count(), 2u);
  const std::string unknown = cosmos_channel("Corrected acceleration", 1, {rows}, 3, -999.0, 0, cosmos_tail);
  EXPECT_EQ(read(unknown).outcome, Outcome::refused);
  ReadOptions given;
  given.time_step = 0.02;
  EXPECT_EQ(read(unknown, given).record.time_step, 0.02);
}

// Unit code 10 (cm/s2) on its own: in brackets after "units=", or only in the integer header.
TEST(CosmosRecord, UnitCodeTenAloneIsCentimetresPerSecondSquared) {
  const std::string rows = "     1.250    -2.500";
  const std::string header_code = "       2       1       4", no_code = "       2       1    -999", code_10 = "       2       1      10";
  std::string in_descriptor = cosmos_channel("Corrected acceleration", 1, {rows}, 2, 5.0, 0,
                                             " acceleration pts, approx 0 secs, units=(10),Format=(8F10.3)");
  std::string in_header = cosmos_channel("Corrected acceleration", 1, {rows}, 2, 5.0, 0,
                                         " acceleration pts, approx 0 secs, Format=(8F10.3)");
  ASSERT_NE(in_descriptor.find(header_code), std::string::npos);
  in_descriptor.replace(in_descriptor.find(header_code), header_code.size(), no_code);
  in_header.replace(in_header.find(header_code), header_code.size(), code_10);
  for (const std::string& file : {in_descriptor, in_header}) {
    const auto r = read(file);
    ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
    EXPECT_EQ(r.record.file_unit, Unit::cm_s2);
    expect_values(r.record.components[0], {"1.25", "-2.5"}, cm);
  }
}

TEST(CsmipRecord, DescriptorFoundByPatternAndGluedFixedFields) {
  const std::string file = csmip_file();
  EXPECT_EQ(motion::detect_format(file), Format::csmip);
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.time_step, 0.005);
  ASSERT_EQ(r.record.components.size(), 1u);
  expect_values(r.record.components[0], {"1.25", "-0.0001129", "-0.0001124", "0", "-3.5"}, cm);
}

// ---- ESM and K-NET ----

std::string esm_file(const std::string& ndata, const std::string& values) {
  std::string s = "EVENT_NAME: Synthetic: a name with colons\nEVENT_ID: SYN-0001\nDATA_TYPE: ACCELERATION\n"
                  "UNITS: cm/s^2\nNDATA: " + ndata + "\nSAMPLING_INTERVAL_S: 0.005000\nPGA_CM/S^2: 2.500000\nUSER1:\n";
  return s + values;
}

TEST(EsmRecord, KeysSplitAtTheFirstColonAndOneValueALine) {
  const std::string file = esm_file("4", "0.125000\n-0.000000\n-2.500000\n1.000000\n");
  EXPECT_EQ(motion::detect_format(file), Format::esm);
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.time_step, 0.005);
  expect_values(r.record.components[0], {"0.125", "-0", "-2.5", "1"}, cm);
  EXPECT_EQ(read(esm_file("5", "1\n2\n3\n4\n")).outcome, Outcome::refused);
  EXPECT_EQ(read(esm_file("3", "1\n2\n3\n4\n")).outcome, Outcome::read_with_warnings);
}

// The lines a preview marks as values: after the eight ESM keys and the seventeen K-NET header
// lines, to the last value line (1-based, inclusive).
TEST(EsmRecord, TheValueLinesAreThoseAfterTheHeaderInBothLayouts) {
  const auto esm = read(esm_file("4", "0.125000\n-0.000000\n-2.500000\n1.000000\n"));
  ASSERT_EQ(esm.record.data_lines.size(), 1u);
  EXPECT_EQ(esm.record.data_lines[0].first, 9u);
  EXPECT_EQ(esm.record.data_lines[0].last, 12u);
  const auto knet = read(knet_file("     100     -20     130      10\n      30\n"));
  ASSERT_EQ(knet.record.data_lines.size(), 1u) << problems_of(knet);
  EXPECT_EQ(knet.record.data_lines[0].first, 18u);
  EXPECT_EQ(knet.record.data_lines[0].last, 19u);
}

TEST(KnetRecord, CountsScaledToGalMinusTheRecordMean) {
  const std::string file = knet_file("     100     -20     130      10\n      30\n");
  EXPECT_EQ(motion::detect_format(file), Format::knet);
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_DOUBLE_EQ(r.record.time_step, 0.01);
  EXPECT_EQ(r.record.file_unit, Unit::cm_s2);
  // The counts' mean is 50.
  const std::vector<long double> centred{50, -70, 80, -40, -20};
  ASSERT_EQ(r.record.point_count(), centred.size());
  for (std::size_t i = 0; i < centred.size(); ++i)
    EXPECT_DOUBLE_EQ(r.record.components[0][i], static_cast<double>(centred[i] * 3920.0L / 6182761.0L * 0.01L));
}

// Every later value would be shifted in time: a record that does not hold the duration its
// header states is refused, with the line where the values stop being regular.
TEST(KnetRecord, ValuesLostOrSplitAgainstTheStatedDurationAreRefused) {
  const auto split = read(knet_file("     100     -20     130      10\n      3\n0\n"));
  ASSERT_EQ(split.outcome, Outcome::refused);
  EXPECT_NE(split.problems.back().text.find("makes 5 values, the file holds 6"), std::string::npos)
      << problems_of(split);
  EXPECT_EQ(split.problems.back().line, 19u);
  const auto lost = read(knet_file("     100     -20     130\n      30\n"));
  ASSERT_EQ(lost.outcome, Outcome::refused);
  EXPECT_NE(lost.problems.back().text.find("the file holds 4"), std::string::npos) << problems_of(lost);
}

// A value no ground motion reaches is said, with the threshold; values of no known unit cannot
// be judged and are not.
TEST(ImplausibleValues, AboveOneHundredGIsWarnedInEachFormat) {
  const auto knet = read(knet_file("     100     -20     130      10\n 1000000000000\n"));
  ASSERT_EQ(knet.outcome, Outcome::read_with_warnings);
  EXPECT_NE(problems_of(knet).find("above 100 g (980.665 m/s2)"), std::string::npos) << problems_of(knet);
  EXPECT_EQ(read(peer("NPTS= 2, DT= .01 SEC", "99.9 -99.9\n")).outcome, Outcome::read);
  const auto peer_far = read(peer("NPTS= 2, DT= .01 SEC", "0.5 -1E96\n"));
  ASSERT_EQ(peer_far.outcome, Outcome::read_with_warnings);
  EXPECT_NE(problems_of(peer_far).find("-1e+96 g at 0.01 s is above 100 g"), std::string::npos)
      << problems_of(peer_far);
  ReadOptions in_metres;
  in_metres.file_unit = Unit::m_s2;
  EXPECT_EQ(read("0 1\n0.01 981\n", in_metres).outcome, Outcome::read_with_warnings);
  EXPECT_EQ(read("0 1\n0.01 981\n").outcome, Outcome::read);
}

// Where the unit came from decides whether a record may be taken at all: values of no stated
// unit are 9.81 or 100 times off when guessed wrong.
TEST(UnitSource, FileFormatOptionsOrNone) {
  using motion::UnitSource;
  ReadOptions in_cm;
  in_cm.file_unit = Unit::cm_s2;
  EXPECT_EQ(read(peer("NPTS= 2, DT= .01 SEC", "0.5 -0.25\n")).record.unit_source, UnitSource::file);
  EXPECT_EQ(read(peer("NPTS= 2, DT= .01 SEC", "0.5 -0.25\n"), in_cm).record.unit_source, UnitSource::file);
  const auto assumed = read(peer("NPTS= 2, DT= .01 SEC", "0.5 -0.25\n", "ACCELERATION TIME HISTORY"));
  EXPECT_EQ(assumed.record.file_unit, Unit::g);
  EXPECT_EQ(assumed.record.unit_source, UnitSource::format);
  EXPECT_EQ(read(peer("NPTS= 2, DT= .01 SEC", "0.5 -0.25\n", "ACCELERATION TIME HISTORY"), in_cm).record.unit_source,
            UnitSource::options);
  EXPECT_EQ(read("0 1\n0.01 2\n").record.unit_source, UnitSource::none);
  EXPECT_EQ(read("0 1\n0.01 2\n", in_cm).record.unit_source, UnitSource::options);
  EXPECT_EQ(read("time,acc (m/s2)\n0 1\n0.01 2\n").record.unit_source, UnitSource::file);
}

// ---- Columns ----

TEST(ColumnsRecord, SemicolonsWithDecimalCommasBomCrLfCommentsAndAHeader) {
  const std::string file = "\xEF\xBB\xBFTime [s];Acceleration [g]\r\n# a comment\r\n0,00;0,5\r\n0,01;-0,25 # end\r\n\r\n0,02;1,0E-3\r\n";
  EXPECT_EQ(motion::detect_format(file), Format::columns);
  ReadOptions options;
  options.file_unit = Unit::g;
  const auto r = read(file, options);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.time_step, 0.01);
  expect_values(r.record.components[0], {"0.5", "-0.25", "1.0E-3"}, g);
  EXPECT_EQ(r.record.data_lines.at(0).first, 3u);
}

TEST(ColumnsRecord, SeparatorsAndColumnChoices) {
  // Comma CSV, three components; the time column and the components chosen.
  const std::string csv = "t,x,y,z\n0.5,1,2,3\n0.6,4,5,6\n";
  auto r = read(csv);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.start_time, 0.5);
  EXPECT_FALSE(r.record.file_unit);
  ASSERT_EQ(r.record.components.size(), 3u);
  expect_values(r.record.components[2], {"3", "6"}, "1");
  ReadOptions picked;
  picked.value_columns = {4, 2};
  r = read(csv, picked);
  ASSERT_EQ(r.record.components.size(), 2u);
  expect_values(r.record.components[0], {"3", "6"}, "1");
  // Tabs with decimal commas; blanks with one column and a given step.
  expect_values(read("0\t1,5\n0,1\t-2,5\n").record.components.at(0), {"1.5", "-2.5"}, "1");
  ReadOptions step;
  step.time_step = 0.02;
  step.first_line = 2;
  r = read("100 0.02\n  1.5\n  -2.5  \n", step);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.time_step, 0.02);
  expect_values(r.record.components[0], {"1.5", "-2.5"}, "1");
}

TEST(ColumnsRecord, RefusalsNameTheLine) {
  auto r = read("1.0\n2.0\n");
  ASSERT_EQ(r.outcome, Outcome::refused);  // one column, no step
  r = read("0 1\n0.1 2\n0.1 3\n");
  ASSERT_EQ(r.outcome, Outcome::refused);
  EXPECT_EQ(r.problems.back().line, 3u);
  r = read("0 1\n0.1 2\nEND\n");
  ASSERT_EQ(r.outcome, Outcome::refused);
  EXPECT_EQ(r.problems.back().line, 3u);
  ReadOptions missing;
  missing.value_columns = {3};
  EXPECT_EQ(read("0 1\n0.1 2\n", missing).outcome, Outcome::refused);
}

TEST(ColumnsRecord, UnevenStepsResampledLinearlyOntoTheSmallestOrTheGivenStep) {
  const std::string file = "0 0\n0.1 1\n0.3 -1\n0.35 0.5\n";
  auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read_with_warnings);
  EXPECT_NE(r.problems[0].text.find("resampled"), std::string::npos);
  EXPECT_DOUBLE_EQ(r.record.time_step, 0.05);
  const std::vector<double> expected{0, 0.5, 1, 0.5, 0, -0.5, -1, 0.5};
  ASSERT_EQ(r.record.point_count(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(r.record.components[0][i], expected[i], 1e-12) << i;
  ReadOptions given;
  given.resample_step = 0.1;
  r = read(file, given);
  EXPECT_EQ(r.record.point_count(), 4u);
  EXPECT_NEAR(r.record.components[0][2], 0.0, 1e-12);
  // Even steps written with rounding are kept as they are.
  r = read("0.01 1\n0.02 2\n0.03 3\n");
  EXPECT_EQ(r.outcome, Outcome::read);
  EXPECT_DOUBLE_EQ(r.record.time_step, 0.01);
  given.resample_step = 1e-9;
  EXPECT_EQ(read("0 0\n100 1\n", given).outcome, Outcome::refused);
}

// A few bytes must not become millions of points: a step far shorter than the others is no
// step to resample onto, and no step may give more points than the stated limit.
TEST(ColumnsRecord, ResamplingIsBoundedByTheRecordAndByALimit) {
  const std::string tiny = "time,acceleration\n0,0.000000\n0.00001,1.000000\n199.9,0.500000\n";
  auto r = read(tiny);
  ASSERT_EQ(r.outcome, Outcome::refused);
  EXPECT_NE(r.problems.back().text.find("would give 19990001 points from 3"), std::string::npos)
      << problems_of(r);
  EXPECT_NE(r.problems.back().text.find("give the resampling step"), std::string::npos);
  ReadOptions given;
  given.resample_step = 0.01;
  r = read(tiny, given);
  ASSERT_NE(r.outcome, Outcome::refused) << problems_of(r);
  EXPECT_EQ(r.record.point_count(), 19991u);
  given.resample_step = 1e-4;
  r = read(tiny, given);
  ASSERT_EQ(r.outcome, Outcome::refused);
  EXPECT_NE(r.problems.back().text.find("more than the limit of 1000000"), std::string::npos) << problems_of(r);
}

TEST(ColumnsRecord, ResamplingKeepsTheLastPointOfASpanThatIsWholeStepsOnlyInDecimals) {
  // 0.3 / 0.1 is 2.9999999999999996 in binary: the last point must not be lost to that.
  const std::string file = "0 0\n0.1 1\n0.3 -1\n";
  ReadOptions given;
  given.resample_step = 0.1;
  for (const ReadOptions& options : {ReadOptions{}, given}) {
    const auto r = read(file, options);
    ASSERT_EQ(r.record.point_count(), 4u) << problems_of(r);
    EXPECT_NEAR(r.record.components[0][2], 0.0, 1e-12);
    EXPECT_EQ(r.record.components[0][3], -1.0);
  }
}

// ---- Units and scale ----

struct UnitCase {
  Unit unit;
  const char* factor;  // m/s2 in one unit
};

class EachUnit : public testing::TestWithParam<UnitCase> {};

TEST_P(EachUnit, ConvertsWithTheExactFactor) {
  ReadOptions options;
  options.time_step = 0.01;
  options.file_unit = GetParam().unit;
  const auto r = read("1.5\n-0.123456789\n7E-3\n", options);
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  expect_values(r.record.components[0], {"1.5", "-0.123456789", "7E-3"}, GetParam().factor);
}

INSTANTIATE_TEST_SUITE_P(Reference, EachUnit,
                         testing::Values(UnitCase{Unit::g, "9.80665"}, UnitCase{Unit::m_s2, "1"},
                                         UnitCase{Unit::cm_s2, "0.01"}, UnitCase{Unit::mm_s2, "0.001"},
                                         UnitCase{Unit::in_s2, "0.0254"}, UnitCase{Unit::ft_s2, "0.3048"},
                                         UnitCase{Unit::milli_g, "0.00980665"}));

TEST(Units, NamesTargetsAndScale) {
  EXPECT_EQ(motion::unit_from_text("gal"), Unit::cm_s2);
  EXPECT_EQ(motion::unit_from_text("CM/SEC/SEC"), Unit::cm_s2);
  EXPECT_EQ(motion::unit_from_text("m/s^2"), Unit::m_s2);
  EXPECT_EQ(motion::unit_from_text("in/sec2"), Unit::in_s2);
  EXPECT_EQ(motion::unit_from_text("G"), Unit::g);
  EXPECT_FALSE(motion::unit_from_text("kN"));
  EXPECT_EQ(motion::TargetUnit(Unit::cm_s2).factor_from(Unit::g), 980.665);
  EXPECT_DOUBLE_EQ(motion::TargetUnit(Unit::in_s2).factor_from(Unit::g), 386.08858267716535);
  EXPECT_DOUBLE_EQ(motion::TargetUnit(Unit::ft_s2).factor_from(Unit::g), 32.17404855643045);
  // The model's millimetre per s2 is the named unit, exactly.
  EXPECT_EQ(motion::TargetUnit::length_per_s2(0.001, "mm/sec2").factor_from(Unit::g), 9806.65);
  EXPECT_DOUBLE_EQ(motion::TargetUnit::length_per_s2(0.5, "half-metre/s2").factor_from(Unit::m_s2), 2.0);
  EXPECT_EQ(motion::length_unit_metres("m"), 1.0);
  EXPECT_EQ(motion::length_unit_metres(" MM "), 0.001);
  EXPECT_EQ(motion::length_unit_metres("inch"), 0.0254);
  EXPECT_EQ(motion::length_unit_metres("ft."), 0.3048);
  EXPECT_FALSE(motion::length_unit_metres("kN"));

  ReadOptions options;
  options.format = Format::peer;
  options.target = Unit::cm_s2;
  options.scale = -2;
  const auto r = read(peer("NPTS= 2, DT= .01 SEC", "0.5 .25\n"), options);
  EXPECT_EQ(r.record.unit, "cm/s2");
  expect_values(r.record.components[0], {"-0.5", "-0.25"}, "1961.33");
  // A unit given for a file that states its own is not used, and that is said.
  options.file_unit = Unit::m_s2;
  EXPECT_EQ(read(peer("NPTS= 1, DT= .01 SEC", "0.5\n"), options).outcome, Outcome::read_with_warnings);
}

TEST(ExplicitFormat, AWrongChoiceIsRefusedNotGuessed) {
  ReadOptions options;
  options.format = Format::knet;
  EXPECT_EQ(read(peer("NPTS= 6, DT= .01 SEC", peer_rows), options).outcome, Outcome::refused);
  options.format = Format::cosmos;
  EXPECT_EQ(read(csmip_file(), options).outcome, Outcome::refused);
  options.format = Format::columns;
  EXPECT_EQ(read(peer("NPTS= 6, DT= .01 SEC", peer_rows), options).outcome, Outcome::refused);  // rows of unequal width
  EXPECT_EQ(motion::read_motion_file("/nonexistent/file.AT2", {}).outcome, Outcome::refused);
  EXPECT_EQ(motion::read_motion_file("/tmp", {}).outcome, Outcome::refused);
}

}  // namespace
