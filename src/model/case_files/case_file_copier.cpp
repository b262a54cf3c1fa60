#include "model/case_files/case_file_copier.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text/fixed_text.h"

namespace model::case_files {

void CaseFileCopier::emit(std::string_view line) {
  const std::string_view record = copied_line(line);
  if (!record.empty()) has_data_ = true;
  out_.write_record(record);
}

void CaseFileCopier::emit_without_cr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  emit(line);
}

void CaseFileCopier::take_block(const char* data, std::size_t size) {
  const char* const end = data + size;
  while (data < end) {
    const char* newline = static_cast<const char*>(std::memchr(data, '\n', end - data));
    const char* stop = newline ? newline : end;
    // Only the first 132 characters of a line are kept; one more tells a CR from the text.
    if (!newline || !partial_.empty()) {
      const std::size_t room = copied_line_length + 1 - std::min(partial_.size(), copied_line_length + 1);
      partial_.append(data, std::min<std::size_t>(stop - data, room));
    }
    if (!newline) return;
    emit_without_cr(partial_.empty() ? std::string_view(data, stop - data) : partial_);
    partial_.clear();
    data = newline + 1;
  }
}

CopiedSection CaseFileCopier::copy(const std::string& name, int& error) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) return error = errno, CopiedSection::unreadable;
    // A missing scratch file is left behind empty, as every earlier version of the tool did.
    const int created = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (created >= 0) ::close(created);
    return CopiedSection::empty;
  }
  has_data_ = false;
  partial_.clear();
  for (;;) {
    const ssize_t n = ::read(fd, block_.data(), block_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      ::close(fd);
      return CopiedSection::unreadable;
    }
    if (n == 0) break;
    take_block(block_.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  // A last line without its LF, possibly cut after the CR of a CR LF.
  if (!partial_.empty()) emit_without_cr(partial_);
  return has_data_ ? CopiedSection::copied : CopiedSection::empty;
}

}  // namespace model::case_files
