#include "model/case_files/scratch_files.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "model/state.h"
#include "ui/platform.h"

namespace cases {

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

ScratchKind loading_data_kind(int loading_type) {
  if (loading_type == app::sinusoidal) return ScratchKind::sinusoidal;
  if (loading_type == app::exponential) return ScratchKind::exponential;
  if (loading_type < 0) return ScratchKind::accelerogram;
  return ScratchKind::discrete_loading;
}

namespace {

// Cases 10..99 have two-digit names that the one-character patterns never match.
void delete_two_digit_case_files(std::string_view suffix) {
  ui::delete_files_where([suffix](std::string_view name) {
    return name.size() == suffix.size() + 2 && name.substr(2) == suffix &&
           std::isdigit(static_cast<unsigned char>(name[0])) && name[0] != '0' &&
           std::isdigit(static_cast<unsigned char>(name[1]));
  });
}

}  // namespace

namespace {

constexpr ScratchKind all_kinds[] = {ScratchKind::initial_conditions, ScratchKind::initial_loading,
                                     ScratchKind::discrete_loading,   ScratchKind::accelerogram,
                                     ScratchKind::sinusoidal,         ScratchKind::exponential};

std::string failure(const std::string& name, const std::error_code& ec) {
  return name + ": " + ec.message();
}

}  // namespace

std::vector<std::string> move_case_scratch_files_down(int removed, int last) {
  namespace fs = std::filesystem;
  std::vector<std::string> failures;
  for (ScratchKind kind : all_kinds) {
    std::error_code ec;
    const std::string gone = scratch_file_name(removed, kind);
    fs::remove(gone, ec);
    if (ec) failures.push_back(failure(gone, ec));
    // Case k-1's name is free here: it was deleted or renamed in the previous step.
    for (int k = removed + 1; k <= last; ++k) {
      const std::string from = scratch_file_name(k, kind);
      if (!fs::exists(from, ec)) continue;
      fs::rename(from, scratch_file_name(k - 1, kind), ec);
      if (ec) failures.push_back(failure(from, ec));
    }
  }
  return failures;
}

void delete_case_scratch_files(bool with_initial_loading) {
  for (ScratchKind kind : all_kinds) {
    if (kind == ScratchKind::initial_loading && !with_initial_loading) continue;
    const std::string_view suffix = scratch_suffix(kind);
    ui::delete_matching_files("?" + std::string(suffix));
    delete_two_digit_case_files(suffix);
  }
}

}  // namespace cases
