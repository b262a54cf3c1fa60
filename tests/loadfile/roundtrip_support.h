// Random valid program states of every loading type, damping type, operator and language, the
// case scratch files their editors would have saved, and the comparison of two loading files
// value by value as a free-form reader sees them.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/discrete_points.h"
#include "dialogs/context.h"
#include "dialogs/loading_file.h"
#include "model/case_files/accel_layout.h"
#include "model/case_files/section_records.h"
#include "model/case_files/scratch_files.h"
#include "model/case_files/scratch_layouts.h"
#include "model/geometry_file.h"
#include "model/state.h"
#include "support/fake_toolkit.h"
#include "support/session.h"
#include "support/temp_dir.h"
#include "text/fixed_text.h"
#include "text/format.h"
#include "text/free_form.h"

namespace roundtrip {

// What the program knows before it loads a file: the geometry and the start-up answers.
inline testing_support::Session fresh_state(const testing_support::Session& s) {
  testing_support::Session fresh;
  fresh.general().n_nodes = s.general().n_nodes;
  fresh.general().n_elements = s.general().n_elements;
  fresh.general().n_dof = s.general().n_dof;
  fresh.max_time_points = s.max_time_points;
  fresh.language = s.language;
  fresh.general().geometry_file = s.general().geometry_file;
  fresh.general().length_unit = s.general().length_unit;
  fresh.general().second_unit = s.general().second_unit;
  fresh.general().force_unit = s.general().force_unit;
  fresh.loading_file() = s.loading_file();
  return fresh;
}

// The model of a geometry file, as General Data takes it.
inline void take_model(testing_support::Session& s, const model::GeometryData& g, const std::string& geometry_file) {
  s.general().n_nodes = g.n_nodes;
  s.general().n_elements = g.n_elements;
  s.general().n_dof = g.n_dof;
  s.general().length_unit = g.length_unit;
  s.general().second_unit = g.second_unit;
  s.general().force_unit = g.force_unit;
  s.general().geometry_file = geometry_file;
}

inline void remove_scratch_files() {
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path()))
    if (entry.path().extension() == ".dat") std::filesystem::remove(entry.path());
}


// The tables a state's editors keep for one case.
struct CaseData {
  std::vector<model::NodeRange> conditions, loadings, amplitudes;
  std::vector<testing_support::TimePoint> time_points;
  std::vector<model::AccelPoint> accel_points;
  model::AccelDirection direction = model::AccelDirection::x;
};

struct Generated {
  testing_support::Session state;
  std::vector<CaseData> cases;  // cases[i - 1] belongs to case i
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

  // A number as a user types it: up to six significant digits over a wide range of magnitudes.
  std::string typed_text() {
    if (chance(0.1)) return "0.";
    const int digits = integer(1, 6);
    long mantissa = integer(1, 9);
    for (int d = 1; d < digits; ++d) mantissa = mantissa * 10 + integer(0, 9);
    const int exponent = integer(-8, 6) - (digits - 1);
    return std::string(chance(0.3) ? "-" : "") + std::to_string(mantissa) + "E" + std::to_string(exponent);
  }
  float typed() { return std::strtof(typed_text().c_str(), nullptr); }
  float typed_nonzero() {
    for (;;)
      if (const float v = typed(); v != 0) return v;
  }
  float positive() { return std::fabs(typed_nonzero()); }

  model::NodeRange range(int n_nodes, int components) {
    model::NodeRange r;
    r.first_node = integer(1, n_nodes);
    r.last_node = integer(r.first_node, n_nodes);
    for (int j = 0; j < components; ++j) r.components[j] = typed();
    return r;
  }

  Generated state();

 private:
  void general_data(testing_support::Session& s);
  void damping(testing_support::Session& s);
  model::CaseRecord case_record(const testing_support::Session& s);
  CaseData case_data(const testing_support::Session& s, model::CaseRecord& c);

  std::mt19937 rng_;
};

