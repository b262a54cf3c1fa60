#include "suite/suite.h"
#include "suite/compliance_report.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "files/record_file.h"
#include "files/regular_file.h"
#include "loadfile/check.h"
#include "loadfile/records.h"
#include "model/case_files/accel_layout.h"
#include "model/case_files/atomic_file.h"
#include "model/geometry_file.h"
#include "motion/measures.h"
#include "motion/rigid_periods.h"
#include "motion/spectrum.h"
#include "motion/units.h"
#include "text/format.h"
#include "text/free_form.h"

namespace suite {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t none_line = static_cast<std::size_t>(-1);
}  // namespace

// The template loading file, split where a record changes it: the parameters record of the
// case (its end time), the case's accelerogram points, and the end and date records.
struct Template {
  std::vector<std::string> lines;  // without line ends
  std::size_t parameters_line = none_line;
  std::size_t points_first = none_line;
  std::size_t points_end = none_line;  // the line that ends the case's points
  std::size_t end_record_line = none_line;
  model::LoadingType loading_type = model::LoadingType::accelerogram_3_directions;
  float end_time = 0;
  int n_dof = 3;
  loadfile::CheckOptions check;  // how each file written is checked
  motion::TargetUnit unit;       // the model's length unit per s2
  std::vector<fs::path> inputs;  // never written over
};

