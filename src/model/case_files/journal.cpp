#include "model/case_files/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include "model/case_files/run_folder.h"
#include "model/geometry_file.h"
#include "model/limits.h"

namespace model::case_files {

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

// A journal larger than this was not written by us (99 cases and their diameters are a few
// hundred kilobytes).
constexpr std::size_t journal_size_limit = 16u << 20;

struct Damaged : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// ----- one value each way -----
// JSON has no infinity or NaN, and a typed "1e39" is one: those go as text, so that a journal
// never loses a value the user typed.

json put(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return static_cast<double>(v);
}
// Whether `s` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF):
// what a JSON text may hold as it is.
bool valid_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c < 0x80) n = 0;
    else if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c == 0xE0) n = 2, low = 0xA0;
    else if (c >= 0xE1 && c <= 0xEC) n = 2;
    else if (c == 0xED) n = 2, high = 0x9F;
    else if (c >= 0xEE && c <= 0xEF) n = 2;
    else if (c == 0xF0) n = 3, low = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) n = 3;
    else if (c == 0xF4) n = 3, high = 0x8F;
    else return false;
    if (s.size() - i - 1 < n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if (d < (k == 1 ? low : 0x80) || d > (k == 1 ? high : 0xBF)) return false;
    }
    i += n + 1;
  }
  return true;
}

json put(int v) { return v; }
json put(bool v) { return v; }
// A text that is not UTF-8 (a language line in another encoding, a file name of another
// system, a field cut in the middle of a character) goes as its bytes, so that it comes back
// byte for byte: a JSON text can only hold UTF-8.
json put(std::string_view v) {
  if (valid_utf8(v)) return std::string(v);
  json bytes = json::array();
  for (const char c : v) bytes.push_back(static_cast<unsigned char>(c));
  return json{{"bytes", std::move(bytes)}};
}
json put(const std::string& v) { return put(std::string_view(v)); }
template <std::size_t N>
json put(const text::Field<N>& v) { return put(v.trimmed()); }
template <typename E>
  requires std::is_enum_v<E>
json put(E v) { return code_number(v); }

[[noreturn]] void wrong(std::string_view key, std::string_view kind) {
  throw Damaged("\"" + std::string(key) + "\" is not " + std::string(kind));
}

void take(const json& j, std::string_view key, float& v) {
  if (j.is_number()) {
    const double d = j.get<double>();
    // A float widened exactly comes back exactly; anything else was not written by us.
    if (static_cast<double>(static_cast<float>(d)) != d) wrong(key, "a real of the program");
    v = static_cast<float>(d);
  } else if (j == "nan") {
    v = std::numeric_limits<float>::quiet_NaN();
  } else if (j == "inf" || j == "-inf") {
    v = j == "inf" ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  } else {
    wrong(key, "a real");
  }
}
void take(const json& j, std::string_view key, int& v) {
  if (!j.is_number_integer()) wrong(key, "a whole number");
  const auto n = j.get<std::int64_t>();
  if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) wrong(key, "a whole number");
  v = static_cast<int>(n);
}
void take(const json& j, std::string_view key, bool& v) {
  if (!j.is_boolean()) wrong(key, "true or false");
  v = j.get<bool>();
}
void take(const json& j, std::string_view key, std::string& v) {
  if (j.is_string()) {
    v = j.get<std::string>();
    return;
  }
  const auto bytes = j.is_object() && j.size() == 1 ? j.find("bytes") : j.end();
  if (bytes == j.end() || !bytes->is_array()) wrong(key, "a text");
  std::string read;
  for (const json& b : *bytes) {
    if (!b.is_number_unsigned() || b.get<std::uint64_t>() > 255) wrong(key, "a text of bytes");
    read.push_back(static_cast<char>(b.get<std::uint64_t>()));
  }
  v = std::move(read);
}
template <std::size_t N>
void take(const json& j, std::string_view key, text::Field<N>& v) {
  std::string s;
  take(j, key, s);
  if (s.size() > N) wrong(key, "a text of at most " + std::to_string(N) + " characters");
  v = s;
}
template <typename E>
  requires std::is_enum_v<E>
void take(const json& j, std::string_view key, E& v) {
  int n = 0;
  take(j, key, n);
  v = code_from_number<E>(n);
}

// ----- records: one list of fields serves both ways -----

template <typename Record, typename Visit>
void case_record_fields(Record& c, Visit&& visit) {
  visit("tolerance", c.tolerance);
  visit("iteration_limit", c.iteration_limit);
  visit("loading_type", c.loading_type);
  visit("time_step", c.time_step);
  visit("end_time", c.end_time);
  visit("printing_time", c.printing_time);
  visit("mass_model", c.mass_model);
  visit("gravity_acceleration", c.gravity_acceleration);
  visit("printing_code", c.printing_code);
  visit("omega", c.omega);
  visit("phi", c.phi);
  visit("initial_acceleration_x", c.initial_acceleration[0]);
  visit("initial_acceleration_y", c.initial_acceleration[1]);
  visit("initial_acceleration_z", c.initial_acceleration[2]);
  visit("n_initial_conditions", c.n_initial_conditions);
  visit("n_initial_loadings", c.n_initial_loadings);
  visit("n_time_points", c.n_time_points);
  visit("n_load_ranges", c.n_load_ranges);
}

