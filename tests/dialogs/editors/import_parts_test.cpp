// The Import dialog's preview of a record file: its first lines as they stand, marked by what
// the reader took them for, from regular files only.
#include "dialogs/editors/import_parts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/special_files.h"
#include "support/temp_dir.h"

namespace {

using dialogs::editors::preview_lines;

void write(const std::string& name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}

motion::ReadResult data_from(std::size_t first, std::size_t last) {
  motion::ReadResult read;
  read.record.data_lines.push_back({first, last});
  return read;
}

// CR LF and LF ends, tabs and control characters blanked (a CR inside a line too), a line cut at
// 160 characters (a CR right after the cut is not shown), a last line without its line feed,
// marks by line.
TEST(ImportPreview, ShowsTheFirstLinesNumberedMarkedBlankedAndCut) {
  testing_support::TempCurrentDir dir;
  const std::string long_line(170, '7');
  const std::string exactly_wide = std::string(160, 'w') + "\r";
  const std::string cr_at_the_cut = std::string(159, 'c') + "\r" + std::string(9, 'c');
  write("record.txt", "HEADER\tONE\r\n0.01 0.5\n" + long_line + "\r\n" + exactly_wide + "\n\x01x\n\n" + cr_at_the_cut + "\nlast");
  const std::vector<std::string> lines = preview_lines("record.txt", data_from(2, 3));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "    1 H  HEADER ONE");
  EXPECT_EQ(lines[1], "    2 D  0.01 0.5");
  EXPECT_EQ(lines[2], "    3 D  " + std::string(160, '7'));
  EXPECT_EQ(lines[3], "    4 H  " + std::string(160, 'w'));
  EXPECT_EQ(lines[4], "    5 H   x");
  EXPECT_EQ(lines[5], "    6 H  ");
  EXPECT_EQ(lines[6], "    7 H  " + std::string(159, 'c') + " ");  // a CR inside a line is blanked like any other
  EXPECT_EQ(lines[7], "    8 H  last");
}

// Only the first 200 lines, however long the file and however its lines fall across the blocks
// it is read in; a file ending in a line feed has no empty line after it.
TEST(ImportPreview, StopsAtTwoHundredLinesAndReadsAcrossBlocks) {
  testing_support::TempCurrentDir dir;
  std::string content;
  for (int i = 1; i <= 5000; ++i) content += std::to_string(i) + std::string(static_cast<std::size_t>(i % 150), ' ') + "|\n";
  write("long.txt", content);
  const std::vector<std::string> lines = preview_lines("long.txt", {});
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[199].substr(0, 13), "  200 H  200 ");
  EXPECT_EQ(lines[199].back(), '|');
  write("short.txt", "a\nb\n");
  EXPECT_EQ(preview_lines("short.txt", {}), (std::vector<std::string>{"    1 H  a", "    2 H  b"}));
}

// A FIFO nobody writes to, a folder, a device, a missing file or no path: nothing shown, and
// the dialog does not hang.
TEST(ImportPreview, ShowsNothingOfWhatIsNoRegularFile) {
  testing_support::TempCurrentDir dir;
  for (const testing_support::SpecialFile& f : testing_support::make_special_files())
    EXPECT_TRUE(preview_lines(f.path, {}).empty()) << f.kind;
  EXPECT_TRUE(preview_lines("missing.txt", {}).empty());
  EXPECT_TRUE(preview_lines("", {}).empty());
}

}  // namespace
