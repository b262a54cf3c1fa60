// Copying a case file into the loading file: its lines, each cut to 132 characters and without
// trailing blanks, in the order they stand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/case_files/atomic_file.h"
#include "model/case_files/section_records.h"

namespace model::case_files {

enum class CopiedSection {
  copied,      // the scratch file had data; it was copied
  empty,       // missing (now created empty) or without data: the terminator stands in for it
  unreadable,  // it exists but cannot be read: the loading file is not written
};

// Scratch files are read in large blocks; lines are split here rather than by a stream so
// that a long accelerogram costs little more than copying its bytes.
class CaseFileCopier {
 public:
  explicit CaseFileCopier(AtomicFile& out) : out_(out), block_(1 << 18) {}
  CopiedSection copy(const std::string& name, int& error);

 private:
  void emit(std::string_view line);
  void emit_without_cr(std::string_view line);
  void take_block(const char* data, std::size_t size);

  AtomicFile& out_;
  std::vector<char> block_;
  std::string partial_;  // start of a line that continues in the next block, at most 133 characters
  bool has_data_ = false;
};

}  // namespace model::case_files
