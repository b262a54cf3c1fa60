// Layouts met in records from public databases that a reader of the documented layouts gets
// wrong: older unit spellings, channels of unequal length, raw and uncorrected data, units in a
// header row or in words, and the volumes of a family that hold no time history. Every file here
// is synthetic and only shows the layout.
#include <gtest/gtest.h>

#include "motion/samples.h"
#include "support/temp_dir.h"

namespace {

using namespace motion;
using namespace motion_samples;

std::size_t warnings_of(const ReadResult& r) {
  std::size_t n = 0;
  for (const Problem& p : r.problems) n += p.severity == Severity::warning;
  return n;
}

bool says(const ReadResult& r, const std::string& part) { return problems_of(r).find(part) != std::string::npos; }

// An older CSMIP channel: the unit only in brackets after the step, or only in the text header.
std::string old_csmip(const std::string& descriptor_unit, const std::string& peak_unit = "") {
  std::string s = "CORRECTED ACCELEROGRAM DATA (SYNTHETIC)\r\n";
  s += peak_unit.empty() ? "NO PEAK LINE\r\n" : "PEAK ACCELERATION = 171.589 " + peak_unit + " AT 3.640 SEC\r\n";
  s += "   50013000\r\n    0.4776013-999.00000\r\n";
  s += "     4 POINTS OF ACCEL DATA EQUALLY SPACED AT  .020 SEC.  " + descriptor_unit + "\r\n";
  s += "   1.250  -2.500  10.000   0.000\r\n";
  s += "     4 POINTS OF VELOC DATA EQUALLY SPACED AT  .020 SEC.  (UNITS: CM/SEC)\r\n";
  s += "   9.000   9.000   9.000   9.000\r\n";
  return s;
}

class OldCsmipUnit : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(OldCsmipUnit, TheBracketedUnitConvertsTheValues) {
  const auto [spelling, factor] = GetParam();
  const auto r = read(old_csmip(std::string("(UNITS: ") + spelling + ")"));
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  EXPECT_EQ(r.record.format, Format::csmip);
  EXPECT_DOUBLE_EQ(r.record.time_step, 0.02);
  expect_values(r.record.components.at(0), {"1.25", "-2.5", "10", "0"}, factor);
}

INSTANTIATE_TEST_SUITE_P(Spellings, OldCsmipUnit,
                         testing::Values(std::pair{"CM/SEC/SEC", "0.01"}, std::pair{"CM/SEC**2", "0.01"},
                                         std::pair{"CM/SEC2", "0.01"}, std::pair{"CM/S/S", "0.01"},
                                         std::pair{"G", "9.80665"}, std::pair{"MG", "0.00980665"}));

TEST(OldCsmipUnit, TheHeaderPeakGivesTheUnitAndNoUnitAtAllIsSaid) {
  auto r = read(old_csmip("", "CM/SEC/SEC"));
  ASSERT_EQ(r.outcome, Outcome::read) << problems_of(r);
  expect_values(r.record.components.at(0), {"1.25", "-2.5", "10", "0"}, "0.01");
  r = read(old_csmip(""));
  ASSERT_EQ(r.outcome, Outcome::read_with_warnings);
  EXPECT_TRUE(says(r, "no unit of acceleration found")) << problems_of(r);
  EXPECT_FALSE(r.record.file_unit.has_value());
}

std::string csmip_channel(int count, const std::string& rows) {
  return "Corrected accelerogram (synthetic)\n    5000130000000100001\n"
         "     " + std::to_string(count) + " points of accel data equally spaced at 0.005 sec, in cm/sec2. (8f10.6)\n" +
         rows + "/&  ----------  End of data for channel  ----------\n";
}

TEST(UnequalChannels, ShorterOnesArePaddedWithZerosAfterTheirEndWithOneWarning) {
  const std::string file = csmip_channel(3, " 1.0000000 2.0000000 3.0000000\n") +
                           csmip_channel(2, " 4.0000000 5.0000000\n") +
                           csmip_channel(3, " 6.0000000 7.0000000 8.0000000\n");
  const auto r = read(file);
  ASSERT_EQ(r.outcome, Outcome::read_with_warnings) << problems_of(r);
  ASSERT_EQ(r.record.components.size(), 3u);
  expect_values(r.record.components[0], {"1", "2", "3"}, "0.01");
  expect_values(r.record.components[1], {"4", "5", "0"}, "0.01");
  expect_values(r.record.components[2], {"6", "7", "8"}, "0.01");
  EXPECT_EQ(warnings_of(r), 1u) << problems_of(r);
  EXPECT_TRUE(says(r, "(3, 2, 3 points)")) << problems_of(r);
}

const std::string cosmos_rows = "  1.000000E+00 -2.000000E+00";
const std::string cosmos_tail = " acceleration pts, units=cm/sec2(04),Format=(2E15.6)";

TEST(CosmosStage, RawCountsAreRefusedWhereverTheFileSaysSo) {
  const std::string counts_tail = " acceleration pts, units=counts (50),Format=(2E15.6)";
  for (const std::string& file : {cosmos_channel("Raw acceleration counts", 1, {cosmos_rows}, 2, 10, 0, counts_tail, 0),
                                  cosmos_channel("Corrected acceleration", 1, {cosmos_rows}, 2, 10, 0, counts_tail),
                                  cosmos_channel("Acceleration", 1, {cosmos_rows}, 2, 10, 0, cosmos_tail, 0)}) {
    const auto r = read(file);
    EXPECT_EQ(r.outcome, Outcome::refused);
    EXPECT_TRUE(says(r, "raw counts, not an acceleration")) << problems_of(r);
  }
}

TEST(CosmosStage, UncorrectedDataIsReadWithOneWarningForAllItsChannels) {
  for (const auto& [type, stage] : {std::pair{"Uncorrected acceleration", 2}, std::pair{"Acceleration", 1}}) {
    const std::string channel = cosmos_channel(type, 1, {cosmos_rows}, 2, 10, 0, cosmos_tail, stage);
    const auto r = read(channel + channel);
    ASSERT_EQ(r.outcome, Outcome::read_with_warnings) << type;
    EXPECT_EQ(r.record.components.size(), 2u);
    expect_values(r.record.components[1], {"1", "-2"}, "0.01");
    EXPECT_EQ(warnings_of(r), 1u) << problems_of(r);
    EXPECT_TRUE(says(r, "uncorrected acceleration")) << problems_of(r);
  }
}

struct HeaderRow {
  const char* file;
  std::optional<Unit> unit;
};

class ColumnHeaderUnit : public testing::TestWithParam<HeaderRow> {};

TEST_P(ColumnHeaderUnit, TheHeaderRowNamesTheUnitOfTheValues) {
  ReadOptions options;
  options.time_step = 0.01;
  options.time_column = 0;
  const std::string file = GetParam().file;
  const auto r = read(file, file.starts_with("acc") || file.starts_with("cm") ? options : ReadOptions{});
  ASSERT_NE(r.outcome, Outcome::refused) << problems_of(r);
  EXPECT_EQ(r.record.file_unit, GetParam().unit) << file;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ColumnHeaderUnit,
    testing::Values(HeaderRow{"Time[s] Accel[g]\n0 1\n0.01 2\n", Unit::g},
                    HeaderRow{"t (s), a (m/s2)\n0, 1\n0.01, 2\n", Unit::m_s2},
                    HeaderRow{"acc [cm/s^2]\n1\n2\n", Unit::cm_s2},
                    HeaderRow{"acc (m/s2)\n1\n2\n", Unit::m_s2},
                    HeaderRow{"cm/s^2\n1\n2\n", Unit::cm_s2},
                    HeaderRow{"Time [s];Acceleration (g)\n0;1,5\n0,01;2\n", Unit::g},
                    HeaderRow{"# Time[s] Accel[g]\n0 1\n0.01 2\n", Unit::g},
                    HeaderRow{"time,a1,a2\n0,1,2\n0.01,3,4\n", std::nullopt},
                    // A word of a title is no unit, though "G" spells one.
                    HeaderRow{"Station G north\n0 1\n0.01 2\n", std::nullopt}));

TEST(ColumnHeaderUnit, DifferentUnitsForTheValueColumnsAreNotGuessed) {
  const auto r = read("t[s],a1[g],a2[cm/s2]\n0,1,2\n0.01,3,4\n");
  EXPECT_EQ(r.outcome, Outcome::read_with_warnings);
  EXPECT_FALSE(r.record.file_unit.has_value());
  EXPECT_TRUE(says(r, "different units")) << problems_of(r);
}

TEST(PeerUnitWords, UnitsInWordsOnTheQuantityLineAreRead) {
  for (const char* quantity : {"Acceleration in g", "The units are (g)", "ACCELERATION, UNITS: G"}) {
    const auto r = read(peer("NPTS= 6, DT= .01 SEC", peer_rows, quantity));
    EXPECT_EQ(r.outcome, Outcome::read) << quantity << ": " << problems_of(r);
    EXPECT_EQ(r.record.file_unit, Unit::g) << quantity;
  }
  const auto r = read(peer("NPTS= 6, DT= .01 SEC", peer_rows, "Acceleration in cm/s2"));
  EXPECT_EQ(r.record.file_unit, Unit::cm_s2);
}

TEST(CsmipVolumes, UncorrectedVolumeIsReadWithAWarningAndSpectraAreRefused) {
  const std::string v1 = "Uncorrected accelerogram (synthetic)\n    5000130000000100001\n"
                         "     2 points of uncorrected accel data equally spaced at 0.005 sec, in cm/sec2. (8f10.6)\n"
                         " 1.0000000-2.0000000\n";
  auto r = read(v1);
  ASSERT_EQ(r.outcome, Outcome::read_with_warnings) << problems_of(r);
  EXPECT_EQ(r.record.format, Format::csmip);
  EXPECT_TRUE(says(r, "uncorrected acceleration")) << problems_of(r);
  // Numbers only after the header: without the volume's name they would pass for columns.
  const std::string v1_unknown = "Uncorrected accelerogram (synthetic)\n 13200 0 0\n 0 1 2\n";
  r = read(v1_unknown);
  EXPECT_EQ(r.outcome, Outcome::refused);
  EXPECT_TRUE(says(r, "CSMIP Vol. 1 file (.V1)")) << problems_of(r);
  const std::string v3 = "Response and Fourier amplitude spectra (synthetic)\n 13200 0 0\n 0 1 2\n";
  r = read(v3);
  EXPECT_EQ(r.outcome, Outcome::refused);
  EXPECT_TRUE(says(r, "holds response spectra, not a time history")) << problems_of(r);
}

TEST(CsmipVolumes, TheNameTellsTheVolumeWhereTheContentDoesNot) {
  testing_support::TempCurrentDir dir;
  const std::string numbers = "Synthetic header\n 13200 0 0\n 0 1 2\n";
  for (const char* name : {"record.V3", "record.v3", "record.V1"}) {
    testing_support::write_file(name, numbers);
    const auto r = read_motion_file(name, {});
    EXPECT_EQ(r.outcome, Outcome::refused) << name;
    EXPECT_TRUE(says(r, "CSMIP Vol.")) << name << ": " << problems_of(r);
  }
  testing_support::write_file("record.txt", "0 1\n0.01 2\n");
  EXPECT_EQ(read_motion_file("record.txt", {}).record.format, Format::columns);
}

}  // namespace
