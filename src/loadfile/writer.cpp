#include "loadfile/writer.h"

#include <string_view>
#include <variant>
#include <vector>

#include "loadfile/records.h"
#include "model/case_files/section_records.h"

namespace loadfile {

namespace {

const model::Loading* loading_data(const model::Case& c) { return c.loading_of_type(); }

void put(std::string& out, std::string_view record) {
  out.append(record);
  out.append("\r\n");
}

void put(std::string& out, const std::vector<std::string>& records) {
  for (const std::string& record : records) put(out, record);
}

std::size_t size_estimate(const model::Analysis& a) {
  std::size_t n = 4096;
  for (const model::Case& c : a.cases)
    if (const model::Loading* loading = c.loading_of_type())
      if (const auto* accel = std::get_if<model::Accelerogram>(&loading->data)) n += accel->points.size() * 64;
  return n;
}

void put_case(std::string& out, const model::Analysis& a, int i, const model::Case& c, bool ro) {
  using model::case_files::LineForm;
  const model::GeneralData& g = a.general;
  put(out, damping_code_record(a.damping));
  put(out, tolerance_record(c.record));
  put(out, case_parameters_record(c.record));
  if (c.initial_conditions) {
    model::case_files::append_initial_conditions(out, *c.initial_conditions, g, LineForm::loading_file);
  } else {
    put(out, initial_conditions_terminator(ro));
    if (model::accelerogram(c.record.loading_type)) put(out, initial_acceleration_record(c.record));
  }
  put(out, damping_records(a.damping, g.new_operator, g.n_elements));
  if (c.initial_loadings)
    model::case_files::append_initial_loadings(out, *c.initial_loadings, g, LineForm::loading_file);
  else
    put(out, initial_loading_terminator(ro));
  put(out, loading_parameter_records(c.record));
  if (const model::Loading* data = loading_data(c))
    model::case_files::append_loading(out, *data, i, g, LineForm::loading_file);
  else
    put(out, loading_data_terminator(i));
}

}  // namespace

std::string write(const model::Analysis& a, const Header& header) {
  std::string out;
  out.reserve(size_estimate(a));
  const model::GeneralData& g = a.general;
  put(out, header_records(g, header.romanian, header_kind(a)));
  put(out, operator_record(g));
  put(out, coefficients_record(g));
  put(out, case_count_record(g.n_loading_cases));
  const model::Case none;
  for (int i = 1; i <= g.n_loading_cases; ++i) put_case(out, a, i, a.has_case(i) ? a.cases[i - 1] : none, header.romanian);
  put(out, end_record(header.loading_file, header.romanian));
  put(out, date_record(header.date));
  return out;
}

CaseNotes case_notes(const model::Analysis& a) {
  CaseNotes notes;
  const model::Case none;
  for (int i = 1; i <= a.general.n_loading_cases; ++i) {
    const model::Case& c = a.has_case(i) ? a.cases[i - 1] : none;
    if (incomplete_case(c.record)) notes.incomplete.push_back(i);
    if (!c.initial_conditions || !c.initial_loadings) notes.without_initial_values.push_back(i);
    if (!loading_data(c)) notes.without_loading_data.push_back(i);
  }
  return notes;
}

}  // namespace loadfile
