// Names of the case scratch files: the decimal case number followed by a fixed suffix, in the
// run's private folder (state.case_folder; tests that leave it empty use the current directory).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/domain_codes.h"

namespace model::case_files {

enum class ScratchKind {
  initial_conditions,  // init.dat
  initial_loading,     // InitLoad.dat
  discrete_loading,    // TP.dat
  accelerogram,        // TPacc.dat
  sinusoidal,          // TPsin.dat
  exponential,         // TPexp.dat
};

std::string_view scratch_suffix(ScratchKind kind);
std::string scratch_file_name(int case_number, ScratchKind kind);
// The file's path in `folder`; the bare name when `folder` is empty.
std::string scratch_file_path(const std::string& folder, int case_number, ScratchKind kind);
// The loading data file of a case by its loading type (TP, TPsin, TPexp or TPacc).
ScratchKind loading_data_kind(model::LoadingType loading_type);

// Deletes the scratch files of every case: the patterns of one character before the suffix
// and the names of cases 10 to 99 (two decimal digits). Other names are left alone.
// `with_initial_loading` false keeps the InitLoad.dat files (entry into General Data).
void delete_case_scratch_files(bool with_initial_loading, const std::string& folder = {});

// Deletes the scratch files of case `removed` and renames those of cases removed+1..last one
// number down, so each case keeps its own data after a removal. Returns one line per file
// that could not be deleted or renamed (name and reason); empty when all went well.
std::vector<std::string> move_case_scratch_files_down(int removed, int last,
                                                      const std::string& folder = {});

}  // namespace model::case_files
