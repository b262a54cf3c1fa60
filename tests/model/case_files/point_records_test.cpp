// The one reader of each point layout: a loading file's section and a case file's are read by
// the same code, with what LOAD watches told to its watcher.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "model/case_files/point_records.h"

namespace {

namespace cf = model::case_files;
using model::NodeRange;

// Notes what it is told, and refuses the time point or range after `points` / `ranges`.
struct Recorder {
  std::size_t points = 1000, ranges = 1000;
  std::vector<std::string> told;
  bool stop_requested() const { return false; }
  bool time_read(std::size_t first, std::size_t n_points, std::span<const text::Target> values) {
    told.push_back("time " + std::to_string(first) + " after " + std::to_string(n_points) + " of " +
                   std::to_string(values.size()));
    return n_points < points;
  }
  bool range_read(std::size_t first, std::size_t n_ranges, std::span<const text::Target> values) {
    told.push_back("range " + std::to_string(first) + " after " + std::to_string(n_ranges) + " of " +
                   std::to_string(values.size()));
    return n_ranges < ranges;
  }
  void separator(std::size_t at) { told.push_back("separator " + std::to_string(at)); }
};

model::DiscreteLoading loading(std::vector<std::pair<float, std::vector<NodeRange>>> points) {
  model::DiscreteLoading d;
  for (auto& [time, ranges] : points) {
    d.ranges.insert(d.ranges.end(), ranges.begin(), ranges.end());
    d.end_point(time);
  }
  return d;
}

// The same time points spelt as a case file and as an old loading file spell them: the
// loading file's own end line, "end_N" lines between time points, D exponents, commas,
// a point without ranges and a last node of 0 for a range of one node.
TEST(PointRecords, ALoadingFilesSectionAndACaseFileReadAlike) {
  const std::string case_file = " 0.1\r\n 1 5 1.5 -2.\r\n 0.2\r\n 0.3\r\n 7 7 0. 0.25\r\nEND_OF_CASE2\r\n";
  const std::string loading_file = " .1E0\n 1, 5, 0.15D1, -2\nend_1\n 2.0E-01\n 3D-1\n 7 0 0 .25\nEnd_of_Loading_Data2\n";
  const model::DiscreteLoading expected =
      loading({{0.1f, {{1, 5, {1.5f, -2.0f}}}}, {0.2f, {}}, {0.3f, {{7, 7, {0.0f, 0.25f}}}}});
  for (const std::string& text : {case_file, loading_file}) {
    text::RecordSource source(text);
    model::DiscreteLoading read;
    Recorder recorder;
    const cf::DiscreteRead end = cf::read_discrete_records(source, 2, read, recorder);
    EXPECT_EQ(end.end, cf::DiscreteEnd::section_end) << text;
    EXPECT_EQ(source.record(end.record).substr(0, 6), text == case_file ? "END_OF" : "End_of");
    EXPECT_EQ(read, expected) << text;
  }
  text::RecordSource source(loading_file);
  model::DiscreteLoading read;
  Recorder recorder;
  cf::read_discrete_records(source, 2, read, recorder);
  EXPECT_EQ(recorder.told,
            (std::vector<std::string>{"time 0 after 0 of 1", "range 1 after 0 of 4", "separator 2", "time 3 after 1 of 1",
                                      "time 4 after 2 of 1", "range 5 after 0 of 4"}));
}

// A section the file cuts short keeps the ranges of its last time point; one whose end line is
// missing reads to the end of the records.
TEST(PointRecords, AShortSectionEndsAtTheEndOfItsRecords) {
  text::RecordSource source(" 0.5\n 2 3 1. 2. 3.\n");
  model::DiscreteLoading read;
  cf::Unwatched all;
  EXPECT_EQ(cf::read_discrete_records(source, 3, read, all).end, cf::DiscreteEnd::end_of_file);
  EXPECT_EQ(read, loading({{0.5f, {{2, 3, {1.f, 2.f, 3.f}}}}}));
  text::RecordSource empty("");
  model::DiscreteLoading none;
  EXPECT_EQ(cf::read_discrete_records(empty, 3, none, all).end, cf::DiscreteEnd::end_of_file);
  EXPECT_EQ(none.size(), 0u);
}

TEST(PointRecords, TheWatcherStopsTheReadingAtTheRecordItRefuses) {
  const std::string text = " 0.1\n 1 1 1.\n 2 2 2.\n 0.2\n 3 3 3.\nEND_OF_CASE1\n";
  {
    text::RecordSource source(text);
    model::DiscreteLoading read;
    Recorder two_ranges;
    two_ranges.ranges = 1;
    const cf::DiscreteRead end = cf::read_discrete_records(source, 1, read, two_ranges);
    EXPECT_EQ(end.end, cf::DiscreteEnd::refused);
    EXPECT_EQ(end.record, 2u);
  }
  text::RecordSource source(text);
  model::DiscreteLoading read;
  Recorder one_point;
  one_point.points = 1;
  const cf::DiscreteRead end = cf::read_discrete_records(source, 1, read, one_point);
  EXPECT_EQ(end.end, cf::DiscreteEnd::refused);
  EXPECT_EQ(end.record, 3u);
  EXPECT_EQ(read, loading({{0.1f, {{1, 1, {1.f}}, {2, 2, {2.f}}}}}));
}

// A record of plain constants comes with its texts; any other is read free-form; the end line
// is no point.
TEST(PointRecords, APointRecordIsTakenApartOnceOrReadFreeForm) {
  text::RecordSource source(" 0.01   1.5E-01  -2\n 0.02, .5D0, 3*0\nEND_OF_CASE1\n");
  float v[3];
  const std::vector<text::Target> targets{text::target(v[0]), text::target(v[1]), text::target(v[2])};
  cf::AccelRecord record;
  ASSERT_EQ(cf::read_point_record(source, targets, record), text::ReadStatus::ok);
  EXPECT_TRUE(record.plain);
  EXPECT_EQ(record.texts[1], "1.5E-01");
  EXPECT_EQ((std::vector<float>{v[0], v[1], v[2]}), (std::vector<float>{0.01f, 0.15f, -2.0f}));
  ASSERT_EQ(cf::read_point_record(source, targets, record), text::ReadStatus::ok);
  EXPECT_FALSE(record.plain);
  EXPECT_EQ((std::vector<float>{record.values[0], record.values[1], record.values[2]}),
            (std::vector<float>{0.02f, 0.5f, 0.0f}));
  EXPECT_EQ(cf::read_point_record(source, targets, record), text::ReadStatus::error);
  text::RecordSource none("");
  EXPECT_EQ(cf::read_point_record(none, targets, record), text::ReadStatus::end_of_file);
}

}  // namespace
