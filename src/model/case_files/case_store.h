// The run's document: the one place the analysis (general data, damping, the cases' records,
// sections and facts) and the loading file's name live while the program runs. The Loading
// Cases form and the editors edit a copy of a case and hand it back through `commit`; Create
// writes the loading file from the analysis. Every change of a section also goes to
// the case's file in the run's private folder, atomically and in its section's layout: those
// files and the journal are what a stopped run leaves behind, and they are read only when such
// a run is taken back.
#pragma once

#include <functional>
#include <optional>
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

// Which sections of a committed case its editor saved: those are written to their case files.
struct SavedSections {
  bool initial_values = false;
  std::optional<LoadingKind> loading;
};

class CaseStore {
 public:
  // ----- the analysis-wide data, as General Data and the Loading Cases form commit it -----
  GeneralData& general() { return document_.general; }
  const GeneralData& general() const { return document_.general; }
  Damping& damping() { return document_.damping; }
  const Damping& damping() const { return document_.damping; }
  AccelDirection& accel_direction() { return document_.accel_direction; }
  AccelDirection accel_direction() const { return document_.accel_direction; }
  // The loading file Create writes, as the Loading Cases dialog names it.
  Field<260>& loading_file() { return loading_file_; }
  const Field<260>& loading_file() const { return loading_file_; }

  // ----- the cases' records and facts -----
  // Cases 1..count() are those the Loading Cases dialog made: each has its record and facts.
  // A case beyond them may still hold sections or what LOAD read.
  int count() const { return n_cases_; }
  bool has_case(int k) const { return k >= 1 && k <= n_cases_; }
  // Case k whole, or an empty case when the store holds none of that number.
  const Case& sections(int k) const;
  // Case k, made when missing (k >= 1).
  Case& at(int k);
  // Case k's record and facts without its sections: the copy a form edits and commits.
  Case facts(int k) const;
  // What LOAD read for case k; nullptr when it read none.
  const CaseRecord* loaded(int k) const;
  // Cases 1..n: the first min(n, count()) keep their records and facts, later ones start fresh;
  // sections are not touched.
  void set_count(int n);
  // The records of all cases go, and with `with_facts` their facts too; what LOAD read and the
  // sections stay.
  void clear_records(bool with_facts);
  // What LOAD read: cases 1..records.size() take these, the others hold none.
  void set_loaded(const std::vector<CaseRecord>& records);
  // A stopped run's records and facts (sections are ignored): its cases 1..count.
  void take_records(std::vector<Case> cases, int count);

  // The one way an edited case comes back: a form or an editor edits a copy of case k and hands
  // it back here with the sections its SAVE saved. Those are written to their case files
  // first, as SAVE writes them; when one cannot be written the case stays as it was, except
  // for the sections written before, and `failure` says which and why. Then the case's record
  // and facts are kept with the saved sections (the copy's other sections are not looked at),
  // and the journal is written. `replaced`, when given, receives the loading the saved one
  // replaced, whose room an editor's next SAVE may fill again.
  bool commit(const ProgramState& s, int k, Case edited, SavedSections saved, FileFailure& failure,
              std::optional<Loading>* replaced = nullptr);
  // What a commit calls once the case is kept: the run's journal.
  void set_journal(std::function<void()> record) { journal_ = std::move(record); }

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
  const Case& sections_for(int k);

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

  // The analysis Create writes: cases 1..general().n_loading_cases, their records as entered
  // and the sections kept here.
  Analysis analysis();
  // The document as it stands: its cases are every case the store holds, case k at [k - 1]
  // (also those beyond count()): what the journal writes.
  const Analysis& document() const { return document_; }
  const std::vector<Case>& cases() const { return document_.cases; }

 private:
  // Sections are written for the model's node and degree-of-freedom counts of the moment they
  // were made. When those counts change, each section keeps the lines it was made with.
  void fit_model(int n_nodes, int n_dof);
  void fit_model() { fit_model(document_.general.n_nodes, document_.general.n_dof); }

  Analysis document_;  // case k at document_.cases[k - 1]
  Field<260> loading_file_;
  int n_cases_ = 0;
  int n_nodes_ = 0, n_dof_ = 0;
  std::function<void()> journal_;
};

}  // namespace model::case_files
