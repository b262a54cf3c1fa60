#include "loadfile/check_command.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "loadfile/check.h"
#include "loadfile/record_names.h"
#include "model/geometry_file.h"

namespace loadfile {

namespace {

constexpr int exit_warnings = 1, exit_errors = 2, exit_unreadable = 3, exit_usage = 64;

constexpr std::string_view usage =
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

struct Arguments {
  std::optional<std::string> geometry;
  bool values = false;
  bool json = false;
  std::vector<std::string> files;
};

// false: the command line is wrong, `why` says how.
bool parse_arguments(std::span<const char* const> args, Arguments& a, std::string& why, bool& help) {
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (only_files || arg.empty() || arg[0] != '-' || arg == "-") {
      a.files.emplace_back(arg);
    } else if (arg == "--") {
      only_files = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
      return true;
    } else if (arg == "--values") {
      a.values = true;
    } else if (arg == "--json") {
      a.json = true;
    } else if (arg == "--geometry" && i + 1 < args.size()) {
      a.geometry = args[++i];
    } else if (arg.starts_with("--geometry=")) {
      a.geometry = std::string(arg.substr(11));
    } else {
      why = arg == "--geometry" ? "--geometry needs a file" : "unknown option " + std::string(arg);
      return false;
    }
  }
  if (a.files.empty()) why = "no loading file named";
  if (a.values && a.json) why = "--values and --json exclude each other";
  return why.empty();
}

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

std::string json_string(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
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

void print_json_record(const CheckedRecord& r, const CheckReport& report, std::ostream& out) {
  out << "{\"kind\": " << json_string(record_id(r.kind)) << ", \"line\": " << r.first_line
      << ", \"last_line\": " << r.last_line;
  if (!r.text.empty()) out << ", \"text\": " << json_string(r.text);
  out << ", \"values\": {";
  const std::vector<std::string> names = names_of(r, report);
  for (std::size_t j = 0; j < r.values.size(); ++j)
    out << (j ? ", " : "") << json_string(names[j]) << ": " << number(r.values[j], is_integer_value(names[j]));
  out << "}}";
}

// One object per file: its general records, one object per case with its records, the problems.
void print_json(const std::string& file, const CheckReport& report, std::ostream& out) {
  out << "{\"file\": " << json_string(file) << ", \"readable\": " << (report.readable ? "true" : "false");
  if (!report.readable) {
    out << ", \"reason\": " << json_string(report.reason) << "}";
    return;
  }
  out << ", \"model_given\": " << (report.model_given ? "true" : "false") << ", \"n_dof\": " << report.n_dof
      << ",\n \"general\": [";
  bool first = true;
  for (const CheckedRecord& r : report.records) {
    if (r.case_number != 0 || !holds_something(r)) continue;
    out << (first ? "\n  " : ",\n  ");
    print_json_record(r, report, out);
    first = false;
  }
  out << "],\n \"cases\": [";
  int open_case = 0;
  for (const CheckedRecord& r : report.records) {
    if (r.case_number == 0 || !holds_something(r)) continue;
    if (r.case_number != open_case) {
      out << (open_case ? "]},\n  " : "\n  ") << "{\"case\": " << r.case_number << ", \"records\": [";
      open_case = r.case_number;
    } else {
      out << ",";
    }
    out << "\n   ";
    print_json_record(r, report, out);
  }
  out << (open_case ? "]}" : "") << "],\n \"problems\": [";
  for (std::size_t i = 0; i < report.problems.size(); ++i) {
    const Problem& p = report.problems[i];
    out << (i ? ",\n  " : "\n  ") << "{\"line\": " << p.line << ", \"severity\": "
        << json_string(severity_word(p.severity)) << ", \"text\": " << json_string(problem_line(p)) << "}";
  }
  out << "]}";
}

struct Totals {
  int files = 0, unreadable = 0, errors = 0, warnings = 0;
};

std::string plural(int n, std::string_view word) {
  return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

std::string summary(const Totals& t, const Arguments& a, const std::vector<int>& guessed_dof) {
  std::string s = "brantel check: " + plural(t.files, "file") + ", " + plural(t.errors, "error") + ", " +
                  plural(t.warnings, "warning");
  if (t.unreadable) s += ", " + std::to_string(t.unreadable) + " not readable";
  if (!a.geometry) {
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

}  // namespace

int run_check_command(std::span<const char* const> arguments, std::ostream& out, std::ostream& err) {
  Arguments a;
  std::string why;
  bool help = false;
  if (!parse_arguments(arguments, a, why, help)) {
    err << "brantel check: " << why << "\n\n" << usage;
    return exit_usage;
  }
  if (help) {
    out << usage;
    return 0;
  }
  CheckOptions options;
  options.keep_records = a.values || a.json;
  if (a.geometry) {
    const model::GeometryReadResult g = model::read_geometry_file(*a.geometry);
    if (g.outcome != model::GeometryOutcome::ok) {
      err << "brantel check: " << model::geometry_problem_text(g, *a.geometry).english << '\n';
      return exit_unreadable;
    }
    options.model = ModelCounts{g.data.n_nodes, g.data.n_dof, g.data.n_elements};
  }
  Totals totals;
  std::vector<int> guessed_dof;
  if (a.json) out << "{\"files\": [";
  for (const std::string& file : a.files) {
    const CheckReport report = check_loading_file(file, options);
    if (a.json) out << (totals.files ? ",\n" : "\n");
    ++totals.files;
    if (!report.readable) {
      ++totals.unreadable;
      if (a.json) print_json(file, report, out);
      else out << file << ": error: cannot be read: " << report.reason << '\n';
      continue;
    }
    if (!report.model_given) guessed_dof.push_back(report.n_dof);
    for (const Problem& p : report.problems) {
      ++(p.severity == Severity::error ? totals.errors : totals.warnings);
      if (!a.json) out << problem_line(p) << '\n';
    }
    if (a.json) print_json(file, report, out);
    if (a.values) print_values(file, report, out);
  }
  if (a.json) out << "\n],\n \"summary\": " << json_string(summary(totals, a, guessed_dof)) << "}\n";
  else out << summary(totals, a, guessed_dof) << '\n';
  if (totals.unreadable) return exit_unreadable;
  if (totals.errors) return exit_errors;
  return totals.warnings ? exit_warnings : 0;
}

}  // namespace loadfile
