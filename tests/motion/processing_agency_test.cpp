// Record processing against an agency's own: a raw three-channel record (Vol. 1) processed with
// the corners its corrected volume (Vol. 2) states gives that volume's peaks. The agency also
// corrects for the instrument and its filter is not ours, hence the tolerances.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "motion/measures.h"
#include "motion/processing.h"
#include "motion/reader.h"

namespace {

using namespace motion;

const std::string data = std::string(BRANTEL_TEST_DATA) + "/processing/";

// The number after `key` on each line that holds it, in the order of the file.
std::vector<double> numbers_after(const std::string& path, const std::string& key) {
  std::ifstream in(path);
  std::vector<double> values;
  for (std::string line; std::getline(in, line);)
    if (const std::size_t at = line.find(key); at != std::string::npos) {
      std::istringstream rest(line.substr(at + key.size()));
      double v = 0.0;
      if (rest >> v) values.push_back(v);
    }
  return values;
}

TEST(ProcessingAgainstAgency, RawChannelsGiveTheCorrectedPeaksWithTheStatedCorners) {
  const std::string corrected = data + "CE89146.V2";
  // "Accelerogram bandpass filtered with 3 dB pts at   .30 and 40.00 cyc/sec"
  const std::vector<double> corners = numbers_after(corrected, "3 dB pts at");
  const std::vector<double> lows = numbers_after(corrected, "pts at   .30 and");
  const std::vector<double> pga = numbers_after(corrected, "Peak acceleration =");    // cm/s2
  const std::vector<double> pgv = numbers_after(corrected, "Peak   velocity   =");    // cm/s
  const std::vector<double> pgd = numbers_after(corrected, "Peak displacement =");    // cm
  ASSERT_EQ(corners.size(), 3u);
  ASSERT_EQ(pga.size(), 3u);
  ASSERT_EQ(pgv.size(), 3u);
  ASSERT_EQ(pgd.size(), 3u);

  ReadOptions read_options;
  read_options.target = TargetUnit(Unit::m_s2);
  const ReadResult raw = read_motion_file(data + "CE89146.V1", read_options);
  ASSERT_EQ(raw.outcome, Outcome::read_with_warnings);  // uncorrected: read, with a warning
  ASSERT_EQ(raw.record.components.size(), 3u);
  ASSERT_EQ(raw.record.point_count(), 13200u);
  ASSERT_DOUBLE_EQ(raw.record.time_step, 0.005);

  ProcessingOptions options;
  options.highpass = corners[0];
  ASSERT_EQ(lows.size(), 3u);
  options.lowpass = lows[0];
  const ProcessedRecord processed = process_record(raw.record.components, raw.record.time_step, options);
  EXPECT_TRUE(processed.within_limits);
  for (std::size_t c = 0; c < 3; ++c) {
    const IntensityMeasures m = intensity_measures(processed.components[c], raw.record.time_step);
    EXPECT_NEAR(m.pga * 100, std::fabs(pga[c]), 0.02 * std::fabs(pga[c])) << "channel " << c + 1;
    EXPECT_NEAR(m.pgv * 100, std::fabs(pgv[c]), 0.05 * std::fabs(pgv[c])) << "channel " << c + 1;
    EXPECT_NEAR(m.pgd * 100, std::fabs(pgd[c]), 0.15 * std::fabs(pgd[c])) << "channel " << c + 1;
  }
}

}  // namespace
