#include "loadfile/reader.h"

#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>

#include "text/regular_file.h"
#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "model/case_files/text_file.h"
#include "text/fixed_text.h"
#include "text/free_form.h"
#include "ui/platform.h"

namespace loadfile {

namespace {

// The path up to its first NUL, without trailing blanks (the state keeps it in a padded
// field); when there is none the console is asked, as the tool did without a dialog.
std::string loading_file_path(std::string_view path) {
  path = text::trim_right(path.substr(0, path.find('\0')));
  if (!path.empty()) return std::string(path);
  std::cout << " Input File:" << std::flush;
  std::string typed;
  std::getline(std::cin, typed);
  if (!typed.empty() && typed.back() == '\r') typed.pop_back();
  return std::string(text::trim_right(std::string_view(typed).substr(0, app::max_path_bytes)));
}

// The case files in the order their sections were read, as if each had been written then: a
// streamed one by renaming its part over it, one held in memory (an emptied file) through the
// atomic writer. After a failure the remaining parts are removed and their case files kept.
bool put_scratch_files_in_place(Session& context, const std::vector<ScratchFile>& files) {
  const std::string& folder = context.state.case_folder;
  bool placed = true;
  for (const ScratchFile& file : files) {
    const std::string path = folder.empty() ? file.name : folder + "/" + file.name;
    std::error_code ec;
    if (placed && !file.write_failed) {
      std::string reason;  // the message names the file and its folder instead
      if (file.part.empty() ? common::replace_file(path, file.content, reason)
                            : (std::filesystem::rename(file.part, path, ec), !ec))
        continue;
    }
    if (!file.part.empty()) std::filesystem::remove(file.part, ec);
    if (placed) show_write_failure(context, file.name, folder.empty() ? ui::current_directory() : folder);
    placed = false;
  }
  return placed;
}

void remove_parts(const std::vector<ScratchFile>& files) {
  for (const ScratchFile& file : files) {
    if (file.part.empty()) continue;
    std::error_code ec;
    std::filesystem::remove(file.part, ec);
  }
}

}  // namespace

LoadOutcome load_loading_file(Session& context, const std::string& path_argument) {
  const std::string path = loading_file_path(path_argument);
  text::RecordSource source;
  text::FileRead why;
  if (path.empty() || !text::RecordSource::from_file(path, source, &why)) {
    if (path.empty()) why.status = text::FileReadStatus::missing;
    show_open_failure(context, path, why);
    return LoadOutcome::not_opened;
  }
  // Everything is read into a copy first: the time-point limit must leave the state and the
  // disk as they were, and the other faults keep exactly what was read before them.
  app::ProgramState staged = context.state;
  ReadResult result = read_loading_records(source, staged, context.state.case_folder);
  if (result.outcome == ReadOutcome::too_many_points) {
    remove_parts(result.scratch_files);
    show_time_point_limit(context);
    return LoadOutcome::program_ends;
  }
  context.state = std::move(staged);
  if (!put_scratch_files_in_place(context, result.scratch_files)) return LoadOutcome::failed;
  ProblemList problems = std::move(result.problems);
  for (Problem& p : problems) p.file = path;
  const bool stopped = result.outcome == ReadOutcome::fault;
  if (stopped) problems.push_back(fault_problem(path, result.fault, context.state.n_nodes));
  show_read_problems(context, path, problems, stopped);
  return stopped ? LoadOutcome::failed : LoadOutcome::loaded;
}

LoadOutcome load_old_loading_file(Session& context, ui::Dialog& general_data_dialog,
                                  const std::string& path) {
  const LoadOutcome outcome = load_loading_file(context, path);
  if (outcome == LoadOutcome::program_ends) general_data_dialog.close(2);
  return outcome;
}

}  // namespace loadfile
