#include "motion/design_spectrum.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "files/regular_file.h"
#include "motion/parsing.h"
#include "motion/units.h"
#include "text/number_parse.h"

namespace motion {
namespace {

struct Ec8Corners {
  double s, tb, tc, td;
};

std::optional<Ec8Corners> ec8_corners(int type, char ground) {
  static constexpr Ec8Corners type1[] = {
      {1.0, 0.15, 0.4, 2.0}, {1.2, 0.15, 0.5, 2.0}, {1.15, 0.20, 0.6, 2.0}, {1.35, 0.20, 0.8, 2.0}, {1.4, 0.15, 0.5, 2.0}};
  static constexpr Ec8Corners type2[] = {
      {1.0, 0.05, 0.25, 1.2}, {1.35, 0.05, 0.25, 1.2}, {1.5, 0.10, 0.25, 1.2}, {1.8, 0.10, 0.30, 1.2}, {1.6, 0.05, 0.25, 1.2}};
  if (ground < 'A' || ground > 'E' || (type != 1 && type != 2)) return std::nullopt;
  return (type == 1 ? type1 : type2)[ground - 'A'];
}

bool number_of(std::string_view text, double& value) {
  return text::parse_real(detail::trim(text), value) && std::isfinite(value);
}

std::string short_number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

// "key=value,key=value" into pairs; false on an item without '='.
bool split_items(std::string_view text, std::vector<std::pair<std::string, std::string>>& items) {
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const std::string_view item = detail::trim(text.substr(pos, end - pos));
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) return false;
    items.emplace_back(std::string(detail::trim(item.substr(0, equals))), std::string(detail::trim(item.substr(equals + 1))));
    pos = end + 1;
  }
  return true;
}

// An acceleration in g: a bare number is in g; a number with a unit is converted.
bool acceleration_in_g(std::string_view text, double& value) {
  const std::size_t split = detail::number_length(text);
  if (!number_of(text.substr(0, split), value)) return false;
  const std::string_view unit_text = detail::trim(text.substr(split));
  if (unit_text.empty()) return true;
  const auto unit = unit_from_text(unit_text);
  if (!unit) return false;
  value = value * unit_in_m_s2(*unit) / unit_in_m_s2(Unit::g);
  return true;
}

std::optional<DesignSpectrum> parse_ec8(std::string_view body, std::string& error) {
  std::vector<std::pair<std::string, std::string>> items;
  Ec8Spectrum ec8;
  bool has_ag = false;
  if (!split_items(body, items)) return error = "ec8 needs key=value items: type=1,ground=B,ag=0.25g", std::nullopt;
  for (const auto& [key, value] : items) {
    double number = 0;
    if (key == "type") {
      if (value != "1" && value != "2") return error = "ec8 type is 1 or 2", std::nullopt;
      ec8.type = value == "1" ? 1 : 2;
    } else if (key == "ground") {
      if (value.size() != 1 || std::toupper(static_cast<unsigned char>(value[0])) < 'A' ||
          std::toupper(static_cast<unsigned char>(value[0])) > 'E')
        return error = "ec8 ground is A, B, C, D or E", std::nullopt;
      ec8.ground = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    } else if (key == "ag") {
      if (!acceleration_in_g(value, number) || !(number > 0))
        return error = "ec8 ag must be a positive acceleration, such as 0.25g", std::nullopt;
      ec8.ag = number;
      has_ag = true;
    } else if (key == "importance") {
      if (!number_of(value, number) || !(number > 0)) return error = "ec8 importance must be a positive number", std::nullopt;
      ec8.importance = number;
    } else {
      return error = "ec8 has no item \"" + key + "\" (type, ground, ag, importance)", std::nullopt;
    }
  }
  if (!has_ag) return error = "ec8 needs ag, such as ag=0.25g", std::nullopt;
  return DesignSpectrum(ec8);
}

std::optional<DesignSpectrum> parse_asce7(std::string_view body, std::string& error) {
  std::vector<std::pair<std::string, std::string>> items;
  Asce7Spectrum a{-1, -1, -1};
  if (!split_items(body, items)) return error = "asce7 needs key=value items: sds=1.0,sd1=0.6,tl=8", std::nullopt;
  for (const auto& [key, value] : items) {
    double number = 0;
    double* target = key == "sds" ? &a.sds : key == "sd1" ? &a.sd1 : key == "tl" ? &a.tl : nullptr;
    if (!target) return error = "asce7 has no item \"" + key + "\" (sds, sd1, tl)", std::nullopt;
    if (!number_of(value, number) || !(number > 0)) return error = "asce7 " + key + " must be a positive number", std::nullopt;
    *target = number;
  }
  if (a.sds < 0 || a.sd1 < 0 || a.tl < 0) return error = "asce7 needs sds, sd1 and tl", std::nullopt;
  return DesignSpectrum(a);
}

}  // namespace

