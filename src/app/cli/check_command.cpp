#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/command.h"
#include "loadfile/check.h"
#include "loadfile/record_names.h"
#include "model/geometry_file.h"

namespace app::cli {

namespace {

using namespace loadfile;

constexpr int exit_warnings = 1, exit_errors = 2, exit_unreadable = 3, exit_usage = 64;

constexpr std::string_view check_usage =
    "Usage: brantel check [--geometry MODEL.dat] [--values | --json] FILE.inc...\n"
    "\n"
    "Reads each loading file as LOAD and the solver do, and prints every problem as\n"
    "FILE:LINE: error|warning: TEXT, then a one-line summary.\n"
    "  --geometry MODEL.dat  the model: node and element numbers are checked against it and\n"
    "                        its degrees of freedom per node are used; without it they are\n"
    "                        taken from the records and the numbers are not checked\n"
    "  --values              also print what the solver will read, one line per record\n"
    "  --json                print the records and the problems as JSON instead\n"
    "Exit status: 0 no problem, 1 warnings only, 2 errors, 3 a file could not be read,\n"
    "64 a wrong command line.\n";

std::string number(double value, bool integer) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  const float f = static_cast<float>(value);
  const auto end = integer      ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value)).ptr
                 : f == value ? std::to_chars(buffer, buffer + sizeof buffer, f).ptr
                              : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

bool is_integer_value(const std::string& name) {
  for (std::string_view n : {"n_loading_cases", "damping_type", "iteration_limit", "loading_type", "mass_model",
                             "printing_code", "first_node", "last_node", "first_element", "last_element"})
    if (name == n) return true;
  return false;
}

std::vector<std::string> names_of(const CheckedRecord& r, const CheckReport& report) {
  return value_names(r.kind, r.values.size(), r.loading_type, r.damping_type, report.new_operator);
}

// Comments and end lines carry nothing the solver keeps; an unreadable record is shown because
// it changes what the solver does with the rest of its case.
bool holds_something(const CheckedRecord& r) {
  return !r.values.empty() || !r.text.empty() || r.kind == RecordKind::unreadable;
}

void print_values(const std::string& file, const CheckReport& report, std::ostream& out) {
  for (const CheckedRecord& r : report.records) {
    if (!holds_something(r)) continue;
    out << file << ':' << r.first_line << ": ";
    if (r.case_number > 0) out << "case " << r.case_number << " \xC2\xB7 ";
    out << record_title(r.kind) << ':';
    if (!r.text.empty()) out << ' ' << r.text;
    const std::vector<std::string> names = names_of(r, report);
    for (std::size_t j = 0; j < r.values.size(); ++j)
      out << ' ' << names[j] << '=' << number(r.values[j], is_integer_value(names[j]));
    out << '\n';
  }
}

using Json = nlohmann::ordered_json;

// The number as the solver reads it: a value that is exactly a 32-bit real is given by the
// shortest decimal of that real, so that 0.1 read as a REAL reads back as 0.1 and not as the
// double nearest to the real.
Json json_number(double value, bool integer) {
  if (!std::isfinite(value)) return nullptr;
  if (integer) return static_cast<long long>(value);
  const float f = static_cast<float>(value);
  if (f != value) return value;
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, f).ptr;
  double shortest = value;
  std::from_chars(buffer, end, shortest);
  return shortest;
}

Json json_record(const CheckedRecord& r, const CheckReport& report) {
  Json record = {{"kind", record_id(r.kind)}, {"line", r.first_line}, {"last_line", r.last_line}};
  if (!r.text.empty()) record["text"] = r.text;
  Json values = Json::object();
  const std::vector<std::string> names = names_of(r, report);
  for (std::size_t j = 0; j < r.values.size(); ++j) values[names[j]] = json_number(r.values[j], is_integer_value(names[j]));
  record["values"] = std::move(values);
  return record;
}

