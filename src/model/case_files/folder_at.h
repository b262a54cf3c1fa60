// Folders and files below an open folder, never through a link: what the run folders, the
// stopped runs and the runs set aside share.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "model/case_files/journal.h"

namespace model::case_files::detail {

// A folder below `parent`, never through a link.
int open_folder_at(int parent, const char* name);
bool try_lock(int fd);
// A folder of ours that the group or anyone may write to could have had anything put into it
// or swapped: its content is not ours to trust.
bool others_may_write(const struct stat& st);
// A folder we have just made is for us alone, whatever the umask (a group's shared folder
// has 002, and 077 would leave it unusable).
bool make_ours_alone(int fd);
// Removes `name` below `parent` with everything in it, each step relative to an open folder:
// a link met anywhere is removed as a link, and what it points to is never reached.
void remove_tree_at(int parent, const char* name);
// The whole of a small file below an open folder, never through a link; false when it is
// missing (errno ENOENT) or cannot be read, or grows beyond `limit`.
bool read_file_at(int folder, const char* name, std::string& content, std::size_t limit);
JournalRead read_journal_at(int folder, JournalContent& content, std::string& reason);
// Moves the folder `name` below `base_fd` into abandoned/, dated now so that its week starts
// today (a rename keeps the folder's own time).
bool abandon_at(int base_fd, const std::string& name, std::string& reason);
// Why `base` must not hold run folders, empty when it may: only a folder of our own, reached
// without a link, that nobody else can write to.
std::string refusal_of_base(int fd, const std::filesystem::path& base);
int open_base(const std::filesystem::path& base);
// The names in the folder open at `fd`, without "." and "..".
std::vector<std::string> folder_names(int fd);
// Sweeps the base open at `base_fd`.
void remove_dead_run_folders_at(int base_fd);

// The folders tried in turn for ".brantel": the start folder, the runtime folder, temp; the
// last two are shared with other users' programs, the first often with a group.
struct Base {
  std::filesystem::path path;
};
std::vector<Base> candidate_bases(const std::filesystem::path& start_folder);

}  // namespace model::case_files::detail
