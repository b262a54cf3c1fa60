// `brantel motion` in process: each format, the options, the summary and CSV, the exit codes.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/command_run.h"
#include "motion/samples.h"
#include "support/temp_dir.h"

namespace {

using namespace motion_samples;
using testing_support::TempCurrentDir;
using testing_support::write_file;

struct Outcome {  // of one command
  int code = -1;
  std::string out, err;
};

Outcome run(std::vector<std::string> args) {
  args.insert(args.begin(), "motion");
  const testing_support::CommandRun run = testing_support::run_brantel(args);
  return {run.code.value_or(-1), run.out, run.err};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(MotionCommand, SummaryAndCsvOfARecord) {
  TempCurrentDir dir;
  write_file("r.AT2", peer("NPTS=      3, DT=   .0050 SEC,", "  .1000000E+00 -.3333333333E+00\n  -.2500000E-01\n"));
  const Outcome r = run({"r.AT2"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "# file: r.AT2\n"
            "# format: peer (PEER NGA (.AT2))\n"
            "# unit: g in the file, written in m/s2\n"
            "# points: 3\n"
            "# time step: 0.005 s\n"
            "# duration: 0.01 s\n"
            "# peak a1: -3.26888333 m/s2 at 0.005 s\n"
            "time,a1\n"
            "0,0.980665\n"
            "0.005,-3.26888333\n"
            "0.01,-0.24516625\n");
}

TEST(MotionCommand, EveryFormatFoundAndExplicitlyChosen) {
  TempCurrentDir dir;
  const std::string cosmos_rows = "  1.000000E+00 -2.000000E+00";
  const std::string cosmos_tail = " acceleration pts, units=g(02),Format=(2E15.6)";
  const struct {
    const char* format;
    std::string content;
    const char* header;
  } files[] = {
      {"peer", peer("NPTS= 6, DT= .01 SEC", peer_rows), "time,a1\n"},
      {"cosmos", cosmos_channel("Corrected acceleration", 1, {cosmos_rows}, 2, 10, 0, cosmos_tail) +
                     cosmos_channel("Corrected acceleration", 1, {cosmos_rows}, 2, 10, 0, cosmos_tail), "time,a1,a2\n"},
      {"csmip", csmip_file(), "time,a1\n"},
      {"esm", "NDATA: 2\nSAMPLING_INTERVAL_S: 0.01\nUNITS: cm/s^2\n1.5\n-1.5\n", "time,a1\n"},
      {"knet", knet_file(" 1 2 3\n"), "time,a1\n"},
      {"columns", "0;1;2;3\n0.01;4;5;6\n", "time,a1,a2,a3\n"},
  };
  for (const auto& f : files) {
    write_file(f.format, f.content);
    for (const std::string format : {"auto", f.format}) {
      const Outcome r = run({f.format, "--format", format});
      EXPECT_EQ(r.code, 0) << f.format << ": " << r.err;
      EXPECT_TRUE(has(r.out, std::string("# format: ") + f.format + " (")) << r.out;
      EXPECT_TRUE(has(r.out, f.header)) << r.out;
    }
  }
}

TEST(MotionCommand, ColumnOptionsUnitsScaleAndResampling) {
  TempCurrentDir dir;
  write_file("h.txt", "10 points, gal\n 1 9 2,5\n 2 9 -4\n 3 9 0\n");
  const Outcome r = run({"h.txt", "--format=columns", "--first-line", "2", "--time-column", "0", "--columns", "3",
                     "--dt", "0.02", "--units", "gal", "--to", "mm/s2", "--scale", "2", "--resample", "0.01"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(has(r.out, "# unit: cm/s2 in the file, written in mm/s2\n# points: 5\n# time step: 0.01 s\n")) << r.out;
  EXPECT_TRUE(has(r.out, "time,a1\n0,50\n0.01,-15\n0.02,-80\n0.03,-40\n0.04,0\n")) << r.out;
}

TEST(MotionCommand, WarningsExitOne) {
  TempCurrentDir dir;
  write_file("more.AT2", peer("NPTS= 5, DT= .01 SEC", peer_rows));
  write_file("uneven.csv", "0,1\n0.1,2\n0.3,3\n");
  for (const char* file : {"more.AT2", "uneven.csv"}) {
    const Outcome r = run({file});
    EXPECT_EQ(r.code, 1) << file;
    EXPECT_TRUE(has(r.err, std::string("brantel motion: warning: ") + file)) << r.err;
    EXPECT_TRUE(has(r.out, "time,a1\n")) << r.out;
  }
  EXPECT_TRUE(has(run({"more.AT2"}).err, "more.AT2:6: NPTS = 5 but 6 values follow"));
}

TEST(MotionCommand, RefusalsAndMisuseExitTwoWithTheReasonOnStandardError) {
  TempCurrentDir dir;
  write_file("short.AT2", peer("NPTS= 9, DT= .01 SEC", peer_rows));
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"short.AT2"}, "short.AT2:6: NPTS = 9 but only 6 values follow"},
      {{"missing.AT2"}, "no such file"},
      {{"."}, "not a regular file"},
      {{}, "no file given"},
      {{"short.AT2", "--format", "smc"}, "unknown format"},
      {{"short.AT2", "--units", "kN"}, "unknown unit"},
      {{"short.AT2", "--columns", "1,2,3,4"}, "--columns needs"},
      {{"short.AT2", "--dt", "-1"}, "--dt needs a positive"},
      {{"short.AT2", "--scale"}, "--scale needs a value"},
      {{"short.AT2", "--bogus", "1"}, "unknown option --bogus"},
      {{"short.AT2", "other.AT2"}, "one file only"},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.code, 2) << c.reason;
    EXPECT_EQ(r.out, "") << c.reason;
    EXPECT_TRUE(has(r.err, c.reason)) << r.err;
  }
}

TEST(MotionCommand, MeasuresComeBeforeTheCsvInSiUnits) {
  // 2 m/s2 held for 2 s: PGV 4 m/s, PGD 4 m, Arias pi/(2g) 8 m/s, CAV 4 m/s, PGA in the output unit.
  TempCurrentDir dir;
  write_file("c.txt", "t[s] a[cm/s2]\n0 200\n1 200\n2 200\n");
  const Outcome r = run({"c.txt", "--measures", "--to", "g"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(has(r.out, "# pga: 0.203943243 g\n# pgv: 4 m/s\n# pgd: 4 m\n# arias intensity: ")) << r.out;
  const std::size_t arias = r.out.find("# arias intensity: ") + 19;
  EXPECT_NEAR(std::stod(r.out.substr(arias)), 3.14159265358979 / (2 * 9.80665) * 8, 1e-8);
  EXPECT_TRUE(has(r.out, " m/s\n# d5-75: 1.4 s\n# d5-95: 1.8 s\n# cav: 4 m/s\ntime,a1\n")) << r.out;
  write_file("two.txt", "0 1 0\n1 1 0\n");
  EXPECT_TRUE(has(run({"two.txt", "--measures", "--units", "g"}).out, "# d5-95 a2: none (no motion)\n# cav a2: 0 m/s\n"));
  EXPECT_TRUE(has(run({"two.txt", "--measures"}).out, "# measures: not computed, the file's unit is not known"));
}

TEST(MotionCommand, HelpListsEveryOption) {
  const Outcome r = run({"--help"});
  EXPECT_EQ(r.code, 0);
  for (const char* option : {"--format", "--units", "--first-line", "--time-column", "--columns", "--dt", "--scale",
                             "--resample", "--to", "--measures", "--help"})
    EXPECT_TRUE(has(r.out, option)) << option;
}

}  // namespace
