// The records of the node-range editors' scratch files, byte for byte, and their reading back.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "support/session.h"
#include "support/discrete_points.h"
#include "model/case_files/case_store.h"
#include "model/case_files/point_records.h"
#include "model/case_files/scratch_layouts.h"
#include "support/temp_dir.h"

namespace {

using model::NodeRange;
namespace layouts = model::case_files;

NodeRange range(int first, int last, std::vector<std::pair<int, float>> components) {
  NodeRange r{first, last};
  for (auto [c, v] : components) r.components[c] = v;
  return r;
}

TEST(NodeLayouts, ConditionsRecordIsSixtyEightCharactersForTwoDirections) {
  const NodeRange r = range(5, 12, {{0, 2.5f}, {1, 0.5f}, {3, 0.125f}, {4, 4.0f}});
  const std::string record = layouts::conditions_record(r, 120, 2);
  EXPECT_EQ(record,
            "  5   12  2.5           0.5             0.125         4.            ");
  EXPECT_EQ(record.size(), 68u);
}

TEST(NodeLayouts, ConditionsRecordLengthFollowsDegreesOfFreedom) {
  // 2k + 6 + 28 n_dof with k = digit_count(n_nodes).
  EXPECT_EQ(layouts::conditions_record(NodeRange{1, 2}, 9, 3).size(), 2u + 6 + 84);
  EXPECT_EQ(layouts::conditions_record(NodeRange{1, 2}, 100000, 3).size(), 12u + 6 + 84);
}

TEST(NodeLayouts, LoadingsRecordIsFiftyFourCharactersAndEndsWithoutTheTrailingTab) {
  const NodeRange r = range(5, 12, {{0, 2.5f}, {3, 0.5f}, {4, 4.0f}});
  const std::string record = layouts::loadings_record(r, 120, 2);
  EXPECT_EQ(record, "  5   12  2.5           0.5             4.            ");
  EXPECT_EQ(record.size(), 54u);
  EXPECT_EQ(layouts::loadings_record(NodeRange{}, 120, 3).size(), 6u + 16 + 48);
}

TEST(NodeLayouts, AmplitudeRecordWritesLargeValuesInExponentForm) {
  const NodeRange r = range(1, 10, {{0, 2.5f}, {1, 0.5f}, {2, -1.0e7f}});
  const std::string record = layouts::amplitude_record(r, 120, 3);
  EXPECT_EQ(record, "  1   10    2.5             0.5             -0.1E+08      ");
  EXPECT_EQ(record.size(), 58u);
}

TEST(NodeLayouts, NodeNumberWiderThanTheModelIsWrittenAsAsterisks) {
  const NodeRange r = range(5, 1200, {});
  EXPECT_EQ(layouts::amplitude_record(r, 120, 2).substr(0, 8), "  5  ***");
  EXPECT_EQ(layouts::conditions_record(r, 120, 2).substr(0, 8), "  5  ***");
  EXPECT_EQ(layouts::loadings_record(range(-100, 3, {}), 120, 2).substr(0, 8), "***    3");
}

TEST(NodeLayouts, EndRecordsInBothLanguages) {
  EXPECT_EQ(layouts::conditions_end_record(false), "End_of_Initial_Conditions");
  EXPECT_EQ(layouts::conditions_end_record(true), "Sfarsit_Conditii_Initiale");
  EXPECT_EQ(layouts::loadings_end_record(false), "End_of_Initial_Loading");
  EXPECT_EQ(layouts::loadings_end_record(true), "Sfarsit_Incarcare_Initiala");
  EXPECT_EQ(layouts::end_of_case_record(3), "END_OF_CASE3");
  EXPECT_EQ(layouts::end_of_case_record(12), "END_OF_CASE12");
}

TEST(NodeLayouts, AccelerationRecordReadsBackAsThreeReals) {
  const float a[3] = {0.25f, -9.81f, 1.0e-7f};
  text::RecordSource source(layouts::acceleration_record(a) + "\n");
  float back[3] = {1, 1, 1};
  ASSERT_EQ(text::read_free_form(source, {text::target(back[0]), text::target(back[1]),
                                          text::target(back[2])}),
            text::ReadStatus::ok);
  EXPECT_EQ(back[0], a[0]);
  EXPECT_EQ(back[1], a[1]);
  EXPECT_EQ(back[2], a[2]);
  EXPECT_EQ(source.position(), 1u);
}

TEST(NodeLayouts, EveryFixedRecordReadsBackInFreeForm) {
  const NodeRange conditions = range(3, 7, {{0, 1.5f}, {1, -2.0f}, {2, 1e-5f}, {3, 7.0f}, {4, 8.25f}, {5, 0.1f}});
  const NodeRange loadings = range(3, 7, {{0, 12.0f}, {3, 1e6f}, {4, -3.0f}, {5, 0.5f}});
  const NodeRange amplitudes = range(3, 7, {{0, 1.0f}, {1, 2.0f}, {2, -4.5f}});
  text::RecordSource source(layouts::conditions_record(conditions, 10, 3) + "\r\n" +
                            layouts::loadings_record(loadings, 10, 3) + "\r\n" +
                            layouts::amplitude_record(amplitudes, 10, 3) + "\r\n");
  NodeRange back;
  ASSERT_EQ(layouts::read_conditions_entry(source, 3, back), text::ReadStatus::ok);
  EXPECT_EQ(back, conditions);
  back = NodeRange{};
  ASSERT_EQ(layouts::read_loadings_entry(source, 3, back), text::ReadStatus::ok);
  EXPECT_EQ(back, loadings);
  back = NodeRange{};
  ASSERT_EQ(layouts::read_amplitude_entry(source, 3, back), text::ReadStatus::ok);
  EXPECT_EQ(back, amplitudes);
}

// A negative value in exponent form fills all 14 columns of its field, and in init.dat the
// fields stand side by side: written with its leading "0" it would run into the next value and
// the record could not be read back.
TEST(NodeLayouts, FieldThatWouldFillItsColumnsStillEndsInABlank) {
  const NodeRange conditions = range(1, 2, {{0, -9.950001e-7f}, {1, -1.234567e-4f}, {3, -2.5e-9f}, {4, 1.0f}});
  const NodeRange loadings = range(1, 2, {{0, -9.950001e-7f}, {3, -1.234567e-4f}, {4, 3.0f}});
  const std::string c = layouts::conditions_record(conditions, 9, 2);
  EXPECT_EQ(c, "1  2  -.9950001E-06 -.1234567E-03   -0.25E-08     1.            ");
  EXPECT_EQ(c.size(), 2u + 6 + 56);
  text::RecordSource source(c + "\n" + layouts::loadings_record(loadings, 9, 2) + "\n");
  NodeRange back;
  ASSERT_EQ(layouts::read_conditions_entry(source, 2, back), text::ReadStatus::ok);
  EXPECT_EQ(back, conditions);
  back = NodeRange{};
  ASSERT_EQ(layouts::read_loadings_entry(source, 2, back), text::ReadStatus::ok);
  EXPECT_EQ(back, loadings);
}

TEST(NodeLayouts, FailedReadLeavesTheEntryAsItWas) {
  text::RecordSource source("  4  9  1.5  End_of_Initial_Conditions\n");
  NodeRange entry = range(1, 2, {{0, 3.0f}});
  const NodeRange before = entry;
  EXPECT_EQ(layouts::read_amplitude_entry(source, 3, entry), text::ReadStatus::error);
  EXPECT_EQ(entry, before);
  text::RecordSource short_file("  4  9  1.5\n");
  EXPECT_EQ(layouts::read_amplitude_entry(short_file, 3, entry), text::ReadStatus::end_of_file);
  EXPECT_EQ(entry, before);
}

std::string tp_file(const std::vector<testing_support::TimePoint>& points, int n_dof, int case_number) {
  std::string file;
  for (const testing_support::TimePoint& p : points) {
    file += layouts::time_record(p.time) + "\r\n";
    for (const NodeRange& r : p.ranges) file += layouts::discrete_range_record(r, n_dof) + "\r\n";
  }
  return file + layouts::end_of_case_record(case_number) + "\r\n";
}

// Streamed in pieces of a megabyte, TP.dat is the file of its records: nothing lost or doubled
// where a piece ends, a component's text never running into the next, and only the first
// n_ranges ranges written, those with both node numbers set.
// A loading saved through the case store is made a block at a time: the file is its records,
// however many blocks they fill.
TEST(NodeLayouts, DiscreteLoadingSavedIsTheFileOfItsRecordsWhateverItsSize) {
  const testing_support::TempCurrentDir dir;
  std::vector<testing_support::TimePoint> points;
  for (int i = 0; i < 30000; ++i) {
    const float unique = -1.00041105e-36f * static_cast<float>(i + 1);
    points.push_back({0.013f * static_cast<float>(i + 1),
                      {range(i + 1, 100000 + i, {{0, 1.5f}, {1, unique}, {2, -2.0f}}),
                       range(3, 4, {{0, static_cast<float>(i)}}), range(5, 6, {{2, 0.25f}})}});
  }
  const std::string expected = tp_file(points, 3, 7);
  ASSERT_GT(expected.size(), 2 * layouts::AtomicFile::buffer_size);
  model::Loading loading;
  loading.data = testing_support::discrete_loading(points);
  testing_support::Session s;
  s.general().n_nodes = 200000;
  s.general().n_dof = 3;
  layouts::CaseStore& cases = s.cases;
  layouts::FileFailure failure;
  ASSERT_TRUE(cases.save_loading(s, 7, model::LoadingKind::discrete, loading, failure)) << failure.reason;
  EXPECT_TRUE(testing_support::read_file("7TP.dat") == expected);
}

TEST(NodeLayouts, DiscreteLoadingReadsTimesWithTheirRangesAndStepsBackOverTheNextTime) {
  const std::vector<testing_support::TimePoint> written = {
      {0.1f, {range(1, 5, {{0, 1.0f}, {1, 2.0f}})}},
      {0.2f, {}},
      {0.3f, {range(1, 5, {{0, -1.0f}}), range(6, 8, {{1, 1e-3f}})}},
  };
  text::RecordSource source(tp_file(written, 2, 2));
  EXPECT_EQ(layouts::read_discrete_loading(source, 2), testing_support::discrete_loading(written));
}

TEST(NodeLayouts, DiscreteLoadingFileWithSixRecordsForTwoTimePoints) {
  const std::vector<testing_support::TimePoint> written = {
      {0.1f, {range(1, 5, {})}},
      {0.2f, {range(1, 5, {}), range(6, 8, {})}},
  };
  const std::string file = tp_file(written, 3, 2);
  text::RecordSource source(file);
  EXPECT_EQ(source.size(), 6u);
  EXPECT_EQ(source.record(5), "END_OF_CASE2");
}

TEST(NodeLayouts, DiscreteLoadingReadingPassesOverTheEndLinesBetweenTimePoints) {
  // Older loading files carry "end_<n>" between time points; a TP.dat made from one must read
  // as the loading file reader reads the section, not end at the first such line.
  text::RecordSource source(" 0.1\n 1 5 1. 2. 3.\nend_1\n 0.2\n 6 8 4. 5. 6.\nend_2\nEND_OF_CASE1\n");
  const std::vector<testing_support::TimePoint> table = testing_support::time_points(layouts::read_discrete_loading(source, 3));
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].ranges.size(), 1u);
  EXPECT_EQ(table[1].time, 0.2f);
  EXPECT_EQ(table[1].ranges, (std::vector<NodeRange>{range(6, 8, {{0, 4.f}, {1, 5.f}, {2, 6.f}})}));
  EXPECT_FALSE(layouts::time_point_separator("end_"));
  EXPECT_FALSE(layouts::time_point_separator("end_1x"));
  EXPECT_TRUE(layouts::time_point_separator("end_12   "));
}

