#include "suite/output.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

#include "model/case_files/atomic_file.h"
#include "suite/compliance_report.h"
#include "suite/suite.h"
#include "suite/tables.h"
#include "suite/template.h"

namespace suite {

namespace fs = std::filesystem;

namespace {

ui::SpectraPictureRenderer& picture_renderer() {
  static ui::SpectraPictureRenderer renderer;
  return renderer;
}

bool is_input(const fs::path& path, const Template& t) {
  return std::any_of(t.inputs.begin(), t.inputs.end(), [&](const fs::path& input) { return same_file(path, input); });
}

}  // namespace

bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

std::string stem_of(const Record& r) { return fs::path(r.files.front()).stem().string(); }

std::vector<std::string> stems_of(const std::vector<Record>& records) {
  std::map<std::string, int> count;
  for (const Record& r : records)
    if (!r.files.empty()) ++count[stem_of(r)];
  std::vector<std::string> stems;
  for (const Record& r : records) {
    if (r.files.empty()) {
      stems.emplace_back();
      continue;
    }
    std::string stem = stem_of(r);
    if (count[stem] > 1) {
      stem = fs::path(r.files.front()).filename().string();
      std::replace(stem.begin(), stem.end(), '.', '_');
    }
    stems.push_back(std::move(stem));
  }
  return stems;
}

std::string Suite::output_clash() const {
  const fs::path dir(settings_.out_dir);
  for (const char* name : {suite_table, spectra_table, spectra_picture})
    for (const fs::path& input : template_->inputs)
      if (same_file(dir / name, input))
        return (dir / name).string() + " would replace " + input.string() +
               ", an input of the suite, which is never written over: choose another folder (--out)";
  return {};
}

std::vector<std::string> Suite::files_in_the_way() const {
  if (settings_.overwrite) return {};
  const fs::path dir(settings_.out_dir);
  std::vector<std::string> names;
  for (const RecordResult& a : results_) names.push_back(a.stem + ".inc");
  for (const char* name : {suite_table, spectra_table, spectra_picture}) names.emplace_back(name);
  if (settings_.code)
    for (const char* name : {compliance_text_file, compliance_json_file}) names.emplace_back(name);
  std::vector<std::string> in_the_way;
  for (const std::string& name : names) {
    if (previous_ && std::find(previous_->begin(), previous_->end(), name) != previous_->end()) continue;
    // An input is never replaced at all: its record is told so, or the run refused (output_clash).
    if (is_input(dir / name, *template_)) continue;
    std::error_code ec;
    if (fs::symlink_status(dir / name, ec).type() != fs::file_type::not_found && !ec)
      in_the_way.push_back((dir / name).string());
  }
  return in_the_way;
}

bool Suite::write_tables(std::ostream& out, std::ostream& err, std::vector<std::string>* not_written) {
  bool tables_written = true;
  const fs::path dir(settings_.out_dir);
  auto failed = [&](const char* name, const std::string& why) {
    err << "brantel suite: " << (dir / name).string() << " not written: " << why << '\n';
    if (not_written) not_written->emplace_back(name);
    tables_written = false;
  };
  if (const std::string clash = output_clash(); !clash.empty()) {
    for (const char* name : {suite_table, spectra_table, spectra_picture}) failed(name, clash);
    return false;
  }
  for (const auto& [name, content] : {std::pair{suite_table, suite_csv(settings_, unit_name(), results_)},
                                      std::pair{spectra_table, spectra_csv(settings_, periods_, target_, results_)}}) {
    std::string reason;
    if (!model::case_files::replace_file((dir / name).string(), content, reason)) failed(name, reason);
  }
  bool picture_written = false;
  if (picture_renderer()) {
    std::string why;
    const std::string png = picture_renderer()(picture(true), why);
    if (png.empty() || !model::case_files::replace_file((dir / spectra_picture).string(), png, why))
      failed(spectra_picture, why);
    else
      picture_written = true;
  } else {
    out << "spectra.png not drawn: this program has no picture renderer\n";
    if (not_written) not_written->emplace_back(spectra_picture);
  }
  if (!write_compliance(err, false, not_written)) tables_written = false;
  remove_previous(picture_written);
  return tables_written;
}

// What the previous suite wrote and this one did not is no part of this suite.
void Suite::remove_previous(bool picture_written) const {
  if (!previous_) return;
  const fs::path dir(settings_.out_dir);
  std::set<std::string> kept{suite_table, spectra_table};
  for (const RecordResult& a : results_)
    if (!a.written.empty()) kept.insert(fs::path(a.written).filename().string());
  if (picture_written) kept.insert(spectra_picture);
  if (compliance_) {
    kept.insert(compliance_text_file);
    kept.insert(compliance_json_file);
  }
  for (const std::string& name : *previous_) {
    if (kept.contains(name) || name.find('/') != std::string::npos || name == "." || name == "..") continue;
    const fs::path stale = dir / name;
    if (is_input(stale, *template_)) continue;
    std::error_code ec;
    if (fs::symlink_status(stale, ec).type() == fs::file_type::regular) fs::remove(stale, ec);
  }
}

void set_spectra_picture_renderer(ui::SpectraPictureRenderer renderer) { picture_renderer() = std::move(renderer); }

}  // namespace suite
