// The geometry file reader on files of our own, each written to a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/geometry_file.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace {

using model::GeometryOutcome;
using model::GeometryReadResult;
using model::read_geometry_file;
using testing_support::TempCurrentDir;
using testing_support::write_file;

// Two tables for n_dof 3, each ended by a heading line, then the three unit lines.
const std::string tables_dof3 =
    "     1     1   1   1   1\n"
    "     2     0   0   0   0\n"
    "NODAL COORDINATES\n"
    "     1   0.000   0.000   0.000\n"
    "     2   6.000   3.500   0.000\n"
    "UNITS\n";
const std::string units = "m\nsec\nkN\n";

GeometryReadResult read_text(const std::string& content) {
  TempCurrentDir dir;
  write_file(dir.path() / "model.dat", content);
  return read_geometry_file((dir.path() / "model.dat").string());
}

void expect_units(const GeometryReadResult& r, std::string_view length, std::string_view second,
                  std::string_view force) {
  EXPECT_EQ(r.data.length_unit.view(), text::padded(length, 20));
  EXPECT_EQ(r.data.second_unit.view(), text::padded(second, 20));
  EXPECT_EQ(r.data.force_unit.view(), text::padded(force, 20));
}

TEST(GeometryFile, CommentLinesTitleAndCountRecord) {
  const auto r = read_text("// model\n// of a frame\n//\nFRAME\n120 95 3 0 0 1\n" + tables_dof3 + units);
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  EXPECT_EQ(r.data.n_nodes, 120);
  EXPECT_EQ(r.data.n_elements, 95);
  EXPECT_EQ(r.data.n_dof, 3);
  expect_units(r, "m", "sec", "kN");
}

TEST(GeometryFile, WithoutCommentsTheFirstLineIsTheTitle) {
  // A title that happens to look like a count record is still skipped.
  const auto r = read_text("7 7 7 7 7 7\n120 95 3 0 0 1\n" + tables_dof3 + units);
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  EXPECT_EQ(r.data.n_nodes, 120);
  EXPECT_EQ(r.data.n_dof, 3);
}

TEST(GeometryFile, OneSlashOrAnEmptyLineIsATitle) {
  const auto slash = read_text("/ title\n120 95 3 0 0 1\n" + tables_dof3 + units);
  ASSERT_EQ(slash.outcome, GeometryOutcome::ok);
  EXPECT_EQ(slash.data.n_nodes, 120);
  const auto empty_title = read_text("// c\n\n120 95 3 0 0 1\n" + tables_dof3 + units);
  ASSERT_EQ(empty_title.outcome, GeometryOutcome::ok);
  EXPECT_EQ(empty_title.data.n_nodes, 120);
}

TEST(GeometryFile, CountRecordSplitOverLinesReadsTheSame) {
  const auto one = read_text("T\n120 95 3 0 0 1\n" + tables_dof3 + units);
  const auto two = read_text("T\n120 95\n 3 0 0 1\n" + tables_dof3 + units);
  const auto commas = read_text("T\n120,95,\n3, 0 ,0,1\n" + tables_dof3 + units);
  ASSERT_EQ(two.outcome, GeometryOutcome::ok);
  EXPECT_EQ(two.data, one.data);
  EXPECT_EQ(commas.data, one.data);
}

TEST(GeometryFile, UnitLinesAreTheirFirstTwentyCharacters) {
  const auto r = read_text("T\n120 95 3 0 0 1\n" + tables_dof3 +
                           "millimetres of steel plate\n  s\nkilonewton-metre-per-radian\n");
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  expect_units(r, "millimetres of steel", "  s", "kilonewton-metre-per");
}

