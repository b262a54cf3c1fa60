#include "model/case_files/case_store.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include "files/record_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/run_folder.h"
#include "model/case_files/section_records.h"
#include "model/limits.h"

namespace model::case_files {

namespace {

const ScratchKind loading_file_kinds[] = {ScratchKind::discrete_loading, ScratchKind::sinusoidal,
                                          ScratchKind::exponential, ScratchKind::accelerogram};

LoadingKind loading_kind_of(ScratchKind kind) {
  switch (kind) {
    case ScratchKind::sinusoidal: return LoadingKind::sinusoidal;
    case ScratchKind::exponential: return LoadingKind::exponential;
    case ScratchKind::accelerogram: return LoadingKind::accelerogram;
    default: return LoadingKind::discrete;
  }
}

ScratchKind file_kind_of(LoadingKind kind) { return loading_file_kinds[static_cast<std::size_t>(kind)]; }

// A loading of `kind` with no data: the form a kept case file takes.
Loading empty_loading(LoadingKind kind, SectionStyle style) {
  switch (kind) {
    case LoadingKind::sinusoidal: return {std::move(style), AmplitudeLoading{LoadingType::sinusoidal, {}}};
    case LoadingKind::exponential: return {std::move(style), AmplitudeLoading{LoadingType::exponential, {}}};
    case LoadingKind::accelerogram: return {std::move(style), Accelerogram{}};
    default: return {std::move(style), DiscreteLoading{}};
  }
}

SectionStyle verbatim(std::string lines) {
  return {SectionLayout::verbatim, false, KeptLines(std::move(lines))};
}

GeneralData counts(int n_nodes, int n_dof) {
  GeneralData g;
  g.n_nodes = n_nodes;
  g.n_dof = n_dof;
  return g;
}

// The case file's text of each section, as SAVE writes it.
std::string conditions_text(const InitialConditions& c, const GeneralData& g) {
  std::string out;
  append_initial_conditions(out, c, g, LineForm::case_file);
  return out;
}

std::string loadings_text(const RangeSection& l, const GeneralData& g) {
  std::string out;
  append_initial_loadings(out, l, g, LineForm::case_file);
  return out;
}

// Case k's file of `kind` in the run's folder, written relative to the folder the run holds.
bool write_file(const std::string& folder, int k, ScratchKind kind,
                const std::function<void(std::string&, const Drain&)>& make, FileFailure& failure) {
  const files::Descriptor folder_fd = open_run_folder(folder);
  if (folder_fd.get() < 0) {
    failure = {scratch_file_path(folder, k, kind), std::strerror(errno)};
    return false;
  }
  const bool written = replace_file_at(
      folder_fd.get(), scratch_file_name(k, kind),
      [&make](AtomicFile& file) {
        const Drain drain = [&file](std::string& lines) {
          file.write(lines);
          lines.clear();
        };
        std::string lines;
        make(lines, drain);
        file.write(lines);
      },
      failure.reason);
  if (!written) failure.path = scratch_file_path(folder, k, kind);
  return written;
}

bool write_text(const std::string& folder, int k, ScratchKind kind, const std::string& text, FileFailure& failure) {
  return write_file(folder, k, kind, [&text](std::string& out, const Drain&) { out = text; }, failure);
}

// Every section of `c` goes; its record and facts stay.
void drop_sections(Case& c, bool with_initial_loadings) {
  c.initial_conditions.reset();
  if (with_initial_loadings) c.initial_loadings.reset();
  for (std::optional<Loading>& loading : c.loadings) loading.reset();
}

// The record and facts of `from`, without its sections.
void take_facts(Case& to, const Case& from) {
  to.record = from.record;
  to.loaded = from.loaded;
  to.processed = from.processed;
  to.accel_processing = from.accel_processing;
  to.loading_saved = from.loading_saved;
  to.initial_values_saved = from.initial_values_saved;
}

// A fresh record and facts for `c`, keeping only what LOAD read for its number.
void start_afresh(Case& c) {
  Case fresh;
  fresh.loaded = c.loaded;
  take_facts(c, fresh);
}

}  // namespace

const Case& CaseStore::sections(int k) const {
  static const Case none;
  return k >= 1 && k <= static_cast<int>(document_.cases.size()) ? document_.cases[k - 1] : none;
}

Case& CaseStore::at(int k) {
  if (static_cast<int>(document_.cases.size()) < k) document_.cases.resize(k);
  return document_.cases[k - 1];
}

Case CaseStore::facts(int k) const {
  Case c;
  take_facts(c, sections(k));
  return c;
}

const CaseRecord* CaseStore::loaded(int k) const {
  const std::optional<CaseRecord>& r = sections(k).loaded;
  return r ? &*r : nullptr;
}

void CaseStore::set_count(int n) {
  n = std::max(n, 0);
  for (int k = std::min(n_cases_, n) + 1; k <= std::max(static_cast<int>(document_.cases.size()), n); ++k) {
    Case& c = at(k);
    start_afresh(c);
  }
  n_cases_ = n;
}

void CaseStore::clear_records(bool with_facts) {
  for (Case& c : document_.cases) {
    c.record = CaseRecord{};
    if (with_facts) start_afresh(c);
  }
  n_cases_ = 0;
}

void CaseStore::set_loaded(const std::vector<CaseRecord>& records) {
  for (Case& c : document_.cases) c.loaded.reset();
  for (int k = 1; k <= static_cast<int>(records.size()); ++k) at(k).loaded = records[k - 1];
}

void CaseStore::take_records(std::vector<Case> cases, int count) {
  for (Case& c : document_.cases) take_facts(c, Case{});
  for (int k = 1; k <= static_cast<int>(cases.size()); ++k) take_facts(at(k), cases[k - 1]);
  n_cases_ = std::max(count, 0);
  if (n_cases_ > 0) at(n_cases_);
}

bool CaseStore::commit(const ProgramState& s, int k, Case edited, SavedSections saved, FileFailure& failure,
                       std::optional<Loading>* replaced) {
  if (saved.initial_values &&
      !save_initial_values(s, k, std::move(*edited.initial_conditions), std::move(*edited.initial_loadings), failure))
    return false;
  if (saved.loading && !save_loading(s, k, *saved.loading, *edited.loading(*saved.loading), failure)) return false;
  if (saved.loading && replaced) *replaced = std::move(edited.loading(*saved.loading));
  take_facts(at(k), edited);
  if (journal_) journal_();
  return true;
}

void CaseStore::fit_model(int n_nodes, int n_dof) {
  if (n_nodes == n_nodes_ && n_dof == n_dof_) return;
  const GeneralData g = counts(n_nodes_, n_dof_);
  auto keep_lines = [](SectionStyle& style, std::string lines) {
    if (style.layout != SectionLayout::verbatim) style = verbatim(std::move(lines));
  };
  for (int k = 1; k <= static_cast<int>(document_.cases.size()); ++k) {
    Case& c = document_.cases[k - 1];
    if (c.initial_conditions && c.initial_conditions->style.layout != SectionLayout::verbatim) {
      const std::string lines = conditions_text(*c.initial_conditions, g);
      *c.initial_conditions = InitialConditions{};
      keep_lines(c.initial_conditions->style, lines);
    }
    if (c.initial_loadings && c.initial_loadings->style.layout != SectionLayout::verbatim) {
      const std::string lines = loadings_text(*c.initial_loadings, g);
      *c.initial_loadings = RangeSection{};
      keep_lines(c.initial_loadings->style, lines);
    }
    for (std::size_t kind = 0; kind < loading_kinds; ++kind) {
      std::optional<Loading>& loading = c.loadings[kind];
      if (!loading || loading->style.layout == SectionLayout::verbatim) continue;
      std::string lines;
      append_loading(lines, *loading, k, g, LineForm::case_file);
      loading = empty_loading(static_cast<LoadingKind>(kind), verbatim(std::move(lines)));
    }
  }
  n_nodes_ = n_nodes;
  n_dof_ = n_dof;
}

bool CaseStore::save_initial_values(const ProgramState& s, int k, InitialConditions conditions,
                                    RangeSection loadings, FileFailure& failure) {
  fit_model();
  const GeneralData g = counts(n_nodes_, n_dof_);
  if (!write_text(s.case_folder, k, ScratchKind::initial_conditions, conditions_text(conditions, g),
                  failure))
    return false;
  at(k).initial_conditions = std::move(conditions);
  if (!write_text(s.case_folder, k, ScratchKind::initial_loading, loadings_text(loadings, g),
                  failure))
    return false;
  at(k).initial_loadings = std::move(loadings);
  return true;
}

bool CaseStore::save_loading(const ProgramState& s, int k, LoadingKind kind, Loading& loading, FileFailure& failure) {
  fit_model();
  const GeneralData g = counts(n_nodes_, n_dof_);
  const bool written = write_file(
      s.case_folder, k, file_kind_of(kind),
      [&](std::string& out, const Drain& drain) { append_loading(out, loading, k, g, LineForm::case_file, drain); },
      failure);
  if (written) {
    std::optional<Loading>& kept = at(k).loading(kind);
    if (kept)
      std::swap(*kept, loading);
    else
      kept = std::move(loading);
  }
  return written;
}

const Case& CaseStore::sections_for(int k) {
  fit_model();
  return sections(k);
}

bool CaseStore::place_loaded(const ProgramState& s, Analysis& read, FileFailure& failure) {
  fit_model(read.general.n_nodes, read.general.n_dof);
  const GeneralData& g = read.general;
  const std::string& folder = s.case_folder;
  for (int i = 1; i <= static_cast<int>(read.cases.size()); ++i) {
    Case& from = read.cases[i - 1];
    Case& to = at(i);
    const bool whole = from.initial_conditions && from.initial_loadings && from.loading_of_type();
    std::vector<ScratchKind> written;
    auto place = [&](ScratchKind kind, const std::function<void(std::string&, const Drain&)>& make) {
      if (!write_file(folder, i, kind, make, failure)) return false;
      written.push_back(kind);
      return true;
    };
    if (from.initial_conditions) {
      if (!place(ScratchKind::initial_conditions, [&](std::string& out, const Drain&) {
            append_initial_conditions(out, *from.initial_conditions, g, LineForm::case_file);
          }))
        return false;
      to.initial_conditions = std::move(from.initial_conditions);
    }
    if (from.initial_loadings) {
      if (!place(ScratchKind::initial_loading, [&](std::string& out, const Drain&) {
            append_initial_loadings(out, *from.initial_loadings, g, LineForm::case_file);
          }))
        return false;
      to.initial_loadings = std::move(from.initial_loadings);
    }
    const LoadingKind kind = loading_kind(from.record.loading_type);
    if (const Loading* loading = from.loading_of_type()) {
      if (!place(file_kind_of(kind), [&](std::string& out, const Drain& drain) {
            append_loading(out, *loading, i, g, LineForm::case_file, drain);
          }))
        return false;
      to.loading(kind) = std::move(from.loading(kind));
    }
    if (whole) continue;
    for (ScratchKind k : {ScratchKind::initial_conditions, ScratchKind::initial_loading, ScratchKind::discrete_loading,
                          ScratchKind::accelerogram, ScratchKind::sinusoidal, ScratchKind::exponential}) {
      if (std::find(written.begin(), written.end(), k) != written.end()) continue;
      if (!place(k, [](std::string&, const Drain&) {})) return false;
      if (k == ScratchKind::initial_conditions)
        to.initial_conditions.reset();
      else if (k == ScratchKind::initial_loading)
        to.initial_loadings.reset();
      else
        to.loading(loading_kind_of(k)).reset();
    }
  }
  return true;
}

void CaseStore::drop_all(const std::string& folder, bool with_initial_loadings) {
  delete_case_scratch_files(with_initial_loadings, folder);
  for (Case& c : document_.cases) drop_sections(c, with_initial_loadings);
}

std::vector<std::string> CaseStore::remove_case(const std::string& folder, int removed, int last) {
  std::vector<std::string> failures = move_case_scratch_files_down(removed, last, folder);
  if (removed < 1) return failures;
  for (int k = removed; k < last; ++k) at(k) = std::move(at(k + 1));
  at(std::max(last, removed)) = Case{};
  // A loading's end line names its case: the renamed files of the moved cases are written again
  // with their new numbers, so that a run taken back writes what this one does.
  const GeneralData g = counts(n_nodes_, n_dof_);
  for (int k = removed; k < last; ++k)
    for (std::size_t kind = 0; kind < loading_kinds; ++kind) {
      const std::optional<Loading>& loading = document_.cases[k - 1].loadings[kind];
      if (!loading || loading->style.layout == SectionLayout::verbatim) continue;
      FileFailure failure;
      const ScratchKind file = file_kind_of(static_cast<LoadingKind>(kind));
      if (!write_file(folder, k, file,
                      [&](std::string& out, const Drain& drain) {
                        append_loading(out, *loading, k, g, LineForm::case_file, drain);
                      },
                      failure))
        failures.push_back(scratch_file_name(k, file) + ": " + failure.reason);
    }
  return failures;
}

void CaseStore::take_files(const std::string& folder) {
  for (Case& c : document_.cases) drop_sections(c, true);
  const files::Descriptor folder_fd = open_run_folder(folder);
  auto kept = [&folder_fd](int k, ScratchKind kind) -> std::optional<SectionStyle> {
    text::RecordSource source;
    if (!files::read_records_at(folder_fd.get(), scratch_file_name(k, kind), source) || !source.text())
      return std::nullopt;
    std::string lines(source.text().get(), source.text_size());
    if (!has_data(lines)) return std::nullopt;
    return verbatim(std::move(lines));
  };
  for (int k = 1; k <= max_loading_cases; ++k) {
    if (auto style = kept(k, ScratchKind::initial_conditions)) at(k).initial_conditions = InitialConditions{{*style, {}}};
    if (auto style = kept(k, ScratchKind::initial_loading)) at(k).initial_loadings = RangeSection{*style, {}};
    for (ScratchKind kind : loading_file_kinds)
      if (auto style = kept(k, kind)) at(k).loading(loading_kind_of(kind)) = empty_loading(loading_kind_of(kind), *style);
  }
}

Analysis CaseStore::analysis() {
  fit_model();
  Analysis a;
  a.general = document_.general;
  a.damping = document_.damping;
  a.accel_direction = document_.accel_direction;
  const int n = std::max(document_.general.n_loading_cases, 0);
  a.cases.resize(n);
  for (int k = 1; k <= n; ++k) {
    Case& c = a.cases[k - 1];
    c = sections(k);
    if (!has_case(k)) c.record = CaseRecord{};
  }
  return a;
}

}  // namespace model::case_files
