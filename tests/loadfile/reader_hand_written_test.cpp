// Loading files as an engineer edits them by hand: comments, odd spacing, tabs, D exponents,
// r*c repeats, commas, Romanian terminators, LF or CR LF line ends. The reader must take them
// as it takes the files the writer produces.
#include <gtest/gtest.h>

#include "support/session.h"
#include "dialogs/loading_file.h"
#include "loadfile/reader_parse.h"
#include "reader_support.h"
#include "text/free_form.h"

namespace {

using reader_test::Loaded;
using reader_test::small_model;

std::string with_line_ends(std::initializer_list<std::string_view> records, std::string_view end) {
  std::string out;
  for (std::string_view r : records) {
    out += r;
    out += end;
  }
  return out;
}

dialogs::LoadOutcome load(Loaded& run, const std::string& content) {
  testing_support::write_file(run.dir.path() / "hand.inc", content);
  return run.load((run.dir.path() / "hand.inc").string());
}

std::string crlf(std::initializer_list<std::string_view> records) { return with_line_ends(records, "\r\n"); }

// Newmark with custom coefficients, Raleigh damping, a discrete and a sinusoidal case, written
// with LF line ends only.
std::string newmark_by_hand() {
  return with_line_ends(
      {"//  Bridge over the river: loading typed by hand", "//", "NEWMARK", " 4.D0 ,\t2.", "2",
       "1", "1.D-4\t25", "0 , 1.D-2 , 10 , 0 , -9.81 , 0 , .1", "1 12 4*0.", "Sfarsit_Conditii_Initiale",
       "5.D-2  2.E-3", "1 0 3*0", "3,12,1.5,2*2.5D0", "Sfarsit_Incarcare_Initiala", "0.5",
       "1\t5\t1.5\t2.5D0", "  6   0   3   4", "1.0", "1 12 2*1.", "SFARSIT_CAZ1",
       "1", "0.001 30", "1 0.005 20. 1 9.81 2 0.5", "Sfarsit_Conditii_Initiale", "0.1 0.2",
       "Sfarsit_Incarcare_Initiala", "6.283185  0.5D0", "2 4 1.25 -3.5", "SFARSIT_CAZ2",
       "Sfarsit de fisier: /tmp/hand.inc", "07/12/2026   13:45:10"},
      "\n");
}

TEST(ReaderHandWritten, NewmarkWithTabsCommasDExponentsRepeatsAndRomanianEndLines) {
  Loaded run(small_model());
  ASSERT_EQ(load(run, newmark_by_hand()), dialogs::LoadOutcome::loaded);
  const testing_support::Session& s = run.state;
  EXPECT_TRUE(run.toolkit.messages.empty());
  EXPECT_EQ(s.general().operator_code.view(), "NEWMARK   ");
  EXPECT_FALSE(s.general().new_operator);
  EXPECT_FALSE(s.general().standard_coefficients);
  EXPECT_EQ(s.general().beta.trimmed(), "4.");
  EXPECT_EQ(s.general().gamma.trimmed(), "2.");
  EXPECT_EQ(s.general().delta.trimmed(), "0.");
  ASSERT_EQ(s.general().n_loading_cases, 2);
  EXPECT_EQ(s.damping().type, model::DampingType::rayleigh);
  EXPECT_FLOAT_EQ(s.damping().alfa_d, 0.1f);  // the later case's values stand
  EXPECT_FLOAT_EQ(s.damping().beta_d, 0.2f);

  const model::CaseRecord& c1 = run.loaded(1);
  EXPECT_EQ(c1, (model::CaseRecord{1e-4f, 25, model::LoadingType::discrete, 0.01f, 10, 0.1f, model::MassModel::concentrated, -9.81f, model::PrintingCode::maximum_values, 0, 0, {0, 0, 0}, 1, 2, 2, 0}));
  EXPECT_EQ(run.scratch("1init.dat"), crlf({" 1  12  0.  0.  0.  0.", "End Initial Displcements & Velocities"}));
  EXPECT_EQ(run.scratch("1InitLoad.dat"),
            crlf({" 1   1  0.  0.  0.", " 3  12  1.5  2.5  2.5", "End_of_Initial_Loading"}));
  ASSERT_EQ(run.time_points(1).size(), 2u);
  EXPECT_EQ(run.time_points(1)[0].ranges,
            (std::vector<model::NodeRange>{{1, 5, {1.5f, 2.5f}}, {6, 6, {3, 4}}}));
  EXPECT_FLOAT_EQ(run.time_points(1)[1].time, 1.f);
  EXPECT_EQ(run.time_points(1)[1].ranges, (std::vector<model::NodeRange>{{1, 12, {1, 1}}}));

  const model::CaseRecord& c2 = run.loaded(2);
  EXPECT_EQ(c2.loading_type, model::LoadingType::sinusoidal);
  EXPECT_FLOAT_EQ(c2.omega, 6.283185f);
  EXPECT_FLOAT_EQ(c2.phi, 0.5f);
  EXPECT_EQ(c2.n_load_ranges, 1);
  EXPECT_EQ(c2.printing_code, model::PrintingCode::time_history_and_maximum);
  EXPECT_EQ(run.scratch("2TPsin.dat"), crlf({" 2   4  1.25            -3.5          ", "END_OF_CASE2"}));
}

// The New Operator with its six coefficients over two records, Aero+Structural damping with
// diameter records in two spellings, and a three-direction accelerogram, with CR LF line ends,
// read in a Romanian run.
TEST(ReaderHandWritten, NewOperatorAeroAccelerogramWithCrLfInARomanianRun) {
  Loaded run(small_model("romana"));
  const std::string file =
      crlf({"// comment", "//\ttabbed comment", "ACH       ", "1.5, 2.5 3.5", " 4.5 5.5 6.5", "1", "4",
            "1.E-03 10", "-1 2.E-02 40. 2 -9.81 1 0.02", "1 12 0.1 0.2 0.3 0.4", "End_of_Initial_Conditions",
            "0.5 -0.25D0 0.", "0.25", "1.225 1.2", "1 5 .2", "6,10,0.2D0", "end_Diameters", "5.E-02",
            "End_of_Initial_Loading", "0. 0. 0.", "0.02\t1.5 -2.", "END_OF_CASE1", "End_of_File: x",
            "07/12/2026   13:45:10"});
  ASSERT_EQ(load(run, file), dialogs::LoadOutcome::loaded);
  const testing_support::Session& s = run.state;
  EXPECT_TRUE(run.toolkit.messages.empty());
  EXPECT_TRUE(s.general().new_operator);
  EXPECT_FALSE(s.general().standard_coefficients);
  EXPECT_EQ(s.general().beta.trimmed(), "1.5");
  EXPECT_EQ(s.general().teta.trimmed(), "2.5");
  EXPECT_EQ(s.general().gamma.trimmed(), "3.5");
  EXPECT_EQ(s.general().teta1.trimmed(), "4.5");
  EXPECT_EQ(s.general().delta.trimmed(), "5.5");
  EXPECT_EQ(s.general().teta2.trimmed(), "6.5");
  EXPECT_EQ(s.damping().type, model::DampingType::aero_structural);
  EXPECT_FLOAT_EQ(s.damping().niu, 0.25f);
  EXPECT_FLOAT_EQ(s.damping().c_drag, 1.2f);
  EXPECT_FLOAT_EQ(s.damping().zeta, 0.05f);
  EXPECT_EQ(s.damping().diameters, (std::vector<model::DiameterGroup>{{1, 10, 0.2f}, {11, 12, 0}}));
  const model::CaseRecord& c = run.loaded(1);
  EXPECT_EQ(c, (model::CaseRecord{1e-3f, 10, model::LoadingType::accelerogram_3_directions, 0.02f, 40, 0.02f, model::MassModel::concentrated_and_distributed, -9.81f, model::PrintingCode::time_history, 0, 0, {0.5f, -0.25f, 0}, 1, 1, 2, 0}));
  EXPECT_EQ(run.scratch("1init.dat"),
            crlf({" 1  12  0.1  0.2  0.3  0.4", "End Deplasari & Viteze Initiale",
                  text::FreeFormWriter().real(0.5f).real(-0.25f).real(0).str()}));
  EXPECT_EQ(run.scratch("1InitLoad.dat"), crlf({" 1  12  0.  0.  0.", "Sfarsit_Incarcare_Initiala"}));
  EXPECT_EQ(run.scratch("1TPacc.dat"), crlf({"0.   0.   0.", "0.2E-01   1.5   -2.", "SFARSIT_CAZ1"}));
}

// The case's files are made before its sections are read: when omega cannot be read, the
// amplitude file of an earlier load must not survive, or "Create" would copy another file's
// amplitudes into the new loading file without a word.
TEST(ReaderHandWritten, UnreadableOmegaLeavesAnEmptyAmplitudeFileNotAnOldOne) {
  Loaded run(small_model());
  testing_support::write_file(run.dir.path() / "1TPsin.dat", " 1  12    9.            9.\r\nEND_OF_CASE1\r\n");
  const std::string file =
      crlf({"ACH", "6*0.", "1", "0", "1.E-03 10", "1 2.E-02 40. 0 -9.81 1 0.02", "End_of_Initial_Conditions",
            "End_of_Initial_Loading", "omega?", " 1  12  1.  2.", "END_OF_CASE1"});
  ASSERT_EQ(load(run, file), dialogs::LoadOutcome::loaded);
  ASSERT_EQ(run.toolkit.messages.size(), 1u);
  EXPECT_NE(run.toolkit.messages[0].text.find(
                "\nLine 9: the loading parameters record (omega, phi) of case 1 cannot be read: \"omega?\"; the "
                "rest of the case was not read and its loading data file is empty !\n"),
            std::string::npos)
      << run.toolkit.messages[0].text;
  EXPECT_EQ(run.loaded(1).n_load_ranges, 0);
  EXPECT_EQ(run.scratch("1init.dat"), crlf({" 1  12  0.  0.  0.  0.", "End Initial Displcements & Velocities"}));
  EXPECT_EQ(run.scratch("1TPsin.dat"), "");
}

// Blank lines, a record continued on the next line, "/" ending a read early and r* leaving
// values as they are: all free-form rules, not layout, decide what a record holds.
TEST(ReaderHandWritten, BlankLinesContinuedRecordsSlashAndEmptyValues) {
  Loaded run(small_model());
  const std::string file =
      crlf({"NEWMARK", "2*0.", "1", "0", "", "1.E-03 10", "0 2.E-02", "40. 0 -9.81 1 0.02", "1 12 /", "",
            "End_of_Initial_Conditions", "3 4 2* 7.", "End_of_Initial_Loading", "0.5", "1 2 1. 2.",
            "END_OF_CASE1", "", "End_of_File: hand.inc"});
  ASSERT_EQ(load(run, file), dialogs::LoadOutcome::loaded);
  EXPECT_TRUE(run.toolkit.messages.empty());
  const model::CaseRecord& c = run.loaded(1);
  EXPECT_EQ(c, (model::CaseRecord{1e-3f, 10, model::LoadingType::discrete, 0.02f, 40, 0.02f, model::MassModel::concentrated, -9.81f, model::PrintingCode::time_history, 0, 0, {0, 0, 0}, 1, 1, 1, 0}));
  EXPECT_EQ(run.scratch("1init.dat"), crlf({" 1  12  0.  0.  0.  0.", "End Initial Displcements & Velocities"}));
  EXPECT_EQ(run.scratch("1InitLoad.dat"), crlf({" 3   4  0.  0.  7.", "End_of_Initial_Loading"}));
  ASSERT_EQ(run.time_points(1).size(), 1u);
  EXPECT_EQ(run.time_points(1)[0].ranges, (std::vector<model::NodeRange>{{1, 2, {1, 2}}}));
}

}  // namespace