TEST(GeometryFile, SlashLinesInsideATableDoNotEndIt) {
  // "//" ends a free-form read early: an empty read that succeeds, so the table goes on.
  const auto r = read_text("T\n12 15 3 2 1 1\n1 1 1 1 1\n// storey 1\n2 0 0 0 0\n"
                           "COORDINATES\n1 0. 0. 0.\n// top\n2 6. 3.5 0.\nUNITS\nm\nsec\nkN\n");
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  expect_units(r, "m", "sec", "kN");
}

TEST(GeometryFile, TableRecordsMayRunOverSeveralLines) {
  // A read of 2 + n_dof integers takes what it needs from the following lines, and the
  // heading that ends a table is consumed even when the read began a line earlier.
  const auto r = read_text("T\n2 1 3 0 0 0\n1 1\n 1 1 1\n2 0 0\nHEADING\n1 0. 0.\n 0.\nHEAD\n"
                           "cm\nmin\nN\n");
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  expect_units(r, "cm", "min", "N");
}

TEST(GeometryFile, ARealInTheIntegerTableEndsIt) {
  const auto r = read_text("T\n2 1 2 0 0 0\n1 1 1 1\n2 0 0.5 0\n1 0. 0.\nX\nm\nsec\nkN\n");
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  expect_units(r, "m", "sec", "kN");
}

TEST(GeometryFile, CarriageReturnLineFeedFiles) {
  const auto r = read_text("// c\r\nT\r\n120 95 3 0 0 1\r\n1 1 1 1 1\r\nH\r\n1 0. 0. 0.\r\nH\r\nm\r\nsec\r\nkN\r\n");
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  EXPECT_EQ(r.data.n_nodes, 120);
  expect_units(r, "m", "sec", "kN");
}

TEST(GeometryFile, SlashInTheCountRecordLeavesTheRestZero) {
  const auto r = read_text("T\n120 95 3 /\n" + tables_dof3 + units);
  ASSERT_EQ(r.outcome, GeometryOutcome::ok);
  EXPECT_EQ(r.data.n_dof, 3);
}

TEST(GeometryFile, FilesThatCannotBeRead) {
  TempCurrentDir dir;
  EXPECT_EQ(read_geometry_file((dir.path() / "none.dat").string()).outcome, GeometryOutcome::not_found);
  EXPECT_EQ(read_geometry_file("").outcome, GeometryOutcome::not_found);
  std::filesystem::create_directory(dir.path() / "folder.dat");
  EXPECT_EQ(read_geometry_file((dir.path() / "folder.dat").string()).outcome, GeometryOutcome::not_regular);
  EXPECT_EQ(read_geometry_file(std::string(256, 'a')).outcome, GeometryOutcome::path_too_long);
}

// A device never ends and a FIFO waits for a writer: neither is read, and the message says what
// the name is.
TEST(GeometryFile, OnlyARegularFileIsRead) {
  TempCurrentDir dir;
  for (const testing_support::SpecialFile& f : testing_support::make_special_files()) {
    const GeometryReadResult r = read_geometry_file(f.path);
    EXPECT_EQ(r.outcome, GeometryOutcome::not_regular) << f.path;
    EXPECT_EQ(geometry_problem_text(r, f.path).english,
              "ERROR: Geometry file not read: the name is " + f.kind + ", not a regular file.\n" + f.path);
  }
}

TEST(GeometryFile, TruncatedFiles) {
  EXPECT_EQ(read_text("").outcome, GeometryOutcome::empty);
  EXPECT_EQ(read_text("// only\n// comments\n").outcome, GeometryOutcome::no_count_record);
  EXPECT_EQ(read_text("TITLE\n").outcome, GeometryOutcome::no_count_record);
  EXPECT_EQ(read_text("T\n120 95 3\n").outcome, GeometryOutcome::no_count_record);
  EXPECT_EQ(read_text("T\n120 95 3 0 0 1\n" + tables_dof3).outcome, GeometryOutcome::no_unit_lines);
  EXPECT_EQ(read_text("T\n120 95 3 0 0 1\n" + tables_dof3 + "m\nsec\n").outcome,
            GeometryOutcome::no_unit_lines);
  // Without the heading that ends the coordinate table the unit lines are taken as its end.
  EXPECT_EQ(read_text("T\n120 95 3 0 0 1\n1 1 1 1 1\nH\n1 0. 0. 0.\nm\nsec\nkN\n").outcome,
            GeometryOutcome::no_unit_lines);
}