namespace {


constexpr int exit_all_written = 0;
constexpr int exit_some_not_written = 1;
constexpr int exit_refused = 2;
constexpr std::size_t none = static_cast<std::size_t>(-1);

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

// The factor in full: the values written are the record's times it, and a reader of the table
// must be able to multiply them again to the last digit.
std::string exact_number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

std::string csv_field(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Direction letters into direction numbers (1 X, 2 Y, 3 Z); empty when the text is no list of
// distinct directions.
std::vector<int> directions_of(std::string_view text) {
  std::vector<int> directions;
  for (char c : text) {
    const int d = c == 'X' || c == 'x' ? 1 : c == 'Y' || c == 'y' ? 2 : c == 'Z' || c == 'z' ? 3 : 0;
    if (d == 0 || std::find(directions.begin(), directions.end(), d) != directions.end()) return {};
    directions.push_back(d);
  }
  return directions;
}

std::string length_unit_of_header(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (!line.starts_with("//")) break;
    for (std::string_view prefix : {"// Basic UNITS: ", "// UNITATI de baza: "})
      if (line.starts_with(prefix)) {
        const std::string_view units = std::string_view(line).substr(prefix.size());
        return std::string(trimmed(units.substr(0, units.find(';'))));
      }
  }
  return {};
}

std::unique_ptr<Template> read_template(const Settings& s, std::ostream& err) {
  text::RecordSource source;
  if (s.template_text) {
    source = text::RecordSource(*s.template_text);
  } else if (!files::read_records(s.template_path, source)) {
    err << "brantel suite: the template \"" << s.template_path << "\" cannot be read\n";
    return nullptr;
  }
  auto owned = std::make_unique<Template>();
  Template& t = *owned;
  if (!s.template_text) t.inputs.push_back(s.template_path);
  for (const std::string& path : s.protected_files) t.inputs.push_back(path);
  for (const Record& r : s.records) t.inputs.insert(t.inputs.end(), r.files.begin(), r.files.end());
  std::string geometry_unit;
  std::optional<loadfile::ModelCounts> model;
  if (s.geometry) {
    const model::GeometryReadResult g = model::read_geometry_file(*s.geometry);
    if (g.outcome != model::GeometryOutcome::ok) {
      err << "brantel suite: " << model::geometry_problem_text(g, *s.geometry).english << '\n';
      return nullptr;
    }
    model = loadfile::ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
    geometry_unit = std::string(trimmed(g.data.length_unit.view()));
    t.inputs.push_back(*s.geometry);
  } else {
    std::string geometry_path;
    model = loadfile::model_named_in_header(source, s.template_path, &geometry_path);
    if (model) {
      t.inputs.push_back(geometry_path);
      const model::GeometryReadResult g = model::read_geometry_file(geometry_path);
      geometry_unit = std::string(trimmed(g.data.length_unit.view()));
    }
  }
  loadfile::CheckOptions options;
  options.model = model;
  options.keep_records = true;
  source.seek(0);
  const loadfile::CheckReport report = loadfile::check_loading_records(s.template_path, source, options);
  if (loadfile::has_errors(report.problems)) {
    for (const loadfile::Problem& p : report.problems)
      if (p.severity == loadfile::Severity::error) err << loadfile::problem_line(p) << '\n';
    err << "brantel suite: the template has errors; a loading file made from it would have them too\n";
    return nullptr;
  }
  t.n_dof = report.n_dof;
  t.check.model = model;
  t.check.n_dof = report.n_dof;
  for (std::size_t i = 0; i < source.size(); ++i) t.lines.emplace_back(source.record(i));
  int loading_type = 0;
  for (const loadfile::CheckedRecord& r : report.records) {
    if (r.kind == loadfile::RecordKind::end_of_file) t.end_record_line = r.first_line - 1;
    if (r.case_number != s.case_number) continue;
    if (r.kind == loadfile::RecordKind::case_parameters && r.values.size() >= 3) {
      t.parameters_line = r.first_line - 1;
      loading_type = static_cast<int>(r.values[0]);
      t.end_time = static_cast<float>(r.values[2]);
    } else if (r.kind == loadfile::RecordKind::accel_point && t.points_first == none) {
      t.points_first = r.first_line - 1;
    } else if (r.kind == loadfile::RecordKind::loading_data_end) {
      t.points_end = r.first_line - 1;
    }
  }
  if (t.parameters_line == none || t.points_end == none) {
    err << "brantel suite: the template has no case " << s.case_number << '\n';
    return nullptr;
  }
  if (loading_type != -1 && loading_type != -2) {
    err << "brantel suite: case " << s.case_number << " of the template is not an accelerogram case (its loading type is "
        << loading_type << ")\n";
    return nullptr;
  }
  t.loading_type = static_cast<model::LoadingType>(loading_type);
  if (t.points_first == none) t.points_first = t.points_end;

  std::string unit = length_unit_of_header(t.lines);
  if (unit.empty()) unit = geometry_unit;
  const std::optional<double> metres = motion::length_unit_metres(unit);
  if (!metres) {
    err << "brantel suite: the model's length unit \"" << unit
        << "\" is none the records can be converted to (m, cm, mm, in, ft)\n";
    return nullptr;
  }
  t.unit = motion::TargetUnit::length_per_s2(*metres, unit + "/s2");
  return owned;
}

// A record as it goes into the loading file: its components in the model's unit, each with the
// direction it is put into.
struct ReadRecord {
  motion::Record record;
  std::vector<int> directions;
  std::vector<std::string> warnings;
  std::string error;  // empty when it can be used
};

bool is_vertical(const std::vector<motion::Orientation>& orientations, std::size_t k) {
  return k < orientations.size() && orientations[k].axis == motion::Axis::vertical;
}

// Components in order into X, Y, Z, except that one the file marks as vertical goes into Z when
// the model has it: X and Y, the horizontal pair, never get a vertical component.
std::vector<int> default_directions(const std::vector<motion::Orientation>& orientations, int n_dof) {
  std::vector<int> directions(orientations.size(), 0);
  bool used[4] = {};
  auto take = [&](std::size_t k, int d) { directions[k] = d, used[d] = true; };
  for (std::size_t k = 0; k < orientations.size() && orientations.size() > 1 && n_dof >= 3; ++k)
    if (is_vertical(orientations, k) && !used[3]) take(k, 3);
  for (const bool vertical : {false, true})
    for (std::size_t k = 0; k < orientations.size(); ++k)
      if (directions[k] == 0 && is_vertical(orientations, k) == vertical)
        take(k, static_cast<int>(std::find(used + 1, used + 4, false) - used));
  return directions;
}

ReadRecord read_record(const Record& entry, const Settings& s, const Template& t) {
  ReadRecord out;
  for (const std::string& file : entry.files) {
    motion::ReadOptions options = entry.options;
    options.target = t.unit;
    motion::ReadResult r = motion::read_motion_file(file, options);
    for (const motion::Problem& p : r.problems) {
      std::string where = file + (p.line > 0 ? ":" + std::to_string(p.line) : "");
      if (p.severity == motion::Severity::warning) out.warnings.push_back(where + ": " + p.text);
      else if (out.error.empty()) out.error = where + ": " + p.text;
    }
    if (r.outcome == motion::Outcome::refused) {
      if (out.error.empty()) out.error = file + ": cannot be read";
      return out;
    }
    if (!r.record.file_unit) {
      out.error = file + ": the file's unit is not known; give --units";
      return out;
    }
    if (out.record.components.empty()) {
      out.record = std::move(r.record);
      continue;
    }
    // Steps that agree to a part in 10^9 are one step printed with other digits.
    if (std::abs(r.record.time_step - out.record.time_step) > 1e-9 * out.record.time_step) {
      out.error = file + ": its time step " + number(r.record.time_step) + " s differs from " +
                  number(out.record.time_step) + " s of " + entry.files.front() + "; give --resample S";
      return out;
    }
    r.record.orientations.resize(r.record.components.size());
    out.record.orientations.insert(out.record.orientations.end(), r.record.orientations.begin(), r.record.orientations.end());
    for (auto& c : r.record.components) out.record.components.push_back(std::move(c));
  }
  out.record.orientations.resize(out.record.components.size());
  auto& components = out.record.components;
  std::size_t longest = 0;
  for (const auto& c : components) longest = std::max(longest, c.size());
  for (auto& c : components)
    if (c.size() < longest) {
      out.warnings.push_back(entry.files.front() + ": components of unequal length; the shorter are zero after their end");
      c.resize(longest, 0.0);
    }
  if (longest < 2) {
    out.error = entry.files.front() + ": fewer than two points";
    return out;
  }
  const bool one_direction = t.loading_type == model::LoadingType::accelerogram_1_direction;
  out.directions = directions_of(s.direction);
  if (s.direction.empty()) out.directions = default_directions(out.record.orientations, t.n_dof);
  for (std::size_t k = 0; k < out.directions.size() && k < components.size(); ++k)
    if (components.size() > 1 && is_vertical(out.record.orientations, k) && out.directions[k] < 3)
      out.warnings.push_back(entry.files.front() + ": component " + std::to_string(k + 1) + " (" + out.record.orientations[k].name +
                             ") is vertical and goes into direction " + "XY"[out.directions[k] - 1]);
  if (one_direction && components.size() != 1) {
    out.error = entry.files.front() + ": " + std::to_string(components.size()) +
                " components, and the case is an accelerogram of one direction";
  } else if (!one_direction && out.directions.size() != components.size()) {
    out.error = entry.files.front() + ": " + std::to_string(components.size()) + " components for the " +
                std::to_string(out.directions.size()) + " directions " + (s.direction.empty() ? "X, Y, Z" : s.direction);
  } else if (!one_direction && *std::max_element(out.directions.begin(), out.directions.end()) > t.n_dof) {
    out.error = "the model has " + std::to_string(t.n_dof) + " degrees of freedom per node: no direction Z";
  }
  return out;
}

// What a record contributes to the suite before any file is written: its spectra and measures,
// unscaled. The record itself is read again when its file is written, so that no more than one
// record per job is held at once.
void analyse(const Record& entry, const Settings& s, const Template& t, RecordResult& a) {
  ReadRecord r = read_record(entry, s, t);
  a.warnings = std::move(r.warnings);
  if (!r.error.empty()) {
    a.error = r.error;
    return;
  }
  motion::Record& record = r.record;
  a.points = record.point_count();
  a.time_step = record.time_step;
  a.duration = record.time_step * static_cast<double>(a.points - 1);
  const double to_m_s2 = t.unit.in_m_s2();
  for (auto& c : record.components)
    for (double& v : c) v *= to_m_s2;
  std::vector<double> pgas;
  for (const auto& c : record.components) {
    const motion::IntensityMeasures m = motion::intensity_measures(c, record.time_step);
    pgas.push_back(m.pga);
    a.pga = std::max(a.pga, m.pga);
    if (m.arias >= a.arias) {
      a.arias = m.arias;
      a.d5_95 = m.d5_95;
    }
  }
  motion::SpectrumRequest request;
  request.periods = s.periods.empty() ? motion::default_periods() : s.periods;
  request.dampings = {s.damping};
  // RotD100 only of a horizontal pair: the components in X and Y, neither marked vertical; else
  // the first component not so marked.
  const auto& o = record.orientations;
  const auto x = std::find(r.directions.begin(), r.directions.end(), 1) - r.directions.begin();
  const auto y = std::find(r.directions.begin(), r.directions.end(), 2) - r.directions.begin();
  const std::size_t n = r.directions.size();
  const bool pair = static_cast<std::size_t>(x) < n && static_cast<std::size_t>(y) < n && !is_vertical(o, x) && !is_vertical(o, y);
  std::size_t one = motion::horizontal_components(o, record.components.size()).front();
  if (pair) request.pair = std::array{static_cast<std::size_t>(x), static_cast<std::size_t>(y)};
  request.rotd_percentiles = pair ? std::vector<double>{100.0} : std::vector<double>{};
  if (!pair && record.components.size() >= 2) record.components = {record.components[one]};
  a.curves = motion::spectra_with_rigid_periods(record.components, record.time_step, request);
  if (!pair)
    for (motion::SpectrumCurve& c : a.curves) c.component = std::to_string(one + 1);
  const std::string factor_component = pair ? "rotd100" : std::to_string(one + 1);
  for (std::size_t i = 0; i < a.curves.size(); ++i)
    if (a.curves[i].component == factor_component) a.factor_curve = i;
  // Each component kept with its direction and PGA, as a design code's rules take them.
  for (std::size_t k = 0; k < pgas.size(); ++k) {
    if (!pair && k != one) continue;
    const int d = k < r.directions.size() ? r.directions[k] : 1;
    a.directions.push_back(d >= 1 && d <= 3 ? "XYZ"[d - 1] : 'X');
    a.component_pga.push_back(pgas[k]);
  }
  const auto named = [&](std::size_t k) { return std::to_string(k + 1) + (o[k].name.empty() ? "" : " (" + o[k].name + ")"); };
  a.scaled_on = pair ? "RotD100 of " + named(x) + " and " + named(y) : "component " + named(one);
}

// The parameters record with its third value, the end time, replaced by `text`; the blanks
// around it stay as they were.
std::string with_end_time(const std::string& line, const std::string& text) {
  std::size_t pos = 0;
  for (int token = 0; token < 3; ++token) {
    pos = line.find_first_not_of(' ', pos);
    if (token == 2) break;
    pos = line.find(' ', pos);
  }
  const std::size_t end = std::min(line.find(' ', pos), line.size());
  return line.substr(0, pos) + text + line.substr(end);
}

std::string date_record_now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return loadfile::date_record(
      {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec});
}

