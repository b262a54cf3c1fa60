#include "suite/tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "files/regular_file.h"
#include "motion/units.h"
#include "suite/compliance_report.h"
#include "suite/record_match.h"

namespace suite {

namespace {

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

std::string table_head(const Settings& s) {
  return "# template: " + s.template_path + ", case " + std::to_string(s.case_number) + '\n';
}

std::string rule_line(const Settings& s) {
  // A suite checked against a code says so here; previous_suite_files knows its files by it.
  if (s.code && s.rule == Rule::match)
    return "# scale rule: code " + std::string(code_name(*s.code)) +
           " with matched records (each record's fit, its match, then one common factor)";
  if (s.code) return "# scale rule: code " + std::string(code_name(*s.code)) + " (each record's fit, then one common factor)";
  return "# scale rule: " + std::string(motion::scale_rule_name(s.rule));
}

// The mean of the written records' spectra on the curves their factors were found on.
std::string mean_rows(const Settings& s, const std::vector<double>& periods, const std::vector<RecordResult>& suite,
                      std::size_t written, const std::function<std::string(std::size_t)>& target_at) {
  std::string text;
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

}  // namespace

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
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

namespace {

// The processing columns of a record: its steps, the ends of its scaled velocity and
// displacement, its usable periods and the warning when they end short of the scaling range.
std::string processing_fields(const RecordResult& a, const Settings& s) {
  if (!a.processing) return ",,,,,";
  const RecordProcessing& p = *a.processing;
  std::string steps;
  for (const std::string& step : p.steps) steps += (steps.empty() ? "" : "; ") + step;
  std::string warning = p.within_limits ? "" : "still drifts";
  if (p.short_of_range)
    warning += (warning.empty() ? "" : "; ") + std::string("usable periods end below ") + number(s.scale_range->second) + " s";
  return ',' + csv_field(steps) + ',' + number(p.final_velocity * a.factor) + ',' + number(p.final_displacement * a.factor) +
         ',' + (p.usable_to ? number(*p.usable_to) : std::string()) + ',' + csv_field(warning);
}

// The matching columns of a record: what the match did, in % of the scaled seed, and where it
// stopped; the drift of the record written (times the factor).
std::string matching_fields(const RecordResult& a) {
  if (!a.matching) return ",,,,,,,,,,,,,,";
  const RecordMatching& m = *a.matching;
  const auto pct = [](double ratio) { return number(100.0 * ratio); };
  return ',' + exact_number(m.seed_factor) + ',' + pct(m.before.max) + ',' + pct(m.before.mean) + ',' + pct(m.after.max) +
         ',' + pct(m.after.mean) + ',' + std::to_string(m.wavelets) + ',' + pct(m.pga_change) + ',' + pct(m.pgv_change) +
         ',' + pct(m.pgd_change) + ',' + pct(m.arias_change) + ',' + (m.d5_95_change ? pct(*m.d5_95_change) : std::string()) +
         ',' + number(m.final_velocity * a.factor) + ',' + number(m.final_displacement * a.factor) + ',' +
         (m.within_tolerance ? std::string("within tolerance") : csv_field("ABOVE TOLERANCE: " + above_tolerance_text(m)));
}

}  // namespace

std::string suite_csv(const Settings& s, const std::string& unit, const std::vector<RecordResult>& suite) {
  const bool processed = std::any_of(suite.begin(), suite.end(),
                                     [](const RecordResult& a) { return !a.written.empty() && a.processing; });
  std::string text = table_head(s);
  text += "# values in the loading files: the record's values in " + unit + " times the factor\n";
  text += rule_line(s) + "\n";
  text +=
      "# units: time_step s, duration s, pga m/s2, arias m/s, d5_95 s; pga and arias of the scaled record, the "
      "largest of its components; d5_95 of the component of largest Arias intensity\n";
  if (processed)
    text += "# processed records: final_velocity m/s and final_displacement m of the scaled record, the largest of its "
            "components; usable_to s, the longest usable period after the high-pass\n";
  const bool matched = s.rule == Rule::match;
  if (matched)
    text += "# matched records: each scaled by seed_factor (its fit over the range), then matched to the target "
            "within " + number(100.0 * s.tolerance.value_or(default_tolerance)) +
            " %; the values written are the matched record's; misfit |PSA/target - 1| in % over the range, of the "
            "scaled seed (before) and of the match (after); changes in % of the match from the scaled seed, pga, pgv, "
            "pgd and arias the largest of the matched components, d5_95 of the one of largest Arias intensity; "
            "matched_final_velocity m/s and matched_final_displacement m of the scaled record, the largest of the "
            "matched components; a component not matched (vertical) is scaled by seed_factor and kept\n";
  text += "record,file,factor,points,time_step,duration,pga,arias,d5_95";
  text += processed ? ",steps,final_velocity,final_displacement,usable_to,warning" : "";
  text += matched ? ",seed_factor,misfit_before_max,misfit_before_mean,misfit_after_max,misfit_after_mean,wavelets,"
                    "pga_change,pgv_change,pgd_change,arias_change,d5_95_change,matched_final_velocity,"
                    "matched_final_displacement,match\n"
                  : "\n";
  for (const RecordResult& a : suite) {
    if (a.written.empty()) continue;
    text += csv_field(a.stem) + ',' + csv_field(a.written) + ',' + exact_number(a.factor) + ',' + std::to_string(a.points) +
            ',' + number(a.time_step) + ',' + number(a.duration) + ',' + number(a.pga * std::abs(a.factor)) + ',' +
            number(a.arias * a.factor * a.factor) + ',' + (a.d5_95 ? number(*a.d5_95) : std::string());
    text += (processed ? processing_fields(a, s) : std::string()) + (matched ? matching_fields(a) : std::string()) + '\n';
  }
  return text;
}

std::string spectra_csv(const Settings& s, const std::vector<double>& periods,
                        const std::vector<std::optional<double>>& target, const std::vector<RecordResult>& suite) {
  std::string text = table_head(s);
  text += "# units: sd m, psv m/s, psa m/s2" + std::string(s.target ? ", target m/s2" : "") + '\n';
  if (s.target) text += "# target: " + s.target->description() + '\n';
  if (s.scale_range)
    text += rule_line(s) + " over " + number(s.scale_range->first) + "-" + number(s.scale_range->second) + " s\n";
  text += s.rule == Rule::match ? "# spectra of the matched records times their factor; mean: their mean of RotD100 of a "
                                  "horizontal pair, else of the one component\n"
                                : "# spectra of the scaled records; mean: their mean of RotD100 of a horizontal pair, else "
                                  "of the one component\n";
  text += s.target ? "record,period,damping,component,sd,psv,psa,target\n" : "record,period,damping,component,sd,psv,psa\n";
  const auto target_at = [&](std::size_t k) {
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
  return text + mean_rows(s, periods, suite, written, target_at);
}

std::optional<std::vector<std::string>> previous_suite_files(const std::string& dir) {
  std::string content;
  const std::filesystem::path table = std::filesystem::path(dir) / suite_table;
  if (files::read_regular_file(table.string(), content, max_manifest_bytes).status != files::FileReadStatus::ok)
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
    names.push_back(std::filesystem::path(fields[1]).filename().string());
  }
  if (!rows) return std::nullopt;
  return names;
}

}  // namespace suite