TEST(GeometryFile, CountRecordThatIsNotSixIntegers) {
  for (const std::string count : {"120 95 3.0 0 0 1", "120 95 three 0 0 1", "NODES 120"}) {
    const auto r = read_text("// c\nT\n" + count + "\n" + tables_dof3 + units);
    EXPECT_EQ(r.outcome, GeometryOutcome::bad_count_record) << count;
    EXPECT_EQ(r.line, 3u) << count;
  }
  const auto split = read_text("T\n120 95\n3 0 x 1\n" + tables_dof3 + units);
  EXPECT_EQ(split.outcome, GeometryOutcome::bad_count_record);
  EXPECT_EQ(split.line, 3u);
}

TEST(GeometryFile, CountsBelowOneOrTooManyDegreesOfFreedom) {
  for (const std::string count : {"0 95 3 0 0 1", "120 0 3 0 0 1", "120 95 0 0 0 1", "-120 95 3 0 0 1",
                                  "120 -1 3 0 0 1", "120 95 -3 0 0 1", "120 95 7 0 0 1"}) {
    const auto r = read_text("T\n" + count + "\n" + tables_dof3 + units);
    EXPECT_EQ(r.outcome, GeometryOutcome::bad_counts) << count;
  }
  EXPECT_EQ(read_text("T\n120 95 6 0 0 1\n1 1 1 1 1 1 1 1\nH\n1 0 0 0 0 0 0\nH\n" + units).outcome,
            GeometryOutcome::ok);
}

TEST(GeometryFile, ProblemTextNamesTheFileAndTheReasonInBothLanguages) {
  GeometryReadResult bad;
  bad.outcome = GeometryOutcome::bad_count_record;
  bad.line = 4;
  const auto text = model::geometry_problem_text(bad, "/home/u/Dat/frame.dat   ");
  EXPECT_EQ(text.english,
            "ERROR: Geometry file not read: line 4: the record of the numbers of nodes and elements "
            "is not six integers.\n/home/u/Dat/frame.dat");
  EXPECT_EQ(text.romanian,
            "EROARE: Fisierul de geometrie nu a fost citit: linia 4: inregistrarea numerelor de "
            "noduri si elemente nu are sase numere intregi.\n/home/u/Dat/frame.dat");

  GeometryReadResult counts;
  counts.outcome = GeometryOutcome::bad_counts;
  counts.line = 2;
  counts.data.n_nodes = 120;
  counts.data.n_dof = 3;
  EXPECT_NE(model::geometry_problem_text(counts, "m.dat").english.find("= 120 0 3"), std::string::npos);
}

TEST(GeometryFile, ExampleModelsOfTheWorkspace) {
  const std::string dat = std::string(BRANTEL_WORKSPACE) + "/Dat/";
  const auto frame = read_geometry_file(dat + "frame.dat");
  ASSERT_EQ(frame.outcome, GeometryOutcome::ok);
  EXPECT_EQ(frame.data.n_nodes, 12);
  EXPECT_EQ(frame.data.n_elements, 15);
  EXPECT_EQ(frame.data.n_dof, 3);
  expect_units(frame, "m", "sec", "kN");
  const auto truss = read_geometry_file(dat + "truss.dat");
  ASSERT_EQ(truss.outcome, GeometryOutcome::ok);
  EXPECT_EQ(truss.data.n_nodes, 16);
  EXPECT_EQ(truss.data.n_elements, 29);
  EXPECT_EQ(truss.data.n_dof, 2);
  expect_units(truss, "m", "sec", "kN");
}

}  // namespace