std::string end_record_for(const std::string& template_line, const std::string& path) {
  const std::size_t colon = template_line.find(": ");
  const std::string prefix = colon == std::string::npos ? "End_of_File: " : template_line.substr(0, colon + 2);
  std::string line = prefix + loadfile::path_text(path);
  if (line.size() > loadfile::end_record_length) line.resize(loadfile::end_record_length);
  return std::string(trimmed(line));
}

std::string rtrimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The loading file of one record: the template's lines, the case's points replaced.
std::string loading_text(const Template& t, const ReadRecord& r, double factor, bool keep_end_time,
                         const std::string& path, std::string& note) {
  const motion::Record& record = r.record;
  const std::size_t points = record.point_count();
  // Enough for the longest point record, so that the text is never copied as it grows.
  std::size_t size = (1 + 16 * (1 + static_cast<std::size_t>(t.n_dof)) + 2) * points;
  for (const std::string& line : t.lines) size += line.size() + 2;
  std::string text;
  text.reserve(size + 2 * loadfile::end_record_length);
  auto put = [&text](const std::string& line) {
    text += line;
    text += "\r\n";
  };
  for (std::size_t i = 0; i < t.parameters_line; ++i) put(t.lines[i]);
  const float duration = static_cast<float>(record.time_step * static_cast<double>(points - 1));
  if (keep_end_time) {
    put(t.lines[t.parameters_line]);
    if (duration > t.end_time)
      note = "warning: the record lasts " + text::g14_7_text(duration) + " s, longer than the case's end time " +
             text::g14_7_text(t.end_time) + " s, which is kept";
  } else {
    put(with_end_time(t.lines[t.parameters_line], text::g14_7_text(duration)));
    note = "end time of case set to " + text::g14_7_text(duration) + " s, the record's duration";
  }
  for (std::size_t i = t.parameters_line + 1; i < t.points_first; ++i) put(t.lines[i]);
  const bool one_direction = t.loading_type == model::LoadingType::accelerogram_1_direction;
  const auto direction = static_cast<model::AccelDirection>(one_direction ? r.directions.front() : 0);
  for (std::size_t i = 0; i < points; ++i) {
    model::AccelPoint p;
    p.time = static_cast<float>(record.time_step * static_cast<double>(i));
    for (std::size_t k = 0; k < record.components.size(); ++k)
      p.acceleration[r.directions[k] - 1] = static_cast<float>(record.components[k][i] * factor);
    put(rtrimmed(model::case_files::accel_point_record(p, t.loading_type, t.n_dof, direction)));
  }
  for (std::size_t i = t.points_end; i < t.lines.size(); ++i) {
    if (i == t.end_record_line) put(end_record_for(t.lines[i], path));
    else if (t.end_record_line != none && i == t.end_record_line + 1) put(date_record_now());
    else put(t.lines[i]);
  }
  return text;
}

bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

// Builds, checks and writes the loading file of one record; the reason when it is not written.
std::string write_record_file(const Record& entry, const Settings& s, const Template& t, RecordResult& a) {
  const fs::path path = fs::path(s.out_dir) / (a.stem + ".inc");
  for (const Record& other : s.records)
    for (const std::string& file : other.files)
      if (same_file(path, file)) return path.string() + " is the record file " + file + ", which is never written over";
  for (const fs::path& input : t.inputs)
    if (same_file(path, input)) return path.string() + " is " + input.string() + ", which is never written over";
  text::RecordSource source;
  {
    ReadRecord r = read_record(entry, s, t);
    if (!r.error.empty()) return r.error;
    std::string text = loading_text(t, r, a.factor, s.keep_end_time, path.string(), a.note);
    r = ReadRecord{};
    source = text::RecordSource::adopt(std::move(text));
  }
  loadfile::CheckOptions options = t.check;
  const loadfile::CheckReport report = loadfile::check_loading_records(path.string(), source, options);
  if (loadfile::has_errors(report.problems)) {
    std::string why = "the loading file would not pass the check:";
    int shown = 0;
    for (const loadfile::Problem& p : report.problems)
      if (p.severity == loadfile::Severity::error && shown++ < 3) why += "\n  " + loadfile::problem_line(p);
    return why;
  }
  model::case_files::AtomicFile file(path.string());
  // In one piece, as it was built and checked: a text this large goes to the file without
  // passing through the writer's buffer, which would be one more copy of its first megabyte.
  if (file.open() == model::case_files::OutputStatus::ok) file.write({source.text().get(), source.text_size()});
  if (const model::case_files::OutputStatus status = file.finish(); status != model::case_files::OutputStatus::ok)
    return path.string() + " cannot be written" +
           (file.error_number() != 0 ? std::string(": ") + std::strerror(file.error_number()) : std::string());
  a.written = path.string();
  return {};
}

