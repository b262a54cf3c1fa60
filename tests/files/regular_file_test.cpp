// Regular files read whole or not at all, and the head of a file for readers that only look at
// how it begins.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "files/regular_file.h"

namespace {

std::string file_with(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// A file one byte over the limit is refused, not cut to a shorter file that reads as complete
// (a table or record missing its last rows); one at the limit is read whole.
TEST(ReadRegularFile, AFileOverTheLimitIsRefusedNotCut) {
  const std::string path = file_with("regular_file_limit.txt", "0.1,0.25\n0.2,0.5\n");
  std::string content = "left over";
  EXPECT_EQ(files::read_regular_file(path, content, 17).status, files::FileReadStatus::ok);
  EXPECT_EQ(content, "0.1,0.25\n0.2,0.5\n");
  EXPECT_EQ(files::read_regular_file(path, content, 16).status, files::FileReadStatus::too_large);
  EXPECT_EQ(content, "");
  std::remove(path.c_str());
}

// A file whose size says nothing (here one of /proc, as a file being appended to says too little)
// is refused once it passes the limit while read.
TEST(ReadRegularFile, AFileThatGrowsPastTheLimitWhileReadIsRefused) {
  std::string content;
  ASSERT_EQ(files::read_regular_file("/proc/self/status", content).status, files::FileReadStatus::ok);
  ASSERT_GT(content.size(), 32u);
  const files::FileRead read = files::read_regular_file("/proc/self/status", content, 32);
  EXPECT_EQ(read.status, files::FileReadStatus::too_large);
  EXPECT_EQ(content, "");
}

TEST(ReadFileHead, GivesTheFirstBytesOfAnyLengthOfFile) {
  const std::string path = file_with("regular_file_head.txt", "// first line\nsecond\n");
  std::string head;
  EXPECT_EQ(files::read_file_head(path, head, 8).status, files::FileReadStatus::ok);
  EXPECT_EQ(head, "// first");
  EXPECT_EQ(files::read_file_head(path, head, 100).status, files::FileReadStatus::ok);
  EXPECT_EQ(head, "// first line\nsecond\n");
  std::remove(path.c_str());
  EXPECT_EQ(files::read_file_head(path, head, 8).status, files::FileReadStatus::missing);
  EXPECT_EQ(files::read_file_head(testing::TempDir(), head, 8).status, files::FileReadStatus::not_regular);
}

}  // namespace
