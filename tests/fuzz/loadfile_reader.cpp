// libFuzzer target: any bytes taken apart as an old loading file. The reader must end, never
// read or write out of bounds, and leave the state and the scratch files consistent with
// what it says it read. Build with -DBRANTEL_FUZZ=ON and clang; corpus in
// tests/loadfile/data/reader/.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "model/state.h"
#include "text/free_form.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void check_result(const model::ProgramState& s, const loadfile::ReadResult& r) {
  check(s.n_loading_cases >= 0 && s.n_loading_cases <= 99);
  check(s.loaded_case_records.size() == 0 || s.loaded_case_records.size() == s.n_loading_cases);
  check(model::code_number(s.damping_type) >= 0 && model::code_number(s.damping_type) <= 4);
  check(static_cast<int>(s.time_point_table.size()) <= s.max_time_points);
  check(static_cast<int>(s.accel_table.size()) <= s.max_time_points);
  check(s.n_diameter_groups == static_cast<int>(s.diameter_table.size()));
  int covered = 0;
  for (const model::DiameterGroup& g : s.diameter_table) {
    check(g.first_element == covered + 1 && g.last_element >= g.first_element);
    covered = g.last_element;
  }
  check(s.diameter_table.empty() || covered == s.n_elements);
  for (int i = 1; i <= s.loaded_case_records.size(); ++i) {
    const model::CaseRecord& c = s.loaded_case_records[i];
    check(model::code_number(c.loading_type) >= -2 && model::code_number(c.loading_type) <= 2);
    check(c.n_initial_conditions <= s.n_nodes && c.n_initial_loadings <= s.n_nodes);
  }
  for (const loadfile::ScratchFile& f : r.scratch_files) check(f.content.ends_with("\r\n"));
  if (r.outcome == loadfile::ReadOutcome::fault) check(!loadfile::expected_text(r.fault, s.n_nodes, false).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  text::RecordSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  model::ProgramState state;
  state.n_nodes = 40;
  state.n_elements = 30;
  state.n_dof = 2 + static_cast<int>(size % 2);
  state.max_time_points = 50;
  const loadfile::ReadResult result = loadfile::read_loading_records(source, state);
  if (result.outcome != loadfile::ReadOutcome::too_many_points) check_result(state, result);
  return 0;
}
