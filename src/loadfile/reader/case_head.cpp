// C1 to C3: the damping code, the tolerance and the case parameters.
#include "loadfile/reader/old_file_reader.h"

namespace loadfile::reader {

namespace {

bool valid_loading_type(int code) { return code >= -2 && code <= 2; }

}  // namespace

Step OldFileReader::read_damping_code() {
  int code = 0;
  const ReadStatus status = read(RecordKind::damping_code, {target(code)});
  if (status != ReadStatus::ok) return fail(Expected::damping_code, status);
  if (code < 0 || code > 4) return fail(Expected::damping_code, false);
  a_.damping.type = model::code_from_number<model::DampingType>(code);
  a_.damping.present = a_.damping.type != model::DampingType::none;
  return Step::go_on;
}

// C2 and C3. A value is stored only when its whole record was read.
Step OldFileReader::read_case_head(model::CaseRecord& c) {
  model::CaseRecord p;
  std::size_t before = source_.position();
  int loading_type = 0, mass_model = 0, printing_code = 0;
  ReadStatus status = read(RecordKind::tolerance, {target(p.tolerance), target(p.iteration_limit)});
  if (status == ReadStatus::end_of_file) return fail(Expected::tolerance, status);
  if (status == ReadStatus::error) {
    abandon_case(before, "tolerance record", "inregistrarea tolerantei", true);
    return Step::abandon_case;
  }
  c.tolerance = p.tolerance;
  c.iteration_limit = p.iteration_limit;
  before = source_.position();
  status = read(RecordKind::case_parameters, {target(loading_type), target(p.time_step), target(p.end_time), target(mass_model),
                 target(p.gravity_acceleration), target(printing_code), target(p.printing_time)});
  if (status == ReadStatus::end_of_file) return fail(Expected::case_parameters, status);
  if (status == ReadStatus::error) {
    abandon_case(before, "case parameters record", "inregistrarea parametrilor", true);
    return Step::abandon_case;
  }
  if (!valid_loading_type(loading_type)) return fail(Expected::loading_type, false);
  c.loading_type = model::code_from_number<model::LoadingType>(loading_type);
  c.time_step = p.time_step;
  c.end_time = p.end_time;
  c.mass_model = model::code_from_number<model::MassModel>(mass_model);
  c.gravity_acceleration = p.gravity_acceleration;
  c.printing_code = model::code_from_number<model::PrintingCode>(printing_code);
  c.printing_time = p.printing_time;
  return Step::go_on;
}

}  // namespace loadfile::reader