inline void Generator::general_data(testing_support::Session& s) {
  s.general().n_nodes = integer(1, 600);
  s.general().n_elements = integer(1, 400);
  s.general().n_dof = integer(2, 3);
  s.max_time_points = 40;
  s.language = chance(0.5) ? "English" : "Romanian";
  s.general().geometry_file = "/models/frame.dat";
  s.general().length_unit = "m";
  s.general().second_unit = "sec";
  s.general().force_unit = "kN";
  s.general().new_operator = chance(0.5);
  s.general().operator_code = s.general().new_operator ? "ACH" : "NEWMARK";
  s.general().standard_coefficients = chance(0.4);
  // 1./Beta is never 0 in a custom set: a zero would make the set read back as the standard one.
  auto text_field = [&](bool nonzero) {
    std::string t = nonzero ? std::to_string(integer(1, 99999)) + "." : typed_text();
    return text::Field<10>(t.substr(0, 10));
  };
  s.general().beta = text_field(true);
  s.general().gamma = text_field(false);
  s.general().delta = s.general().new_operator ? text_field(false) : text::Field<10>("0.");
  s.general().teta = s.general().new_operator ? text_field(false) : text::Field<10>("0.");
  s.general().teta1 = s.general().new_operator ? text_field(false) : text::Field<10>("0.");
  s.general().teta2 = s.general().new_operator ? text_field(false) : text::Field<10>("0.");
  s.general().n_loading_cases = integer(0, 5);
}

// A diameter table as a loaded file gives it: runs over every element, neighbours different.
inline void Generator::damping(testing_support::Session& s) {
  s.damping().type = model::code_from_number<model::DampingType>(integer(0, 4));
  s.damping().present = s.damping().type != model::DampingType::none;
  s.damping().niu = typed();
  s.damping().alfa_d = typed();
  s.damping().beta_d = typed();
  s.damping().ro_air = typed();
  s.damping().c_drag = typed();
  s.damping().zeta = typed();
  s.damping().diameters.clear();
  for (int first = 1; first <= s.general().n_elements;) {
    const int last = std::min(s.general().n_elements, first + integer(0, s.general().n_elements / 3));
    float d = typed();
    while (!s.damping().diameters.empty() && d == s.damping().diameters.back().diameter) d = typed();
    s.damping().diameters.push_back({first, last, d});
    first = last + 1;
  }
}

inline model::CaseRecord Generator::case_record(const testing_support::Session&) {
  static constexpr model::LoadingType types[] = {model::LoadingType::discrete, model::LoadingType::sinusoidal, model::LoadingType::exponential,
                                  model::LoadingType::accelerogram_3_directions, model::LoadingType::accelerogram_1_direction};
  model::CaseRecord c;
  c.tolerance = positive();
  c.iteration_limit = integer(1, 999);
  c.loading_type = types[integer(0, 4)];
  c.time_step = positive();
  c.end_time = positive();
  c.printing_time = positive();
  c.mass_model = model::code_from_number<model::MassModel>(integer(0, 2));
  c.gravity_acceleration = typed();
  c.printing_code = model::code_from_number<model::PrintingCode>(integer(-1, 2));
  if (c.loading_type == model::LoadingType::sinusoidal || c.loading_type == model::LoadingType::exponential) c.omega = typed();
  if (c.loading_type == model::LoadingType::sinusoidal) c.phi = typed();
  if (model::accelerogram(c.loading_type))
    for (float& a : c.initial_acceleration) a = typed();
  return c;
}

inline CaseData Generator::case_data(const testing_support::Session& s, model::CaseRecord& c) {
  CaseData d;
  // The editors keep at most one range per node.
  const int most = std::min(4, s.general().n_nodes);
  for (int i = integer(1, most); i > 0; --i) d.conditions.push_back(range(s.general().n_nodes, 6));
  for (int i = integer(1, most); i > 0; --i) d.loadings.push_back(range(s.general().n_nodes, 6));
  for (model::NodeRange& r : d.conditions) r.components[s.general().n_dof] = r.components[s.general().n_dof + 1] = 0;
  c.n_initial_conditions = static_cast<int>(d.conditions.size());
  c.n_initial_loadings = static_cast<int>(d.loadings.size());
  float time = 0;
  if (c.loading_type == model::LoadingType::discrete) {
    for (int i = integer(0, 8); i > 0; --i) {
      testing_support::TimePoint& p = d.time_points.emplace_back();
      p.time = time += positive();
      for (int j = integer(0, most); j > 0; --j) p.ranges.push_back(range(s.general().n_nodes, s.general().n_dof));
    }
    c.n_time_points = static_cast<int>(d.time_points.size());
  } else if (!model::accelerogram(c.loading_type)) {
    for (int i = integer(0, most); i > 0; --i) d.amplitudes.push_back(range(s.general().n_nodes, s.general().n_dof));
    c.n_load_ranges = static_cast<int>(d.amplitudes.size());
  } else {
    d.direction = model::code_from_number<model::AccelDirection>(integer(1, s.general().n_dof));
    for (int i = integer(0, 15); i > 0; --i) {
      model::AccelPoint& p = d.accel_points.emplace_back();
      p.time = time += positive();
      for (float& a : p.acceleration) a = typed();
    }
    c.n_time_points = static_cast<int>(d.accel_points.size());
  }
  return d;
}

