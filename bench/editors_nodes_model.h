// The large model of the node-range editor benchmarks: 100,000 nodes and a discrete loading
// of 10,000 time points with 5 node ranges each, as the Loading Cases dialog hands it over.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "model/state.h"
#include "support/session.h"

namespace editors_nodes_bench {

inline constexpr int n_nodes = 100000;
inline constexpr int n_time_points = 10000;
inline constexpr int ranges_per_time = 5;

using bench_support::BenchFolder;

inline testing_support::Session large_model(model::LoadingType loading_type) {
  testing_support::Session s;
  s.general().n_nodes = n_nodes;
  s.general().n_dof = 3;
  s.max_time_points = n_time_points;
  s.general().length_unit = "m";
  s.general().force_unit = "kN";
  s.general().n_loading_cases = 1;
  s.current_case = 1;
  s.cases.set_count(1);
  s.loaded(1);
  s.record(1).loading_type = loading_type;
  s.at(1).processed = s.at(1).loading_saved = s.at(1).initial_values_saved = true;
  return s;
}

// The discrete loading as the Loading Cases dialog hands it over: every time point with its
// five ranges of twenty nodes.
inline testing_support::Session discrete_case(int time_points = n_time_points) {
  testing_support::Session s = large_model(model::LoadingType::discrete);
  s.max_time_points = time_points;
  s.record(1).n_time_points = time_points;
  model::DiscreteLoading& table = s.time_point_table;
  table.ranges.reserve(static_cast<std::size_t>(time_points) * ranges_per_time);
  for (int i = 0; i < time_points; ++i) {
    for (int j = 0; j < ranges_per_time; ++j)
      table.ranges.push_back(model::NodeRange{j * 20 + 1, j * 20 + 20, {1.5f, -2.0f, 0.25f, 0, 0, 0}});
    table.end_point(0.01f * static_cast<float>(i + 1));
  }
  return s;
}

// Peak resident memory of the process so far.
inline double peak_megabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace editors_nodes_bench
