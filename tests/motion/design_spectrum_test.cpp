// Design spectra at their corner periods and branches, the texts that name them, and the
// factors that scale records onto them.
#include "motion/design_spectrum.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

motion::DesignSpectrum parsed(const std::string& text) {
  std::string error;
  auto spectrum = motion::parse_design_spectrum(text, error);
  EXPECT_TRUE(spectrum) << text << ": " << error;
  return spectrum ? *spectrum : motion::DesignSpectrum(motion::Asce7Spectrum{1, 1, 1});
}

std::string refusal(const std::string& text) {
  std::string error;
  EXPECT_FALSE(motion::parse_design_spectrum(text, error)) << text;
  return error;
}

TEST(DesignSpectrum, Ec8BranchesMeetAtTheCornerPeriodsOfEachGroundAndType) {
  // type, ground, S, TB, TC, TD
  struct Row { int type; char ground; double s, tb, tc, td; };
  const Row rows[] = {{1, 'A', 1.0, 0.15, 0.4, 2.0},  {1, 'B', 1.2, 0.15, 0.5, 2.0},  {1, 'C', 1.15, 0.20, 0.6, 2.0},
                      {1, 'D', 1.35, 0.20, 0.8, 2.0}, {1, 'E', 1.4, 0.15, 0.5, 2.0},  {2, 'A', 1.0, 0.05, 0.25, 1.2},
                      {2, 'B', 1.35, 0.05, 0.25, 1.2}, {2, 'C', 1.5, 0.10, 0.25, 1.2}, {2, 'D', 1.8, 0.10, 0.30, 1.2},
                      {2, 'E', 1.6, 0.05, 0.25, 1.2}};
  for (const Row& r : rows) {
    const double ag = 0.3, gamma = 1.2, plateau = ag * gamma * r.s * 2.5;
    const motion::DesignSpectrum s(motion::Ec8Spectrum{r.type, r.ground, ag, gamma});
    const std::string name = std::to_string(r.type) + r.ground;
    EXPECT_DOUBLE_EQ(*s.psa_g(0.0), ag * gamma * r.s) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(r.tb), plateau) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(0.5 * r.tb), ag * gamma * r.s * 1.75) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(r.tc), plateau) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(2 * r.tc), plateau / 2) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(r.td), plateau * r.tc / r.td) << name;
    EXPECT_DOUBLE_EQ(*s.psa_g(2 * r.td), plateau * r.tc / r.td / 4) << name;
  }
}

TEST(DesignSpectrum, Ec8DampingCorrectionHasItsFloor) {
  const motion::DesignSpectrum s = parsed("ec8:type=1,ground=A,ag=0.2g");
  EXPECT_DOUBLE_EQ(*s.psa_g(0.3, 0.10), 0.2 * 2.5 * std::sqrt(10.0 / 15.0));
  EXPECT_DOUBLE_EQ(*s.psa_g(0.3, 0.02), 0.2 * 2.5 * std::sqrt(10.0 / 7.0));
  EXPECT_DOUBLE_EQ(*s.psa_g(0.3, 0.30), 0.2 * 2.5 * 0.55);
  EXPECT_DOUBLE_EQ(*s.psa_g(0.0, 0.30), 0.2);  // the ground itself does not depend on damping
}

TEST(DesignSpectrum, Asce7TwoPeriodShape) {
  const motion::DesignSpectrum s = parsed("asce7:sds=1.0,sd1=0.6,tl=8");
  EXPECT_DOUBLE_EQ(*s.psa_g(0.0), 0.4);
  EXPECT_DOUBLE_EQ(*s.psa_g(0.06), 0.7);  // halfway to T0 = 0.12
  EXPECT_DOUBLE_EQ(*s.psa_g(0.12), 1.0);
  EXPECT_DOUBLE_EQ(*s.psa_g(0.6), 1.0);
  EXPECT_DOUBLE_EQ(*s.psa_g(1.2), 0.5);
  EXPECT_DOUBLE_EQ(*s.psa_g(8.0), 0.075);
  EXPECT_DOUBLE_EQ(*s.psa_g(16.0), 0.6 * 8 / 256);
}

TEST(DesignSpectrum, TablesInterpolateInsideAndHaveNoValueOutside) {
  const std::string path = testing::TempDir() + "design_table.csv";
  std::ofstream(path) << "period,psa\r\n# from the site study\r\n0.1,0.5\r\n0.5,1.0\r\n2.0,0.25\r\n";
  const motion::DesignSpectrum s = parsed("csv:" + path);
  EXPECT_DOUBLE_EQ(*s.psa_g(0.3), 0.75);
  EXPECT_DOUBLE_EQ(*s.psa_g(0.5), 1.0);
  EXPECT_DOUBLE_EQ(*s.psa_g(2.0), 0.25);
  EXPECT_FALSE(s.psa_g(0.05));
  EXPECT_FALSE(s.psa_g(2.5));
  std::string error;
  EXPECT_FALSE(motion::read_table_spectrum("0.1,0.5\n0.1,0.6\n", error));
  EXPECT_NE(error.find("increase"), std::string::npos);
  EXPECT_FALSE(motion::read_table_spectrum("0.1,0.5\nx,y\n", error));
  EXPECT_NE(error.find("line 2"), std::string::npos);
  std::remove(path.c_str());
}