// One object per file: its general records, one object per case with its records, the problems.
Json json_file(const std::string& file, const CheckReport& report) {
  Json out = {{"file", file}, {"readable", report.readable}};
  if (!report.readable) {
    out["reason"] = report.reason;
    return out;
  }
  out["model_given"] = report.model_given;
  out["n_dof"] = report.n_dof;
  Json general = Json::array(), cases = Json::array();
  for (const CheckedRecord& r : report.records) {
    if (!holds_something(r)) continue;
    if (r.case_number == 0) {
      general.push_back(json_record(r, report));
      continue;
    }
    if (cases.empty() || cases.back()["case"] != r.case_number)
      cases.push_back({{"case", r.case_number}, {"records", Json::array()}});
    cases.back()["records"].push_back(json_record(r, report));
  }
  Json problems = Json::array();
  for (const Problem& p : report.problems)
    problems.push_back({{"line", p.line}, {"severity", severity_word(p.severity)}, {"text", problem_line(p)}});
  out["general"] = std::move(general);
  out["cases"] = std::move(cases);
  out["problems"] = std::move(problems);
  return out;
}

struct Totals {
  int files = 0, unreadable = 0, errors = 0, warnings = 0;
};

std::string plural(int n, std::string_view word) {
  return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

std::string summary(const Totals& t, bool geometry_given, const std::vector<int>& guessed_dof) {
  std::string s = "brantel check: " + plural(t.files, "file") + ", " + plural(t.errors, "error") + ", " +
                  plural(t.warnings, "warning");
  if (t.unreadable) s += ", " + std::to_string(t.unreadable) + " not readable";
  if (!geometry_given) {
    s += "; no geometry file: node and element numbers not checked against a model";
    if (!guessed_dof.empty()) {
      s += ", read with " + std::to_string(guessed_dof.front()) + " degrees of freedom per node";
      bool all_same = true;
      for (const int d : guessed_dof) all_same = all_same && d == guessed_dof.front();
      s += all_same ? " (taken from the records)" : " and others (taken from each file's records)";
    }
  }
  return s;
}

// `brantel check [--geometry MODEL.dat] [--values | --json] FILE.inc...`: the problems of
// loading files in the form compilers use, and what the solver will read from them.
class CheckCommand final : public Command {
 public:
  std::string_view name() const override { return "check"; }
  std::string_view usage() const override { return check_usage; }
  std::string missing_value(std::string_view option) const override { return std::string(option) + " needs a file"; }

  void declare(CLI::App& app) override {
    geometry_given_ = app.add_option("--geometry", geometry_);
    app.add_flag("--values", values_);
    app.add_flag("--json", json_);
    app.add_option("files", files_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel check: " << why << "\n\n" << check_usage;
    return exit_usage;
  }

  int run(std::ostream& out, std::ostream& err) override {
    if (files_.empty()) return misuse("no loading file named", err);
    if (values_ && json_) return misuse("--values and --json exclude each other", err);
    CheckOptions options;
    options.keep_records = values_ || json_;
    if (geometry_given_->count() > 0) {
      const model::GeometryReadResult g = model::read_geometry_file(geometry_);
      if (g.outcome != model::GeometryOutcome::ok) {
        err << "brantel check: " << model::geometry_problem_text(g, geometry_).english << '\n';
        return exit_unreadable;
      }
      options.model = ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
    }
    Totals totals;
    std::vector<int> guessed_dof;
    Json document = {{"files", Json::array()}};
    for (const std::string& file : files_) {
      const CheckReport report = check_loading_file(file, options);
      ++totals.files;
      if (json_) document["files"].push_back(json_file(file, report));
      if (!report.readable) {
        ++totals.unreadable;
        if (!json_) out << file << ": error: cannot be read: " << report.reason << '\n';
        continue;
      }
      if (!report.model_given) guessed_dof.push_back(report.n_dof);
      for (const Problem& p : report.problems) {
        ++(p.severity == Severity::error ? totals.errors : totals.warnings);
        if (!json_) out << problem_line(p) << '\n';
      }
      if (values_) print_values(file, report, out);
    }
    const std::string last_line = summary(totals, geometry_given_->count() > 0, guessed_dof);
    if (json_) {
      document["summary"] = last_line;
      // A loading file's text need not be UTF-8; JSON must be.
      out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
      out << last_line << '\n';
    }
    if (totals.unreadable) return exit_unreadable;
    if (totals.errors) return exit_errors;
    return totals.warnings ? exit_warnings : 0;
  }

 private:
  std::string geometry_;
  const CLI::Option* geometry_given_ = nullptr;
  bool values_ = false;
  bool json_ = false;
  std::vector<std::string> files_;
};

}  // namespace

std::unique_ptr<Command> make_check_command() { return std::make_unique<CheckCommand>(); }

}  // namespace app::cli
