// The large loading-file model the writer and reader benchmarks share, so that their MB/s
// figures are of the same file: three accelerograms of 300,000 points and a discrete loading
// of 50,000 time points, as the editors leave their case scratch files.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/session.h"
#include "bench_support.h"
#include "model/case_files/case_store.h"
#include "model/state.h"

namespace loadfile_bench {

inline void write_text(const std::string& name, const std::string& content) {
  FILE* f = std::fopen(name.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

inline std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%-16.7G", v);
  return text;
}

// An accelerogram of `points` three-direction points in the editor's layout.
inline std::string accelerogram(int case_number, int points) {
  std::string out;
  out.reserve(static_cast<std::size_t>(points) * 66);
  for (int p = 0; p < points; ++p) {
    out += ' ';
    for (double v : {p * 0.005, 0.01 * (p % 97), -0.02 * (p % 13), 0.5}) out += number(v);
    out += '\n';
  }
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

inline std::string discrete(int case_number, int times) {
  std::string out;
  for (int t = 1; t <= times; ++t) {
    out += ' ';
    out += std::to_string(t * 0.01);
    out += '\n';
    for (int r = 0; r < 4; ++r) {
      out += ' ';
      out += std::to_string(r * 30 + 1);
      out += ' ';
      out += std::to_string(r * 30 + 30);
      out += " 1000.5 -250.25 0.\n";
    }
  }
  return out + "END_OF_CASE" + std::to_string(case_number) + "\n";
}

// The model and the four cases, without their files.
inline testing_support::Session large_model_state() {
  testing_support::Session state;
  state.general().n_nodes = 120;
  state.general().n_elements = 100;
  state.general().n_dof = 3;
  state.max_time_points = 300000;
  state.general().n_loading_cases = 4;
  return state;
}

// The four cases' records: three accelerograms, then a discrete loading.
inline void enter_records(model::case_files::CaseStore& cases) {
  cases.set_count(4);
  for (int k = 1; k <= 4; ++k)
    cases.at(k).record = {0.0001f, 20, model::LoadingType::accelerogram_3_directions, 0.005f, 1000, 0.1f, model::MassModel::concentrated, -9.81f, model::PrintingCode::maximum_values};
  cases.at(4).record.loading_type = model::LoadingType::discrete;
}

// The scratch files of the four cases in a folder of their own, the sections they hold (taken
// as a stopped run's are) and the state that writes them into folder/large.inc. The state's
// document holds the model and the loading file only; `cases` holds them too, with the cases.
struct LargeModel {
  bench_support::BenchFolder folder;
  testing_support::Session state;
  model::case_files::CaseStore cases;

  LargeModel() : state(large_model_state()) {
    for (int i = 1; i <= 3; ++i) write_text(std::to_string(i) + "TPacc.dat", accelerogram(i, 300000));
    write_text("4TP.dat", discrete(4, 50000));
    for (int i = 1; i <= 4; ++i) {
      // Only an accelerogram case's initial conditions end with its three initial accelerations.
      const bool accelerogram_case = i <= 3;
      write_text(std::to_string(i) + "init.dat", std::string("  1  120  0.  0.  0.  0.  0.  0.\nEnd_of_Initial_Conditions\n") +
                                                     (accelerogram_case ? " 0. 0. 0.\n" : ""));
      write_text(std::to_string(i) + "InitLoad.dat", "End_of_Initial_Loading\n");
    }
    state.loading_file() = (folder.path() / "large.inc").string();
    cases = state.cases;
    enter_records(cases);
    cases.take_files(state.case_folder);
  }
};

// The size of the loading file and the throughput over it, so every figure reads the same.
inline void report_file(benchmark::State& bench, std::uintmax_t bytes) {
  bench.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * bytes));
}

}  // namespace loadfile_bench