DesignSpectrum::DesignSpectrum(Ec8Spectrum ec8) : kind_(Kind::ec8), ec8_(ec8) {}
DesignSpectrum::DesignSpectrum(Asce7Spectrum asce7) : kind_(Kind::asce7), asce7_(asce7) {}
DesignSpectrum::DesignSpectrum(TableSpectrum table) : kind_(Kind::table), table_(std::move(table)) {}

std::optional<double> DesignSpectrum::psa_g(double period, double damping) const {
  const double t = period;
  switch (kind_) {
    case Kind::ec8: {
      const auto c = ec8_corners(ec8_.type, ec8_.ground);
      if (!c) return std::nullopt;
      const double ag = ec8_.ag * ec8_.importance;
      const double eta = std::max(0.55, std::sqrt(10.0 / (5.0 + 100.0 * damping)));
      if (t <= c->tb) return ag * c->s * (1 + t / c->tb * (2.5 * eta - 1));
      if (t <= c->tc) return ag * c->s * eta * 2.5;
      if (t <= c->td) return ag * c->s * eta * 2.5 * c->tc / t;
      return ag * c->s * eta * 2.5 * c->tc * c->td / (t * t);
    }
    case Kind::asce7: {
      const double t0 = 0.2 * asce7_.sd1 / asce7_.sds, ts = asce7_.sd1 / asce7_.sds;
      if (t < t0) return asce7_.sds * (0.4 + 0.6 * t / t0);
      if (t <= ts) return asce7_.sds;
      if (t <= asce7_.tl) return asce7_.sd1 / t;
      return asce7_.sd1 * asce7_.tl / (t * t);
    }
    case Kind::table: {
      const auto& r = table_.rows;
      if (r.empty() || t < r.front().first || t > r.back().first) return std::nullopt;
      const auto above = std::lower_bound(r.begin(), r.end(), t, [](const auto& row, double x) { return row.first < x; });
      if (above->first == t || above == r.begin()) return above->second;
      const auto below = above - 1;
      return below->second + (t - below->first) / (above->first - below->first) * (above->second - below->second);
    }
  }
  return std::nullopt;
}

std::string DesignSpectrum::description() const {
  switch (kind_) {
    case Kind::ec8:
      return "ec8 type " + std::to_string(ec8_.type) + " ground " + std::string(1, ec8_.ground) + " ag " +
             short_number(ec8_.ag) + " g importance " + short_number(ec8_.importance);
    case Kind::asce7:
      return "asce7 SDS " + short_number(asce7_.sds) + " g SD1 " + short_number(asce7_.sd1) + " g TL " +
             short_number(asce7_.tl) + " s";
    case Kind::table:
      return "table " + table_.file + " (" + std::to_string(table_.rows.size()) + " periods)";
  }
  return {};
}

std::optional<TableSpectrum> read_table_spectrum(std::string_view content, std::string& error) {
  TableSpectrum table;
  const auto lines = detail::split_lines(content);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = detail::trim(lines[i]);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t comma = line.find_first_of(",;\t ");
    double period = 0, psa = 0;
    const bool numbers = comma != std::string_view::npos && number_of(line.substr(0, comma), period) &&
                         number_of(detail::trim(line.substr(comma + 1)), psa);
    if (!numbers) {
      if (table.rows.empty() && i == 0) continue;  // a header row
      return error = "line " + std::to_string(i + 1) + ": expected period,psa", std::nullopt;
    }
    if (period < 0 || psa < 0) return error = "line " + std::to_string(i + 1) + ": negative period or PSA", std::nullopt;
    if (!table.rows.empty() && period <= table.rows.back().first)
      return error = "line " + std::to_string(i + 1) + ": periods must increase", std::nullopt;
    table.rows.emplace_back(period, psa);
  }
  if (table.rows.size() < 2) return error = "the table needs at least two rows of period,psa", std::nullopt;
  return table;
}

