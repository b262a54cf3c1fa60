// The accelerogram file records and the ordered point table behind "ADD  >>" and "Remove".
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/editors/accel_points.h"
#include "model/case_files/accel_layout.h"
#include "model/case_files/section_records.h"
#include "text/fixed_text.h"

namespace {

constexpr model::LoadingType three = model::LoadingType::accelerogram_3_directions;
constexpr model::LoadingType one = model::LoadingType::accelerogram_1_direction;
constexpr model::AccelDirection no_direction = model::AccelDirection::none;
constexpr model::AccelDirection x = model::AccelDirection::x;
constexpr model::AccelDirection y = model::AccelDirection::y;
constexpr model::AccelDirection z = model::AccelDirection::z;

using model::AccelPoint;
using dialogs::editors::AccelAddOutcome;

std::string field(std::string_view s) { return text::padded(s, 16); }

AccelPoint point(float time, float x, float y = 0, float z = 0) {
  AccelPoint p;
  p.time = time;
  p.acceleration[0] = x;
  p.acceleration[1] = y;
  p.acceleration[2] = z;
  return p;
}

TEST(AccelRecord, ThreeDirectionsWriteTidiedTimeAndNdofComponents) {
  const AccelPoint p = point(0.1f, 1.5f, -0.75f, 2.0f);
  EXPECT_EQ(model::case_files::accel_point_record(p, three, 3, no_direction),
            " " + field("0.1") + field("1.5") + field("-0.75") + field("2."));
  EXPECT_EQ(model::case_files::accel_point_record(p, three, 2, z), " " + field("0.1") + field("1.5") + field("-0.75"));
  EXPECT_EQ(model::case_files::accel_point_record(point(12345678.0f, 0.0015f), three, 2, no_direction),
            " " + field("0.1234568E+08") + field("0.15E-02") + field("0."));
}

TEST(AccelRecord, OneDirectionWritesTheUntidiedG147TextOfItsDirection) {
  const AccelPoint p = point(0.1f, 9.0f, 2.5f, 7.0f);
  // 1 blank, the tidied time in 16 columns, the 14 characters of G14.7 and 2 blanks.
  EXPECT_EQ(model::case_files::accel_point_record(p, one, 3, y),
            " 0.1               2.500000      ");
  EXPECT_EQ(model::case_files::accel_point_record(p, one, 3, z), " " + field("0.1") + "  7.000000      ");
  EXPECT_EQ(model::case_files::accel_point_record(point(0.5f, 0, 0, -0.75f), one, 3, z),
            " " + field("0.5") + "-0.7500000      ");
  // No direction chosen: there is no component to write.
  EXPECT_EQ(model::case_files::accel_point_record(p, one, 3, no_direction), " " + field("0.1"));
}

// The case file of an accelerogram as SAVE writes it: a section in the editor's layout.
std::string accel_file(const std::vector<AccelPoint>& points, model::LoadingType type, int n_dof,
                       model::AccelDirection direction, int case_number) {
  model::Loading loading;
  loading.data = model::Accelerogram{type, direction, points, {}};
  model::GeneralData g;
  g.n_dof = n_dof;
  std::string text;
  model::case_files::append_loading(text, loading, case_number, g, model::case_files::LineForm::case_file);
  return text;
}

TEST(AccelRecord, FileEndsWithTheCaseTerminatorAndCrLf) {
  const std::vector<AccelPoint> points{point(0.1f, 1), point(0.2f, 2)};
  EXPECT_EQ(model::case_files::accel_end_record(12), "END_OF_CASE12");
  EXPECT_EQ(accel_file(points, one, 2, x, 3), " " + field("0.1") + "  1.000000      \r\n" + " " + field("0.2") +
                                                  "  2.000000      \r\nEND_OF_CASE3\r\n");
  EXPECT_EQ(accel_file({}, three, 3, no_direction, 1), "END_OF_CASE1\r\n");
}

TEST(AccelRead, ReadsBackWhatIsWrittenAndStopsAtTheTerminator) {
  const std::vector<AccelPoint> points{point(0.1f, 1.25f, -3e-5f, 7), point(0.3f, 0, 12345.67f, 0)};
  text::RecordSource source(accel_file(points, three, 3, no_direction, 4));
  std::vector<AccelPoint> table;
  EXPECT_EQ(model::case_files::read_accel_points(source, 5, three, 3, no_direction, table), 2);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0], points[0]);
  EXPECT_EQ(table[1], points[1]);
}

