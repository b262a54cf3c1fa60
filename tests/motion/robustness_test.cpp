// Damaged files never break the reader's promises: a refusal carries its reason and no values,
// a record that is read is whole. Also the preview integrals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "motion/integrate.h"
#include "motion/reader.h"
#include "samples.h"

namespace {

using motion::Outcome;
using motion::Severity;
using namespace motion_samples;

void expect_promises_kept(const motion::ReadResult& r, const std::string& content) {
  const bool any_error = std::any_of(r.problems.begin(), r.problems.end(), [](const auto& p) { return p.severity == Severity::error; });
  ASSERT_EQ(r.outcome == Outcome::refused, any_error) << content;
  if (r.outcome == Outcome::refused) {
    ASSERT_TRUE(r.record.components.empty()) << content;
    return;
  }
  ASSERT_EQ(r.outcome == Outcome::read, r.problems.empty()) << content;
  const auto& c = r.record.components;
  ASSERT_TRUE(!c.empty() && c.size() <= 3) << content;
  for (const auto& component : c) {
    ASSERT_EQ(component.size(), c.front().size()) << content;
    ASSERT_TRUE(std::all_of(component.begin(), component.end(), [](double v) { return std::isfinite(v); })) << content;
  }
  ASSERT_GE(r.record.point_count(), 1u) << content;
  ASSERT_TRUE(std::isfinite(r.record.time_step) && r.record.time_step >= 0) << content;
}

TEST(DamagedFiles, EveryMutationIsReadWholeOrRefusedWithAReason) {
  const std::string cosmos_rows = "     1.250    -2.500-12345.678";
  const std::vector<std::string> samples{
      peer("NPTS=      6, DT= .01000 SEC", peer_rows),
      cosmos_channel("Corrected acceleration", 1, {cosmos_rows}, 3, 5, 20, " acceleration pts, units=cm/sec2(04),Format=(8F10.3)"),
      csmip_file(),
      "NDATA: 3\nSAMPLING_INTERVAL_S: 0.01\nUNITS: cm/s^2\n1.5\n-1.5\n2\n",
      knet_file("     100     -20     130      10\n      30\n"),
      "Time;X;Y\r\n0,00;1,5;2\r\n0,01;-1;3\r\n0,03;2;1E300\r\n",
  };
  const std::string alphabet = "0123456789-+.,;Ee \t\n\r:#()/=DNPTS";
  std::mt19937 random(16);
  for (const std::string& sample : samples) {
    for (int round = 0; round < 1500; ++round) {
      std::string content = sample;
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits && !content.empty(); ++e) {
        const std::size_t at = random() % content.size();
        const char c = alphabet[random() % alphabet.size()];
        switch (random() % 3) {
          case 0: content[at] = c; break;
          case 1: content.erase(at, 1 + random() % 8); break;
          default: content.insert(at, 1 + random() % 3, c); break;
        }
      }
      expect_promises_kept(motion::read_motion_text(content, {}), content);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(DamagedFiles, HugeClaimsAndValuesAreRefused) {
  const auto claim = read(cosmos_channel("Corrected acceleration", 1, {"     1.000"}, 1, 5, 0,
                                         "000000000000000000000 acceleration pts, units=cm/sec2(04),Format=(8F10.3)"));
  EXPECT_EQ(claim.outcome, Outcome::refused);
  motion::ReadOptions options;
  options.target = motion::Unit::mm_s2;
  EXPECT_EQ(read(peer("NPTS= 1, DT= .01 SEC", "1E306\n"), options).outcome, Outcome::refused);
}

TEST(PreviewIntegrals, TrapezoidFromRestAndMeanRemoval) {
  const std::vector<double> constant(5, 2.0);
  const auto velocity = motion::integrate_trapezoid(constant, 0.5);
  EXPECT_EQ(velocity, (std::vector<double>{0, 1, 2, 3, 4}));
  // Linear velocity: the trapezoid rule is exact, d = a t^2 / 2.
  EXPECT_EQ(motion::integrate_trapezoid(velocity, 0.5), (std::vector<double>{0, 0.25, 1, 2.25, 4}));
  EXPECT_EQ(motion::without_mean({1, 2, 3, 6}), (std::vector<double>{-2, -1, 0, 3}));
  EXPECT_TRUE(motion::without_mean({}).empty());
  EXPECT_EQ(motion::integrate_trapezoid({7}, 0.01), std::vector<double>{0});
}

}  // namespace
