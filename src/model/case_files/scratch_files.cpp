#include "model/case_files/scratch_files.h"

#include <cctype>
#include <filesystem>
#include <functional>
#include <system_error>

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

fs::path folder_path(const std::string& folder) { return folder.empty() ? fs::path(".") : fs::path(folder); }

// A case's file: one digit, or two digits not starting with 0 (cases 10..99), then the suffix.
bool case_file_name(std::string_view name, std::string_view suffix) {
  auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (!name.ends_with(suffix)) return false;
  const std::string_view number = name.substr(0, name.size() - suffix.size());
  if (number.size() == 1) return true;  // any one character, as the clean-up always took it
  return number.size() == 2 && digit(number[0]) && number[0] != '0' && digit(number[1]);
}

void delete_regular_files_where(const std::string& folder,
                                const std::function<bool(std::string_view)>& wanted) {
  std::error_code ec;
  for (fs::directory_iterator it(folder_path(folder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entry_ec;
    if (!it->is_regular_file(entry_ec)) continue;
    if (wanted(it->path().filename().string())) fs::remove(it->path(), entry_ec);
  }
}

std::string failure(const std::string& name, const std::error_code& ec) {
  return name + ": " + ec.message();
}

}  // namespace

std::vector<std::string> move_case_scratch_files_down(int removed, int last,
                                                      const std::string& folder) {
  std::vector<std::string> failures;
  for (ScratchKind kind : all_kinds) {
    std::error_code ec;
    const std::string gone = scratch_file_path(folder, removed, kind);
    fs::remove(gone, ec);
    if (ec) failures.push_back(failure(scratch_file_name(removed, kind), ec));
    // Case k-1's name is free here: it was deleted or renamed in the previous step.
    for (int k = removed + 1; k <= last; ++k) {
      const std::string from = scratch_file_path(folder, k, kind);
      if (!fs::exists(from, ec)) continue;
      fs::rename(from, scratch_file_path(folder, k - 1, kind), ec);
      if (ec) failures.push_back(failure(scratch_file_name(k, kind), ec));
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
