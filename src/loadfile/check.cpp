#include "loadfile/check.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <map>

#include "files/record_file.h"
#include "files/regular_file.h"
#include "loadfile/reader_messages.h"
#include "loadfile/reader_parse.h"
#include "model/geometry_file.h"
#include "text/fixed_text.h"

namespace loadfile {

namespace {

// The shortest text that reads back as the value: what a message quotes of a number read.
std::string number_text(double value) {
  char buffer[32];
  const float f = static_cast<float>(value);
  const auto end = f == value ? std::to_chars(buffer, buffer + sizeof buffer, f).ptr
                              : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

bool is_range(RecordKind kind) {
  return kind == RecordKind::initial_condition || kind == RecordKind::initial_load ||
         kind == RecordKind::amplitude || kind == RecordKind::point_load;
}

struct CaseSoFar {
  model::LoadingType loading_type = model::LoadingType::discrete;
  model::DampingType damping_type = model::DampingType::none;
  double end_time = 0;
  std::vector<double> tolerance;  // C2 as read
  bool has_time = false;
  double last_time = 0;
  bool beyond_end = false;  // said once: the later times are beyond it too
};

// Listens to the reader: keeps the records when asked and finds what only the values show.
class Checker final : public ReadObserver {
 public:
  Checker(const CheckOptions& options, const text::RecordSource& source, CheckReport& report)
      : options_(options), source_(source), report_(report) {}

  void on_record(const RecordEvent& e) override {
    if (options_.also) options_.also->on_record(e);
    values_.clear();
    for (const text::Target& t : e.values)
      if (t.kind != text::Target::Kind::text) values_.push_back(target_value(t));
    CaseSoFar& c = cases_[e.case_number];
    line_ = e.first_line + 1;
    case_ = e.case_number;
    look_at(e.kind, c);
    if (!options_.keep_records) return;
    std::string code;
    if (e.kind == RecordKind::operator_code) code = std::string(text::trim_right(source_.record(e.first_line).substr(0, 7)));
    report_.records.push_back({e.kind, e.case_number, e.first_line + 1, std::max(e.end_line, e.first_line + 1),
                               values_, std::move(code), c.loading_type, c.damping_type});
  }
  bool stop_requested() const override { return options_.also && options_.also->stop_requested(); }

 private:
  void look_at(RecordKind kind, CaseSoFar& c);
  // A node or an element: its English word, and its Romanian word with and without the article.
  struct Numbered {
    std::string_view english, romanian, romanian_bare;
  };
  void check_numbers(const Numbered& what, int limit);
  void check_time(CaseSoFar& c, bool against_end_time);
  void problem(Severity severity, std::string english, std::string romanian,
               ProblemKind kind = ProblemKind::other) {
    report_.problems.push_back({{}, line_, severity, std::move(english), std::move(romanian), false, kind});
  }
  std::string of_case(bool romanian) const {
    return (romanian ? " din cazul " : " of case ") + std::to_string(case_);
  }

  const CheckOptions& options_;
  const text::RecordSource& source_;
  CheckReport& report_;
  std::vector<double> values_;
  std::map<int, CaseSoFar> cases_;
  std::size_t line_ = 0;
  int case_ = 0;
};

void Checker::look_at(RecordKind kind, CaseSoFar& c) {
  switch (kind) {
    case RecordKind::damping_code: c.damping_type = static_cast<model::DampingType>(values_.at(0)); break;
    case RecordKind::tolerance: c.tolerance = values_; break;
    case RecordKind::case_parameters:
      c.loading_type = static_cast<model::LoadingType>(values_.at(0));
      c.end_time = values_.at(2);
      if (c.tolerance.size() == 2 && c.tolerance[0] == 0 && c.tolerance[1] == 0 && values_[1] == 0 && values_[2] == 0)
        problem(Severity::error,
                "ERROR in Case Codes: tolerance, iteration limit, time step and end time" + of_case(false) +
                    " are all 0",
                "EROARE in Codurile cazului: toleranta, numarul de iteratii, pasul de timp si timpul final" +
                    of_case(true) + " sunt toate 0",
                ProblemKind::case_codes_all_zero);
      break;
    case RecordKind::diameter:
      check_numbers({"element", "elementul", "element"}, report_.model_given ? options_.model->n_elements : 0);
      break;
    case RecordKind::time:
    case RecordKind::accel_point: check_time(c, true); break;
    default:
      if (is_range(kind)) check_numbers({"node", "nodul", "nod"}, report_.model_given ? options_.model->n_nodes : 0);
      break;
  }
}

// The first two values are a range of node or element numbers; a last number of 0 stands for
// the first. `limit` 0: the model is not known, only numbers below 1 are wrong.
void Checker::check_numbers(const Numbered& what, int limit) {
  const int first = static_cast<int>(values_.at(0));
  const int last = values_.at(1) == 0 ? first : static_cast<int>(values_.at(1));
  const std::string en(what.english), ro(what.romanian);
  for (const int n : {first, last}) {
    if (n >= 1 && (limit == 0 || n <= limit)) continue;
    const std::string range = limit ? " (1 to " + std::to_string(limit) + ")" : " (numbers begin at 1)";
    const std::string range_ro = limit ? " (1 la " + std::to_string(limit) + ")" : " (numerele incep de la 1)";
    problem(Severity::error, en + " " + std::to_string(n) + of_case(false) + " is outside the model" + range,
            ro + " " + std::to_string(n) + of_case(true) + " este in afara modelului" + range_ro);
    return;
  }
  if (first > last)
    problem(Severity::error,
            "the range " + std::to_string(first) + "-" + std::to_string(last) + of_case(false) +
                " begins after its end, so it holds no " + en,
            "intervalul " + std::to_string(first) + "-" + std::to_string(last) + of_case(true) +
                " incepe dupa sfarsitul lui, deci nu cuprinde niciun " + std::string(what.romanian_bare));
}

void Checker::check_time(CaseSoFar& c, bool against_end_time) {
  const double t = values_.at(0);
  if (c.has_time && t <= c.last_time)
    problem(Severity::error,
            "time " + number_text(t) + of_case(false) + " is not after the time before it, " + number_text(c.last_time),
            "timpul " + number_text(t) + of_case(true) + " nu este dupa timpul dinaintea lui, " + number_text(c.last_time));
  else if (against_end_time && c.end_time > 0 && t > c.end_time && !c.beyond_end) {
    c.beyond_end = true;
    problem(Severity::warning,
            "time " + number_text(t) + of_case(false) + " is beyond the end time " + number_text(c.end_time) +
                ": the solver reaches neither it nor the times after it",
            "timpul " + number_text(t) + of_case(true) + " este dupa timpul final " + number_text(c.end_time) +
                ": programul de calcul nu ajunge nici la el, nici la timpii de dupa el");
  }
  c.has_time = true;
  c.last_time = t;
}

// The writer's header for case data in error: the file says itself that it is not fit to use.
void check_error_header(const text::RecordSource& source, const std::string& name, ProblemList& problems) {
  for (std::size_t i = 0; i < source.size() && source.record(i).starts_with("//"); ++i) {
    const std::string_view r = source.record(i);
    if (r.find("ERROR in Case Codes") == std::string_view::npos &&
        r.find("EROARE in Codurile cazului") == std::string_view::npos)
      continue;
    problems.push_back({name, i + 1, Severity::error,
                        "the file was written with case data in error (ERROR in Case Codes): correct it before "
                        "the solver reads it",
                        "fisierul a fost scris cu date de caz gresite (EROARE in Codurile cazului): corectati-l "
                        "inainte de a fi citit de programul de calcul",
                        false, ProblemKind::case_codes_all_zero});
  }
}

ReadStart start_for(const ModelCounts& model, bool known) {
  ReadStart start;
  // Without a model no node number is too large, and no table is sized by the element count.
  start.general.n_nodes = known ? model.n_nodes : INT_MAX;
  start.general.n_elements = known ? model.n_elements : 0;
  start.general.n_dof = model.n_dof;
  start.max_time_points = INT_MAX;
  return start;
}

// Stops the reading after the first records: enough to see whether they read.
class FirstRecords final : public ReadObserver {
 public:
  void on_record(const RecordEvent&) override { ++count_; }
  bool stop_requested() const override { return count_ >= 400; }

 private:
  int count_ = 0;
};

}  // namespace

std::optional<ModelCounts> model_named_in_header(const text::RecordSource& source, const std::string& loading_path,
                                                 std::string* geometry_path) {
  for (std::size_t i = 0; i < source.size() && source.record(i).starts_with("//"); ++i) {
    const std::string_view line = source.record(i);
    const std::size_t words = line.find("Geometry file");
    const std::size_t colon = words == std::string_view::npos ? words : line.find(": ", words);
    if (colon == std::string_view::npos) continue;
    const std::string path(text::trim_right(line.substr(colon + 2)));
    const std::filesystem::path beside = std::filesystem::path(loading_path).parent_path() /
                                         std::filesystem::path(path).filename();
    for (const std::string& candidate : {path, beside.string()}) {
      const model::GeometryReadResult g = model::read_geometry_file(candidate);
      if (g.outcome != model::GeometryOutcome::ok) continue;
      if (geometry_path) *geometry_path = candidate;
      return ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
    }
    return std::nullopt;
  }
  return std::nullopt;
}

int guess_n_dof(const text::RecordSource& whole) {
  text::RecordSource source = whole;
  int best = 3;
  std::size_t best_score = SIZE_MAX;
  // A node range holds at most three components of each kind, so more are read as three.
  for (int d = 3; d >= 1; --d) {
    source.seek(0);
    FirstRecords observer;
    const ReadResult result = read(source, start_for({0, d, 0}, false), &observer);
    // A fault before the end of the records read is worse than any number of problems.
    const bool fault = result.outcome == ReadOutcome::fault && !result.fault.at_end;
    const std::size_t score = result.problems.size() + (fault ? 1000 : 0);
    if (score < best_score) {
      best = d;
      best_score = score;
    }
  }
  return best;
}

CheckReport check_loading_records(const std::string& name, text::RecordSource& source, const CheckOptions& options) {
  CheckReport report;
  report.readable = true;
  report.model_given = options.model.has_value();
  ModelCounts model = options.model.value_or(ModelCounts{});
  if (!report.model_given) model.n_dof = options.n_dof ? *options.n_dof : guess_n_dof(source);
  report.n_dof = model.n_dof;
  const ReadStart start = start_for(model, report.model_given);
  Checker checker(options, source, report);
  source.seek(0);
  ReadResult result = read(source, start, &checker);
  report.new_operator = result.analysis.general.new_operator;
  for (Problem& p : result.problems) report.problems.push_back(std::move(p));
  if (result.outcome == ReadOutcome::fault && !checker.stop_requested())
    report.problems.push_back(fault_problem(name, result.fault, start.general.n_nodes));
  check_error_header(source, name, report.problems);
  for (Problem& p : report.problems) p.file = name;
  std::stable_sort(report.problems.begin(), report.problems.end(),
                   [](const Problem& a, const Problem& b) { return a.line < b.line; });
  return report;
}

CheckReport check_loading_file(const std::string& path, const CheckOptions& options) {
  text::RecordSource source;
  files::FileRead why;
  if (!files::read_records(path, source, &why)) {
    CheckReport report;
    report.reason = why.status == files::FileReadStatus::missing       ? "the file does not exist"
                  : why.status == files::FileReadStatus::not_regular ? "the name is " + std::string(files::kind_words(why.kind, false)) + ", not a regular file"
                  : why.status == files::FileReadStatus::too_large
                      ? "the file is larger than " + files::size_limit_words(files::max_text_file_bytes) + ", the limit of a loading file"
                                                                     : "the file cannot be read";
    return report;
  }
  return check_loading_records(path, source, options);
}

}  // namespace loadfile
