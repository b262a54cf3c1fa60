#include "model/case_files/journal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "files/regular_file.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/journal_values.h"
#include "model/case_files/run_folder.h"
#include "model/geometry_file.h"
#include "model/limits.h"

namespace model::case_files {

namespace fs = std::filesystem;
using namespace detail;

namespace {

// A journal larger than this was not written by us (99 cases and their diameters are a few
// hundred kilobytes).
constexpr std::size_t journal_size_limit = 16u << 20;

// A count the dialogs size their tables by: a journal that says otherwise was not written by a run.
void within(const char* key, int value, int low, int high) {
  if (value < low || value > high)
    throw Damaged("\"" + std::string(key) + "\" is " + std::to_string(value) + ", not from " + std::to_string(low) +
                  " to " + std::to_string(high));
}

// The analysis-wide data by the names the journal gives them: the names of the first version,
// which every journal keeps so that a stopped run of any version is read the same.
template <typename General, typename Visit>
void general_fields(General& g, Visit&& visit) {
  visit("n_nodes", g.n_nodes);
  visit("n_elements", g.n_elements);
  visit("n_dof", g.n_dof);
  visit("n_loading_cases", g.n_loading_cases);
  visit("geometry_file", g.geometry_file);
  visit("length_unit", g.length_unit);
  visit("second_unit", g.second_unit);
  visit("force_unit", g.force_unit);
  visit("operator_code", g.operator_code);
  visit("new_operator", g.new_operator);
  visit("standard_coefficients", g.standard_coefficients);
  visit("beta", g.beta);
  visit("gamma", g.gamma);
  visit("delta", g.delta);
  visit("teta", g.teta);
  visit("teta1", g.teta1);
  visit("teta2", g.teta2);
}

template <typename DampingBlock, typename Visit>
void damping_fields(DampingBlock& d, Visit&& visit) {
  visit("damping_present", d.present);
  visit("damping_type", d.type);
  visit("niu", d.niu);
  visit("alfa_d", d.alfa_d);
  visit("beta_d", d.beta_d);
  visit("ro_air", d.ro_air);
  visit("c_drag", d.c_drag);
  visit("zeta", d.zeta);
  visit("diameter_table", d.diameters);
  // The table's size, written for the runs that counted groups beside the table: one of theirs
  // may count fewer than it holds, and only those counted are groups.
  int groups = d.n_diameter_groups();
  visit("n_diameter_groups", groups);
  if constexpr (!std::is_const_v<DampingBlock>) {
    within("n_diameter_groups", groups, 0, d.n_diameter_groups());
    d.diameters.resize(static_cast<std::size_t>(groups));
  }
}

// The run's own journaled facts, by the name the journal gives them. Folders, the run's own
// case folder, dialog results and the editors' working tables are not here: the folders are
// the new run's, and the editors fill their tables from the case files. The direction of a
// one-direction accelerogram is the document's, but journals have always kept it here.
template <typename State, typename Direction, typename Visit>
void run_fields(State& s, Direction& accel_direction, Visit&& visit) {
  visit("language", s.language);
  visit("max_time_points", s.max_time_points);
  visit("geometry_box_choice", s.geometry_box_choice);
  visit("loading_box_choice", s.loading_box_choice);
  visit("created_box_choice", s.created_box_choice);
  visit("general_data_changed", s.general_data_changed);
  visit("general_data_saved", s.general_data_saved);
  visit("old_file_loaded", s.old_file_loaded);
  visit("n_loaded_cases", s.n_loaded_cases);
  visit("current_case", s.current_case);
  visit("accel_direction", accel_direction);
  visit("diameters_saved", s.diameters_saved);
}

// The journaled parts, each one visit: the run's own facts ("state") and the analysis-wide
// data of the document ("analysis", beside the cases).
template <typename State, typename Direction>
auto run_part(State& s, Direction& accel_direction) {
  return [&s, &accel_direction](auto&& visit) { run_fields(s, accel_direction, visit); };
}

template <typename General, typename DampingBlock, typename Name>
auto document_part(General& g, DampingBlock& d, Name& loading_file) {
  return [&g, &d, &loading_file](auto&& visit) {
    general_fields(g, visit);
    damping_fields(d, visit);
    visit("loading_file", loading_file);
  };
}

auto document_part(const CaseStore& store) {
  return document_part(store.general(), store.damping(), store.loading_file());
}

// The journaled fields as raw bytes: comparing them tells, far cheaper than the JSON text,
// whether an action changed anything.
struct Image {
  std::string bytes;
  template <typename T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T>
  void operator()(const char*, const T& v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  template <std::size_t N>
  void operator()(const char*, const text::Field<N>& v) { bytes.append(v.view()); }
  void operator()(const char* key, const std::string& v) {
    (*this)(key, v.size());
    bytes.append(v);
  }
  template <Record R>
  void operator()(const char*, const R& r) { fields(r, *this); }
  template <Record R>
  void operator()(const char* key, const std::optional<R>& r) {
    (*this)(key, r.has_value());
    if (r) (*this)(key, *r);
  }
  template <List L>
  void operator()(const char* key, const L& items) {
    (*this)(key, items.size());
    for (const auto& item : items) {
      const typename L::value_type& value = item;  // a bool of a vector<bool> is made here
      (*this)(key, value);
    }
  }
};

std::string state_image(const ProgramState& s, const CaseStore& cases) {
  Image image;
  run_part(s, cases.document().accel_direction)(image);
  document_part(cases)(image);
  image("case_count", cases.count());
  image("cases", cases.cases());
  return std::move(image.bytes);
}

json fields_json(auto part) {
  json j = json::object();
  part([&j](const char* key, const auto& v) { j[key] = put(v); });
  return j;
}

void take_fields(const json& j, auto part) {
  part([&j](const char* key, auto& v) { take(member(j, key), key, v); });
}

// Counts the dialogs size their tables by: a journal that says otherwise was not written by a run.
void check_counts(const JournalContent& c) {
  const ProgramState& s = c.state;
  const GeneralData& g = c.analysis.general;
  within("max_time_points", s.max_time_points, 1, std::numeric_limits<int>::max());
  within("n_loading_cases", g.n_loading_cases, 0, max_loading_cases);
  within("n_loaded_cases", s.n_loaded_cases, 0, max_loading_cases);
  within("current_case", s.current_case, 0, max_loading_cases);
  // The model's counts are those of a geometry file the run read, or none yet: the tables of
  // Create and its check are sized by them.
  if (g.n_nodes != 0 || g.n_elements != 0 || g.n_dof != 0) {
    within("n_nodes", g.n_nodes, 1, std::numeric_limits<int>::max());
    within("n_elements", g.n_elements, 1, std::numeric_limits<int>::max());
    within("n_dof", g.n_dof, 1, max_dof);
  }
}

// A time the question can name: from 1970 to the end of year 9999.
constexpr std::int64_t latest_time = 253402300799;

std::int64_t time_of(const json& j, std::string_view key) {
  if (!j.is_number_integer()) wrong(key, "a time");
  const std::int64_t t = j.get<std::int64_t>();
  if (j.is_number_unsigned() && j.get<std::uint64_t>() > static_cast<std::uint64_t>(latest_time))
    wrong(key, "a time from 1970 to the year 9999");
  if (t < 0 || t > latest_time) wrong(key, "a time from 1970 to the year 9999");
  return t;
}

int cases_entered(const ProgramState& s, const Analysis& a) {
  const std::vector<Case>& cases = a.cases;
  int n = 0;
  for (int k = 1; k <= a.general.n_loading_cases; ++k)
    if (k <= s.n_loaded_cases || (k <= static_cast<int>(cases.size()) && cases[k - 1].processed)) ++n;
  return n;
}

// A first-version journal kept each fact of the cases as a list of its own, one entry per case
// (the loaded records only as far as LOAD read): they become the cases they describe.
template <typename T>
std::vector<T> case_list(const json& state, const char* key) {
  std::vector<T> items;
  take(member(state, key), key, items);
  return items;
}

void take_case_lists(json& state, JournalContent& read) {
  // Journals of runs that processed no record may lack it: nothing was processed.
  if (state.is_object() && !state.contains("accel_processing")) state["accel_processing"] = json::array();
  const auto records = case_list<CaseRecord>(state, "case_records");
  const auto loaded = case_list<CaseRecord>(state, "loaded_case_records");
  const auto processed = case_list<bool>(state, "case_processed");
  const auto steps = case_list<std::string>(state, "accel_processing");
  const auto loading_saved = case_list<bool>(state, "loading_saved");
  const auto initial_values_saved = case_list<bool>(state, "initial_values_saved");
  std::size_t n = 0;
  for (std::size_t size : {records.size(), loaded.size(), processed.size(), steps.size(), loading_saved.size(),
                           initial_values_saved.size()})
    n = std::max(n, size);
  read.analysis.cases.assign(n, Case{});
  for (std::size_t i = 0; i < n; ++i) {
    Case& c = read.analysis.cases[i];
    if (i < records.size()) c.record = records[i];
    if (i < loaded.size()) c.loaded = loaded[i];
    c.processed = i < processed.size() && processed[i];
    if (i < steps.size()) c.accel_processing = steps[i];
    c.loading_saved = i < loading_saved.size() && loading_saved[i];
    c.initial_values_saved = i < initial_values_saved.size() && initial_values_saved[i];
  }
  read.case_count = static_cast<int>(records.size());
}

// The state of a journal of either version, its cases read into `read.cases`.
void take_state(json& j, int version, JournalContent& read) {
  member(j, "state");  // a journal without it is damaged
  json& state = j["state"];
  take_fields(state, run_part(read.state, read.analysis.accel_direction));
  const auto document = document_part(read.analysis.general, read.analysis.damping, read.loading_file);
  if (version == journal_version_with_case_lists) {
    take_fields(state, document);
    take_case_lists(state, read);
    return;
  }
  const json& analysis = member(j, "analysis");
  take_fields(analysis, document);
  take(member(analysis, "case_count"), "case_count", read.case_count);
  take(member(analysis, "cases"), "cases", read.analysis.cases);
  if (read.case_count < 0 || read.case_count > max_loading_cases)
    wrong("case_count", "a number of cases from 0 to " + std::to_string(max_loading_cases));
}

std::int64_t seconds_now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::string journal_text(const ProgramState& state, const CaseStore& cases, const JournalSummary& summary) {
  json j = json::object();
  j["format"] = "brantel journal";
  j["version"] = journal_version;
  j["saved_at"] = summary.saved_at;
  j["start_folder"] = put(summary.start_folder);
  j["created_at"] = summary.created_at ? json(*summary.created_at) : json(nullptr);
  json own = json::array();
  for (const OwnLoadingFile& f : summary.own_loading_files)
    own.push_back({{"path", put(f.path)}, {"written_ns", f.written_ns}, {"size", f.size}});
  j["own_loading_files"] = std::move(own);
  // Only a take-over's journal names its run: every other journal stays as it always was.
  if (!summary.taken_from.empty()) j["taken_from"] = put(summary.taken_from);
  j["state"] = fields_json(run_part(state, cases.document().accel_direction));
  json analysis = fields_json(document_part(cases));
  analysis["case_count"] = cases.count();
  analysis["cases"] = put(cases.cases());
  j["analysis"] = std::move(analysis);
  return j.dump(1) + "\n";
}

JournalRead parse_journal(std::string_view text, JournalContent& content, std::string& reason) {
  try {
    json j = json::parse(text);
    if (!j.is_object() || j.value("format", "") != "brantel journal") throw Damaged("it is not a journal");
    const int version = j.contains("version") && j["version"].is_number_integer() ? j["version"].get<int>() : 0;
    if (version != journal_version && version != journal_version_with_case_lists)
      throw Damaged("it is of another version than " + std::to_string(journal_version_with_case_lists) + " or " +
                    std::to_string(journal_version));
    JournalContent read;
    read.summary.saved_at = time_of(member(j, "saved_at"), "saved_at");
    take(member(j, "start_folder"), "start_folder", read.summary.start_folder);
    const json& created = member(j, "created_at");
    if (!created.is_null()) read.summary.created_at = time_of(created, "created_at");
    // Without the list the run only asks once more before replacing its own file.
    const json& own = j.contains("own_loading_files") ? j["own_loading_files"] : json::array();
    if (!own.is_array()) wrong("own_loading_files", "a list");
    for (const json& f : own) {
      OwnLoadingFile file;
      if (!f.is_object()) wrong("own_loading_files", "a list of files");
      take(member(f, "path"), "own_loading_files", file.path);
      const json& written = member(f, "written_ns");
      const json& size = member(f, "size");
      if (!written.is_number_integer() || !size.is_number_integer()) wrong("own_loading_files", "times and sizes");
      file.written_ns = written.get<std::int64_t>();
      file.size = size.get<std::int64_t>();
      read.summary.own_loading_files.push_back(std::move(file));
    }
    if (j.contains("taken_from")) take(j["taken_from"], "taken_from", read.summary.taken_from);
    take_state(j, version, read);
    check_counts(read);
    read.summary.cases_entered = cases_entered(read.state, read.analysis);
    read.summary.loading_file = std::string(read.loading_file.trimmed());
    content = std::move(read);
    return JournalRead::ok;
  } catch (const json::parse_error& e) {
    // A write cut short ends the text early; anything else is no journal of ours.
    reason = "it is not whole JSON: it breaks off or goes wrong at byte " + std::to_string(e.byte);
  } catch (const json::exception& e) {
    reason = "it is not a journal of this program (" + std::string(e.what()) + ")";
  } catch (const Damaged& e) {
    reason = e.what();
  }
  return JournalRead::damaged;
}

JournalRead read_journal(const fs::path& folder, JournalContent& content, std::string& reason) {
  std::string text;
  const files::FileRead read = files::read_regular_file((folder / journal_name).string(), text, journal_size_limit);
  if (read.status == files::FileReadStatus::missing) return JournalRead::missing;
  if (read.status != files::FileReadStatus::ok) {
    reason = "it cannot be read";
    return JournalRead::damaged;
  }
  return parse_journal(text, content, reason);
}

void restore_journaled_state(const JournalContent& from, ProgramState& into, CaseStore& cases) {
  // Through the journal's own form: the lists of journaled fields stay in one place.
  take_fields(fields_json(run_part(from.state, from.analysis.accel_direction)),
              run_part(into, cases.accel_direction()));
  const Analysis& a = from.analysis;
  take_fields(fields_json(document_part(a.general, a.damping, from.loading_file)),
              document_part(cases.general(), cases.damping(), cases.loading_file()));
  cases.take_records(a.cases, from.case_count);
}

bool holds_saved_data(const GeneralData& g) {
  return g.geometry_file.trimmed_length() > 0 || g.n_loading_cases > 0;
}

Journal::Journal(fs::path folder, std::string start_folder)
    : folder_(std::move(folder)), start_folder_(std::move(start_folder)) {}

bool Journal::record(const ProgramState& state, const CaseStore& cases, int creations, std::string& reason,
                     const std::vector<OwnLoadingFile>& own_files) {
  if (folder_.empty()) return true;
  const files::Descriptor folder_fd = open_run_folder(folder_.string());
  if (folder_fd.get() < 0) {
    reason = std::strerror(errno);
    return false;
  }
  std::string image = state_image(state, cases);
  std::string fingerprint = case_file_fingerprint(folder_fd.get(), journal_name);
  const bool changed = image != last_state_image_ || fingerprint != last_fingerprint_;
  const bool created = creations != last_creations_;
  if (written_ && !changed && !created && own_files == last_own_files_) return true;
  // A Create in this action wrote what the action changed; any other change is in no file yet.
  if (created) created_at_ = seconds_now();
  else if (changed) created_at_.reset();
  JournalSummary summary;
  summary.saved_at = seconds_now();
  summary.start_folder = start_folder_;
  summary.created_at = created_at_;
  summary.own_loading_files = own_files;
  summary.taken_from = taken_from_;
  std::string text;
  try {
    text = journal_text(state, cases, summary);
  } catch (const json::exception& e) {
    // Every text is written as UTF-8 or as its bytes, so this is a fault of the program; the
    // previous journal stays, and the run says that it cannot journal.
    reason = e.what();
    return false;
  }
  if (!replace_file_at(folder_fd.get(), journal_name, [&text](AtomicFile& file) { file.write(text); }, reason))
    return false;
  last_state_image_ = std::move(image);
  last_fingerprint_ = std::move(fingerprint);
  last_creations_ = creations;
  last_own_files_ = own_files;
  written_ = true;
  return true;
}

}  // namespace model::case_files