TEST(AccelRead, OneDirectionValueGoesToTheDirectionAndOtherComponentsStay) {
  text::RecordSource source(" 0.5  3.25\n 1.  -1.\nEND_OF_CASE1\n");
  std::vector<AccelPoint> table{point(9, 1, 2, 3)};
  EXPECT_EQ(model::case_files::read_accel_points(source, 2, one, 3, z, table), 2);
  EXPECT_EQ(table[0], point(0.5f, 1, 2, 3.25f));
  EXPECT_EQ(table[1], point(1.0f, 0, 0, -1.0f));
}

TEST(AccelRead, ReadsNoMoreThanTheCountAndNothingFromAShortRecord) {
  text::RecordSource source(" 0.1 1 2\n 0.2 3 4\n 0.3 5 6\n");
  std::vector<AccelPoint> table;
  EXPECT_EQ(model::case_files::read_accel_points(source, 2, three, 2, no_direction, table), 2);
  EXPECT_EQ(table.size(), 2u);

  text::RecordSource broken(" 0.1 1 2\n 0.2 x 4\n");
  std::vector<AccelPoint> kept{point(7, 7), point(8, 8)};
  EXPECT_EQ(model::case_files::read_accel_points(broken, 2, three, 2, no_direction, kept), 1);
  EXPECT_EQ(kept[1], point(8, 8));  // the failed record leaves its entry as it was
}

// The editor's list on a plain vector of points.
dialogs::editors::AccelAddResult add_accel_point(std::vector<AccelPoint>& points, const AccelPoint& point,
                                                 int n_components, int max_points) {
  dialogs::editors::AccelPointList list(std::move(points));
  const dialogs::editors::AccelAddResult result = list.add(point, n_components, max_points);
  points = list.to_vector();
  return result;
}

int remove_accel_point(std::vector<AccelPoint>& points, int selected) {
  dialogs::editors::AccelPointList list(std::move(points));
  const int removed = list.remove(selected);
  points = list.to_vector();
  return removed;
}

TEST(AccelPoints, AddKeepsTimesAscendingAndReplacesAtEqualTime) {
  std::vector<AccelPoint> points;
  EXPECT_EQ(add_accel_point(points, point(0.3f, 3), 3, 10).index, 1);
  EXPECT_EQ(add_accel_point(points, point(0.1f, 1), 3, 10).index, 1);
  const auto between = add_accel_point(points, point(0.2f, 2), 3, 10);
  EXPECT_EQ(between.outcome, AccelAddOutcome::inserted);
  EXPECT_EQ(between.index, 2);
  const auto again = add_accel_point(points, point(0.3f, 9, 8, 7), 2, 10);
  EXPECT_EQ(again.outcome, AccelAddOutcome::replaced);
  EXPECT_EQ(again.index, 3);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].time, 0.1f);
  EXPECT_EQ(points[1].time, 0.2f);
  EXPECT_EQ(points[2], point(0.3f, 9, 8, 0));  // only components 1..n_dof are replaced
}

TEST(AccelPoints, UnorderedPointsFromAFileAreNotReordered) {
  std::vector<AccelPoint> points{point(0.5f, 1), point(0.1f, 2), point(0.9f, 3)};
  // One point is smaller than 0.3: the new point becomes entry 2, the rest shift up.
  EXPECT_EQ(add_accel_point(points, point(0.3f, 4), 1, 10).index, 2);
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0].time, 0.5f);
  EXPECT_EQ(points[1].time, 0.3f);
  EXPECT_EQ(points[2].time, 0.1f);
}

