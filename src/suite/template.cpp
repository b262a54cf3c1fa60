#include "suite/template.h"

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "files/record_file.h"
#include "loadfile/reader_parse.h"
#include "model/geometry_file.h"
#include "text/fixed_text.h"

namespace suite {

namespace {

// What the comment lines of a template say that its records do not: the geometry file named,
// the units and the language, which its loading files say again.
struct HeaderFacts {
  std::string geometry;
  std::string units[3];
  bool romanian = false;
};

constexpr std::string_view unit_prefixes[] = {"// Basic UNITS: ", "// UNITATI de baza: "};

HeaderFacts header_facts(const text::RecordSource& source) {
  HeaderFacts facts;
  for (std::size_t i = 0; i < source.size() && source.record(i).starts_with("//"); ++i) {
    const std::string_view line = source.record(i);
    if (const std::size_t words = line.find("Geometry file"); words != std::string_view::npos)
      if (const std::size_t colon = line.find(": ", words); colon != std::string_view::npos)
        facts.geometry = std::string(text::trim_right(line.substr(colon + 2)));
    for (const std::string_view prefix : unit_prefixes) {
      if (!line.starts_with(prefix)) continue;
      facts.romanian = prefix != unit_prefixes[0];
      std::string_view units = line.substr(prefix.size());
      for (std::string& unit : facts.units) {
        const std::size_t end = std::min(units.find(';'), units.size());
        unit = std::string(text::trim(units.substr(0, end)));
        units.remove_prefix(std::min(end + 1, units.size()));
      }
    }
  }
  return facts;
}

// The model the template is checked against: the geometry file given, else the one its header
// names; `unit` receives the geometry's length unit.
bool model_of(const Settings& s, const text::RecordSource& source, Template& t, std::string& unit, std::ostream& err) {
  if (s.geometry) {
    const model::GeometryReadResult g = model::read_geometry_file(*s.geometry);
    if (g.outcome != model::GeometryOutcome::ok) {
      err << "brantel suite: " << model::geometry_problem_text(g, *s.geometry).english << '\n';
      return false;
    }
    t.check.model = loadfile::ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
    unit = std::string(text::trim(g.data.length_unit.view()));
    t.inputs.push_back(*s.geometry);
    return true;
  }
  if (s.analysis) return true;
  std::string geometry_path;
  t.check.model = loadfile::model_named_in_header(source, s.template_path, &geometry_path);
  if (t.check.model) {
    t.inputs.push_back(geometry_path);
    unit = std::string(text::trim(model::read_geometry_file(geometry_path).data.length_unit.view()));
  }
  return true;
}

// The template's records checked as the solver reads them, then read into an analysis.
std::shared_ptr<const model::Analysis> analysis_of(const Settings& s, text::RecordSource& source, Template& t,
                                                   std::ostream& err) {
  loadfile::CheckOptions options = t.check;
  const loadfile::CheckReport report = loadfile::check_loading_records(s.template_path, source, options);
  if (loadfile::has_errors(report.problems)) {
    for (const loadfile::Problem& p : report.problems)
      if (p.severity == loadfile::Severity::error) err << loadfile::problem_line(p) << '\n';
    err << "brantel suite: the template has errors; a loading file made from it would have them too\n";
    return nullptr;
  }
  t.check.n_dof = report.n_dof;
  const HeaderFacts facts = header_facts(source);
  t.romanian = facts.romanian;
  loadfile::ReadStart start;
  start.general.geometry_file = facts.geometry;
  start.general.length_unit = facts.units[0];
  start.general.second_unit = facts.units[1];
  start.general.force_unit = facts.units[2];
  start.general.n_nodes = t.check.model ? t.check.model->n_nodes : INT_MAX;
  start.general.n_elements = t.check.model ? t.check.model->n_elements : 0;
  start.general.n_dof = report.n_dof;
  start.max_time_points = INT_MAX;
  start.romanian = facts.romanian;
  source.seek(0);
  loadfile::ReadResult read = loadfile::read(source, start);
  if (read.outcome != loadfile::ReadOutcome::complete || !read.cases_read) {
    err << "brantel suite: the template cannot be read to its end\n";
    return nullptr;
  }
  return std::make_shared<const model::Analysis>(std::move(read.analysis));
}

// The case the records go into: there, and an accelerogram.
bool take_case(const Settings& s, Template& t, std::ostream& err) {
  const model::Analysis& a = *t.analysis;
  if (!a.has_case(s.case_number) || s.case_number > a.general.n_loading_cases) {
    err << "brantel suite: the template has no case " << s.case_number << '\n';
    return false;
  }
  const model::CaseRecord& c = a.cases[s.case_number - 1].record;
  if (!model::accelerogram(c.loading_type)) {
    err << "brantel suite: case " << s.case_number << " of the template is not an accelerogram case (its loading type is "
        << static_cast<int>(c.loading_type) << ")\n";
    return false;
  }
  t.loading_type = c.loading_type;
  t.end_time = c.end_time;
  return true;
}

}  // namespace

std::unique_ptr<Template> read_template(const Settings& s, std::ostream& err) {
  auto t = std::make_unique<Template>();
  text::RecordSource source;
  if (s.template_text) {
    source = text::RecordSource(*s.template_text);
  } else if (!s.analysis) {
    if (!files::read_records(s.template_path, source)) {
      err << "brantel suite: the template \"" << s.template_path << "\" cannot be read\n";
      return nullptr;
    }
    t->inputs.push_back(s.template_path);
  }
  for (const std::string& path : s.protected_files) t->inputs.push_back(path);
  for (const Record& r : s.records) t->inputs.insert(t->inputs.end(), r.files.begin(), r.files.end());
  std::string unit;
  if (!model_of(s, source, *t, unit, err)) return nullptr;
  if (s.analysis) {
    t->analysis = s.analysis;
    t->romanian = s.romanian;
    t->check.n_dof = s.analysis->general.n_dof;
  } else if (!(t->analysis = analysis_of(s, source, *t, err))) {
    return nullptr;
  }
  t->n_dof = t->check.n_dof.value_or(3);
  if (!take_case(s, *t, err)) return nullptr;
  if (const std::string_view stated = t->analysis->general.length_unit.trimmed(); !stated.empty()) unit = stated;
  const std::optional<double> metres = motion::length_unit_metres(unit);
  if (!metres) {
    err << "brantel suite: the model's length unit \"" << unit
        << "\" is none the records can be converted to (m, cm, mm, in, ft)\n";
    return nullptr;
  }
  t->unit = motion::TargetUnit::length_per_s2(*metres, unit + "/s2");
  return t;
}

model::Analysis with_record(const Template& t, int case_number, std::vector<model::AccelPoint> points,
                            model::AccelDirection direction, std::optional<float> end_time) {
  model::Analysis a = *t.analysis;
  model::Case& c = a.cases[case_number - 1];
  c.record.n_time_points = static_cast<int>(points.size());
  if (end_time) c.record.end_time = *end_time;
  model::Accelerogram accelerogram{t.loading_type, direction, std::move(points), {}};
  c.loading(model::LoadingKind::accelerogram) = model::Loading{{}, std::move(accelerogram)};
  return a;
}

}  // namespace suite
