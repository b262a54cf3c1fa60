// A loaded accelerogram keeps where its point records stand in the file, not their texts:
// the walk over those records, and the records the writer makes from them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/case_files/section_records.h"
#include "model/loaded_texts.h"
#include "text/format.h"

namespace {

using model::LoadedTexts;

// A file's text and the index of its point records, built as the reader builds it: each point
// is the records of one entry, taken whole by a plain point and by an odd one.
struct IndexedFile {
  struct Point {
    std::string records;  // the point's records, each ended by its line end
    bool plain = true;
  };

  explicit IndexedFile(const std::vector<Point>& points, const std::string& before = "head\n",
                       const std::string& after = "END_OF_CASE1") {
    std::string text = before;
    std::vector<std::size_t> starts;
    for (const Point& p : points) {
      starts.push_back(text.size());
      text += p.records;
    }
    text += after;
    auto shared = std::shared_ptr<char[]>(new char[text.size()]);
    std::memcpy(shared.get(), text.data(), text.size());
    texts = LoadedTexts(shared, text.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const std::string& r = points[i].records;
      std::size_t records = r.empty() || r.back() == '\n' ? 0 : 1;  // a last record without its line feed
      for (const char c : r) records += c == '\n' ? 1 : 0;
      texts.add(starts[i], records, points[i].plain, false);
    }
  }

  LoadedTexts texts;
};

std::string record_or_none(LoadedTexts::Walk& walk, std::size_t point) {
  const std::optional<std::string_view> r = walk.plain_record(point);
  return r ? std::string(*r) : "<none>";
}

// Past the marks of every 64th point, with points of two records (a blank one before), of a
// record read free-form, CR LF ends and a last record without its line feed: each point's own
// record, asked in order, backwards and by jumps across marks.
TEST(LoadedTexts, WalkFindsEachPointsRecordInAnyOrder) {
  std::vector<IndexedFile::Point> points;
  std::vector<std::string> expected;
  for (int i = 0; i < 200; ++i) {
    const std::string values = std::to_string(i) + ".   0.5";
    if (i % 37 == 5 || i == 128) {
      points.push_back({"\n" + values + "\n", false});
      expected.push_back("<none>");
    } else if (i % 53 == 7) {
      points.push_back({values + ", 2*0.\r\n", false});
      expected.push_back("<none>");
    } else {
      points.push_back({values + (i % 2 ? "\r\n" : "\n")});
      expected.push_back(values);
    }
  }
  points.push_back({"last.   0.25"});
  expected.push_back("last.   0.25");
  const IndexedFile file(points, "head\r\n", "");
  ASSERT_EQ(file.texts.size(), expected.size());

  LoadedTexts::Walk in_order(file.texts);
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(record_or_none(in_order, i), expected[i]) << i;
  EXPECT_EQ(record_or_none(in_order, expected.size()), "<none>");

  LoadedTexts::Walk backwards(file.texts);
  for (std::size_t i = expected.size(); i-- > 0;) EXPECT_EQ(record_or_none(backwards, i), expected[i]) << i;

  LoadedTexts::Walk jumps(file.texts);
  for (const std::size_t i : {150u, 3u, 64u, 63u, 128u, 200u, 0u, 129u, 5u, 7u, 6u})
    EXPECT_EQ(record_or_none(jumps, i), expected[i]) << i;
}

TEST(LoadedTexts, NoneKeptWalksToNoRecord) {
  const LoadedTexts none;
  EXPECT_FALSE(none);
  LoadedTexts::Walk walk(none);
  EXPECT_EQ(walk.plain_record(0), std::nullopt);
}

// The loaded layout's point records, written as a case file: the texts three blanks apart.
std::vector<std::string> written_points(const IndexedFile& file, std::vector<model::AccelPoint> points,
                                        model::LoadingType type = model::LoadingType::accelerogram_3_directions) {
  model::Loading loading;
  loading.style.layout = model::SectionLayout::loaded;
  loading.data = model::Accelerogram{type, model::AccelDirection::x, std::move(points), file.texts};
  model::GeneralData g;
  g.n_dof = 3;
  std::string out;
  model::case_files::append_loading(out, loading, 1, g, model::case_files::LineForm::loading_file);
  std::vector<std::string> records;
  for (std::size_t start = 0, end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2)
    records.push_back(out.substr(start, end - start));
  return records;
}

// A constant already spelt as its value's G14.7 text is copied; another spelling of the same
// value (a leading zero, the exponent form, zeros after the digits) and a value read free-form
// are written as G14.7 writes them; the blanks and tabs between and after them are not the file's.
TEST(LoadedAccelerogramRecords, CopyWhatIsTheG14_7TextAndMakeTheRest) {
  const auto g = [](float v) { return text::g14_7_text(v); };
  ASSERT_EQ(g(0.5f), "0.5");
  ASSERT_EQ(g(2.25e-5f), "0.225E-04");
  const IndexedFile file({{"0.1   0.5   -1.5   0.225E-04\n"},
                          {"  0.2\t0.5  -1.5   0.225E-04   \r\n"},
                          {"0.3   00.5   0.5E+00   0.2250E-04\n"},
                          {"0.4   2*0.5   1.\n", false},
                          {"0.50   0.5000000   5.E-01   1.\n"}});
  const std::vector<std::string> records = written_points(
      file, {{0.1f, {0.5f, -1.5f, 2.25e-5f}}, {0.2f, {0.5f, -1.5f, 2.25e-5f}}, {0.3f, {0.5f, 0.5f, 2.25e-5f}},
             {0.4f, {0.5f, 0.5f, 1.f}}, {0.5f, {0.5f, 0.5f, 1.f}}});
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0], "0.1   0.5   -1.5   0.225E-04");
  EXPECT_EQ(records[1], "0.2   0.5   -1.5   0.225E-04");
  EXPECT_EQ(records[2], "0.3   0.5   0.5   0.225E-04");
  EXPECT_EQ(records[3], "0.4   0.5   0.5   1.");
  EXPECT_EQ(records[4], "0.5   0.5   0.5   1.");
  EXPECT_EQ(records[5], "END_OF_CASE1");
}

// A file's constant that is not the G14.7 text of its float (more digits than a float keeps, or
// digits the float does not round back to) is made anew; so is every value of a point whose
// record the file does not hold.
TEST(LoadedAccelerogramRecords, TextsNotTheValuesOwnAreMadeAnew) {
  const auto g = [](float v) { return text::g14_7_text(v); };
  const IndexedFile file({{"0.1   0.123456789\n"}, {"0.2   16777217.\n"}, {"0.3   0.7\n"}});
  const std::vector<std::string> records = written_points(
      file, {{0.1f, {0.123456789f, 0, 0}}, {0.2f, {16777217.f, 0, 0}}, {0.3f, {0.7f, 0, 0}}, {0.4f, {-2.f, 0, 0}}},
      model::LoadingType::accelerogram_1_direction);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0], "0.1   " + g(0.123456789f));
  EXPECT_EQ(records[1], "0.2   " + g(16777217.f));
  EXPECT_EQ(records[2], "0.3   0.7");
  EXPECT_EQ(records[3], "0.4   -2.");
}

}  // namespace