TEST(AccelPoints, FullAccelerogramRefusesNewTimesButStillReplaces) {
  std::vector<AccelPoint> points{point(0.1f, 1), point(0.2f, 2)};
  const auto refused = add_accel_point(points, point(0.15f, 5), 3, 2);
  EXPECT_EQ(refused.outcome, AccelAddOutcome::full);
  EXPECT_EQ(points, (std::vector<AccelPoint>{point(0.1f, 1), point(0.2f, 2)}));
  EXPECT_EQ(add_accel_point(points, point(0.2f, 6), 3, 2).outcome, AccelAddOutcome::replaced);
  EXPECT_EQ(points[1], point(0.2f, 6));
  std::vector<AccelPoint> none;
  EXPECT_EQ(add_accel_point(none, point(1, 1), 3, 0).outcome, AccelAddOutcome::full);
  EXPECT_TRUE(none.empty());
}

TEST(AccelPoints, RemoveTakesTheSelectedOrTheLastPoint) {
  std::vector<AccelPoint> points{point(0.1f, 1), point(0.2f, 2), point(0.3f, 3)};
  EXPECT_EQ(remove_accel_point(points, 0), 0);
  EXPECT_EQ(remove_accel_point(points, 2), 2);
  EXPECT_EQ(points, (std::vector<AccelPoint>{point(0.1f, 1), point(0.3f, 3)}));
  EXPECT_EQ(remove_accel_point(points, 7), 2);
  EXPECT_EQ(points, (std::vector<AccelPoint>{point(0.1f, 1)}));
  EXPECT_EQ(remove_accel_point(points, 1), 1);
  EXPECT_EQ(remove_accel_point(points, 1), 0);
}

}  // namespace

namespace {

// What ADD and REMOVE do, by looking at every point: the list's O(log n) path must agree.
dialogs::editors::AccelAddResult add_by_scan(std::vector<AccelPoint>& points, const AccelPoint& p, int max_points) {
  for (std::size_t i = 0; i < points.size(); ++i)
    if (points[i].time == p.time) {
      points[i] = p;
      return {AccelAddOutcome::replaced, static_cast<int>(i) + 1};
    }
  if (static_cast<int>(points.size()) >= max_points) return {AccelAddOutcome::full, 0};
  const auto smaller = std::count_if(points.begin(), points.end(), [&](const AccelPoint& q) { return q.time < p.time; });
  points.insert(points.begin() + smaller, p);
  return {AccelAddOutcome::inserted, static_cast<int>(smaller) + 1};
}

}  // namespace

TEST(AccelPoints, ListAgreesWithAScanOfEveryPointFromOrderedAndUnorderedStarts) {
  const std::vector<std::vector<AccelPoint>> starts{
      {}, {point(0.1f, 1), point(0.2f, 2), point(0.2f, 3)}, {point(0.5f, 1), point(0.1f, 2), point(0.9f, 3)}};
  for (const auto& start : starts) {
    std::vector<AccelPoint> expected = start;
    dialogs::editors::AccelPointList list(start);
    unsigned seed = 12345;
    for (int step = 0; step < 3000; ++step) {
      seed = seed * 1103515245u + 12345u;
      const unsigned r = seed >> 8;
      if (r % 4 == 0) {
        const int selected = static_cast<int>(r / 4 % 40);
        int index = 0;
        if (selected > 0 && !expected.empty()) {
          index = std::min(selected, static_cast<int>(expected.size()));
          expected.erase(expected.begin() + (index - 1));
        }
        ASSERT_EQ(list.remove(selected), index);
      } else {
        const AccelPoint p = point(static_cast<float>(r / 4 % 50) * 0.1f, static_cast<float>(step));
        const auto want = add_by_scan(expected, p, 30);
        const auto got = list.add(p, 3, 30);
        ASSERT_EQ(got.outcome, want.outcome) << "step " << step;
        ASSERT_EQ(got.index, want.index) << "step " << step;
      }
      ASSERT_EQ(list.to_vector(), expected) << "step " << step;
    }
  }
}
