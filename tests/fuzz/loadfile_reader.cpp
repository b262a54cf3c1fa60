// libFuzzer target: any bytes taken apart as an old loading file. The reader must end, never
// read or write out of bounds, and leave an analysis consistent with what it says it read,
// whose loading file can be written. Build with -DBRANTEL_FUZZ=ON and clang; corpus in
// tests/loadfile/data/reader/.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "loadfile/writer.h"
#include "model/analysis.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

constexpr int max_time_points = 50;

void check_result(const loadfile::ReadResult& r) {
  const model::Analysis& a = r.analysis;
  const model::GeneralData& g = a.general;
  check(g.n_loading_cases >= 0 && g.n_loading_cases <= 99);
  check(!r.cases_read || static_cast<int>(a.cases.size()) == g.n_loading_cases);
  check(model::code_number(a.damping.type) >= 0 && model::code_number(a.damping.type) <= 4);
  int covered = 0;
  for (const model::DiameterGroup& d : a.damping.diameters) {
    check(d.first_element == covered + 1 && d.last_element >= d.first_element);
    covered = d.last_element;
  }
  check(a.damping.diameters.empty() || covered == g.n_elements);
  for (const model::Case& c : a.cases) {
    check(model::code_number(c.record.loading_type) >= -2 && model::code_number(c.record.loading_type) <= 2);
    check(c.record.n_initial_conditions <= g.n_nodes && c.record.n_initial_loadings <= g.n_nodes);
    const model::Loading* loading = c.loading_of_type();
    if (!loading) continue;
    if (const auto* d = std::get_if<model::DiscreteLoading>(&loading->data))
      check(static_cast<int>(d->size()) <= max_time_points && d->range_ends.size() == d->size());
    if (const auto* acc = std::get_if<model::Accelerogram>(&loading->data))
      check(static_cast<int>(acc->points.size()) <= max_time_points && (!acc->texts || acc->texts.size() == acc->points.size()));
  }
  if (r.outcome == loadfile::ReadOutcome::fault) check(!loadfile::expected_text(r.fault, g.n_nodes, false).empty());
  check(loadfile::write(a, {}).ends_with("\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  loadfile::ReadStart start;
  start.general.n_nodes = 40;
  start.general.n_elements = 30;
  start.general.n_dof = 2 + static_cast<int>(size % 2);
  start.max_time_points = max_time_points;
  const loadfile::ReadResult result =
      loadfile::read(std::string_view(reinterpret_cast<const char*>(data), size), start);
  if (result.outcome != loadfile::ReadOutcome::too_many_points) check_result(result);
  return 0;
}
