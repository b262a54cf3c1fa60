// A section opened by an editor holds what reading its case file back gives: the typed opening
// is checked against the case file made and read by the case file's own readers, over numbers
// whose G14.7 texts round, ties, signs, extremes and both layouts of made sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/case_files/accel_layout.h"
#include "model/case_files/opened_sections.h"
#include "model/case_files/scratch_layouts.h"
#include "model/case_files/section_records.h"

namespace {

namespace cf = model::case_files;
using model::NodeRange;

// A section style of the layout alone; made member by member, which spares GCC's false warning
// on a brace-made copy of the style's empty line store.
model::SectionStyle styled(model::SectionLayout layout) {
  model::SectionStyle style;
  style.layout = layout;
  return style;
}

// Numbers whose texts do not read back as themselves: eight significant digits, halves of the
// seventh, the float spacing wider than the decimal one (near 2^33), extremes and zeros.
std::vector<float> awkward_values() {
  std::vector<float> v = {0.0f,        -0.0f,         0.123456789f, -0.98765432f, 1.00000005f,   8.5899346e9f,
                          8.5899351e9f, 9.9999999e-5f, 1.0e-38f,     3.0e38f,      -1.17549435e-38f, 123456.75f,
                          0.15f,        2.5e-7f,       -7.0000005f,  1e10f};
  std::mt19937 random(34);
  std::uniform_int_distribution<std::uint32_t> bits(0, 0xFFFFFFFFu);
  while (v.size() < 400) {
    const std::uint32_t b = bits(random);
    float f;
    std::memcpy(&f, &b, sizeof f);
    if (std::isfinite(f)) v.push_back(f);
  }
  return v;
}

model::GeneralData model_of(int n_nodes, int n_dof) {
  model::GeneralData g;
  g.n_nodes = n_nodes;
  g.n_dof = n_dof;
  return g;
}

std::vector<NodeRange> ranges_of(const std::vector<float>& values) {
  std::vector<NodeRange> ranges;
  for (std::size_t i = 0; i + 6 <= values.size(); i += 6) {
    NodeRange r{static_cast<int>(i / 6 + 1), static_cast<int>(i / 6 + 2)};
    for (int c = 0; c < 6; ++c) r.components[c] = values[i + static_cast<std::size_t>(c)];
    ranges.push_back(r);
  }
  return ranges;
}

using EntryRead = text::ReadStatus (*)(text::RecordSource&, int, NodeRange&);

std::vector<NodeRange> read_all(const std::string& file, int n_dof, EntryRead read) {
  text::RecordSource source(file);
  std::vector<NodeRange> ranges;
  NodeRange range;
  while (read(source, n_dof, range) == text::ReadStatus::ok) ranges.push_back(range);
  return ranges;
}

const model::SectionLayout made_layouts[] = {model::SectionLayout::editor, model::SectionLayout::loaded};

TEST(OpenedSections, RangeSectionsHoldWhatTheirCaseFilesReadBackAs) {
  const std::vector<NodeRange> ranges = ranges_of(awkward_values());
  for (const int n_dof : {2, 3})
    for (const model::SectionLayout layout : made_layouts) {
      const model::GeneralData g = model_of(500, n_dof);
      model::InitialConditions conditions;
      conditions.style.layout = layout;
      conditions.ranges = ranges;
      std::string file;
      cf::append_initial_conditions(file, conditions, g, cf::LineForm::case_file);
      EXPECT_EQ(cf::opened_conditions(conditions, g), read_all(file, n_dof, cf::read_conditions_entry));

      model::RangeSection loadings{styled(layout), ranges};
      file.clear();
      cf::append_initial_loadings(file, loadings, g, cf::LineForm::case_file);
      EXPECT_EQ(cf::opened_initial_loadings(loadings, g), read_all(file, n_dof, cf::read_loadings_entry));

      const model::Loading amplitudes{styled(layout), model::AmplitudeLoading{model::LoadingType::sinusoidal, ranges}};
      file.clear();
      cf::append_loading(file, amplitudes, 4, g, cf::LineForm::case_file);
      const std::vector<NodeRange> opened = cf::opened_amplitudes(amplitudes, g);
      EXPECT_EQ(opened, read_all(file, n_dof, cf::read_amplitude_entry));
      // Not every value reads back as itself, or this would prove nothing.
      EXPECT_NE(opened, ranges);
    }
}

TEST(OpenedSections, ADiscreteLoadingHoldsWhatItsCaseFileReadsBackAs) {
  const std::vector<float> values = awkward_values();
  model::DiscreteLoading points;
  for (std::size_t i = 0; i + 7 <= values.size(); i += 7) {
    for (int r = 0; r < static_cast<int>(i % 3); ++r)
      points.ranges.push_back(NodeRange{r + 1, r + 2, {values[i + 1], values[i + 2 + r], values[i + 5]}});
    points.end_point(values[i]);
  }
  for (const model::SectionLayout layout : made_layouts) {
    const model::GeneralData g = model_of(10, 3);
    const model::Loading loading{styled(layout), points};
    std::string file;
    cf::append_loading(file, loading, 2, g, cf::LineForm::case_file);
    text::RecordSource source(file);
    const model::DiscreteLoading opened = cf::opened_discrete(loading, g);
    EXPECT_EQ(opened, cf::read_discrete_loading(source, 3));
    EXPECT_EQ(opened.size(), points.size());
  }
}

// Each point layout (three directions, one direction saved in one and opened in another, none
// chosen), made by the editor or loaded, opened into a table that already holds points.
TEST(OpenedSections, AccelerogramPointsHoldWhatTheirCaseFileReadsBackAs) {
  using model::AccelDirection;
  using model::LoadingType;
  const std::vector<float> values = awkward_values();
  std::vector<model::AccelPoint> points;
  for (std::size_t i = 0; i + 4 <= values.size(); i += 4)
    points.push_back({values[i], {values[i + 1], values[i + 2], values[i + 3]}});
  const std::vector<model::AccelPoint> held(points.size() + 3, model::AccelPoint{7.0f, {1.0f, 2.0f, 3.0f}});
  struct Layout {
    LoadingType saved, opened;
    AccelDirection saved_direction, opened_direction;
  };
  const Layout layouts[] = {
      {LoadingType::accelerogram_3_directions, LoadingType::accelerogram_3_directions, AccelDirection::none,
       AccelDirection::none},
      {LoadingType::accelerogram_1_direction, LoadingType::accelerogram_1_direction, AccelDirection::y,
       AccelDirection::z},
      {LoadingType::accelerogram_1_direction, LoadingType::accelerogram_1_direction, AccelDirection::none,
       AccelDirection::x},
      {LoadingType::accelerogram_3_directions, LoadingType::accelerogram_1_direction, AccelDirection::none,
       AccelDirection::y},
      {LoadingType::accelerogram_1_direction, LoadingType::accelerogram_3_directions, AccelDirection::x,
       AccelDirection::none},
  };
  for (const int n_dof : {2, 3})
    for (const Layout& l : layouts)
      for (const model::SectionLayout layout : made_layouts) {
        const model::GeneralData g = model_of(10, n_dof);
        const model::Loading loading{styled(layout), model::Accelerogram{l.saved, l.saved_direction, points, {}}};
        std::string file;
        cf::append_loading(file, loading, 3, g, cf::LineForm::case_file);
        text::RecordSource source(file);
        std::vector<model::AccelPoint> read = held, opened = held;
        const int n = cf::read_accel_points(source, 1 << 20, l.opened, n_dof, l.opened_direction, read);
        EXPECT_EQ(cf::open_points(loading, l.opened, g, l.opened_direction, 1 << 20, opened), n);
        EXPECT_EQ(opened, read);
        // At most the points asked for.
        std::vector<model::AccelPoint> two;
        EXPECT_EQ(cf::open_points(loading, l.opened, g, l.opened_direction, 2, two), std::min(n, 2));
      }
}

// A loaded point keeps the file's spelling where it is the value's G14.7 text: it opens as
// that text reads.
TEST(OpenedSections, ALoadedPointCopiedAsTheFileSpeltItOpensAsItsTextReads) {
  const std::string file = " 0.1000000   1.234568\r\n";
  model::Accelerogram a{model::LoadingType::accelerogram_1_direction, model::AccelDirection::x,
                        {{0.1f, {1.234568f, 0, 0}}}, {}};
  std::shared_ptr<char[]> text(new char[file.size()]);
  std::memcpy(text.get(), file.data(), file.size());
  a.texts = model::LoadedTexts(std::move(text), file.size());
  a.texts.add(0, 1, true, true);
  const model::Loading loading{styled(model::SectionLayout::loaded), a};
  std::vector<model::AccelPoint> opened;
  ASSERT_EQ(cf::open_points(loading, a.type, model_of(4, 3), model::AccelDirection::x, 10, opened), 1);
  EXPECT_EQ(opened[0].time, 0.1f);
  EXPECT_EQ(opened[0].acceleration[0], 1.234568f);
}

// Lines kept from a stopped run are all a verbatim section has: they are read, odd spellings
// and all, and a section cut short ends where its lines do.
TEST(OpenedSections, VerbatimSectionsAreReadFromTheirLines) {
  const model::GeneralData g = model_of(20, 2);
  const model::SectionStyle kept{model::SectionLayout::verbatim, false,
                                 model::KeptLines(" 5E-1\r\n 1 3 .25D1 -1.\r\nend_1\r\n 1.\r\n 4 4 2*0.5\r\n")};
  const model::DiscreteLoading d = cf::opened_discrete({kept, model::DiscreteLoading{}}, g);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d.times[0], 0.5f);
  EXPECT_EQ(d.ranges_of(0)[0], (NodeRange{1, 3, {2.5f, -1.0f}}));
  EXPECT_EQ(d.ranges_of(1)[0], (NodeRange{4, 4, {0.5f, 0.5f}}));

  const model::SectionStyle amplitudes{model::SectionLayout::verbatim, false,
                                       model::KeptLines("  1   2    1.5           -2.\r\n  3   ")};
  EXPECT_EQ(cf::opened_amplitudes({amplitudes, model::AmplitudeLoading{}}, g),
            (std::vector<NodeRange>{{1, 2, {1.5f, -2.0f}}}));
  EXPECT_TRUE(cf::opened_conditions(model::InitialConditions{{{model::SectionLayout::verbatim}, {}}}, g).empty());
}

}  // namespace
