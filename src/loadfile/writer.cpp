#include "loadfile/writer.h"

#include <vector>

#include "loadfile/records.h"
#include "model/case_files/atomic_file.h"
#include "model/case_files/case_file_copier.h"
#include "model/case_files/scratch_files.h"

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

}  // namespace

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