TEST(DesignSpectrum, TextsNameTheirParametersAndRefuseWhatIsWrong) {
  // ag with a unit is converted to g: 0.25 g = 2.4516625 m/s2.
  EXPECT_NEAR(*parsed("ec8:type=2,ground=c,ag=2.4516625m/s2").psa_g(0.0), 0.25 * 1.5, 1e-15);
  EXPECT_EQ(parsed("ec8:type=1,ground=B,ag=0.25g,importance=1.2").description(),
            "ec8 type 1 ground B ag 0.25 g importance 1.2");
  EXPECT_NE(refusal("ec8:type=3,ground=B,ag=0.25g").find("type"), std::string::npos);
  EXPECT_NE(refusal("ec8:type=1,ground=F,ag=0.25g").find("ground"), std::string::npos);
  EXPECT_NE(refusal("ec8:type=1,ground=B").find("ag"), std::string::npos);
  EXPECT_NE(refusal("ec8:type=1,ground=B,ag=-1").find("ag"), std::string::npos);
  EXPECT_NE(refusal("ec8:type=1,ground=B,ag=0.2g,soil=3").find("soil"), std::string::npos);
  EXPECT_NE(refusal("asce7:sds=1.0,sd1=0.6").find("tl"), std::string::npos);
  EXPECT_NE(refusal("csv:/nonexistent/table.csv").find("table"), std::string::npos);
  EXPECT_NE(refusal("nz:zone=3").find("unknown"), std::string::npos);
}

TEST(ScaleFactor, FitIsTheGeometricMeanRatioAndMin90LiftsTheWorstPeriodTo90Percent) {
  const std::vector<double> periods = {0.1, 0.2, 0.5, 1.0, 2.0};
  const std::vector<double> psa = {1.0, 1.0, 1.0, 1.0, 1.0};
  const std::vector<std::optional<double>> target = {9.0, 1.0, 4.0, std::nullopt, 50.0};
  // In [0.15, 1.5]: ratios 1 and 4 (1.0 s has no target).
  const auto fit = motion::scale_factor(periods, psa, target, 0.15, 1.5, motion::ScaleRule::fit);
  EXPECT_DOUBLE_EQ(fit.factor, 2.0);
  EXPECT_EQ(fit.periods_used, 2u);
  const auto min90 = motion::scale_factor(periods, psa, target, 0.15, 1.5, motion::ScaleRule::min90);
  EXPECT_DOUBLE_EQ(min90.factor, 3.6);
  // The range ends are included.
  EXPECT_DOUBLE_EQ(motion::scale_factor(periods, psa, target, 0.1, 0.2, motion::ScaleRule::fit).factor, 3.0);
  const auto none = motion::scale_factor(periods, psa, target, 3.0, 4.0, motion::ScaleRule::fit);
  EXPECT_EQ(none.factor, 0.0);
  EXPECT_NE(none.problem, "");
  EXPECT_NE(motion::scale_factor(periods, psa, target, 1.0, 0.5, motion::ScaleRule::fit).problem, "");
}

TEST(ScaleFactor, SuiteFactorLiftsTheMeanOfTheRecords) {
  const std::vector<double> periods = {0.2, 0.4, 0.8};
  const std::vector<std::optional<double>> target = {2.0, 2.0, 2.0};
  // Means 1, 0.5 and 2: the worst period (0.4 s) needs 4 for the target, 3.6 for 90% of it.
  const std::vector<std::vector<double>> records = {{1.5, 0.25, 3.0}, {0.5, 0.75, 1.0}};
  const auto suite = motion::suite90(periods, records, target, 0.2, 0.8);
  EXPECT_DOUBLE_EQ(suite.factor, 3.6);
  EXPECT_EQ(suite.periods_used, 3u);
  EXPECT_NE(motion::suite90(periods, {}, target, 0.2, 0.8).problem, "");
}

// One table names the rules both ways; no word names the absence of a rule, and no rule gives
// a factor without being one.
TEST(ScaleFactor, RulesAreNamedOneWayAndBack) {
  for (const auto rule : {motion::ScaleRule::fit, motion::ScaleRule::min90, motion::ScaleRule::suite90})
    EXPECT_EQ(motion::scale_rule_from_name(motion::scale_rule_name(rule)), rule) << motion::scale_rule_name(rule);
  EXPECT_EQ(motion::scale_rule_name(motion::ScaleRule::none), "none");
  EXPECT_EQ(motion::scale_rule_from_name("none"), std::nullopt);
  EXPECT_EQ(motion::scale_rule_from_name("Fit"), std::nullopt);
  const std::vector<double> periods = {0.2, 0.4};
  const std::vector<std::optional<double>> target = {2.0, 2.0};
  const std::vector<double> psa = {1.0, 1.0};
  EXPECT_NE(motion::scale_factor(periods, psa, target, 0.2, 0.4, motion::ScaleRule::none).problem, "");
  EXPECT_DOUBLE_EQ(motion::scale_factor(periods, psa, target, 0.2, 0.4, motion::ScaleRule::suite90).factor, 1.8);
}

}  // namespace