// A thread the system will not start leaves the work to those that run: fewer at once, the
// same results.
void parallel_for(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> threads;
  for (unsigned j = 1; j < std::min<std::size_t>(jobs, count); ++j) {
    try {
      threads.emplace_back(worker);
    } catch (const std::system_error&) {
      break;
    }
  }
  worker();
  for (std::thread& thread : threads) thread.join();
}

std::vector<std::optional<double>> target_m_s2(const Settings& s, const std::vector<double>& periods) {
  std::vector<std::optional<double>> target;
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  for (double period : periods) {
    const auto psa = s.target ? s.target->psa_g(period, s.damping) : std::nullopt;
    target.push_back(psa ? std::optional<double>(*psa * g) : std::nullopt);
  }
  return target;
}

// The rule in the tables' headers; previous_suite_files knows a suite checked against a code by it.
std::string rule_words(const Settings& s) {
  if (s.code) return "code " + std::string(code_name(*s.code)) + " (each record's fit, then one common factor)";
  return std::string(rule_name(s.rule));
}

std::string suite_csv(const Settings& s, const Template& t, const std::vector<RecordResult>& suite) {
  std::string text = "# template: " + s.template_path + ", case " + std::to_string(s.case_number) + '\n';
  text += "# values in the loading files: the record's values in " + t.unit.name() + " times the factor\n";
  text += "# scale rule: " + rule_words(s) + "\n";
  text +=
      "# units: time_step s, duration s, pga m/s2, arias m/s, d5_95 s; pga and arias of the scaled record, the "
      "largest of its components; d5_95 of the component of largest Arias intensity\n";
  text += "record,file,factor,points,time_step,duration,pga,arias,d5_95\n";
  for (const RecordResult& a : suite) {
    if (a.written.empty()) continue;
    text += csv_field(a.stem) + ',' + csv_field(a.written) + ',' + exact_number(a.factor) + ',' + std::to_string(a.points) + ',' +
            number(a.time_step) + ',' + number(a.duration) + ',' + number(a.pga * std::abs(a.factor)) + ',' +
            number(a.arias * a.factor * a.factor) + ',' + (a.d5_95 ? number(*a.d5_95) : std::string()) + '\n';
  }
  return text;
}

std::string spectra_csv(const Settings& s, const std::vector<double>& periods,
                        const std::vector<std::optional<double>>& target, const std::vector<RecordResult>& suite) {
  std::string text = "# template: " + s.template_path + ", case " + std::to_string(s.case_number) + '\n';
  text += "# units: sd m, psv m/s, psa m/s2" + std::string(s.target ? ", target m/s2" : "") + '\n';
  if (s.target) text += "# target: " + s.target->description() + '\n';
  if (s.scale_range)
    text += "# scale rule: " + rule_words(s) + " over " + number(s.scale_range->first) + "-" +
            number(s.scale_range->second) + " s\n";
  text += "# spectra of the scaled records; mean: their mean of RotD100 of a horizontal pair, else of the one "
          "component\n";
  text += s.target ? "record,period,damping,component,sd,psv,psa,target\n" : "record,period,damping,component,sd,psv,psa\n";
  auto target_at = [&](std::size_t k) {
    if (!s.target) return std::string();
    return "," + (target[k] ? number(*target[k]) : std::string());
  };
  std::size_t written = 0;
  for (const RecordResult& a : suite) {
    if (a.written.empty()) continue;
    ++written;
    const std::string stem = csv_field(a.stem);
    for (std::size_t k = 0; k < periods.size(); ++k)
      for (const motion::SpectrumCurve& c : a.curves)
        text += stem + ',' + number(periods[k]) + ',' + number(c.damping) + ',' + c.component + ',' +
                number(c.sd[k] * a.factor) + ',' + number(c.psv[k] * a.factor) + ',' + number(c.psa[k] * a.factor) +
                target_at(k) + '\n';
  }
  if (written == 0) return text;
  for (std::size_t k = 0; k < periods.size(); ++k) {
    double sd = 0, psv = 0, psa = 0;
    for (const RecordResult& a : suite) {
      if (a.written.empty()) continue;
      const motion::SpectrumCurve& c = a.curves[a.factor_curve];
      sd += c.sd[k] * a.factor;
      psv += c.psv[k] * a.factor;
      psa += c.psa[k] * a.factor;
    }
    const double n = static_cast<double>(written);
    text += "mean," + number(periods[k]) + ',' + number(s.damping) + ",mean," + number(sd / n) + ',' + number(psv / n) +
            ',' + number(psa / n) + target_at(k) + '\n';
  }
  return text;
}

