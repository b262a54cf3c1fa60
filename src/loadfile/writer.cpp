#include "loadfile/writer.h"

#include <string_view>
#include <variant>
#include <vector>

#include "loadfile/records.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/case_file_copier.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/section_records.h"

namespace loadfile {

using model::case_files::AtomicFile;
using model::case_files::OutputStatus;
using Section = model::case_files::CopiedSection;
using ScratchCopier = model::case_files::CaseFileCopier;

namespace {

using model::case_files::ScratchKind;

model::CaseRecord written_case(const model::ProgramState& s, int case_number) {
  return s.written_case_records.contains(case_number) ? s.written_case_records[case_number]
                                                      : model::CaseRecord{};
}

// The pieces of one file write, so that each step can stop at the first failure.
class LoadingFileWriter {
 public:
  LoadingFileWriter(const model::ProgramState& s, const Header& header, AtomicFile& out,
                    const AtomicFile::Approval& approve)
      : s_(s), header_(header), out_(out), copier_(out), approve_(approve) {}
  bool write(CaseNotes& notes, WriteFailure& failure);

 private:
  void put(const std::vector<std::string>& records) {
    for (const std::string& record : records) out_.write_record(record);
  }
  bool case_block(int case_number, CaseNotes& notes, WriteFailure& failure);
  bool section(int case_number, ScratchKind kind, Section& outcome, WriteFailure& failure);

  const model::ProgramState& s_;
  const Header& header_;
  AtomicFile& out_;
  ScratchCopier copier_;
  const AtomicFile::Approval& approve_;
};

bool LoadingFileWriter::section(int case_number, ScratchKind kind, Section& outcome, WriteFailure& failure) {
  const std::string name = model::case_files::scratch_file_name(case_number, kind);
  outcome = copier_.copy(model::case_files::scratch_file_path(s_.case_folder, case_number, kind), failure.error);
  if (outcome != Section::unreadable) return true;
  failure.scratch_file = name;
  return false;
}

bool LoadingFileWriter::case_block(int i, CaseNotes& notes, WriteFailure& failure) {
  const model::CaseRecord c = written_case(s_, i);
  const bool romanian = model::romanian_messages(s_);
  if (incomplete_case(c)) notes.incomplete.push_back(i);
  out_.write_record(damping_code_record(s_));
  out_.write_record(tolerance_record(c));
  out_.write_record(case_parameters_record(c));
  Section init = Section::copied, init_load = Section::copied, data = Section::copied;
  if (!section(i, ScratchKind::initial_conditions, init, failure)) return false;
  if (init == Section::empty) {
    out_.write_record(initial_conditions_terminator(romanian));
    if (model::accelerogram(c.loading_type)) out_.write_record(initial_acceleration_record(c));
  }
  put(damping_records(s_));
  if (!section(i, ScratchKind::initial_loading, init_load, failure)) return false;
  if (init_load == Section::empty) out_.write_record(initial_loading_terminator(romanian));
  put(loading_parameter_records(c));
  if (!section(i, model::case_files::loading_data_kind(c.loading_type), data, failure)) return false;
  if (data == Section::empty) out_.write_record(loading_data_terminator(i));
  if (init == Section::empty || init_load == Section::empty) notes.without_initial_values.push_back(i);
  if (data == Section::empty) notes.without_loading_data.push_back(i);
  return true;
}

bool LoadingFileWriter::write(CaseNotes& notes, WriteFailure& failure) {
  put(header_records(s_, header_kind(s_)));
  out_.write_record(operator_record(s_));
  out_.write_record(coefficients_record(s_));
  out_.write_record(case_count_record(s_.n_loading_cases));
  for (int i = 1; i <= s_.n_loading_cases; ++i)
    if (!case_block(i, notes, failure)) return false;
  out_.write_record(end_record(s_));
  out_.write_record(date_record(header_.date));
  failure.status = out_.finish(approve_);
  failure.error = out_.error_number();
  return failure.status == OutputStatus::ok;
}

// Whether the loading data of `loading` is the section of a case of `type`: a case whose type
// changed after its loading was entered has no data of its new type.
bool loading_of_type(const model::Loading& loading, model::LoadingType type) {
  if (std::holds_alternative<model::DiscreteLoading>(loading.data)) return type == model::LoadingType::discrete;
  if (const auto* a = std::get_if<model::AmplitudeLoading>(&loading.data)) return a->type == type;
  return model::accelerogram(type);
}

const model::Loading* loading_data(const model::Case& c) {
  return c.loading && loading_of_type(*c.loading, c.record.loading_type) ? &*c.loading : nullptr;
}

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
    if (c.loading)
      if (const auto* accel = std::get_if<model::Accelerogram>(&c.loading->data))
        n += accel->points.size() * 64;
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

WriteReport write_loading_file(const model::ProgramState& s, const Header& header,
                               const AtomicFile::Approval& approve) {
  WriteReport report;
  report.path = path_text(s.loading_file.view());
  AtomicFile out(report.path);
  WriteFailure& failure = report.failure;
  failure.status = out.open();
  failure.error = out.error_number();
  report.written = failure.status == OutputStatus::ok &&
                   LoadingFileWriter(s, header, out, approve).write(report.notes, failure);
  if (!report.written) failure.kind = out.target_kind();
  return report;
}

}  // namespace loadfile
