// What the reader tests share: a toolkit that records message boxes, a program state with a
// small model, and loading file texts built from lines.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <optional>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "support/session.h"
#include "support/discrete_points.h"
#include "dialogs/context.h"
#include "support/fake_toolkit.h"
#include "support/temp_dir.h"
#include "ui/toolkit.h"

namespace reader_test {

using Shown = testing_support::Message;
using testing_support::FakeToolkit;

// A model of 12 nodes, 12 elements and 2 degrees of freedom, 100 time points at most.
inline testing_support::Session small_model(std::string_view language = "English") {
  testing_support::Session s;
  s.general().n_nodes = 12;
  s.general().n_elements = 12;
  s.general().n_dof = 2;
  s.max_time_points = 100;
  s.language = language;
  return s;
}

inline std::string lines(std::initializer_list<std::string_view> records) {
  std::string out;
  for (std::string_view r : records) {
    out += r;
    out += "\r\n";
  }
  return out;
}

// One loaded file in a fresh current directory: the state, the messages, the outcome.
struct Loaded {
  testing_support::TempCurrentDir dir;
  testing_support::Session state;
  FakeToolkit toolkit;

  explicit Loaded(testing_support::Session s) : state(std::move(s)) {}
  // LOAD from Old File of `path`, as General Data runs it over the run's state and document.
  dialogs::LoadOutcome load(const std::string& path) {
    testing_support::SessionContext lent(toolkit, state);
    return dialogs::load_loading_file(lent.context, path);
  }
  std::string scratch(const std::string& name) const {
    return std::filesystem::exists(dir.path() / name) ? testing_support::read_file(dir.path() / name)
                                                      : std::string("<missing>");
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir.path() / name); }
  // What LOAD read for case k; an empty record when it read none.
  const model::CaseRecord& loaded(int k) const {
    static const model::CaseRecord none{};
    const model::CaseRecord* r = state.cases.loaded(k);
    return r ? *r : none;
  }
  // The cases LOAD read a record of.
  int read_cases() const {
    int n = 0;
    while (state.cases.loaded(n + 1)) ++n;
    return n;
  }
  // The discrete loading or accelerogram that LOAD kept for case k; empty when there is none.
  std::vector<testing_support::TimePoint> time_points(int k) const { return testing_support::time_points(data<model::DiscreteLoading>(k)); }
  const std::vector<model::AccelPoint>& accel_points(int k) const { return data<model::Accelerogram>(k).points; }

 private:
  template <typename T>
  const T& data(int k) const {
    static const T none{};
    const std::optional<model::Loading>& l = state.cases.sections(k).loading(
        std::is_same_v<T, model::Accelerogram> ? model::LoadingKind::accelerogram : model::LoadingKind::discrete);
    const T* found = l ? std::get_if<T>(&l->data) : nullptr;
    return found ? *found : none;
  }
};

}  // namespace reader_test