namespace {

// Older loading files carry a line "end_<n>" after each time point of a discrete loading; the
// time points after it must still be read, and the next case with them.
TEST(ReaderHandWritten, DiscreteLoadingWithSeparatorLinesBetweenTimePoints) {
  Loaded run(small_model());
  const std::string file = crlf({"// older file", "ACH", "6*0.", "2",
                                 "0", "0.1E-03  20", "0  0.1  1.  0  0.  0  0.1", "End_of_Initial_Conditions",
                                 "End_of_Initial_Loading", "0.5", " 1  4  1.  2.", "end_1", "1.",
                                 " 5  6  4.  5.", " 7  7  7.  8.", "end_2", "END_OF_CASE1",
                                 "0", "0.1E-03  20", "0  0.1  1.  0  0.  0  0.1", "End_of_Initial_Conditions",
                                 "End_of_Initial_Loading", "2.5", " 2  3  1.  1.", "END_OF_CASE2",
                                 "End_of_File: /tmp/old.inc", "07/12/2026   13:45:10"});
  ASSERT_EQ(load(run, file), dialogs::LoadOutcome::loaded);
  EXPECT_TRUE(run.toolkit.messages.empty());
  ASSERT_EQ(run.state.general().n_loading_cases, 2);
  EXPECT_EQ(run.loaded(1).n_time_points, 2);
  EXPECT_EQ(run.loaded(2).n_time_points, 1);
  EXPECT_EQ(run.scratch("1TP.dat"),
            crlf({" 0.5", " 1 4 1. 2.", " 1.", " 5 6 4. 5.", " 7 7 7. 8.", "END_OF_CASE1"}));
}

}  // namespace

