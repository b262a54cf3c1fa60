// The journal's values as JSON, each kind one way and back: reals that may be infinite, texts
// that may not be UTF-8, the case and diameter records and the lists of them. A record's
// fields are listed once; writing, reading and the journal's change image all visit that list.
// Private to the journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "model/analysis.h"
#include "model/limits.h"
#include "model/state.h"

namespace model::case_files::detail {

using json = nlohmann::json;

// What is wrong with a journal that is refused.
struct Damaged : std::runtime_error {
  using std::runtime_error::runtime_error;
};
[[noreturn]] void wrong(std::string_view key, std::string_view kind);
// The member `key` of the object `j`; a journal without it is damaged.
const json& member(const json& j, std::string_view key);

// Whether `s` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF):
// what a JSON text may hold as it is.
bool valid_utf8(std::string_view s);

json put(float v);
json put(int v);
json put(bool v);
json put(std::string_view v);
json put(const std::string& v);
template <std::size_t N>
json put(const text::Field<N>& v) { return put(v.trimmed()); }
template <typename E>
  requires std::is_enum_v<E>
json put(E v) { return code_number(v); }

void take(const json& j, std::string_view key, float& v);
void take(const json& j, std::string_view key, int& v);
void take(const json& j, std::string_view key, bool& v);
void take(const json& j, std::string_view key, std::string& v);
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

// ----- records: one list of fields per kind of record -----

template <typename Record, typename Visit>
  requires std::is_same_v<std::remove_const_t<Record>, CaseRecord>
void fields(Record& c, Visit&& visit) {
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
  requires std::is_same_v<std::remove_const_t<Group>, DiameterGroup>
void fields(Group& g, Visit&& visit) {
  visit("first_element", g.first_element);
  visit("last_element", g.last_element);
  visit("diameter", g.diameter);
}

// A case's record and facts; its sections are in the case files.
template <typename C, typename Visit>
  requires std::is_same_v<std::remove_const_t<C>, Case>
void fields(C& c, Visit&& visit) {
  visit("record", c.record);
  visit("loaded", c.loaded);
  visit("processed", c.processed);
  visit("accel_processing", c.accel_processing);
  visit("loading_saved", c.loading_saved);
  visit("initial_values_saved", c.initial_values_saved);
}

// A record of named fields, and a list of values: the journal's two compound shapes.
template <typename T>
concept Record = requires(T& r) { fields(r, [](const char*, auto&) {}); };
template <typename T>
concept List = requires(T& items) {
  typename T::value_type;
  items.begin();
  items.size();
};

// Each compound kind may hold the others.
template <Record R>
json put(const R& r);
template <Record R>
void take(const json& j, std::string_view key, R& r);
// A record that may be missing: null when it is.
template <Record R>
json put(const std::optional<R>& r) {
  return r ? put(*r) : json(nullptr);
}
template <Record R>
void take(const json& j, std::string_view key, std::optional<R>& r) {
  if (j.is_null()) return r.reset();
  R read{};
  take(j, key, read);
  r = std::move(read);
}

template <Record R>
json put(const R& r) {
  json j = json::object();
  fields(r, [&j](const char* key, const auto& v) { j[key] = put(v); });
  return j;
}
template <Record R>
void take(const json& j, std::string_view key, R& r) {
  if (!j.is_object()) wrong(key, "a record");
  fields(r, [&j](const char* k, auto& v) { take(member(j, k), k, v); });
}

template <List L>
json put(const L& items) {
  json j = json::array();
  for (const auto& item : items) {
    const typename L::value_type& value = item;  // a bool of a vector<bool> is made here
    j.push_back(put(value));
  }
  return j;
}
// A list of cases, or of one fact per case, holds at most one entry per case a run can have.
template <List L>
void take(const json& j, std::string_view key, L& items) {
  constexpr bool per_case = !std::is_same_v<typename L::value_type, DiameterGroup>;
  if (!j.is_array() || (per_case && j.size() > static_cast<std::size_t>(max_loading_cases)))
    wrong(key, per_case ? "a list of at most " + std::to_string(max_loading_cases) + " cases" : "a list");
  L read;
  read.resize(j.size());
  auto item = read.begin();
  for (const json& value : j) {
    typename L::value_type v{};
    take(value, key, v);
    *item++ = std::move(v);
  }
  items = std::move(read);
}

}  // namespace model::case_files::detail
