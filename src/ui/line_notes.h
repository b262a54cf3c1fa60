// What a viewer shows beside the lines of a file: a label per line and the problems found,
// made on a thread of their own while the lines are already on screen. The viewer of the
// toolkit's face shows them; the layer that knows the file's records makes them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ui {

class LineNotes {
 public:
  struct Problem {
    bool error = true;  // false: a warning
    std::string text;
  };

  virtual ~LineNotes() = default;
  // Every line has its label and the problems are known.
  virtual bool finished() const = 0;
  // Lines below this have their label; it grows while the file is read.
  virtual std::size_t noted_lines() const = 0;
  virtual std::string label(std::size_t line) const = 0;  // 0-based; below noted_lines()
  // After finished(): the first problem of the line, or null.
  virtual const Problem* problem(std::size_t line) const = 0;
  // After finished(): the first line after `after` with a problem, or -1.
  virtual long next_problem_line(long after) const = 0;
  // After finished(): what was found, in one sentence ("2 errors, 0 warnings; model ...").
  virtual std::string summary() const = 0;
};

// Starts the notes of the file read at `path`: `content` holds its `n_lines` lines and lives
// longer than the notes.
using LineNotesMaker =
    std::function<std::unique_ptr<LineNotes>(std::string_view content, const std::string& path, std::size_t n_lines)>;

}  // namespace ui
