// The sections of the run's cases: the one place they live while the program runs. The editors
// open from them and hand them back on SAVE; Create writes the loading file from them. Every
// change also goes to the case's file in the run's private folder, atomically and in its
// section's layout: those files are what a stopped run leaves behind, and they are read only
// when such a run is taken back.
#pragma once

#include <string>
#include <vector>

#include "model/analysis.h"
#include "model/case_files/scratch_files.h"
#include "model/state.h"
#include "text/free_form.h"

namespace model::case_files {

// A case file that could not be written: its path and why.
struct FileFailure {
  std::string path;
  std::string reason;
};

class CaseStore {
 public:
  // The sections of case k (its record is not kept here: the Loading Cases form holds it).
  const Case& sections(int k) const;

  // SAVE of the Initial Values editor: both files are written first, then kept; when a file
  // cannot be written the sections stay as they were and `failure` says which and why.
  bool save_initial_values(const ProgramState& s, int k, InitialConditions conditions, RangeSection loadings,
                           FileFailure& failure);
  // SAVE of a loading editor, the same way: the case keeps its loading of `kind`, taken from
  // `loading` only when its file was written; `loading` then holds the one it replaced, whose
  // room the editor's next SAVE may fill again.
  bool save_loading(const ProgramState& s, int k, LoadingKind kind, Loading& loading, FileFailure& failure);
  bool save_loading(const ProgramState& s, int k, LoadingKind kind, Loading&& loading, FileFailure& failure) {
    return save_loading(s, k, kind, loading, failure);
  }

  // The sections of case k as an editor or the plot opens them (opened_sections.h): one made
  // for other node or degree-of-freedom counts than the model's of the moment comes as the lines
  // it was made with.
  const Case& sections_for(const ProgramState& s, int k);

  // LOAD from Old File: the cases of `read` (their sections taken over) replace those of the
  // same numbers. A case read whole
  // keeps its loadings of other kinds; one given up or not reached loses every other section,
  // so that nothing of earlier work is taken for the file's data. Stops at the first file that
  // cannot be written.
  bool place_loaded(const ProgramState& s, Analysis& read, FileFailure& failure);
  // Entry into General Data: every case's sections go, and their files with them; the initial
  // loadings stay when `with_initial_loadings` is false.
  void drop_all(const std::string& folder, bool with_initial_loadings);
  // Remove Case: case `removed` goes and cases removed+1..last move one number down, files too.
  // One line per file that could not be deleted or renamed.
  std::vector<std::string> remove_case(const std::string& folder, int removed, int last);
  // A stopped run taken back: its case files, read as they stand.
  void take_files(const std::string& folder);

  // The analysis Create writes: the general data and damping of the state, the cases' records
  // as entered and the sections kept here.
  Analysis analysis(const ProgramState& s);

 private:
  Case& at(int k);
  // Sections are written for the model's node and degree-of-freedom counts of the moment they
  // were made. When those counts change, each section keeps the lines it was made with.
  void fit_model(int n_nodes, int n_dof);

  std::vector<Case> cases_;  // case k at cases_[k - 1]
  int n_nodes_ = 0, n_dof_ = 0;
};

}  // namespace model::case_files
