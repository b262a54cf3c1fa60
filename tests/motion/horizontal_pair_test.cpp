// Which components are horizontal: the names each format gives its channels, the pair chosen
// from them, and a real three-channel record whose second channel is the vertical one.
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "motion/reader.h"
#include "motion/spectrum.h"
#include "motion/spectrum_report.h"
#include "motion/samples.h"

namespace {

using motion::Axis;
using motion::Orientation;
using namespace motion_samples;

TEST(Orientation, NamesOfDirectionsAsTheFormatsWriteThem) {
  for (const char* name : {"Up", "UP", "-UP", "Down", "DWN", "UD", "U-D", "UD1", "UD2", "V", "Vertical", "HNZ", "HGZ",
                           "BHZ", "Z", "acc_z", "az", "Vert"})
    EXPECT_EQ(motion::axis_of_name(name), Axis::vertical) << name;
  for (const char* name : {"360 Deg", "90 Deg", "090", "000", "N45E", "S30W", "N-S", "E-W", "NS1", "EW2", "HN1", "HN2",
                           "HNE", "HGN", "H1", "X", "ay", "Long", "Transverse", "L", "T", "north", "E"})
    EXPECT_EQ(motion::axis_of_name(name), Axis::horizontal) << name;
  for (const char* name : {"", "Acceleration", "acc", "a", "g", "12044", "Willow Creek", "HN3"})
    EXPECT_EQ(motion::axis_of_name(name), Axis::unknown) << name;
}

// A two-channel CSMIP file: the synthetic one twice, each channel's header naming it.
std::string csmip_two_channels(const std::string& first, const std::string& second) {
  std::string one = csmip_file(), two = one;
  const std::string line = "Synthetic CSMIP text header line 8";
  one.replace(one.find(line), line.size(), "Chan  1: " + first);
  two.replace(two.find(line), line.size(), "89146-L2500-12044.02      Willow Creek    Chan  2: " + second + "    ");
  return one + two;
}

// Integer-header value `index` + 1 of a COSMOS channel set to `value`.
std::string with_cosmos_integer(std::string file, std::size_t index, int value) {
  std::size_t at = file.find("Integer-header values follow");
  for (std::size_t line = 0; line <= index / 10; ++line) at = file.find('\n', at) + 1;
  char field[16];
  std::snprintf(field, sizeof field, "%8d", value);
  file.replace(at + (index % 10) * 8, 8, field);
  return file;
}

std::vector<std::pair<std::string, Axis>> named(const motion::ReadResult& r) {
  std::vector<std::pair<std::string, Axis>> out;
  for (const Orientation& o : r.record.orientations) out.emplace_back(o.name, o.axis);
  return out;
}

using Names = std::vector<std::pair<std::string, Axis>>;

TEST(Orientation, EachFormatNamesItsChannels) {
  const auto csmip = read(csmip_two_channels("360 Deg", " Up"));
  ASSERT_NE(csmip.outcome, motion::Outcome::refused) << problems_of(csmip);
  EXPECT_EQ(named(csmip), (Names{{"360 Deg", Axis::horizontal}, {"Up", Axis::vertical}}));
  // A channel whose header names it not is not named after the channel before.
  std::string unnamed = csmip_two_channels("360 Deg", "Up");
  unnamed.replace(unnamed.find("Chan  2:"), 8, "Channel ");
  EXPECT_EQ(named(read(unnamed)), (Names{{"360 Deg", Axis::horizontal}, {"", Axis::unknown}}));
  motion::ReadOptions second;
  second.value_columns = {2};
  EXPECT_EQ(named(read(csmip_two_channels("360 Deg", "Up"), second)), (Names{{"Up", Axis::vertical}}));

  const std::string cosmos = cosmos_channel("Corrected acceleration", 1, {"  1.000000E+00 -2.000000E+00"}, 2, 10.0, -999.0,
                                            " acceleration pts, approx 0 secs, units=g(02),Format=(2E15.6)");
  EXPECT_EQ(named(read(with_cosmos_integer(cosmos, 53, 400))), (Names{{"Up", Axis::vertical}}));
  EXPECT_EQ(named(read(with_cosmos_integer(cosmos, 53, 90))), (Names{{"90 deg", Axis::horizontal}}));
  EXPECT_EQ(named(read(with_cosmos_integer(cosmos, 53, 701))), (Names{{"H2", Axis::horizontal}}));
  std::string cosmos_text = cosmos;
  cosmos_text.replace(cosmos_text.find("Synthetic text line 5"), 21, "Sta Chan   3: Up (Rcrdr Chan  3)");
  EXPECT_EQ(named(read(cosmos_text)), (Names{{"Up", Axis::vertical}}));

  const std::string esm = "EVENT_ID: SYN-0001\nSTREAM: HNZ\nDATA_TYPE: ACCELERATION\nUNITS: cm/s^2\nNDATA: 2\n"
                          "SAMPLING_INTERVAL_S: 0.005000\n1.0\n2.0\n";
  EXPECT_EQ(named(read(esm)), (Names{{"HNZ", Axis::vertical}}));

  std::string knet = knet_file("     100     -20     130      10\n      30\n");
  EXPECT_EQ(named(read(knet)), (Names{{"N-S", Axis::horizontal}}));
  knet.replace(knet.find("N-S"), 3, "U-D");
  EXPECT_EQ(named(read(knet)), (Names{{"U-D", Axis::vertical}}));
  knet.replace(knet.find("U-D"), 3, "6");  // KiK-net: the surface sensor's UD channel
  EXPECT_EQ(named(read(knet)), (Names{{"6", Axis::vertical}}));

  const std::string rows = "  1.0000000E-01  2.0000000E-01\n";
  EXPECT_EQ(named(read(peer("NPTS=  2, DT= .0100 SEC", rows))), (Names{{"090", Axis::horizontal}}));
  std::string up = peer("NPTS=  2, DT= .0100 SEC", rows);
  up.replace(up.find(", 090"), 5, ", UP");
  EXPECT_EQ(named(read(up)), (Names{{"UP", Axis::vertical}}));
  std::string title = peer("NPTS=  2, DT= .0100 SEC", rows);
  title.replace(title.find(", 090"), 5, "");  // a station but no component: nothing said
  EXPECT_EQ(named(read(title)), (Names{{"", Axis::unknown}}));

  motion::ReadOptions in_g;
  in_g.file_unit = motion::Unit::g;
  const std::string columns = "Time [s],NS [g],EW [g],UD [g]\n0,1,2,3\n0.01,4,5,6\n";
  EXPECT_EQ(named(read(columns, in_g)),
            (Names{{"NS", Axis::horizontal}, {"EW", Axis::horizontal}, {"UD", Axis::vertical}}));
  in_g.value_columns = {4, 2};
  EXPECT_EQ(named(read(columns, in_g)), (Names{{"UD", Axis::vertical}, {"NS", Axis::horizontal}}));
}

TEST(HorizontalPair, TheFirstTwoComponentsNotMarkedVertical) {
  const Orientation h{"360 Deg", Axis::horizontal}, v{"Up", Axis::vertical}, e{"90 Deg", Axis::horizontal}, n{};
  using List = std::vector<std::size_t>;
  EXPECT_EQ(motion::horizontal_components({h, v, e}, 3), (List{0, 2}));
  EXPECT_EQ(motion::horizontal_components({v, h, e}, 3), (List{1, 2}));
  EXPECT_EQ(motion::horizontal_components({h, e, v}, 3), (List{0, 1}));
  EXPECT_EQ(motion::horizontal_components({v, h}, 2), (List{1}));
  EXPECT_EQ(motion::horizontal_components({n, n, n}, 3), (List{0, 1}));
  EXPECT_EQ(motion::horizontal_components({}, 2), (List{0, 1}));
  EXPECT_EQ(motion::horizontal_components({v}, 1), (List{0}));
  EXPECT_EQ(motion::horizontal_components_text({h, v, e}, 3), "1 (360 Deg) and 3 (90 Deg); vertical: 2 (Up)");
  EXPECT_EQ(motion::horizontal_components_text({}, 2), "1 and 2");
}

// CE89146.V2: "Chan 1: 360 Deg", "Chan 2: Up", "Chan 3: 90 Deg".
motion::Record willow_creek(std::vector<std::size_t> channels = {}) {
  motion::ReadOptions options;
  options.target = motion::TargetUnit(motion::Unit::m_s2);
  options.value_columns = std::move(channels);
  const motion::ReadResult r = motion::read_motion_file(BRANTEL_PROCESSING_DATA "/CE89146.V2", options);
  EXPECT_NE(r.outcome, motion::Outcome::refused) << problems_of(r);
  return r.record;
}

TEST(HorizontalPair, RealCsmipRecordIsScaledOnItsTwoHorizontalChannels) {
  const motion::Record record = willow_creek();
  ASSERT_EQ(record.components.size(), 3u);
  motion::SpectrumOptions options;
  options.request.periods = motion::log_periods(0.1, 4.0, 40);
  std::string why;
  options.target = motion::parse_design_spectrum("ec8:type=1,ground=B,ag=0.25g", why);
  options.scale_range = std::pair{0.2, 2.0};
  const motion::SpectrumReport report = motion::compute_report(record, options);

  // RotD100 of the horizontal channels read on their own, apart from the file's vertical.
  const motion::Record north = willow_creek({1}), east = willow_creek({3}), up = willow_creek({2});
  const auto pair = motion::direction_peaks(north.components[0], east.components[0], record.time_step,
                                            options.request.periods, 0.05);
  const auto wrong = motion::direction_peaks(north.components[0], up.components[0], record.time_step,
                                             options.request.periods, 0.05);
  std::vector<double> rotd100;
  bool apart = false;
  for (std::size_t k = 0; k < pair.size(); ++k) {
    const double w = 2 * std::acos(-1.0) / options.request.periods[k];
    rotd100.push_back(w * w * motion::rotd(pair[k], 100));
    apart = apart || std::abs(motion::rotd(wrong[k], 100) / motion::rotd(pair[k], 100) - 1) > 0.2;
  }
  EXPECT_TRUE(apart) << "the record does not tell the pairs apart";
  ASSERT_EQ(report.factor_curve, "rotd100");
  for (const auto& curve : report.curves) {
    if (curve.component != "rotd100") continue;
    for (std::size_t k = 0; k < rotd100.size(); ++k) EXPECT_DOUBLE_EQ(curve.psa[k], rotd100[k]) << k;
  }
  const motion::ScaleFactor expected = motion::scale_factor(options.request.periods, rotd100, report.target[0], 0.2, 2.0,
                                                            motion::ScaleRule::fit);
  ASSERT_TRUE(report.factor);
  EXPECT_DOUBLE_EQ(report.factor->factor, expected.factor);

  std::ostringstream csv, json;
  motion::write_report_csv({"CE89146.V2"}, record, options, report, csv);
  EXPECT_NE(csv.str().find("\n# horizontal: 1 (360 Deg) and 3 (90 Deg); vertical: 2 (Up)\n"), std::string::npos) << csv.str();
  motion::write_report_json({"CE89146.V2"}, record, options, report, json);
  const auto j = nlohmann::json::parse(json.str());
  EXPECT_EQ(j["horizontal"], nlohmann::json({1, 3}));
  EXPECT_EQ(j["vertical"], nlohmann::json({2}));
  EXPECT_EQ(j["component_names"], nlohmann::json({"360 Deg", "Up", "90 Deg"}));

  // Files given one by one are combined with what each says of its component.
  const motion::CombinedRecord combined = motion::combine_records({up, east});
  EXPECT_EQ(motion::horizontal_components(combined.record.orientations, 2), (std::vector<std::size_t>{1}));
  const motion::SpectrumReport one = motion::compute_report(combined.record, options);
  EXPECT_EQ(one.factor_curve, "2");
}

}  // namespace
