#include "model/case_files/scratch_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <system_error>

#include "model/case_files/run_folder.h"
#include "model/state.h"

namespace model::case_files {

namespace fs = std::filesystem;

std::string_view scratch_suffix(ScratchKind kind) {
  switch (kind) {
    case ScratchKind::initial_conditions: return "init.dat";
    case ScratchKind::initial_loading: return "InitLoad.dat";
    case ScratchKind::discrete_loading: return "TP.dat";
    case ScratchKind::accelerogram: return "TPacc.dat";
    case ScratchKind::sinusoidal: return "TPsin.dat";
    case ScratchKind::exponential: return "TPexp.dat";
  }
  return "";
}

std::string scratch_file_name(int case_number, ScratchKind kind) {
  return std::to_string(case_number) + std::string(scratch_suffix(kind));
}

std::string scratch_file_path(const std::string& folder, int case_number, ScratchKind kind) {
  if (folder.empty()) return scratch_file_name(case_number, kind);
  return (fs::path(folder) / scratch_file_name(case_number, kind)).string();
}

ScratchKind loading_data_kind(model::LoadingType loading_type) {
  if (loading_type == model::LoadingType::sinusoidal) return ScratchKind::sinusoidal;
  if (loading_type == model::LoadingType::exponential) return ScratchKind::exponential;
  if (model::accelerogram(loading_type)) return ScratchKind::accelerogram;
  return ScratchKind::discrete_loading;
}

namespace {

constexpr ScratchKind all_kinds[] = {ScratchKind::initial_conditions, ScratchKind::initial_loading,
                                     ScratchKind::discrete_loading,   ScratchKind::accelerogram,
                                     ScratchKind::sinusoidal,         ScratchKind::exponential};

// A case's file: one digit, or two digits not starting with 0 (cases 10..99), then the suffix.
bool case_file_name(std::string_view name, std::string_view suffix) {
  auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (!name.ends_with(suffix)) return false;
  const std::string_view number = name.substr(0, name.size() - suffix.size());
  if (number.size() == 1) return true;  // any one character, as the clean-up always took it
  return number.size() == 2 && digit(number[0]) && number[0] != '0' && digit(number[1]);
}

// Every step relative to the run's folder as the run holds it: a link is never followed (it
// goes itself), and folders and other special files stay.
void delete_regular_files_where(const std::string& folder,
                                const std::function<bool(std::string_view)>& wanted) {
  const files::Descriptor folder_fd = open_run_folder(folder);
  const int listing = folder_fd.get() < 0 ? -1 : ::dup(folder_fd.get());
  DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
  if (entries == nullptr) {
    if (listing >= 0) ::close(listing);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(entries)) {
    struct stat st {};
    if (::fstatat(folder_fd.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) &&
        wanted(entry->d_name))
      names.emplace_back(entry->d_name);
  }
  ::closedir(entries);
  for (const std::string& name : names) ::unlinkat(folder_fd.get(), name.c_str(), 0);
}

std::string failure(const std::string& name, int error) {
  return name + ": " + std::error_code(error, std::generic_category()).message();
}

}  // namespace

std::vector<std::string> move_case_scratch_files_down(int removed, int last,
                                                      const std::string& folder) {
  std::vector<std::string> failures;
  const files::Descriptor folder_fd = open_run_folder(folder);
  if (folder_fd.get() < 0) {
    failures.push_back(failure(folder.empty() ? "." : folder, errno));
    return failures;
  }
  const int at = folder_fd.get();
  for (ScratchKind kind : all_kinds) {
    const std::string gone = scratch_file_name(removed, kind);
    if (::unlinkat(at, gone.c_str(), 0) != 0 && errno != ENOENT) failures.push_back(failure(gone, errno));
    // Case k-1's name is free here: it was deleted or renamed in the previous step.
    for (int k = removed + 1; k <= last; ++k) {
      const std::string from = scratch_file_name(k, kind);
      struct stat st {};
      if (::fstatat(at, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (::renameat(at, from.c_str(), at, scratch_file_name(k - 1, kind).c_str()) != 0)
        failures.push_back(failure(from, errno));
    }
  }
  return failures;
}

void delete_case_scratch_files(bool with_initial_loading, const std::string& folder) {
  delete_regular_files_where(folder, [with_initial_loading](std::string_view name) {
    for (ScratchKind kind : all_kinds) {
      if (kind == ScratchKind::initial_loading && !with_initial_loading) continue;
      if (case_file_name(name, scratch_suffix(kind))) return true;
    }
    return false;
  });
}

}  // namespace model::case_files
