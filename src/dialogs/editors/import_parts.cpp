#include "dialogs/editors/import_parts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <unistd.h>

#include "files/regular_file.h"


namespace dialogs::editors {

namespace {
constexpr std::size_t preview_count = 200;
constexpr std::size_t preview_width = 160;

std::string number_text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}
}  // namespace

std::optional<double> typed_number(const std::string& text, bool& bad) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
    bad = true;
    return std::nullopt;
  }
  return value;
}

namespace {

// The first lines of a file, each cut to one character more than a preview shows (so that a CR
// before the cut is still told from the line's text), read a block at a time until there are
// enough: a record of many megabytes is not read whole to show its head.
std::vector<std::string> first_lines(const std::string& path) {
  std::vector<std::string> lines;
  if (path.empty()) return lines;
  files::read_regular_file_with(path, [&lines](int fd, std::size_t) {
    std::string line;
    bool open_line = false;
    char block[1 << 16];
    while (lines.size() < preview_count) {
      const ssize_t n = ::read(fd, block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      for (const char* p = block; p < block + n && lines.size() < preview_count;) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(block + n - p)));
        const char* end = lf ? lf : block + n;
        const std::size_t room = preview_width + 1 - std::min(line.size(), preview_width + 1);
        line.append(p, std::min(room, static_cast<std::size_t>(end - p)));
        open_line = !lf;
        if (lf) lines.push_back(std::exchange(line, {}));
        p = lf ? lf + 1 : end;
      }
    }
    // A last line without its line feed is a line all the same.
    if (open_line && lines.size() < preview_count) lines.push_back(std::move(line));
    return true;
  });
  return lines;
}

}  // namespace

std::vector<std::string> preview_lines(const std::string& path, const motion::ReadResult& read) {
  std::vector<std::string> lines = first_lines(path);
  auto is_data = [&](std::size_t n) {
    for (const motion::LineSpan& span : read.record.data_lines)
      if (n >= span.first && n <= span.last) return true;
    return false;
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string& line = lines[i];
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line)
      if (c == '\t' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (line.size() > preview_width) line.resize(preview_width);
    char mark[32];
    std::snprintf(mark, sizeof mark, "%5zu %c  ", i + 1, is_data(i + 1) ? 'D' : 'H');
    line.insert(0, mark);
  }
  return lines;
}

bool raw_record(const motion::ReadResult& read) {
  for (const motion::Problem& p : read.problems)
    if (motion::says_uncorrected(p)) return true;
  return false;
}

std::string unit_line(const Context& context, const motion::Record& r) {
  if (!r.file_unit) return {};
  const std::string unit(motion::unit_name(*r.file_unit));
  switch (r.unit_source) {
    case motion::UnitSource::file: return context.words("\nUnit: " + unit + ", as the file states", "\nUnitate: " + unit + ", precizata de fisier");
    case motion::UnitSource::format:
      return context.words("\nUnit: " + unit + ", the format's (the file states none)",
                   "\nUnitate: " + unit + ", a formatului (fisierul nu precizeaza niciuna)");
    case motion::UnitSource::options:
      return context.words("\nUnit: " + unit + ", as chosen (the file states none)",
                   "\nUnitate: " + unit + ", cea aleasa (fisierul nu precizeaza niciuna)");
    case motion::UnitSource::none: break;
  }
  return {};
}

std::string end_time_note(const Context& context, const motion::Record& r, double end_time) {
  const double end = r.time(r.point_count() - 1);
  if (!(end_time > 0) || !(end > end_time)) return {};
  std::string peak_after;
  for (const auto& c : r.components) {
    const motion::Peak peak = motion::peak_of(c);
    if (r.time(peak.index) > end_time) {
      peak_after = context.words(", its peak at " + number_text(r.time(peak.index)) + " s",
                         ", varful la " + number_text(r.time(peak.index)) + " s");
      break;
    }
  }
  return context.words("\nNote: the record runs to " + number_text(end) + " s, beyond the case's End Time " +
                   number_text(end_time) + " s" + peak_after + ": the solver stops at the End Time",
               "\nAtentie: inregistrarea dureaza pana la " + number_text(end) + " s, dupa timpul final al cazului " +
                   number_text(end_time) + " s" + peak_after + ": calculul se opreste la timpul final");
}

std::string applied_to(int columns, int first, int components) {
  constexpr const char* component_names[] = {"X", "Y", "Z"};
  const int used = std::min(columns, components - first);
  std::string s = "\nLoads ";
  for (int c = 0; c < used; ++c) s += std::string(c ? ", " : "") + component_names[first + c];
  s += " of the node range";
  if (used < columns)
    s += "; column" + std::string(columns - used > 1 ? "s " : " ") + std::to_string(used + 1) +
         (columns - used > 1 ? "-" + std::to_string(columns) : std::string()) + " not taken";
  return s;
}

}  // namespace dialogs::editors