template <typename Group, typename Visit>
void diameter_fields(Group& g, Visit&& visit) {
  visit("first_element", g.first_element);
  visit("last_element", g.last_element);
  visit("diameter", g.diameter);
}

json put(const CaseRecord& c) {
  json j = json::object();
  case_record_fields(c, [&j](const char* key, const auto& v) { j[key] = put(v); });
  return j;
}
json put(const DiameterGroup& g) {
  json j = json::object();
  diameter_fields(g, [&j](const char* key, const auto& v) { j[key] = put(v); });
  return j;
}

const json& member(const json& j, std::string_view key) {
  if (!j.is_object()) throw Damaged("an entry is not an object");
  const auto it = j.find(key);
  if (it == j.end()) throw Damaged("\"" + std::string(key) + "\" is missing");
  return *it;
}

void take(const json& j, std::string_view key, CaseRecord& c) {
  if (!j.is_object()) wrong(key, "a case");
  case_record_fields(c, [&j](const char* k, auto& v) { take(member(j, k), k, v); });
}
void take(const json& j, std::string_view key, DiameterGroup& g) {
  if (!j.is_object()) wrong(key, "a group of elements");
  diameter_fields(g, [&j](const char* k, auto& v) { take(member(j, k), k, v); });
}

template <typename T>
json put(const CaseArray<T>& items) {
  json j = json::array();
  for (int k = 1; k <= items.size(); ++k) j.push_back(put(static_cast<T>(items[k])));
  return j;
}
template <typename T>
void take(const json& j, std::string_view key, CaseArray<T>& items) {
  if (!j.is_array() || j.size() > static_cast<std::size_t>(max_loading_cases))
    wrong(key, "a list of at most " + std::to_string(max_loading_cases) + " cases");
  items.assign(static_cast<int>(j.size()), T{});
  for (int k = 1; k <= items.size(); ++k) {
    T value{};
    take(j[static_cast<std::size_t>(k - 1)], key, value);
    items[k] = value;
  }
}

json put(const std::vector<DiameterGroup>& groups) {
  json j = json::array();
  for (const DiameterGroup& g : groups) j.push_back(put(g));
  return j;
}
void take(const json& j, std::string_view key, std::vector<DiameterGroup>& groups) {
  if (!j.is_array()) wrong(key, "a list");
  groups.assign(j.size(), {});
  for (std::size_t i = 0; i < j.size(); ++i) take(j[i], key, groups[i]);
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
  visit("n_diameter_groups", d.n_diameter_groups);
}

// Every journaled field of the program state, by the name the journal gives it. Folders, the
// run's own case folder, dialog results and the editors' working tables are not here: the
// folders are the new run's, and the editors fill their tables from the case files.
template <typename State, typename Visit>
void state_fields(State& s, Visit&& visit) {
  general_fields(s.general, visit);
  damping_fields(s.damping, visit);
  visit("language", s.language);
  visit("max_time_points", s.max_time_points);
  visit("geometry_box_choice", s.geometry_box_choice);
  visit("loading_box_choice", s.loading_box_choice);
  visit("created_box_choice", s.created_box_choice);
  visit("loading_file", s.loading_file);
  visit("general_data_changed", s.general_data_changed);
  visit("general_data_saved", s.general_data_saved);
  visit("old_file_loaded", s.old_file_loaded);
  visit("n_loaded_cases", s.n_loaded_cases);
  visit("current_case", s.current_case);
  visit("case_records", s.case_records);
  visit("loaded_case_records", s.loaded_case_records);
  visit("case_processed", s.case_processed);
  visit("accel_processing", s.accel_processing);
  visit("loading_saved", s.loading_saved);
  visit("initial_values_saved", s.initial_values_saved);
  visit("accel_direction", s.accel_direction);
  visit("diameters_saved", s.diameters_saved);
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
  void operator()(const char* key, const CaseRecord& c) { case_record_fields(c, *this); (void)key; }
  void operator()(const char* key, const DiameterGroup& g) { diameter_fields(g, *this); (void)key; }
  template <typename T>
  void operator()(const char* key, const CaseArray<T>& items) {
    (*this)(key, items.size());
    for (int k = 1; k <= items.size(); ++k) (*this)(key, static_cast<T>(items[k]));
  }
  void operator()(const char* key, const std::vector<DiameterGroup>& groups) {
    (*this)(key, groups.size());
    for (const DiameterGroup& g : groups) (*this)(key, g);
  }
};