TEST(NodeLayouts, WriteRecordsEndsEveryLineWithCarriageReturnAndLineFeed) {
  testing_support::TempCurrentDir dir;
  std::string reason;
  ASSERT_TRUE(layouts::write_records("3TP.dat", {" 0.5", "END_OF_CASE3"}, reason)) << reason;
  EXPECT_EQ(testing_support::read_file("3TP.dat"), " 0.5\r\nEND_OF_CASE3\r\n");
  EXPECT_FALSE(std::filesystem::exists("3TP.dat.part"));
}

TEST(NodeLayouts, FailedWriteKeepsTheOldFileAndSaysWhy) {
  testing_support::TempCurrentDir dir;
  std::string reason;
  EXPECT_FALSE(layouts::write_records("no-such-folder/1init.dat", {"x"}, reason));
  EXPECT_FALSE(reason.empty());
  testing_support::write_file("1init.dat", "old\r\n");
  {
    // Writes beyond 4 KB fail (EFBIG), as on a full disk; also for root.
    const testing_support::FileSizeLimit limit(4096);
    EXPECT_FALSE(layouts::write_records("1init.dat", {std::string(8192, 'x')}, reason));
  }
  EXPECT_EQ(testing_support::read_file("1init.dat"), "old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "no temporary left";
}

}  // namespace

TEST(NodeLayouts, LongestDiscreteRecordsAreWholeAndAppendToWhatIsThere) {
  NodeRange widest{INT_MIN, INT_MIN};
  for (float& c : widest.components) c = -1.00041105e-36f;  // nine digits, a two-digit exponent
  std::string file = "x";
  layouts::append_discrete_range_record(file, widest, 3);
  layouts::append_time_record(file, -1.00001575e-32f);
  const std::string tiny = " -0.100041105E-35";
  EXPECT_EQ(file, "x -2147483648 -2147483648" + tiny + tiny + tiny + " -0.100001575E-31");
  EXPECT_EQ(file.size() - 1, layouts::discrete_range_record_max + layouts::time_record_max);
  EXPECT_EQ(layouts::discrete_range_record(NodeRange{1, 5, {0.5f, 1, 2e9f}}, 2), " 1 5 0.5 1.");
}