// One line of a table as csv_field writes its fields.
std::vector<std::string> csv_fields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
    else if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

// The manifest is read from a table of a few lines a record; a larger file is no suite's.
constexpr std::size_t max_manifest_bytes = std::size_t{1} << 26;

ui::SpectraPictureRenderer& picture_renderer() {
  static ui::SpectraPictureRenderer renderer;
  return renderer;
}

}  // namespace

std::string_view rule_name(Rule rule) {
  switch (rule) {
    case Rule::fit: return "fit";
    case Rule::min90: return "min90";
    case Rule::suite90: return "suite90";
    case Rule::none: break;
  }
  return "none";
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

std::optional<std::vector<std::string>> previous_suite_files(const std::string& dir) {
  std::string content;
  const fs::path table = fs::path(dir) / suite_table;
  if (files::read_regular_file(table.string(), content, max_manifest_bytes + 1).status != files::FileReadStatus::ok ||
      content.size() > max_manifest_bytes)
    return std::nullopt;
  // Ours: the header that suite_csv writes, then rows of the files written.
  if (!content.starts_with("# template: ")) return std::nullopt;
  std::vector<std::string> names{suite_table, spectra_table, spectra_picture};
  if (content.find("\n# scale rule: code ") != std::string::npos) {
    names.emplace_back(compliance_text_file);
    names.emplace_back(compliance_json_file);
  }
  bool rows = false;
  for (std::size_t pos = 0; pos < content.size();) {
    const std::size_t end = std::min(content.find('\n', pos), content.size());
    std::string_view line(content.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with('#') || line.empty()) continue;
    if (!rows) {
      if (!line.starts_with("record,file,factor,")) return std::nullopt;
      rows = true;
      continue;
    }
    const std::vector<std::string> fields = csv_fields(line);
    if (fields.size() < 2 || fields[1].empty()) return std::nullopt;
    // Only a file of the folder itself: the table names each as the run that wrote it did.
    names.push_back(fs::path(fields[1]).filename().string());
  }
  if (!rows) return std::nullopt;
  return names;
}

std::string settings_problem(const Settings& s) {
  if (s.template_path.empty()) return "no template loading file named";
  if (s.case_number < 1) return "--case needs the number of the accelerogram case, from 1";
  if (s.records.empty()) return "no record named (--records FILE[,FILE...]...)";
  if (!s.direction.empty() && directions_of(s.direction).empty())
    return "--direction takes X, Y, Z, XY or XYZ, not \"" + s.direction + "\"";
  if (s.rule != Rule::none && (!s.target || !s.scale_range))
    return "--scale-rule needs --target and --scale-range";
  if (s.scale_range && s.rule == Rule::none) return "--scale-range needs --scale-rule";
  if (s.scale_range && !(s.scale_range->first > 0 && s.scale_range->first < s.scale_range->second))
    return "--scale-range needs TA:TB with 0 < TA < TB seconds";
  if (!(s.damping >= 0 && s.damping < 1)) return "--damping needs a ratio from 0 to below 1";
  if (std::string why = code_settings_problem(s); !why.empty()) return why;
  for (const Record& r : s.records)
    if (r.files.empty() || std::any_of(r.files.begin(), r.files.end(), [](const std::string& f) { return f.empty(); }))
      return "an empty record file name";
  std::set<std::string> stems;
  const std::vector<std::string> names = stems_of(s.records);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!stems.insert(names[i]).second)
      return "two records named \"" + stem_of(s.records[i]) + "\": their loading files would have one name";
  return {};
}