inline Generated Generator::state() {
  Generated g;
  general_data(g.state);
  damping(g.state);
  g.state.cases.set_count(g.state.general().n_loading_cases);
  for (int i = 1; i <= g.state.general().n_loading_cases; ++i) {
    model::CaseRecord& c = g.state.record(i);
    c = case_record(g.state);
    g.cases.push_back(case_data(g.state, c));
  }
  return g;
}

// ---- the editors' scratch files --------------------------------------------------------

inline std::string file_text(const std::vector<std::string>& records) {
  std::string out;
  for (const std::string& r : records) out += r + "\r\n";
  return out;
}

// The files as the editors save them, through the editors' own record builders.
inline void write_editor_files(const Generated& g) {
  namespace layouts = model::case_files;
  const testing_support::Session& s = g.state;
  const bool ro = model::romanian_messages(s);
  const int n = s.general().n_dof;
  for (int i = 1; i <= s.general().n_loading_cases; ++i) {
    const model::CaseRecord& c = g.state.cases.sections(i).record;
    const CaseData& d = g.cases[i - 1];
    std::vector<std::string> init, load, data;
    for (const auto& r : d.conditions) init.push_back(layouts::conditions_record(r, s.general().n_nodes, n));
    init.emplace_back(layouts::conditions_end_record(ro));
    if (model::accelerogram(c.loading_type)) init.push_back(layouts::acceleration_record(c.initial_acceleration));
    for (const auto& r : d.loadings) load.push_back(layouts::loadings_record(r, s.general().n_nodes, n));
    load.emplace_back(layouts::loadings_end_record(ro));
    for (const auto& r : d.amplitudes) data.push_back(layouts::amplitude_record(r, s.general().n_nodes, n));
    for (const auto& p : d.time_points) {
      data.push_back(layouts::time_record(p.time));
      for (const auto& r : p.ranges) data.push_back(layouts::discrete_range_record(r, n));
    }
    using model::case_files::ScratchKind;
    testing_support::write_file(model::case_files::scratch_file_name(i, ScratchKind::initial_conditions), file_text(init));
    testing_support::write_file(model::case_files::scratch_file_name(i, ScratchKind::initial_loading), file_text(load));
    const std::string data_file = model::case_files::scratch_file_name(i, model::case_files::loading_data_kind(c.loading_type));
    if (model::accelerogram(c.loading_type)) {
      model::Loading loading;
      std::vector<model::AccelPoint> points = d.accel_points;
      points.resize(static_cast<std::size_t>(std::max(c.n_time_points, 0)));
      loading.data = model::Accelerogram{c.loading_type, d.direction, std::move(points), {}};
      std::string text;
      layouts::append_loading(text, loading, i, s.general(), layouts::LineForm::case_file);
      testing_support::write_file(data_file, text);
    } else {
      data.push_back(layouts::end_of_case_record(i));
      testing_support::write_file(data_file, file_text(data));
    }
  }
}

// Create of the editors' files of `g`, taken into the case store as a stopped run's are, into
// g.state.loading_file(); the bytes written, or "<not written>".
inline std::string create_from_editor_files(Generated& g) {
  write_editor_files(g);
  testing_support::FakeToolkit toolkit;
  toolkit.answer = ui::Answer::yes;  // the bytes are compared, whatever the check of Create finds
  dialogs::Context context{toolkit, g.state, g.state.cases};
  context.cases.take_files(g.state.case_folder);
  if (!dialogs::write_loading_file(context)) return "<not written>";
  return testing_support::read_file(std::string(g.state.loading_file().trimmed()));
}

// ---- comparing two loading files ------------------------------------------------------

