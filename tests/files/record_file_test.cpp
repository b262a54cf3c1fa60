// Text files read whole into records: every byte, and no more than the limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "files/record_file.h"

namespace {

using text::RecordSource;

TEST(ReadRecords, ReadsBytesAndReportsAMissingFile) {
  const std::string path = testing::TempDir() + "record_source_test.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("one\r\ntwo", f);
  std::fclose(f);
  RecordSource source;
  ASSERT_TRUE(files::read_records(path, source));
  EXPECT_EQ(source.size(), 2u);
  EXPECT_EQ(source.record(1), "two");
  std::remove(path.c_str());
  EXPECT_FALSE(files::read_records(path, source));
}

// A file beyond the limit is refused before a byte is read; one whose size said nothing (here a
// file of /proc, as a file being appended to says too little) is refused once it passes it.
TEST(ReadRecords, FilesBeyondTheLimitAreRefusedWholeNotReadWithoutEnd) {
  const std::string path = testing::TempDir() + "record_source_limit.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("0123456789\n0123456789\n", f);
  std::fclose(f);
  RecordSource source;
  files::FileRead why;
  EXPECT_TRUE(files::read_records(path, source, &why, 22));
  EXPECT_FALSE(files::read_records(path, source, &why, 21));
  EXPECT_EQ(why.status, files::FileReadStatus::too_large);
  std::remove(path.c_str());
  ASSERT_TRUE(files::read_records("/proc/self/status", source, &why));
  ASSERT_GT(source.size(), 2u);
  EXPECT_FALSE(files::read_records("/proc/self/status", source, &why, 16));
  EXPECT_EQ(why.status, files::FileReadStatus::too_large);
  EXPECT_EQ(files::size_limit_words(files::max_text_file_bytes), "1 GiB (1073741824 bytes)");
}

}  // namespace