Suite::Suite(const Settings& settings, std::unique_ptr<Template> t)
    : settings_(settings), template_(std::move(t)), results_(settings.records.size()) {
  const std::vector<std::string> stems = stems_of(settings_.records);
  for (std::size_t i = 0; i < results_.size(); ++i) results_[i].stem = stems[i];
  previous_ = previous_suite_files(settings_.out_dir);
  periods_ = settings_.periods.empty() ? motion::default_periods() : settings_.periods;
  target_ = target_m_s2(settings_, periods_);
}

Suite::~Suite() = default;

std::unique_ptr<Suite> Suite::open(const Settings& settings, std::ostream& err) {
  if (const std::string why = settings_problem(settings); !why.empty()) {
    err << "brantel suite: " << why << '\n';
    return nullptr;
  }
  std::unique_ptr<Template> t = read_template(settings, err);
  if (!t) return nullptr;
  return std::unique_ptr<Suite>(new Suite(settings, std::move(t)));
}

std::string Suite::unit_name() const { return template_->unit.name(); }

void Suite::analyse(std::size_t i) {
  RecordResult& a = results_[i];
  try {
    suite::analyse(settings_.records[i], settings_, *template_, a);
  } catch (const std::exception& e) {
    a.error = settings_.records[i].files.front() + ": " + e.what();
  }
  a.analysed = a.error.empty();
}

bool Suite::find_factors(std::string& why) {
  const Settings& s = settings_;
  if (s.code) return find_code_factors(why);
  if (s.rule == Rule::suite90) {
    std::vector<std::vector<double>> psa;
    for (const RecordResult& a : results_)
      if (a.analysed && a.error.empty()) psa.push_back(a.curves[a.factor_curve].psa);
    if (psa.empty()) {
      why = "no record could be read";
      return false;
    }
    const motion::ScaleFactor f = motion::suite90(periods_, psa, target_, s.scale_range->first, s.scale_range->second);
    if (!f.problem.empty()) {
      why = "no suite90 factor: " + f.problem;
      return false;
    }
    for (RecordResult& a : results_) a.factor = f.factor;
  } else if (s.rule != Rule::none) {
    const motion::ScaleRule rule = s.rule == Rule::fit ? motion::ScaleRule::fit : motion::ScaleRule::min90;
    for (RecordResult& a : results_) {
      if (!a.analysed || !a.error.empty()) continue;
      const motion::ScaleFactor f = motion::scale_factor(periods_, a.curves[a.factor_curve].psa, target_,
                                                         s.scale_range->first, s.scale_range->second, rule);
      if (!f.problem.empty()) a.error = "no " + std::string(rule_name(s.rule)) + " factor: " + f.problem;
      else a.factor = f.factor;
    }
  }
  return true;
}

void Suite::write(std::size_t i) {
  RecordResult& a = results_[i];
  if (!a.error.empty()) return;
  try {
    a.error = write_record_file(settings_.records[i], settings_, *template_, a);
  } catch (const std::exception& e) {
    a.error = e.what();
  }
}