std::optional<DesignSpectrum> parse_design_spectrum(std::string_view text, std::string& error) {
  const std::size_t colon = text.find(':');
  const std::string_view kind = colon == std::string_view::npos ? text : text.substr(0, colon);
  const std::string_view body = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  if (kind == "ec8") return parse_ec8(body, error);
  if (kind == "asce7") return parse_asce7(body, error);
  if (kind == "csv") {
    std::string content;
    const std::string path(body);
    constexpr std::size_t most_bytes = 16 << 20;
    const files::FileRead read = files::read_regular_file(path, content, most_bytes);
    if (read.status == files::FileReadStatus::too_large)
      return error = "the table \"" + path + "\" is larger than " + files::size_limit_words(most_bytes), std::nullopt;
    if (path.empty() || read.status != files::FileReadStatus::ok)
      return error = "cannot read the table \"" + path + "\"", std::nullopt;
    auto table = read_table_spectrum(content, error);
    if (!table) return error = path + ": " + error, std::nullopt;
    table->file = path;
    return DesignSpectrum(std::move(*table));
  }
  error = "unknown target \"" + std::string(text) + "\" (ec8:..., asce7:..., csv:FILE)";
  return std::nullopt;
}

namespace {
constexpr std::pair<ScaleRule, std::string_view> scale_rule_names[] = {
    {ScaleRule::none, "none"}, {ScaleRule::fit, "fit"}, {ScaleRule::min90, "min90"}, {ScaleRule::suite90, "suite90"},
    {ScaleRule::match, "match"}};
}  // namespace

std::optional<ScaleRule> scale_rule_from_name(std::string_view name) {
  for (const auto& [rule, rule_name] : scale_rule_names)
    if (rule != ScaleRule::none && name == rule_name) return rule;
  return std::nullopt;
}

std::string_view scale_rule_name(ScaleRule rule) {
  for (const auto& [named, rule_name] : scale_rule_names)
    if (named == rule) return rule_name;
  return "none";
}

namespace {

// The ratios target / psa over the periods in range that have both.
std::vector<double> ratios_in_range(std::span<const double> periods, std::span<const double> psa,
                                    std::span<const std::optional<double>> target, double from, double to,
                                    std::string& problem) {
  std::vector<double> ratios;
  if (!(from > 0) || !(to >= from)) {
    problem = "the period range must be positive and increasing";
    return ratios;
  }
  for (std::size_t k = 0; k < periods.size() && k < psa.size() && k < target.size(); ++k) {
    if (periods[k] < from || periods[k] > to || !target[k] || !(psa[k] > 0)) continue;
    ratios.push_back(*target[k] / psa[k]);
  }
  if (ratios.empty()) problem = "no period of the spectrum with a target lies in the range";
  return ratios;
}

}  // namespace

ScaleFactor scale_factor(std::span<const double> periods, std::span<const double> psa,
                         std::span<const std::optional<double>> target, double from, double to, ScaleRule rule) {
  ScaleFactor result;
  const std::vector<double> ratios = ratios_in_range(periods, psa, target, from, to, result.problem);
  if (ratios.empty()) return result;
  if (rule == ScaleRule::none) {
    result.problem = "no scale rule";
    return result;
  }
  result.periods_used = ratios.size();
  if (rule == ScaleRule::fit || rule == ScaleRule::match) {
    double sum = 0;
    for (double r : ratios) sum += std::log(r);
    result.factor = std::exp(sum / static_cast<double>(ratios.size()));
  } else {
    result.factor = 0.9 * *std::max_element(ratios.begin(), ratios.end());
  }
  // A factor that is no number scales nothing: the spectra are beyond what can be computed with.
  if (!std::isfinite(result.factor) || !(result.factor > 0)) {
    result.factor = 0;
    result.problem = "the factor is not a finite positive number (the spectra are too large or too small)";
  }
  return result;
}

ScaleFactor suite90(std::span<const double> periods, const std::vector<std::vector<double>>& psa_of_records,
                    std::span<const std::optional<double>> target, double from, double to) {
  if (psa_of_records.empty()) return {0.0, 0, "no records"};
  std::vector<double> mean(periods.size(), 0.0);
  for (const auto& psa : psa_of_records) {
    if (psa.size() != periods.size()) return {0.0, 0, "a record's spectrum has other periods"};
    for (std::size_t k = 0; k < periods.size(); ++k) mean[k] += psa[k] / static_cast<double>(psa_of_records.size());
  }
  return scale_factor(periods, mean, target, from, to, ScaleRule::min90);
}

}  // namespace motion
