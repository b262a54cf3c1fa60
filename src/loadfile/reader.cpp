#include "loadfile/reader.h"

#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>

#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "text/fixed_text.h"
#include "text/free_form.h"
#include "ui/platform.h"

namespace loadfile {

namespace {

constexpr std::size_t path_length = 260;

// The path up to its first NUL, without trailing blanks (the state keeps it in a padded
// field); when there is none the console is asked, as the tool did without a dialog.
std::string loading_file_path(std::string_view path) {
  path = text::trim_right(path.substr(0, path.find('\0')));
  if (!path.empty()) return std::string(path);
  std::cout << " Input File:" << std::flush;
  std::string typed;
  std::getline(std::cin, typed);
  if (!typed.empty() && typed.back() == '\r') typed.pop_back();
  return std::string(text::trim_right(std::string_view(typed).substr(0, path_length)));
}

// The parts become the case files in the order their sections were read, as if each had been
// written then; after a failure the remaining parts are removed and their case files kept.
bool put_scratch_files_in_place(Session& context, const std::vector<ScratchFile>& files) {
  bool placed = true;
  for (const ScratchFile& file : files) {
    std::error_code ec;
    if (placed && !file.write_failed) {
      std::filesystem::rename(file.part, file.name, ec);
      if (!ec) continue;
    }
    std::filesystem::remove(file.part, ec);
    if (placed) show_write_failure(context, file.name, ui::current_directory());
    placed = false;
  }
  return placed;
}

void remove_parts(const std::vector<ScratchFile>& files) {
  for (const ScratchFile& file : files) {
    std::error_code ec;
    std::filesystem::remove(file.part, ec);
  }
}

}  // namespace

LoadOutcome load_loading_file(Session& context, const std::string& path_argument) {
  const std::string path = loading_file_path(path_argument);
  text::RecordSource source;
  if (path.empty() || !text::RecordSource::from_file(path, source)) {
    std::error_code ec;
    show_open_failure(context, path, std::filesystem::exists(path, ec));
    return LoadOutcome::failed;
  }
  // Everything is read into a copy first: the time-point limit must leave the state and the
  // disk as they were, and the other faults keep exactly what was read before them.
  app::ProgramState staged = context.state;
  ReadResult result = read_loading_records(source, staged, "");
  if (result.outcome == ReadOutcome::too_many_points) {
    remove_parts(result.scratch_files);
    show_time_point_limit(context);
    return LoadOutcome::program_ends;
  }
  context.state = std::move(staged);
  if (!put_scratch_files_in_place(context, result.scratch_files)) return LoadOutcome::failed;
  if (result.outcome == ReadOutcome::fault) {
    show_read_fault(context, path, result.fault);
    return LoadOutcome::failed;
  }
  return LoadOutcome::loaded;
}

bool load_old_loading_file(Session& context, ui::Dialog& general_data_dialog,
                           const std::string& path) {
  const LoadOutcome outcome = load_loading_file(context, path);
  if (outcome == LoadOutcome::program_ends) general_data_dialog.close(2);
  return outcome == LoadOutcome::loaded;
}

}  // namespace loadfile