namespace {

// The problem list is data a checker can print: every end line the program writes (in either
// language, any case of letters) passes, anything else is named with its line.
TEST(ReaderHandWritten, ProblemListNamesEachLineAndPrintsAsACompilerDoes) {
  testing_support::Session s = small_model();
  text::RecordSource source(crlf({"ACH", "6*0.", "2",
                                  "3", "0.1E-03  20", "0  0.1  1.  0  0.  0  0.1", " 1 12 0 0 0 0",
                                  "sfarsit_conditii_initiale", "0.1", "1. 2.", " 1 5 0.5", "END", " 1 2 3. 4. 5.",
                                  "End_of_Initial_Loading", "0.5", " 1  4  1.  2.", "SFARSIT_CAZ1",
                                  "0", "0.1E-03  20", "0  0.1  1.  0  0.  0  0.1", "End Deplasari & Viteze Initiale",
                                  " 1 12 0 0 0", "END_INIT", "0.5", " 1  4  1.  2.", "END_OF_CASE2", "trailer"}));
  loadfile::ReadStart start;
  start.general = s.general();
  start.max_time_points = s.max_time_points;
  const loadfile::ReadResult r = loadfile::read(source, start);
  ASSERT_EQ(r.outcome, loadfile::ReadOutcome::complete);
  std::vector<std::string> printed;
  for (loadfile::Problem p : r.problems) {
    p.file = "bridge.inc";
    printed.push_back(loadfile::problem_line(p));
  }
  EXPECT_EQ(printed, (std::vector<std::string>{
                         "bridge.inc:12: error: the element diameters of case 1 end at a line that is not their end "
                         "line: \"END\"",
                         "bridge.inc:23: error: the initial loading of case 2 end at a line that is not their end "
                         "line: \"END_INIT\"",
                         "bridge.inc:27: warning: the line after the last case is not the End_of_File line: "
                         "\"trailer\""}));
}

}  // namespace
