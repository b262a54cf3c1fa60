// A suite checked against a design code: its records' spectra handed to the code's rules, the
// factors they find put on the records, and the verdicts written beside the loading files.
#include <filesystem>
#include <ostream>

#include <nlohmann/json.hpp>

#include "model/case_files/atomic_file.h"
#include "motion/units.h"
#include "suite/compliance_report.h"
#include "suite/suite.h"

namespace suite {

namespace fs = std::filesystem;

namespace {

// What component k of a record is read from: two components of one file differ by their
// column, the same file given twice is the same record twice.
std::string source_of(const Record& record, std::size_t k) {
  std::error_code ec;
  if (record.files.size() > 1 && k < record.files.size())
    return fs::absolute(record.files[k], ec).lexically_normal().string();
  return fs::absolute(record.files.front(), ec).lexically_normal().string() + "#" + std::to_string(k);
}

bool is_component(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

CodeRecord code_record(const Record& record, const RecordResult& a) {
  CodeRecord r;
  r.stem = a.stem;
  r.matched = a.matching.has_value();
  std::size_t j = 0;
  for (const motion::SpectrumCurve& c : a.curves) {
    if (c.component == "rotd100") r.rotd100 = c.psa;
    if (!is_component(c.component) || j >= a.directions.size()) continue;
    r.directions.push_back(a.directions[j]);
    r.pga.push_back(a.component_pga[j]);
    r.psa.push_back(c.psa);
    r.sources.push_back(source_of(record, static_cast<std::size_t>(std::stoul(c.component)) - 1));
    ++j;
  }
  return r;
}

}  // namespace

std::string code_settings_problem(const Settings& s) {
  if (!s.code) {
    if (!s.structure_periods.empty() || s.t90) return "--structure-periods and --t90 go with --code";
    return "";
  }
  if (s.structure_periods.empty()) return "--code needs --structure-periods T1[,T2]: the structure's fundamental periods";
  if (!s.target) return "--code needs --target: the spectrum the code compares the suite with";
  if (s.scale_range || (s.rule != Rule::none && s.rule != Rule::match))
    return "--code sets the period range and the factors: no --scale-range with it, and no --scale-rule but match";
  if (s.damping != 0.05) return "--code compares 5% spectra: no other --damping with it";
  if (*s.code == Code::asce7_22 && !s.target_text.starts_with("csv:"))
    return "--code asce7-22 needs the multi-period spectrum as a table: --target csv:FILE";
  if (std::string why = code_check_problem({*s.code, s.structure_periods, s.t90}); !why.empty()) return "--code: " + why;
  return "";
}

Factors Suite::find_code_factors(std::string& why) {
  const Settings& s = settings_;
  CodeInput in;
  in.check = {*s.code, s.structure_periods, s.t90};
  in.periods = periods_;
  in.target = target_;
  in.g = motion::unit_in_m_s2(motion::Unit::g);
  if (s.target)
    if (const std::optional<double> at_zero = s.target->psa_g(0.0)) in.ag_s = *at_zero * in.g;
  std::vector<std::size_t> used;
  for (std::size_t i = 0; i < results_.size(); ++i) {
    if (!results_[i].analysed || !results_[i].error.empty()) continue;
    in.records.push_back(code_record(s.records[i], results_[i]));
    used.push_back(i);
  }
  if (used.empty()) {
    why = "no record could be read";
    return {FactorsOutcome::no_record_read};
  }
  Compliance c = check_compliance(in);
  for (std::size_t j = 0; j < used.size() && j < c.factors.size(); ++j) results_[used[j]].factor = c.factors[j];
  settings_.scale_range = c.range;
  code_input_ = std::move(in);
  compliance_ = std::move(c);
  return {};
}

bool Suite::write_compliance(std::ostream& err, bool romanian, std::vector<std::string>* not_written) const {
  if (!compliance_ || !code_input_) return true;
  const fs::path dir(settings_.out_dir);
  const std::string target = settings_.target ? settings_.target->description() : settings_.target_text;
  bool written = true;
  for (const auto& [name, content] :
       {std::pair{compliance_text_file, compliance_text(*compliance_, *code_input_, target, romanian)},
        std::pair{compliance_json_file, compliance_json(*compliance_, *code_input_).dump(2) + "\n"}}) {
    std::string reason;
    if (!model::case_files::replace_file((dir / name).string(), content, reason)) {
      err << "brantel suite: " << (dir / name).string() << " not written: " << reason << '\n';
      if (not_written) not_written->emplace_back(name);
      written = false;
    }
  }
  return written;
}

}  // namespace suite