inline std::vector<std::string> records_of(const std::string& content) {
  text::RecordSource source(content);
  std::vector<std::string> out;
  std::string_view r;
  while (source.next(r)) out.emplace_back(r);
  return out;
}

inline std::vector<std::string> tokens(std::string_view record) {
  std::vector<std::string> out;
  std::string current;
  for (char ch : record) {
    if (ch == ' ' || ch == ',' || ch == '\t') {
      if (!current.empty()) out.push_back(current), current.clear();
    } else {
      current += ch;
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

inline bool number(const std::string& token, float& value) {
  char* end = nullptr;
  value = std::strtof(token.c_str(), &end);
  return !token.empty() && end == token.c_str() + token.size();
}

// The end lines of one section, whatever their wording.
inline int terminator_kind(std::string_view record) {
  for (std::string_view t : {"End_of_Initial_Conditions", "Sfarsit_Conditii_Initiale",
                             "End Initial Displcements & Velocities", "End Deplasari & Viteze Initiale"})
    if (record == t) return 1;
  for (std::string_view t : {"End_of_Initial_Loading", "Sfarsit_Incarcare_Initiala"})
    if (record == t) return 2;
  if (record.starts_with("END_OF_CASE")) return 100 + std::atoi(record.data() + 11);
  if (record.starts_with("SFARSIT_CAZ")) return 100 + std::atoi(record.data() + 11);
  return 0;
}

// Empty when both records read the same in free form; otherwise what differs.
inline std::string record_difference(const std::string& a, const std::string& b) {
  const int ta = terminator_kind(a), tb = terminator_kind(b);
  if (ta != 0 || tb != 0) return ta == tb ? "" : "end lines differ";
  const std::vector<std::string> x = tokens(a), y = tokens(b);
  if (x.size() != y.size()) return "value counts differ";
  for (std::size_t i = 0; i < x.size(); ++i) {
    float u = 0, v = 0;
    const bool nu = number(x[i], u), nv = number(y[i], v);
    if (nu != nv || (nu ? u != v : x[i] != y[i])) return "value " + std::to_string(i + 1) + " differs";
  }
  return "";
}

// Empty when the files hold the same values record by record, apart from the last
// `unchecked` records (the date record, unless told otherwise).
inline std::string file_difference(const std::string& first, const std::string& second, std::size_t unchecked = 1) {
  const std::vector<std::string> a = records_of(first), b = records_of(second);
  if (a.size() != b.size()) return "record counts differ: " + std::to_string(a.size()) + " and " + std::to_string(b.size());
  for (std::size_t i = 0; i + unchecked < a.size(); ++i)
    if (std::string why = record_difference(a[i], b[i]); !why.empty())
      return "line " + std::to_string(i + 1) + ": " + why + "\n  " + a[i] + "\n  " + b[i];
  return "";
}

// All lines but the last (the date record).
inline std::string without_date(const std::string& content) {
  const std::size_t last_end = content.ends_with('\n') ? content.size() - 1 : content.size();
  const std::size_t end = last_end == 0 ? std::string::npos : content.rfind('\n', last_end - 1);
  return end == std::string::npos ? std::string() : content.substr(0, end + 1);
}

// Without its last record when that is a date record (expected files may leave it out).
inline std::string without_date_record(const std::string& content) {
  const std::vector<std::string> records = records_of(content);
  const std::string& last = records.empty() ? std::string() : records.back();
  const bool date = last.size() == 21 && last[2] == '/' && last[5] == '/' && last[15] == ':';
  return date ? without_date(content) : content;
}

// An initial-conditions or initial-loading section without ranges loads as one all-zero range
// over every node; the same range written out is dropped from both files before comparing.
inline std::string without_zero_ranges_before_end_lines(const std::string& content, int n_nodes) {
  const std::vector<std::string> records = records_of(content);
  std::string out;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::vector<std::string> t = tokens(records[i]);
    const bool before_end = i + 1 < records.size() && (terminator_kind(records[i + 1]) == 1 || terminator_kind(records[i + 1]) == 2);
    bool zero_range = before_end && t.size() > 2 && t[0] == "1" && t[1] == std::to_string(n_nodes);
    for (std::size_t j = 2; zero_range && j < t.size(); ++j) {
      float v = 1;
      zero_range = number(t[j], v) && v == 0;
    }
    if (!zero_range) out += records[i] + "\r\n";
  }
  return out;
}

}  // namespace roundtrip
