// Reading a geometry file of a million table records (half node codes, half coordinates,
// three degrees of freedom per node): the counts and units must come back in well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/record_file.h"
#include "model/geometry_file.h"

namespace {

constexpr int n_nodes = 500000;

std::string write_model() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "brantel-bench-geometry.dat").string();
  std::ofstream out(path, std::ios::binary);
  out << "// generated model\r\nLARGE PLANE FRAME\r\n" << n_nodes << " " << 2 * n_nodes
      << " 3 2 1 1\r\n";
  char line[96];
  for (int n = 1; n <= n_nodes; ++n) {
    std::snprintf(line, sizeof line, "%8d%6d%4d%4d%4d\r\n", n, n <= 10 ? 1 : 0, 0, 0, 0);
    out << line;
  }
  out << "NODAL COORDINATES\r\n";
  for (int n = 1; n <= n_nodes; ++n) {
    std::snprintf(line, sizeof line, "%8d%14.4f%14.4f%14.4f\r\n", n, (n % 1000) * 0.5,
                  (n / 1000) * 3.5, 0.0);
    out << line;
  }
  out << "UNITS\r\nm\r\nsec\r\nkN\r\n";
  return path;
}

void BM_ReadGeometryFile(benchmark::State& state) {
  const std::string path = write_model();
  for (auto _ : state) {
    const model::GeometryReadResult result = model::read_geometry_file(path);
    if (result.outcome != model::GeometryOutcome::ok || result.data.n_nodes != n_nodes)
      state.SkipWithError("the generated model was not read");
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations() * 2 * n_nodes);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadGeometryFile)->Unit(benchmark::kMillisecond);

// The share of the time that goes to loading and splitting the records, without reading them.
void BM_LoadRecordsOnly(benchmark::State& state) {
  const std::string path = write_model();
  for (auto _ : state) {
    text::RecordSource source;
    if (!files::read_records(path, source)) state.SkipWithError("cannot open");
    benchmark::DoNotOptimize(source.size());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadRecordsOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
