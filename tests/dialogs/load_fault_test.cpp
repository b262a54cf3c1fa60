// Files the reader cannot take apart: the time-point limit, which must leave everything as it
// was, and broken or cut files, which must say where and what, keeping what was read before.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/session.h"
#include "dialogs/loading_file.h"
#include "loadfile/reader_support.h"
#include "support/special_files.h"

namespace {

using reader_test::lines;
using reader_test::Loaded;
using reader_test::small_model;

std::string head(int n_cases) { return lines({"// comment", "ACH", "6*0.", std::to_string(n_cases)}); }

// A discrete loading case with `n_points` time points of one range each.
std::string discrete_case(int number, int n_points) {
  std::string c = lines({"0", "0.001 5", "0  0.1  1.  0  0.  -1  0.1", " 1 12 0 0 0 0", "End_of_Initial_Conditions", " 1 12 0 0 0", "End_of_Initial_Loading"});
  for (int i = 1; i <= n_points; ++i) c += lines({std::to_string(i) + ".", " 1 12 1. 2."});
  return c + "END_OF_CASE" + std::to_string(number) + "\r\n";
}

std::string accelerogram_case(int number, int n_points) {
  std::string c = lines({"0", "0.001 5", "-1  0.1  1.  0  0.  -1  0.1", "End_of_Initial_Conditions", "0. 0. 0.", "End_of_Initial_Loading"});
  for (int i = 1; i <= n_points; ++i) c += lines({std::to_string(i) + ". 1. 2."});
  return c + "END_OF_CASE" + std::to_string(number) + "\r\n";
}

dialogs::LoadOutcome load(Loaded& run, const std::string& content) {
  testing_support::write_file(run.dir.path() / "old.inc", content);
  return run.load((run.dir.path() / "old.inc").string());
}

std::size_t files_in(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(ReaderTimePointLimit, OneTimePointTooManyAsksAndNoChangesNothing) {
  for (bool accelerogram : {false, true}) {
    Loaded run(small_model());
    testing_support::write_file(run.dir.path() / "1init.dat", "earlier work\r\n");
    const testing_support::Session before = run.state;
    const std::string second = accelerogram ? accelerogram_case(2, 101) : discrete_case(2, 101);
    EXPECT_EQ(load(run, head(2) + discrete_case(1, 100) + second), dialogs::LoadOutcome::kept_maximum);
    ASSERT_EQ(run.toolkit.messages.size(), 1u);
    EXPECT_EQ(run.toolkit.messages[0].title, "\"BRANTEL\" Message");
    EXPECT_EQ(run.toolkit.messages[0].icon, ui::Icon::question);
    EXPECT_EQ(run.toolkit.messages[0].text,
              "The actual No. of Time Points > Maximum No. Inputed (Dialog #0) !\n\n"
              "A loading of the file has 101 time points; the Maximum No. of Time Points is 100.\n"
              "Raise the Maximum to 101 for this run ?");
    // The case before the limit was complete, yet nothing of it reaches the state or the disk.
    EXPECT_EQ(run.scratch("1init.dat"), "earlier work\r\n");
    EXPECT_EQ(files_in(run.dir.path()), 2u);  // old.inc and 1init.dat
    EXPECT_EQ(run.state.general().n_loading_cases, before.general().n_loading_cases);
    EXPECT_EQ(run.state.max_time_points, 100);
    EXPECT_EQ(run.state.general().operator_code, before.general().operator_code);
    EXPECT_TRUE(run.read_cases() == 0);
  }
}

// The maximum offered is the largest loading of the file, wherever it stands.
TEST(ReaderTimePointLimit, YesRaisesTheMaximumToTheLargestLoadingAndLoads) {
  Loaded run(small_model());
  run.toolkit.answer = ui::Answer::yes;
  EXPECT_EQ(load(run, head(3) + discrete_case(1, 101) + accelerogram_case(2, 130) + discrete_case(3, 5)),
            dialogs::LoadOutcome::loaded);
  ASSERT_GE(run.toolkit.messages.size(), 1u);
  EXPECT_NE(run.toolkit.messages[0].text.find("Raise the Maximum to 130 for this run ?"), std::string::npos);
  EXPECT_EQ(run.state.max_time_points, 130);
  EXPECT_EQ(run.loaded(1).n_time_points, 101);
  EXPECT_EQ(run.loaded(2).n_time_points, 130);
  EXPECT_EQ(run.loaded(3).n_time_points, 5);
  EXPECT_EQ(run.accel_points(2).size(), 130u);
}

TEST(ReaderTimePointLimit, ExactlyTheLimitLoadsAndTheQuestionIsRomanianInARomanianRun) {
  {
    Loaded run(small_model());
    EXPECT_EQ(load(run, head(1) + discrete_case(1, 100)), dialogs::LoadOutcome::loaded);
    EXPECT_EQ(run.loaded(1).n_time_points, 100);
  }
  Loaded run(small_model("romanian"));
  EXPECT_EQ(load(run, head(1) + accelerogram_case(1, 101)), dialogs::LoadOutcome::kept_maximum);
  ASSERT_EQ(run.toolkit.messages.size(), 1u);
  EXPECT_EQ(run.toolkit.messages[0].text,
            "Numarul actual de puncte de timp > Nr. maxim introdus (Dialog #0) !\n\n"
            "O incarcare din fisier are 101 puncte de timp; numarul maxim de puncte de timp este 100.\n"
            "Mariti maximul la 101 pentru aceasta rulare ?");
}

// The message of a fault: it names the file, the line and what was expected there.
void expect_fault(const Loaded& run, const std::string& where, const std::string& what) {
  ASSERT_EQ(run.toolkit.messages.size(), 1u);
  const reader_test::Shown& m = run.toolkit.messages[0];
  EXPECT_EQ(m.title, "Message");
  EXPECT_EQ(m.icon, ui::Icon::error);
  EXPECT_EQ(m.text, "ERROR in the Loading File:\n" + (run.dir.path() / "old.inc").string() + "\n" + where +
                        ": expected " + what + " !");
}

TEST(ReaderFaults, CutOrBrokenOutsideTheRepeatedSectionsNamesLineAndExpectation) {
  struct Case {
    std::string content, where, what;
  };
  const std::string ok1 = discrete_case(1, 1);  // 10 lines
  const std::vector<Case> cases{
      {"", "The file ends after line 0", "the operator code (ACH or NEWMARK)"},
      {lines({"// only comments"}), "The file ends after line 1", "the operator code (ACH or NEWMARK)"},
      {lines({"ACH", "1. 2. 3."}), "The file ends after line 2", "the operator coefficients"},
      {lines({"NEWMARK", "six two"}), "Line 2", "the operator coefficients"},
      {lines({"ACH", "6*0.", "100"}), "Line 3", "the number of loading cases (0 to 99)"},
      {head(2) + ok1, "The file ends after line 14", "the damping code (0 to 4) of case 2"},
      {head(2) + ok1 + lines({"x"}), "Line 15", "the damping code (0 to 4) of case 2"},
      {head(1) + lines({"7"}), "Line 5", "the damping code (0 to 4) of case 1"},
      {head(1) + lines({"1", "0.1 5", "0 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "0.1", "abc"}), "Line 10",
       "the damping values of case 1"},
      {head(1) + lines({"1", "0.1 5", "0 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "x"}), "Line 9", "the damping value niu of case 1"},
      {head(1) + lines({"4", "0.1 5", "0 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "0.1", "1 2", "end_Diameters", "none"}),
       "Line 12", "the damping value zeta of case 1"},
      {head(1) + lines({"3", "0.1 5", "0 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "0.1", "1 2", "1 3 0.5"}),
       "The file ends after line 11", "the element diameters and the line end_Diameters of case 1"},
      {head(1) + lines({"0", "0.1 5", "0 1. 1. 0 0. 0 1.", " 1 2 0 0 0 0"}), "The file ends after line 8",
       "the initial conditions and their end line of case 1"},
      {head(1) + lines({"0", "0.1 5", "9 1. 1. 0 0. 0 1."}), "Line 7",
       "a loading type of 0, 1, 2, -1 or -2 of case 1"},
      {head(1) + lines({"0", "0.1 5", "-1 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "no accelerations"}), "Line 9",
       "the initial accelerations of case 1"},
      {head(1) + lines({"0", "0.1 5", "1 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "End_of_Initial_Loading"}), "The file ends after line 9",
       "the loading parameters (omega, phi) of case 1"},
      {head(1) + lines({"0", "0.1 5", "0 1. 1. 0 0. 0 1.", "End_of_Initial_Conditions", "End_of_Initial_Loading", "0.5", " 1 2 1. 2."}),
       "The file ends after line 11", "the loading data and their end line of case 1"},
  };
  for (const Case& c : cases) {
    Loaded run(small_model());
    EXPECT_EQ(load(run, c.content), dialogs::LoadOutcome::failed) << c.content;
    expect_fault(run, c.where, c.what);
  }
}

// The dialog takes two typed characters for the number of cases: 99 is the most a file may hold.
TEST(ReaderCaseCount, NinetyNineCasesLoadAndAHundredAreRefused) {
  for (const int n : {99, 100}) {
    std::string file = head(n);
    for (int c = 1; c <= n; ++c) file += discrete_case(c, 1);
    file += lines({"End_of_File: old.inc"});
    Loaded run(small_model());
    const dialogs::LoadOutcome outcome = load(run, file);
    if (n == 99) {
      EXPECT_EQ(outcome, dialogs::LoadOutcome::loaded);
      EXPECT_EQ(run.state.general().n_loading_cases, 99);
      EXPECT_TRUE(run.toolkit.messages.empty()) << run.toolkit.messages[0].text;
    } else {
      EXPECT_EQ(outcome, dialogs::LoadOutcome::failed);
      expect_fault(run, "Line 4", "the number of loading cases (0 to 99)");
    }
  }
}

TEST(ReaderFaults, WhatWasReadBeforeTheFaultStays) {
  Loaded run(small_model());
  // Case 2 breaks in its damping values: case 1 and the completed sections of case 2 stay.
  const std::string broken = lines({"1", "0.5 7", "0 1. 1. 0 0. 0 1.", " 2 3 1. 1. 1. 1.", "End_of_Initial_Conditions", "0.3", "1.0 x"});
  EXPECT_EQ(load(run, head(2) + discrete_case(1, 3) + broken), dialogs::LoadOutcome::failed);
  const testing_support::Session& s = run.state;
  EXPECT_EQ(s.general().n_loading_cases, 2);
  EXPECT_EQ(run.loaded(1).n_time_points, 3);
  EXPECT_FLOAT_EQ(run.loaded(2).tolerance, 0.5f);
  EXPECT_EQ(run.loaded(2).n_initial_conditions, 1);
  EXPECT_FLOAT_EQ(s.damping().niu, 0.3f);
  EXPECT_EQ(s.damping().type, model::DampingType::rayleigh);
  EXPECT_NE(run.scratch("1TP.dat"), "<missing>");
  EXPECT_EQ(run.scratch("2init.dat"), lines({" 2   3  1.  1.  1.  1.", "End Initial Displcements & Velocities"}));
  EXPECT_EQ(run.scratch("2InitLoad.dat"), "");
  EXPECT_EQ(run.scratch("2TP.dat"), "");
}

// The case is given up as the solver would read past it, but the user is told, and none of its
// case files is left from earlier work to be copied into the next loading file as its data.
TEST(ReaderFaults, UnreadableToleranceAbandonsTheCaseEmptiesItsFilesAndSaysSo) {
  Loaded run(small_model());
  testing_support::write_file(run.dir.path() / "1TP.dat", "earlier work\r\n");
  const std::string abandoned = lines({"0", "tolerance? 5"});
  EXPECT_EQ(load(run, head(2) + abandoned + discrete_case(2, 2)), dialogs::LoadOutcome::loaded);
  EXPECT_EQ(run.loaded(1), model::CaseRecord{});
  EXPECT_EQ(run.loaded(2).n_time_points, 2);
  for (const char* name : {"1init.dat", "1InitLoad.dat", "1TP.dat", "1TPsin.dat", "1TPexp.dat", "1TPacc.dat"})
    EXPECT_EQ(run.scratch(name), "") << name;
  EXPECT_TRUE(run.exists("2TP.dat"));
  ASSERT_EQ(run.toolkit.messages.size(), 1u);
  EXPECT_EQ(run.toolkit.messages[0].icon, ui::Icon::error);
  EXPECT_EQ(run.toolkit.messages[0].text,
            "WARNING: the Loading File was read, but these lines are not as the program writes them:\n" +
                (run.dir.path() / "old.inc").string() +
                "\nLine 6: the tolerance record of case 1 cannot be read: \"tolerance? 5\"; the case was not read "
                "and its case files are empty !"
                "\nLine 18: the file has no End_of_File line after the last case !");
}

TEST(ReaderFaults, MoreNodeRangesThanNodesIsRefused) {
  Loaded run(small_model());
  run.state.general().n_nodes = 2;
  const std::string c = lines({"0", "0.1 5", "0 1. 1. 0 0. 0 1.", "1 1 0 0 0 0", "2 2 0 0 0 0", "1 2 0 0 0 0", "End_of_Initial_Conditions"});
  EXPECT_EQ(load(run, head(1) + c), dialogs::LoadOutcome::failed);
  expect_fault(run, "Line 10", "at most one node range per node of the model (2 nodes) of case 1");
}

TEST(ReaderFaults, MissingFileIsNamedInBothLanguages) {
  for (const char* language : {"English", "Romanian"}) {
    Loaded run(small_model(language));
    const std::string path = (run.dir.path() / "nowhere.inc").string();
    EXPECT_EQ(run.load(path + "    "), dialogs::LoadOutcome::not_opened);
    ASSERT_EQ(run.toolkit.messages.size(), 1u);
    const std::string expected = language[0] == 'E'
        ? "ERROR: cannot open the Loading File:\n" + path + "\nThe file does not exist !"
        : "EROARE: nu se poate deschide fisierul de incarcare:\n" + path + "\nFisierul nu exista !";
    EXPECT_EQ(run.toolkit.messages[0].text, expected);
    EXPECT_EQ(run.state.general().operator_code.view(), "ACH       ");
  }
}

// /dev/zero would be read until memory runs out and a FIFO would wait for a writer: neither is
// read, and the message says what the name is.
TEST(ReaderFaults, OnlyARegularFileIsLoaded) {
  Loaded run(small_model());
  for (const testing_support::SpecialFile& f : testing_support::make_special_files()) {
    run.toolkit.messages.clear();
    EXPECT_EQ(run.load(f.path), dialogs::LoadOutcome::not_opened) << f.path;
    ASSERT_EQ(run.toolkit.messages.size(), 1u);
    EXPECT_EQ(run.toolkit.messages[0].text, "ERROR: cannot open the Loading File:\n" + f.path + "\nThe name is " +
                                                 f.kind + ", not a regular file !");
  }
}

TEST(ReaderFaults, RomanianFaultMessage) {
  Loaded run(small_model("Romanian"));
  EXPECT_EQ(load(run, head(1) + lines({"0", "0.1 5"})), dialogs::LoadOutcome::failed);
  ASSERT_EQ(run.toolkit.messages.size(), 1u);
  EXPECT_EQ(run.toolkit.messages[0].text, "EROARE in fisierul de incarcare:\n" + (run.dir.path() / "old.inc").string() +
                                           "\nFisierul se termina dupa linia 6: se astepta parametrii cazului, cazul 1 !");
}

}  // namespace