std::string state_image(const ProgramState& s) {
  Image image;
  state_fields(s, image);
  return std::move(image.bytes);
}

json state_json(const ProgramState& s) {
  json j = json::object();
  state_fields(s, [&j](const char* key, const auto& v) { j[key] = put(v); });
  return j;
}

// Counts the dialogs size their tables by: a journal that says otherwise was not written by a run.
void check_counts(const ProgramState& s) {
  auto within = [](const char* key, int value, int low, int high) {
    if (value < low || value > high)
      throw Damaged("\"" + std::string(key) + "\" is " + std::to_string(value) + ", not from " +
                    std::to_string(low) + " to " + std::to_string(high));
  };
  within("max_time_points", s.max_time_points, 1, std::numeric_limits<int>::max());
  within("n_loading_cases", s.general.n_loading_cases, 0, max_loading_cases);
  within("n_loaded_cases", s.n_loaded_cases, 0, max_loading_cases);
  within("current_case", s.current_case, 0, max_loading_cases);
  within("n_diameter_groups", s.damping.n_diameter_groups, 0, static_cast<int>(s.damping.diameters.size()));
  // The model's counts are those of a geometry file the run read, or none yet: the tables of
  // Create and its check are sized by them.
  if (s.general.n_nodes != 0 || s.general.n_elements != 0 || s.general.n_dof != 0) {
    within("n_nodes", s.general.n_nodes, 1, std::numeric_limits<int>::max());
    within("n_elements", s.general.n_elements, 1, std::numeric_limits<int>::max());
    within("n_dof", s.general.n_dof, 1, max_dof);
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

int cases_entered(const ProgramState& s) {
  int n = 0;
  for (int k = 1; k <= s.general.n_loading_cases; ++k)
    if (k <= s.n_loaded_cases || (s.case_processed.contains(k) && s.case_processed[k])) ++n;
  return n;
}

std::int64_t seconds_now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The names, sizes and times of the case files: a SAVE that rewrote one changes it.
std::string case_file_fingerprint(int folder_fd) {
  std::vector<std::string> entries;
  const int copy = folder_fd < 0 ? -1 : ::dup(folder_fd);
  DIR* listing = copy < 0 ? nullptr : ::fdopendir(copy);
  if (listing == nullptr) {
    if (copy >= 0) ::close(copy);
    return {};
  }
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    struct stat st {};
    if (name.starts_with(".") || name == journal_name ||
        ::fstatat(::dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    entries.push_back(std::string(name) + ' ' + std::to_string(st.st_size) + ' ' +
                      std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec));
  }
  ::closedir(listing);
  std::sort(entries.begin(), entries.end());
  std::string all;
  for (const std::string& e : entries) all += e + '\n';
  return all;
}

}  // namespace

std::string journal_text(const ProgramState& state, const JournalSummary& summary) {
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
  j["state"] = state_json(state);
  return j.dump(1) + "\n";
}

JournalRead parse_journal(std::string_view text, JournalContent& content, std::string& reason) {
  try {
    json j = json::parse(text);
    if (!j.is_object() || j.value("format", "") != "brantel journal") throw Damaged("it is not a journal");
    if (!j.contains("version") || j["version"] != journal_version)
      throw Damaged("it is of another version than " + std::to_string(journal_version));
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
    // Journals of runs that processed no record may lack it: nothing was processed.
    if (j.contains("state") && j["state"].is_object() && !j["state"].contains("accel_processing"))
      j["state"]["accel_processing"] = json::array();
    const json& state = member(j, "state");
    state_fields(read.state, [&state](const char* key, auto& v) { take(member(state, key), key, v); });
    check_counts(read.state);
    read.summary.cases_entered = cases_entered(read.state);
    read.summary.loading_file = std::string(read.state.loading_file.trimmed());
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

void restore_journaled_state(const ProgramState& from, ProgramState& into) {
  // Through the journal's own form: the list of journaled fields stays in one place.
  const json j = state_json(from);
  state_fields(into, [&j](const char* key, auto& v) { take(j.at(key), key, v); });
}

bool holds_saved_data(const ProgramState& s) {
  return s.general.geometry_file.trimmed_length() > 0 || s.general.n_loading_cases > 0;
}

Journal::Journal(fs::path folder, std::string start_folder)
    : folder_(std::move(folder)), start_folder_(std::move(start_folder)) {}

bool Journal::record(const ProgramState& state, int creations, std::string& reason,
                     const std::vector<OwnLoadingFile>& own_files) {
  if (folder_.empty()) return true;
  const files::Descriptor folder_fd = open_run_folder(folder_.string());
  if (folder_fd.get() < 0) {
    reason = std::strerror(errno);
    return false;
  }
  std::string image = state_image(state);
  std::string fingerprint = case_file_fingerprint(folder_fd.get());
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
    text = journal_text(state, summary);
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
