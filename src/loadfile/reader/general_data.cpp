// The records before the first case: the operator, its coefficients and the number of cases.
#include "loadfile/reader/old_file_reader.h"

#include "model/limits.h"
#include "text/coefficient_text.h"

namespace loadfile::reader {

using model::max_loading_cases;

Step OldFileReader::read_operator_code() {
  std::string_view record;
  do {
    if (!source_.next(record)) return fail(Expected::operator_code, true);
    if (record.starts_with("//")) tell(RecordKind::comment, source_.position() - 1);
  } while (record.starts_with("//"));
  tell(RecordKind::operator_code, source_.position() - 1);
  g_().operator_code = text::padded(record, 7);
  g_().new_operator = model::six_coefficient_operator(g_());
  return Step::go_on;
}

// The two-coefficient operator has no Delta and Teta values; the dialog shows them as "0.".
Step OldFileReader::read_coefficients() {
  double v[6] = {0, 0, 0, 0, 0, 0};
  const ReadStatus status = g_().new_operator
      ? read(RecordKind::coefficients,
             {target(v[0]), target(v[1]), target(v[2]), target(v[3]), target(v[4]), target(v[5])})
      : read(RecordKind::coefficients, {target(v[0]), target(v[1])});
  if (status != ReadStatus::ok) return fail(Expected::coefficients, status);
  if (g_().new_operator) {
    g_().beta = text::coefficient_text(v[0]);
    g_().teta = text::coefficient_text(v[1]);
    g_().gamma = text::coefficient_text(v[2]);
    g_().teta1 = text::coefficient_text(v[3]);
    g_().delta = text::coefficient_text(v[4]);
    g_().teta2 = text::coefficient_text(v[5]);
    g_().standard_coefficients = v[0] == 0 && v[2] == 0 && v[4] == 0;
  } else {
    g_().beta = text::coefficient_text(v[0]);
    g_().gamma = text::coefficient_text(v[1]);
    g_().teta = g_().teta1 = g_().delta = g_().teta2 = "0.";
    g_().standard_coefficients = v[0] == 0 && v[1] == 0;
  }
  return Step::go_on;
}

Step OldFileReader::read_case_count() {
  int n = 0;
  const ReadStatus status = read(RecordKind::case_count, {target(n)});
  if (status != ReadStatus::ok) return fail(Expected::case_count, status);
  if (n < 0 || n > max_loading_cases) return fail(Expected::case_count, false);
  a_.general.n_loading_cases = n;
  a_.cases.assign(n, model::Case{});
  result_.cases_read = true;
  return Step::go_on;
}

}  // namespace loadfile::reader