ui::SpectraPicture Suite::picture(bool written_only) const {
  const Settings& s = settings_;
  ui::SpectraPicture picture;
  picture.title = "Scaled spectra, " + number(100 * s.damping) + "% damping" +
                  (s.rule == Rule::none ? std::string() : ", " + std::string(rule_name(s.rule)) + " over " +
                                                                  number(s.scale_range->first) + "-" +
                                                                  number(s.scale_range->second) + " s");
  // In g, as the Suite window's chart: one unit wherever the suite's spectra are drawn.
  const double g = motion::unit_in_m_s2(motion::Unit::g);
  picture.y_title = "PSA (g)";
  picture.periods = periods_;
  std::vector<double> mean(periods_.size(), 0.0);
  for (const RecordResult& a : results_) {
    if (written_only ? a.written.empty() : !(a.analysed && a.error.empty())) continue;
    ui::SpectraPicture::Curve curve{a.stem, a.curves[a.factor_curve].psa};
    for (std::size_t k = 0; k < curve.values.size(); ++k) {
      curve.values[k] *= a.factor / g;
      mean[k] += curve.values[k];
    }
    picture.records.push_back(std::move(curve));
  }
  if (!picture.records.empty()) {
    for (double& v : mean) v /= static_cast<double>(picture.records.size());
    picture.mean = ui::SpectraPicture::Curve{"mean", mean};
  }
  if (s.target)
    for (const std::optional<double>& t : target_) picture.target.push_back(t ? std::optional<double>(*t / g) : std::nullopt);
  picture.range = s.scale_range;
  return picture;
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
    if (std::any_of(template_->inputs.begin(), template_->inputs.end(),
                    [&](const fs::path& input) { return same_file(dir / name, input); }))
      continue;
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
  for (const auto& [name, content] : {std::pair{suite_table, suite_csv(settings_, *template_, results_)},
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
  // What the previous suite wrote and this one did not is no part of this suite.
  if (previous_) {
    std::set<std::string> kept;
    for (const RecordResult& a : results_)
      if (!a.written.empty()) kept.insert(fs::path(a.written).filename().string());
    kept.insert(suite_table);
    kept.insert(spectra_table);
    if (picture_written) kept.insert(spectra_picture);
    if (compliance_) {
      kept.insert(compliance_text_file);
      kept.insert(compliance_json_file);
    }
    for (const std::string& name : *previous_) {
      if (kept.contains(name) || name.find('/') != std::string::npos || name == "." || name == "..") continue;
      const fs::path stale = dir / name;
      if (std::any_of(template_->inputs.begin(), template_->inputs.end(),
                      [&](const fs::path& input) { return same_file(stale, input); }))
        continue;
      std::error_code ec;
      if (fs::symlink_status(stale, ec).type() == fs::file_type::regular) fs::remove(stale, ec);
    }
  }
  return tables_written;
}

unsigned jobs_for(const Settings& s) {
  const unsigned asked = s.jobs > 0 ? s.jobs : std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::min<std::size_t>({asked, max_jobs, std::max<std::size_t>(1, s.records.size())}));
}

int run_suite(const Settings& s, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Suite> suite = Suite::open(s, err);
  if (!suite) return exit_refused;
  if (const std::string clash = suite->output_clash(); !clash.empty()) {
    err << "brantel suite: " << clash << '\n';
    return exit_refused;
  }
  if (const std::vector<std::string> in_the_way = suite->files_in_the_way(); !in_the_way.empty()) {
    err << "brantel suite: no suite wrote these files, which the run would replace:";
    for (const std::string& path : in_the_way) err << ' ' << path;
    err << "\nbrantel suite: nothing written; choose another folder (--out) or give --overwrite to replace them\n";
    return exit_refused;
  }
  const unsigned jobs = jobs_for(s);
  parallel_for(suite->size(), jobs, [&](std::size_t i) { suite->analyse(i); });
  if (std::string why; !suite->find_factors(why)) {
    err << "brantel suite: " << why << '\n';
    if (why.starts_with("no suite90") || why.starts_with("no record")) return exit_refused;
  }
  if (std::none_of(suite->results().begin(), suite->results().end(),
                   [](const RecordResult& a) { return a.error.empty(); })) {
    for (const RecordResult& a : suite->results()) err << "brantel suite: " << a.stem << ": not written: " << a.error << '\n';
    err << "brantel suite: nothing written: no record can be used\n";
    return exit_refused;
  }
  std::error_code ec;
  const bool folder_was_there = fs::exists(s.out_dir, ec);
  fs::create_directories(s.out_dir, ec);
  if (!fs::is_directory(s.out_dir, ec)) {
    err << "brantel suite: the folder \"" << s.out_dir << "\" cannot be made\n";
    return exit_refused;
  }
  std::mutex progress;
  std::atomic<std::size_t> done{0};
  parallel_for(suite->size(), jobs, [&](std::size_t i) {
    suite->write(i);
    if (s.progress) {
      const RecordResult& a = suite->result(i);
      const std::lock_guard lock(progress);
      err << '[' << ++done << '/' << suite->size() << "] " << a.stem << (a.error.empty() ? ": written" : ": not written")
          << std::endl;
    }
  });

  std::size_t written = 0;
  for (const RecordResult& a : suite->results()) {
    for (const std::string& w : a.warnings) err << "brantel suite: warning: " << w << '\n';
    if (!a.error.empty()) {
      err << "brantel suite: " << a.stem << ": not written: " << a.error << '\n';
      continue;
    }
    ++written;
    out << a.written << ": " << a.points << " points at " << number(a.time_step) << " s, factor " << number(a.factor)
        << " on " << a.scaled_on << "; " << a.note << '\n';
  }
  if (written == 0) {
    // The folder made for this run goes with it; one that was there stays as it was.
    if (!folder_was_there) fs::remove(s.out_dir, ec);
    err << "brantel suite: nothing written\n";
    return exit_refused;
  }
  const bool tables_written = suite->write_tables(out, err);
  out << written << " of " << suite->size() << " loading files written in " << s.out_dir << '\n';
  // A suite that does not comply is written all the same, so that the engineer sees why; the
  // exit status says it.
  if (suite->compliance()) {
    out << compliance_lines(*suite->compliance(), false);
    if (!suite->compliance()->holds()) return exit_some_not_written;
  }
  return written == suite->size() && tables_written ? exit_all_written : exit_some_not_written;
}

void set_spectra_picture_renderer(ui::SpectraPictureRenderer renderer) { picture_renderer() = std::move(renderer); }

}  // namespace suite
